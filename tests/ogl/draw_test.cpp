// The 2-D primitives read back from the window, the colour rule, and the 3-D
// emitters and segment accumulation.
#include <cmath>
#include <cstdlib>
#include <string>
#include "ogl/ogl_draw.h"
#include "platform/plat_video.h"
#include "shell/cons.h"
#include "ogl/drawing_fixture.h"

namespace {

using px = std::vector<std::pair<int, int>>;

// The current alpha after a colour was set with so many components. Three
// components give 1 by the book; Mesa keeps the alpha set before (0.25 in
// these tests). Either way the rule's own alpha is not what it was given.
void expect_alpha(float current, int components, float alpha, const std::string& what) {
  if (components == 4) {
    EXPECT_NEAR(current, alpha, 1e-6) << what;
  } else {
    EXPECT_TRUE(current == 1 || current == 0.25f) << what << ": " << current;
    if (alpha != 1) {
      EXPECT_NE(current, alpha) << what;
    }
  }
}

// Whether a pixel of the rectangle has red, green and blue near the given ones.
bool any_pixel(int x0, int y0, int w, int h, int r, int g, int b) {
  const std::vector<uint8_t> p = gl_read_back(x0, y0, w, h);
  for (size_t i = 0; i + 3 < p.size(); i += 4)
    if (std::abs(p[i] - r) < 40 && std::abs(p[i + 1] - g) < 40 && std::abs(p[i + 2] - b) < 40) return true;
  return false;
}

}  // namespace

TEST_F(Drawing, ShapesLightExactlyTheirPixels) {
  for (const float ox : {0.0f, 300.0f}) {
    const float oy = ox / 3;  // the second round draws inside a sub-window at (300, 100)
    glClear(GL_COLOR_BUFFER_BIT);
    wins.win_x = ox;
    wins.win_y = oy;
    const int x = (int)ox, y = (int)oy;
    OGL_fillrect(white, 1, 10, 20, 5, 3);
    EXPECT_EQ(lit(x, y, 40, 40), box(x + 10, y + 20, x + 14, y + 22)) << "origin " << ox;
    OGL_line(white, 1, 100, 100, 110, 100);
    EXPECT_EQ(lit(x + 90, y + 95, 30, 10), box(x + 100, y + 100, x + 109, y + 100)) << "origin " << ox;
    OGL_framerect(white, 1, 200, 200, 4, 3);
    EXPECT_EQ(lit(x + 195, y + 195, 15, 15), box(x + 200, y + 200, x + 204, y + 203, true)) << "origin " << ox;
  }
}

TEST_F(Drawing, OriginIsTheLowerLeftPixel) {
  OGL_line(white, 1, 0, 0, 1, 0);
  EXPECT_EQ(lit(0, 0, 4, 4), box(0, 0, 0, 0));
  glClear(GL_COLOR_BUFFER_BIT);
  OGL_fillrect(white, 1, 799, 599, 1, 1);  // and (w, h) is the upper right corner
  EXPECT_EQ(lit(796, 596, 4, 4), box(799, 599, 799, 599));
}

TEST_F(Drawing, OtherShapesStayInTheirBounds) {
  OGL_filltri(white, 1, 10, 10, 30, 10, 10, 30);
  const px tri = lit(0, 0, 50, 50);
  ASSERT_FALSE(tri.empty());
  for (auto [x, y] : tri) EXPECT_TRUE(x >= 10 && y >= 10 && x + y <= 41) << x << "," << y;

  glClear(GL_COLOR_BUFFER_BIT);
  OGL_fillcircle(white, 1, 100, 100, 10);
  const px disc = lit(80, 80, 40, 40);
  EXPECT_GT(disc.size(), 250u);  // pi r^2 is 314
  for (auto [x, y] : disc) EXPECT_LE(std::hypot(x - 100.0, y - 100.0), 11.0) << x << "," << y;

  glClear(GL_COLOR_BUFFER_BIT);
  OGL_framecircle(white, 1, 200, 200, 20);
  const px ring = lit(170, 170, 60, 60);
  EXPECT_GT(ring.size(), 100u);
  for (auto [x, y] : ring) EXPECT_NEAR(std::hypot(x - 200.0, y - 200.0), 20.0, 1.5) << x << "," << y;

  glClear(GL_COLOR_BUFFER_BIT);
  colr.col[12][0] = colr.col[12][1] = colr.col[12][2] = 0.5f;
  OGL_grayrect(10, 10, 20, 15, 1);
  EXPECT_EQ(lit(0, 0, 30, 30), box(10, 10, 19, 14));
}

