// The window background: the start-up picture's tiles, read back tile by
// tile and drawn into the window, its depth pass, and the plain fill.
#include <gtest/gtest.h>
#include "core/globs.h"
#include "core/scratch.h"
#include "core/utl_cmdline.h"
#include "ogl/OGL_back_tex.h"
#include "ogl/drawing_fixture.h"
#include "support/test_env.h"
#include "tex/TEX_bind.h"
#include "tex/TEX_png.h"
#include "tex/tman.h"

namespace {

// The colour of tile (row, col) of a test picture, as 0xRRGGBB.
uint32_t tile_colour(int row, int col, int round) {
  return (uint32_t)(40 * col + 20 + round * 5) << 16 | (uint32_t)(40 * row + 20) << 8 | 200;
}

class BackTex : public Drawing {
 protected:
  void SetUp() override {
    Drawing::SetUp();
    saved_path = app_path;
    app_path = test_scratch_dir("back");
    test_run("mkdir -p '" + app_path + "Resources/bitmaps'");
    colr.col[0][0] = colr.col[0][1] = colr.col[0][2] = 1;
    colr.col[39][0] = 0.2f, colr.col[39][1] = 0.4f, colr.col[39][2] = 0.6f;
    TEX_reset_bind();
  }
  void TearDown() override {
    app_path = saved_path;
    wins.cur_win = 0;
    OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
    Drawing::TearDown();
  }
  // intro.png of width x height, each 512-pixel cell in its tile's colour.
  void picture(int width, int height, int round = 0) {
    std::vector<unsigned char> px((size_t)width * height * 4);
    for (int y = 0; y < height; ++y)  // bottom-up rows
      for (int x = 0; x < width; ++x) {
        const uint32_t c = tile_colour(y / 512, x / 512, round);
        unsigned char* p = &px[((size_t)y * width + x) * 4];
        p[0] = c >> 16, p[1] = c >> 8, p[2] = c, p[3] = 255;
      }
    TEX_image_desc d;
    d.format = GL_RGBA;
    d.width = width;
    d.height = height;
    ASSERT_EQ(TEX_save_png(app_path + "Resources/bitmaps/intro.png", d, px.data()), 1);
  }
  static uint32_t rgb(int x, int y) {
    glFinish();
    return gl_pixel(x, y) >> 8;
  }
  // The centre texel of a tile's texture.
  static uint32_t texel(int ref) {
    bind_tile(ref);
    std::vector<unsigned char> px(512 * 512 * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    const unsigned char* p = &px[(256 * 512 + 256) * 4];
    return (uint32_t)p[0] << 16 | p[1] << 8 | p[2];
  }
  static void bind_tile(int ref) {
    glBindTexture(GL_TEXTURE_2D, tman.get_known_obj(ref)->get_gl_name());
    TEX_reset_bind();
  }
  std::string saved_path;
};

TEST_F(BackTex, A2048PictureFillsTheSixteenTilesAndTheWindow) {
  picture(2048, 2048);
  wins.cur_win = -1;
  OGL_make_back_tex();
  EXPECT_EQ(back_dx, 2048);
  EXPECT_EQ(back_dy, 2048);
  EXPECT_EQ(back_colr, 0);
  std::vector<unsigned> names;
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      const int ref = 397 + 4 * row + col;
      EXPECT_EQ(texel(ref), tile_colour(row, col, 0)) << ref;
      EXPECT_EQ(tman.tex_dx_tot(ref), 512);
      EXPECT_EQ(tman.tex_dy_tot(ref), 512);
      names.push_back(tman.get_known_obj(ref)->get_gl_name());
    }
  // Drawn at start-up in 800 x 600: the right edge on the window's, the top
  // 512 rows cut off first, so window pixel (x, y) shows picture pixel
  // (x + 1248, y + 936).
  OGL_plot_back_tex(0);
  for (auto [x, y] : {std::pair{0, 0}, {10, 10}, {799, 599}, {300, 100}, {400, 80}, {700, 500}})
    EXPECT_EQ(rgb(x, y), tile_colour((y + 936) / 512, (x + 1248) / 512, 0)) << x << "," << y;

  // A second build keeps the textures and replaces their pixels.
  picture(2048, 2048, 1);
  OGL_make_back_tex();
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(tman.get_known_obj(397 + i)->get_gl_name(), names[i]);
    EXPECT_EQ(texel(397 + i), tile_colour(i / 4, i % 4, 1)) << 397 + i;
  }
  // Outside start-up nothing is rebuilt.
  picture(2048, 2048, 2);
  wins.cur_win = 0;
  OGL_make_back_tex();
  EXPECT_EQ(texel(397), tile_colour(0, 0, 1));
}

