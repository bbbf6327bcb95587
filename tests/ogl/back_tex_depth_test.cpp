// The start-up picture's depth pass: depth at the nearest value exactly
// under its fully opaque texels, no colour, and the state put back.
#include <gtest/gtest.h>
#include "core/globs.h"
#include "ogl/OGL_back_tex.h"
#include "ogl/drawing_fixture.h"
#include "support/test_env.h"
#include "tex/TEX_bind.h"
#include "tex/TEX_png.h"

namespace {

// Texel alpha of the test picture: opaque squares of 37 by 23 pixels in a
// checker, the other squares alternately clear and almost opaque (254).
int alpha_at(int x, int y) {
  if ((x / 37 + y / 23) % 2 == 0) return 255;
  return (x / 37) % 2 ? 254 : 0;
}

class BackTexDepth : public Drawing {
 protected:
  void SetUp() override {
    Drawing::SetUp();
    saved_path = app_path;
    app_path = test_scratch_dir("backdepth");
    test_run("mkdir -p '" + app_path + "Resources/bitmaps'");
    colr.col[0][0] = colr.col[0][1] = colr.col[0][2] = 1;
    TEX_reset_bind();
  }
  void TearDown() override {
    app_path = saved_path;
    wins.cur_win = 0;
    OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
    Drawing::TearDown();
  }
  std::string saved_path;
};

TEST_F(BackTexDepth, OnlyOpaqueTexelsWriteTheNearestDepth) {
  GLint depth_bits = 0;
  glGetIntegerv(GL_DEPTH_BITS, &depth_bits);
  ASSERT_GT(depth_bits, 0);
  // The window's own size, so start-up placement puts texel (x, y) on pixel (x, y).
  const int w = 800, h = 600;
  std::vector<unsigned char> px((size_t)w * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = &px[((size_t)y * w + x) * 4];
      p[0] = 200, p[1] = 100, p[2] = 50, p[3] = (unsigned char)alpha_at(x, y);
    }
  TEX_image_desc d;
  d.format = GL_RGBA;
  d.width = w;
  d.height = h;
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
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const float want = alpha_at(x, y) == 255 ? 0.0f : 1.0f;
      if (depth[(size_t)y * w + x] != want && ++wrong <= 5)
        ADD_FAILURE() << "depth at " << x << "," << y << " is " << depth[(size_t)y * w + x];
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(gl_read_back(0, 0, w, h), before);

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

}  // namespace