TEST_F(Drawing, ArcOutsideTheTablesWraps) {
  // -30 and 390 lie outside the 361 entries; the address sanitizer build
  // catches a read past them.
  OGL_arc(white, 400, 300, 20, 40, -30, 390);
  const px ring = lit(350, 250, 100, 100);
  EXPECT_GT(ring.size(), 3000u);  // the whole ring: pi (40^2 - 20^2) is 3770
  for (auto [x, y] : ring) EXPECT_NEAR(std::hypot(x + 0.5 - 400, y + 0.5 - 300), 30, 11) << x << "," << y;
  glClear(GL_COLOR_BUFFER_BIT);
  OGL_arc(white, 400, 300, 20, 40, 0, 90);  // clockwise from up: the upper right quarter
  for (auto [x, y] : lit(350, 250, 100, 100)) EXPECT_TRUE(x >= 399 && y >= 299) << x << "," << y;
}

TEST_F(Drawing, TrigTablesCoverBothEnds) {
  EXPECT_EQ(lookup_sin[90], 1.0f);
  EXPECT_EQ(lookup_cos[0], 1.0f);
  EXPECT_NEAR(lookup_sin[360], 0, 1e-6);
  EXPECT_EQ(lookup_cos[360], 1.0f);
  EXPECT_NEAR(lookup_cos[180], -1, 1e-6);
  EXPECT_EQ(int(sizeof(lookup_sin) / sizeof(float)), 361);
}

TEST_F(Drawing, ColourRule) {
  struct Case {
    const char* what;
    int col;
    float rgb[3];
    float dim;
    int green;
    float alpha, fade;
    float want[4];
    int components;
  };
  const Case cases[] = {
      {"index 38 tinted", 38, {0.5f, 0.5f, 0.5f}, 0, 0, 1, 1, {0.25f, 0.5f, 1.0f, 1}, 3},
      {"index 39 not", 39, {0.5f, 0.5f, 0.5f}, 0, 0, 1, 1, {0.5f, 0.5f, 0.5f, 1}, 3},
      {"dim 0.5 white is red", 39, {1, 1, 1}, 0.5f, 0, 1, 1, {1, 0, 0, 1}, 3},
      {"dim 0.5 black is dark red", 39, {0, 0, 0}, 0.5f, 0, 1, 1, {0.01f, 0, 0, 1}, 3},
      {"dim 0.25 halfway", 39, {0.2f, 0.4f, 0.2f}, 0.25f, 0, 1, 1, {0.5f, 0.2f, 0.1f, 1}, 3},
      {"dim above 0.5 stays at the target", 39, {0.2f, 0.4f, 0.2f}, 0.75f, 0, 1, 1, {0.8f, 0, 0, 1}, 3},
      {"dim wins over green", 39, {1, 1, 1}, 0.5f, 1, 1, 1, {1, 0, 0, 1}, 3},
      {"green monochrome", 39, {0.2f, 0.3f, 0.1f}, 0, 1, 1, 1, {0, 0.6f, 0, 1}, 3},
      {"green of black", 39, {0, 0, 0}, 0, 1, 1, 1, {0, 0.01f, 0, 1}, 3},
      {"green of white", 39, {1, 1, 1}, 0, 1, 1, 1, {0, 1, 0, 1}, 3},
      {"alpha 0.99 is translucent", 39, {1, 1, 1}, 0, 0, 0.99f, 1, {1, 1, 1, 0.99f}, 4},
      {"alpha 0.995 is opaque", 39, {1, 1, 1}, 0, 0, 0.995f, 1, {1, 1, 1, 0.995f}, 3},
      {"the fade multiplies", 39, {1, 1, 1}, 0, 0, 1, 0.5f, {1, 1, 1, 0.5f}, 4},
      {"an id outside the table is black", 500, {1, 1, 1}, 0, 0, 1, 1, {0, 0, 0, 1}, 3},
  };
  for (const Case& c : cases) {
    colr.tint[0] = 0.5f, colr.tint[1] = 1, colr.tint[2] = 2;
    if (c.col < colr_class::colour_count)
      for (int i = 0; i < 3; ++i) colr.col[c.col][i] = c.rgb[i];
    colr.dim = c.dim;
    colr.green_mono = c.green;
    ren.fade = c.fade;
    float got[4];
    EXPECT_EQ(OGL_colour_rule(c.col, c.alpha, got), c.components) << c.what;
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], c.want[i], 1e-6) << c.what << " component " << i;

    // What the driver is given: an opaque colour never passes its alpha.
    glColor4f(0, 0, 0, 0.25f);
    OGL_set_colour(c.col, c.alpha);
    const std::vector<float> cur = current_colour();
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(cur[i], c.want[i], 1e-6) << c.what << " current " << i;
    expect_alpha(cur[3], c.components, c.want[3], c.what);
  }
}