TEST_F(BackTex, ASmallerPictureShowsOnlyItsOwnPartOfEachTile) {
  picture(1024, 768);
  wins.cur_win = -1;
  OGL_make_back_tex();
  OGL_plot_back_tex(0);
  // Right edge on the window's, top on the window's top: pixel (x, y) shows
  // picture pixel (x + 224, y).
  for (auto [x, y] : {std::pair{0, 0}, {287, 10}, {288, 10}, {799, 511}, {799, 512}, {100, 599}, {500, 550}})
    EXPECT_EQ(rgb(x, y), tile_colour(y / 512, (x + 224) / 512, 0)) << x << "," << y;

  // Narrower and lower than the window: drawn from the left edge against the
  // top, over the background colour.
  picture(512, 256);
  OGL_make_back_tex();
  glClear(GL_COLOR_BUFFER_BIT);
  OGL_plot_back_tex(0);
  EXPECT_EQ(rgb(10, 590), tile_colour(0, 0, 0));
  EXPECT_EQ(rgb(511, 344), tile_colour(0, 0, 0));
  const uint32_t back = 0x336699;
  EXPECT_EQ(rgb(512, 590), back);
  EXPECT_EQ(rgb(10, 343), back);
  EXPECT_EQ(rgb(799, 0), back);
}

void build_scripted() {
  if (xer.is_open()) xer.close();
  xer.clear();
  xer.open("/dev/stderr");
  cmdline.options["--qa_script"] = "";
  wins.cur_win = -1;
  OGL_make_back_tex();
}

TEST_F(BackTex, APictureOver2048RowsIsRefusedAsMissing) {
  picture(16, 2049);
  EXPECT_EXIT(build_scripted(), testing::ExitedWithCode(1),
              "Trying to load a texture that you do not have!\nThis smacks of a mis-installed copy of Duvizo!\n"
              "Get a new download from https://www.duvizo.example/. The missing file is:\n"
              "Resources/bitmaps/intro.png\n\\(RUvozuz/OGL/OGL_back_tex line");
  test_run("rm '" + app_path + "Resources/bitmaps/intro.png'");
  EXPECT_EXIT(build_scripted(), testing::ExitedWithCode(1), "The missing file is:\nResources/bitmaps/intro.png\n");
}

TEST_F(BackTex, TheBackgroundColourFillsTheWholeWindowFromASubWindow) {
  wins.cur_win = 5;
  wins.win_x = 150;
  wins.win_y = 100;
  OGL_plot_back_col();
  for (auto [x, y] : {std::pair{0, 0}, {799, 0}, {0, 599}, {799, 599}, {400, 300}})
    EXPECT_EQ(rgb(x, y), 0x336699u) << x << "," << y;
}

// Texel alpha of the depth pass's test picture: opaque squares of 37 by 23
// pixels in a checker, the other squares alternately clear and almost
// opaque (254).
int alpha_at(int x, int y) {
  if ((x / 37 + y / 23) % 2 == 0) return 255;
  return (x / 37) % 2 ? 254 : 0;
}

TEST_F(BackTex, OnlyOpaqueTexelsWriteTheNearestDepth) {
  GLint depth_bits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
  ASSERT_GT(depth_bits, 0);
  const int w = 800, h = 600;
  // The window's own size puts texel (x, y) on pixel (x, y); a smaller
  // picture touches the top left, over what would be the background fill,
  // which the depth pass must not paint either.
  struct size_case {
    int dx, dy;
  };
  for (const size_case c : {size_case{w, h}, {400, 300}}) {
    std::vector<unsigned char> px((size_t)c.dx * c.dy * 4);
    for (int y = 0; y < c.dy; ++y)
      for (int x = 0; x < c.dx; ++x) {
        unsigned char* p = &px[((size_t)y * c.dx + x) * 4];
        p[0] = 200, p[1] = 100, p[2] = 50, p[3] = (unsigned char)alpha_at(x, y);
      }
    TEX_image_desc d;
    d.format = GL_RGBA;
    d.width = c.dx;
    d.height = c.dy;
    ASSERT_EQ(TEX_save_png(app_path + "Resources/bitmaps/intro.png", d, px.data()), 1);
    wins.cur_win = -1;
    OGL_make_back_tex();

    glClearColor(0.1f, 0.2f, 0.3f, 1);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::vector<uint8_t> before = gl_read_back(0, 0, w, h);
    OGL_plot_back_tex(1);
    glFinish();

    std::vector<float> depth((size_t)w * h);
    glReadPixels(0, 0, w, h, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    int wrong = 0;
    const int bottom = h - c.dy;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const bool on_picture = x < c.dx && y >= bottom;
        const float want = on_picture && alpha_at(x, y - bottom) == 255 ? 0.0f : 1.0f;
        if (depth[(size_t)y * w + x] != want && ++wrong <= 5)
          ADD_FAILURE() << c.dx << ": depth at " << x << "," << y << " is " << depth[(size_t)y * w + x];
      }
    EXPECT_EQ(wrong, 0) << c.dx;
    EXPECT_EQ(gl_read_back(0, 0, w, h), before) << c.dx;

    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);
    GLfloat range[2] = {-1, -1}, ref = -1;
    glGetFloatv(GL_DEPTH_RANGE, range);
    EXPECT_EQ(range[0], 0);
    EXPECT_EQ(range[1], 1);
    GLint func = 0;
    glGetIntegerv(GL_ALPHA_TEST_FUNC, &func);
    glGetFloatv(GL_ALPHA_TEST_REF, &ref);
    EXPECT_EQ(func, GL_GREATER);
    EXPECT_EQ(ref, 0);
    glClear(GL_DEPTH_BUFFER_BIT);
  }
}

}  // namespace
