// Bitmaps and the gradient flag through the texture object's load, read
// back from the driver.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "tex/tex_gl.h"
#include "tex/tex_support.h"

namespace {

const bool gl = tex_gl_register();

class BmpLoad : public testing::Test {
 protected:
  void SetUp() override {
    tex_defaults();
    dir = test_scratch_dir("bmpload");
  }
  // A fixture copied alone into the scratch folder, so no sibling ".png"
  // is preferred over it.
  std::string copy(const std::string& fixture, const std::string& to) {
    EXPECT_TRUE(test_write_file(dir + to, test_read_file(bmp_fixtures() + fixture)));
    return dir + to;
  }
  int load(const std::string& path, int flags, tex_fail_mode fail = tex_fail_silent) {
    const int ref = next_ref++;
    const int got = tman.load_texture(fail, ref, flags, tex_load_now, path);
    if (TEX_obj* obj = tman.get_known_obj(ref)) bind_direct(obj);
    return got;
  }
  std::string dir;
  static int next_ref;
};
int BmpLoad::next_ref = 700;

TEST_F(BmpLoad, ABitmapTextureHoldsTheFilesPixelsBottomUpInAPowerOfTwoTexture) {
  const std::string path = copy("plasma3.bmp", "plasma.bmp");
  ASSERT_NE(load(path, 0x40001 | 0x4000), 0);
  ASSERT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 16);
  ASSERT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT), 8);
  const std::vector<unsigned char> back = read_tex(GL_TEXTURE_2D, GL_RGB, 3);
  const std::string raw = test_capture("convert '" + path + "' -depth 8 rgb:-");
  const std::vector<unsigned char> want = flip_rows(std::vector<unsigned char>(raw.begin(), raw.end()), 13 * 3);
  ASSERT_EQ(want.size(), 13u * 7 * 3);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      for (int c = 0; c < 3; ++c) {
        const unsigned char expected = x < 13 && y < 7 ? want[static_cast<size_t>((y * 13 + x) * 3 + c)] : 0;
        EXPECT_EQ(back[static_cast<size_t>((y * 16 + x) * 3 + c)], expected) << x << "," << y;
      }
}

TEST_F(BmpLoad, AHostileBitmapIsAMissingTexture) {
  for (const char* name : {"short.bmp", "topdown.bmp", "wide.bmp", "core.bmp"}) {
    const std::string path = copy(name, std::string("hostile_") + name);
    xer_capture log;
    EXPECT_EQ(load(path, 0x40001, tex_fail_scenery), 0) << name;
    EXPECT_EQ(tman.tex_err(next_ref - 1), 1) << name;
    EXPECT_TRUE(tman.has_scene_load_fail()) << name;
    tman.reset_scene_load_fail();
    const std::string text = log.text();
    EXPECT_NE(text.find("TEX_load_bmp: "), std::string::npos) << text;
    EXPECT_NE(text.find("not loaded: " + path + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("WARNING: we are missing the texture: " + path + ".\n"), std::string::npos) << text;
  }
}

TEST_F(BmpLoad, TheGradientFlagUploadsTheSlopeMap) {
  // Heights in blue rise by 60 a column; rows are alike.
  const std::string path = dir + "heights.png";
  make_png(path, 4, 4, [](int x, int) { return static_cast<uint32_t>(0x11220000u | (60u * x) << 8 | 0xFF); });
  ASSERT_NE(load(path, 0x100000 | 0x80000 | 0x40001), 0);
  const std::vector<unsigned char> back = read_tex(GL_TEXTURE_2D, GL_RGB, 3);
  ASSERT_EQ(back.size(), 48u);
  // 157: ((60 / 255) + 1) x 127.5; 37: the last column wraps to height 0.
  const unsigned char slope[4] = {157, 157, 157, 37};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const unsigned char* p = &back[static_cast<size_t>((y * 4 + x) * 3)];
      EXPECT_EQ(p[0], slope[x]) << x << "," << y;
      EXPECT_EQ(p[1], 127) << x << "," << y;
      EXPECT_EQ(p[2], 60 * x) << x << "," << y;
    }
}

}  // namespace
