// The pixel layout, viewports and scissors, read back from the driver.
#include "ogl/ogl_camera.h"
#include "ogl/ogl_matrix.h"
#include "ogl/drawing_fixture.h"

namespace {
std::vector<float> gl_matrix(GLenum which) {
  std::vector<float> m(16);
  glGetFloatv(which, m.data());
  return m;
}
std::vector<int> gl_ints(GLenum which, int n) {
  std::vector<int> v(n);
  glGetIntegerv(which, v.data());
  return v;
}
}  // namespace

TEST_F(Drawing, PixelSpecsCentreWideWindows) {
  struct Case {
    int w, h, last_win;
    float offset;
  };
  const Case cases[] = {{1280, 1024, 0, 128}, {800, 600, 0, 0}, {1024, 768, 3, 0}, {1280, 1024, -1, 0}};
  for (const Case& c : cases) {
    wins.x_pix = c.w;
    wins.y_pix = c.h;
    wins.last_win = c.last_win;
    wins.ui_scale = 3;
    OGL_pix_specs(0);
    EXPECT_EQ(wins.ui_offset_x, c.offset) << c.w << "x" << c.h << " last " << c.last_win;
    EXPECT_EQ(wins.ui_scale, 1);
    EXPECT_EQ(std::vector<float>({wins.view_left, wins.view_bottom, wins.view_right, wins.view_top}),
              std::vector<float>({0, 0, (float)c.w, (float)c.h}));
  }
  // With no sub-window started the view is left alone.
  EXPECT_EQ(gl_ints(GL_VIEWPORT, 4), (std::vector<int>{0, 0, 1024, 768}));
}

TEST_F(Drawing, FullWindowViewMapsPixelsOneToOne) {
  wins.x_pix = 640;
  wins.y_pix = 480;
  glMatrixMode(GL_MODELVIEW);
  glTranslatef(5, 5, 5);
  OGL_pix_specs(0);
  float want[16];
  buildOrthoMatrixf(want, 0, 640, 0, 480, -1, 1);
  EXPECT_EQ(gl_matrix(GL_PROJECTION_MATRIX), std::vector<float>(want, want + 16));
  setIdentityMatrixf(want);
  EXPECT_EQ(gl_matrix(GL_MODELVIEW_MATRIX), std::vector<float>(want, want + 16));
  EXPECT_EQ(gl_ints(GL_VIEWPORT, 4), (std::vector<int>{0, 0, 640, 480}));
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  EXPECT_EQ(xcam.modelview_stale, 0);
  EXPECT_EQ(xcam.is_ortho, 1);
}

TEST_F(Drawing, PerspectiveViewWithTheAspectFlag) {
  // Bounds for unit distance, near 2: the near rectangle is -2..2 square;
  // on a viewport twice as wide as high the aspect flag halves bottom and top.
  for (int aspect = 0; aspect <= 1; ++aspect) {
    OGL_viewport(3, -1, 10, -1, 20, 1, 210, 2, 1, 120, 50, 1, aspect, 0);
    float want[16];
    buildFrustumMatrixf(want, -2, 2, aspect ? -1 : -2, aspect ? 1 : 2, 2, 50);
    const std::vector<float> got = gl_matrix(GL_PROJECTION_MATRIX);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want[i], 1e-6) << "aspect " << aspect << " element " << i;
    EXPECT_EQ(gl_ints(GL_VIEWPORT, 4), (std::vector<int>{10, 20, 200, 100}));
    EXPECT_EQ(xcam.is_ortho, 0);
  }
  // An orthographic view with a divisor.
  OGL_viewport(2, -4, 0, -2, 0, 4, 100, -1, 2, 100, 1, 2, 0, 0);
  float want[16];
  buildOrthoMatrixf(want, -2, 2, -1, 1, -1, 1);
  EXPECT_EQ(gl_matrix(GL_PROJECTION_MATRIX), std::vector<float>(want, want + 16));
  // Another type reloads the camera's projection as it stands.
  xcam.projection[0] = 7;
  OGL_viewport(5, 0, 0, 0, 0, 0, 50, 0, 0, 50, 0, 1, 0, 0);
  EXPECT_EQ(gl_matrix(GL_PROJECTION_MATRIX)[0], 7);
  EXPECT_EQ(gl_ints(GL_VIEWPORT, 4), (std::vector<int>{0, 0, 50, 50}));
}

TEST_F(Drawing, ScreenSizeSetsOnlyTheViewport) {
  wins.ui_scale = 2;
  struct Case {
    int type;
    std::vector<int> want;
  };
  const Case cases[] = {{2, {0, 0, 800, 600}}, {3, {20, 40, 60, 80}}, {7, {10, 20, 30, 40}}};
  for (const Case& c : cases) {
    OGL_screensize(c.type, 10, 20, 40, 60);
    EXPECT_EQ(gl_ints(GL_VIEWPORT, 4), c.want) << "type " << c.type;
  }
}

TEST_F(Drawing, ScissorsFollowTheSubWindowOrigin) {
  wins.win_x = 100;
  wins.win_y = 50;
  struct Case {
    float x, y, w, h;
    std::vector<int> want;
  };
  const Case cases[] = {
      {10, 20, 30, 40, {110, 70, 30, 40}},
      {10, 20, -5, 40, {110, 70, 0, 40}},
      {10, 20, 30, 0, {110, 70, 30, 0}},
  };
  for (const Case& c : cases) {
    OGL_scissors(c.x, c.y, c.w, c.h);
    EXPECT_EQ(gl_ints(GL_SCISSOR_BOX, 4), c.want);
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  }
  // Clipped to nothing, nothing is drawn until the scissors end.
  OGL_fillrect(white, 1, 0, 0, 100, 100);
  EXPECT_TRUE(lit(0, 0, 300, 300).empty());
  OGL_scissors_end();
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  OGL_scissors(10, 20, 3, 2);
  OGL_fillrect(white, 1, 0, 0, 100, 100);
  EXPECT_EQ(lit(0, 0, 300, 300), box(110, 70, 112, 71));
}

TEST(LocalTransform, SetResetAndGet) {
  EXPECT_EQ(OGL_get_local_transform(), local_transform);
  float id[16];
  setIdentityMatrixf(id);
  EXPECT_EQ(std::vector<float>(local_transform, local_transform + 16), std::vector<float>(id, id + 16));
  float m[16];
  for (int i = 0; i < 16; ++i) m[i] = (float)i;
  OGL_set_local_transform(m);
  EXPECT_EQ(std::vector<float>(OGL_get_local_transform(), OGL_get_local_transform() + 16),
            std::vector<float>(m, m + 16));
  OGL_reset_local_transform();
  EXPECT_EQ(std::vector<float>(local_transform, local_transform + 16), std::vector<float>(id, id + 16));
  OGL_printer();
}
