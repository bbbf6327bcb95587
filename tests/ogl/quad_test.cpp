// The textured quads put each texel where their corners say.
#include <gtest/gtest.h>
#include "core/utl_mem.h"
#include "ogl/drawing_fixture.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"

namespace {

// 2 x 2 texels, nearest filtering: red (0, 0), green (1, 0), blue (0, 1),
// white (1, 1), as 0xRRGGBB.
constexpr uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, whit = 0xFFFFFF;

int make_texture(int ref, bool swap) {
  unsigned char* px = (unsigned char*)xmalloc(12);
  const uint32_t order[4] = {red, green, blue, whit};
  for (int i = 0; i < 4; ++i) {
    const uint32_t c = swap ? order[3 - i] : order[i];
    px[3 * i] = c >> 16, px[3 * i + 1] = c >> 8, px[3 * i + 2] = c;
  }
  return tman.load_texture_mem_idx(ref, 0x41, px, 2, 2, "quad");
}

uint32_t rgb_at(int x, int y) {
  glFinish();
  return gl_pixel(x, y) >> 8;
}

class Quads : public Drawing {
 protected:
  void SetUp() override {
    Drawing::SetUp();
    TEX_reset_bind();
    ASSERT_EQ(make_texture(700, false), 700);
    ASSERT_EQ(make_texture(701, true), 701);
  }
};

TEST_F(Quads, TheRectangleQuadShowsTheTextureUpright) {
  for (const float ox : {0.0f, 200.0f}) {
    wins.win_x = ox;
    wins.win_y = ox / 2;
    glClear(GL_COLOR_BUFFER_BIT);
    OGL_2dquad_d(700, white, 1, 10, 10, 0, 0, 20, 20, 1, 1, al_none);
    const int x = (int)ox, y = (int)(ox / 2);
    EXPECT_EQ(rgb_at(x + 12, y + 12), red) << ox;
    EXPECT_EQ(rgb_at(x + 27, y + 12), green) << ox;
    EXPECT_EQ(rgb_at(x + 12, y + 27), blue) << ox;
    EXPECT_EQ(rgb_at(x + 27, y + 27), whit) << ox;
    EXPECT_EQ(rgb_at(x + 31, y + 31), 0u) << ox;
    EXPECT_EQ(rgb_at(x + 9, y + 9), 0u) << ox;
  }
  // A part of the texture: the upper right texel only.
  wins.win_x = wins.win_y = 0;
  glClear(GL_COLOR_BUFFER_BIT);
  OGL_2dquad_d(700, white, 1, 100, 100, 0.5f, 0.5f, 8, 8, 0.5f, 0.5f, al_none);
  EXPECT_EQ(rgb_at(100, 100), whit);
  EXPECT_EQ(rgb_at(107, 107), whit);
}

TEST_F(Quads, TheCornerQuadFollowsItsCorners) {
  // Turned half a turn: texel (0, 0) goes to the upper right.
  OGL_2dquad(700, white, 1, 50, 50, 1, 1, 50, 70, 1, 0, 70, 70, 0, 0, 70, 50, 0, 1, 1, al_none, 0);
  EXPECT_EQ(rgb_at(67, 67), red);
  EXPECT_EQ(rgb_at(52, 67), green);
  EXPECT_EQ(rgb_at(67, 52), blue);
  EXPECT_EQ(rgb_at(52, 52), whit);
}

TEST_F(Quads, TextureNumber0KeepsTheBinding) {
  tman.bind_ref(701, 0, 0);
  OGL_2dquad_d(0, white, 1, 10, 10, 0, 0, 20, 20, 1, 1, al_none);
  EXPECT_EQ(rgb_at(12, 12), whit);  // texture 701 holds the texels in reverse
  EXPECT_EQ(rgb_at(27, 27), red);
  OGL_2dquad(0, white, 1, 40, 40, 0, 0, 40, 60, 0, 1, 60, 60, 1, 1, 60, 40, 1, 0, 1, al_none, 0);
  EXPECT_EQ(rgb_at(42, 42), whit);
}

TEST_F(Quads, TheColourModulates) {
  colr.col[white][1] = 0;  // magenta
  OGL_2dquad_d(700, white, 1, 10, 10, 0, 0, 20, 20, 1, 1, al_none);
  EXPECT_EQ(rgb_at(27, 27), 0xFF00FFu);
  EXPECT_EQ(rgb_at(27, 12), 0u);
}

}  // namespace