TEST_F(Drawing, SwapLeavesTheNextFramesColour) {
  struct Case {
    float dim;
    int green;
    float fade;
    float want[3];
    int components;
  };
  const Case cases[] = {
      {0, 0, 1, {1, 1, 1}, 3},    {0.25f, 0, 1, {1, 0.5f, 0.5f}, 3}, {0.75f, 0, 1, {1, 0, 0}, 3},
      {0, 1, 1, {0, 1, 0}, 3},    {0, 0, 0.99f, {1, 1, 1}, 4},       {0, 0, 0.995f, {1, 1, 1}, 3},
  };
  for (const Case& c : cases) {
    colr.dim = c.dim;
    colr.green_mono = c.green;
    ren.fade = c.fade;
    glColor4f(0, 0, 0, 0.25f);
    OGL_sbuff();
    const std::vector<float> cur = current_colour();
    const std::string what = "dim " + std::to_string(c.dim) + " fade " + std::to_string(c.fade);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(cur[i], c.want[i], 1e-6) << what;
    expect_alpha(cur[3], c.components, c.fade, what);
  }
}

TEST_F(Drawing, SwapShowsTheHookTheFinishedFrame) {
  static uint32_t seen = 0;
  static int calls = 0;
  seen = 0;
  calls = 0;
  OGL_sbuff_hook = [] {
    ++calls;
    seen = gl_pixel(12, 22);
  };
  OGL_fillrect(white, 1, 10, 20, 5, 3);
  OGL_sbuff();
  OGL_sbuff_hook = nullptr;
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen, 0xffffffffu);
  // The swap goes to the window of the current context (what it shows is
  // checked against the X server by the screenshot tests).
  EXPECT_EQ(PLAT_video().gl_current_window(), cons.window(0));
}

TEST_F(Drawing, SpectrumStops) {
  struct Case {
    float t;
    float want[3];
  };
  const Case cases[] = {
      {-0.5f, {0, 0, 0}},          {0, {0, 0, 0}},         {1.0f / 12, {0.5f, 0, 0}}, {0.5f, {1, 1, 0}},
      {2.5f / 6, {1, 0.66f, 0.04f}}, {1, {0.8f, 0, 0.8f}}, {1.5f, {0.8f, 0, 0.8f}},
  };
  for (const Case& c : cases) {
    OGL_spectrum_rgb(c.t);
    const std::vector<float> cur = current_colour();
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(cur[i], c.want[i], 1e-6) << "t " << c.t;
    EXPECT_EQ(cur[3], 1.0f);
  }
  ren.fade = 0.99f;  // a fade of 0.99 or less sets four components
  OGL_spectrum_rgb(0.5f);
  EXPECT_NEAR(current_colour()[3], 0.99f, 1e-6);
  ren.fade = 1;
  colr.dim = 0.5f;  // and the rule's dimming applies
  OGL_spectrum_rgb(0.5f);
  const std::vector<float> red = current_colour();
  EXPECT_NEAR(red[0], 1, 1e-6);
  EXPECT_NEAR(red[1], 0, 1e-6);
}

TEST_F(Drawing, QuadNormals) {
  struct Case {
    float p[4][3];
    float want[3];
  };
  const Case cases[] = {
      {{{0, 0, 0}, {0, 0, 1}, {1, 0, 1}, {1, 0, 0}}, {0, -1, 0}},
      {{{0, 0, 0}, {0, 2, 0}, {2, 2, 0}, {2, 0, 0}}, {0, 0, 1}},
      {{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, {0, 1, 0}},  // degenerate
  };
  for (const Case& c : cases) {
    glNormal3f(9, 9, 9);
    glBegin(GL_QUADS);
    OGL_3dquad(c.p[0], c.p[1], c.p[2], c.p[3]);
    glEnd();
    float n[3], st[4];
    glGetFloatv(GL_CURRENT_NORMAL, n);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, st);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(n[i], c.want[i], 1e-6);
    EXPECT_EQ(st[0], 0);  // the last corner's (0, 1)
    EXPECT_EQ(st[1], 1);
    glBegin(GL_QUADS);
    OGL_3dquad_st(c.p[0], c.p[1], c.p[2], c.p[3], 0.25f, 0.5f, 0.75f, 1.0f);
    glEnd();
    glGetFloatv(GL_CURRENT_NORMAL, n);
    glGetFloatv(GL_CURRENT_TEXTURE_COORDS, st);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(n[i], c.want[i], 1e-6);
    EXPECT_EQ(st[0], 0.75f);
    EXPECT_EQ(st[1], 0.5f);
  }
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Drawing, SolidsDrawInsideTheirBoxes) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-2, 2, -2, 2, -2, 2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glColor3f(1, 1, 1);
  OGL_cube(0, -1, 0, 1, 1, 1, 0, 1, 0, 1);  // x -0.5..0.5, y -1..0 seen from the front
  const px cube = lit(0, 0, 800, 600);
  ASSERT_FALSE(cube.empty());
  for (auto [x, y] : cube) EXPECT_TRUE(x >= 299 && x <= 500 && y >= 149 && y <= 300) << x << "," << y;
  glClear(GL_COLOR_BUFFER_BIT);
  OGL_disc(0, 0, 0, 1);  // x -1..1, radius 1
  const px disc = lit(0, 0, 800, 600);
  ASSERT_FALSE(disc.empty());
  for (auto [x, y] : disc) EXPECT_TRUE(x >= 199 && x <= 600 && y >= 149 && y <= 450) << x << "," << y;
  GLint depth = 0;
  glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
  EXPECT_EQ(depth, 1);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(AccumSegment, GrowsByThePartInsideTheSlab) {
  struct Case {
    const char* what;
    float lo, hi;
    float a[3], b[3];
    float want_min[3], want_max[3];
  };
  const float none = 9.9e9f;
  const Case cases[] = {
      {"inside", 0, 1, {0, 0.2f, 0}, {1, 0.8f, 1}, {0, 0.2f, 0}, {1, 0.8f, 1}},
      {"crosses lo and hi", 0, 1, {0, -1, 0}, {2, 3, 4}, {0.5f, 0, 1}, {1, 1, 2}},
      {"crosses lo and hi, ends swapped", 0, 1, {2, 3, 4}, {0, -1, 0}, {0.5f, 0, 1}, {1, 1, 2}},
      {"crosses lo only", 0, 1, {0, -1, 0}, {2, 0.5f, 4}, {4.0f / 3, 0, 8.0f / 3}, {2, 0.5f, 4}},
      {"crosses hi only", 0, 1, {0, 0.5f, 0}, {1, 1.5f, 1}, {0, 0.5f, 0}, {0.5f, 1, 0.5f}},
      {"lo equals hi", 1, 1, {0, -1, 0}, {2, 3, 4}, {1, 1, 2}, {1, 1, 2}},
      {"lo equals hi at an end", 3, 3, {0, -1, 0}, {2, 3, 4}, {2, 3, 4}, {2, 3, 4}},
      {"horizontal inside", 0, 1, {0, 0.5f, 0}, {3, 0.5f, -1}, {0, 0.5f, -1}, {3, 0.5f, 0}},
      {"horizontal outside", 0, 1, {0, 2, 0}, {3, 2, -1}, {none, none, none}, {-none, -none, -none}},
      {"below the slab", 0, 1, {0, -3, 0}, {3, -2, -1}, {none, none, none}, {-none, -none, -none}},
  };
  for (const Case& c : cases) {
    float mn[3] = {none, none, none}, mx[3] = {-none, -none, -none};
    accum_segment(c.lo, c.hi, c.a, c.b, mn, mx);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(mn[i], c.want_min[i], 1e-5) << c.what << " min " << i;
      EXPECT_NEAR(mx[i], c.want_max[i], 1e-5) << c.what << " max " << i;
    }
  }
}

TEST_F(Drawing, PhysicsOverlayDrawsAndPurges) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(-2, 2, -2, 2, -2, 2);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const float o[3] = {0, 0, 0}, up[3] = {0, 1, 0}, a[3] = {-1, -1, 0}, b[3] = {-0.5f, -1, 0}, c[3] = {-1, -0.5f, 0};
  const float cg[3] = {1, 1, 0}, probe[3] = {1, -1, 0};
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  OGL_show_force(o, up);
  OGL_show_tri(a, b, c);
  OGL_show_cg(cg);
  OGL_show_probe(probe);
  int n[4];
  OGL_physics_counts(&n[0], &n[1], &n[2], &n[3]);
  EXPECT_EQ(std::vector<int>(n, n + 4), (std::vector<int>{1, 1, 3, 2}));
  OGL_draw_and_purge_physics(0);
  OGL_physics_counts(&n[0], &n[1], &n[2], &n[3]);
  EXPECT_EQ(std::vector<int>(n, n + 4), (std::vector<int>{1, 1, 3, 2}));
  EXPECT_TRUE(any_pixel(396, 300, 8, 8, 0, 255, 0));     // the force's green base...
  EXPECT_TRUE(any_pixel(396, 440, 8, 8, 255, 0, 0));     // ...running into a red tip
  EXPECT_TRUE(any_pixel(240, 146, 20, 8, 102, 102, 255)); // a triangle's edge...
  const uint32_t inside = gl_pixel(232, 174) >> 8;         // ...and its inside, grey at alpha 0.2
  EXPECT_NEAR(int(inside >> 16), 26, 2);
  EXPECT_EQ(inside, (inside >> 16) * 0x010101u);
  EXPECT_TRUE(any_pixel(597, 447, 6, 6, 255, 204, 0));   // the centre of gravity
  EXPECT_TRUE(any_pixel(597, 147, 6, 6, 255, 255, 255)); // the probe
  OGL_draw_and_purge_physics(1);
  OGL_physics_counts(&n[0], &n[1], &n[2], &n[3]);
  EXPECT_EQ(std::vector<int>(n, n + 4), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
