// Textures turned into alpha masks on the card, checked by reading them
// back.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cstring>
#include "core/scratch.h"
#include "core/utl_mem.h"
#include "tex/TEX_alpha_mask.h"
#include "tex/tex_gl.h"

namespace {

const bool gl = tex_gl_register();

int next_ref = 800;

// An RGBA memory texture whose pixel (x, y), rows bottom-up, has red
// red(x, y) and green, blue and alpha 7. Returns its number.
int memory_texture(int w, int h, const std::function<int(int, int)>& red) {
  unsigned char* px = static_cast<unsigned char*>(xmalloc(static_cast<unsigned long>(w) * h * 4));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = px + (static_cast<size_t>(y) * w + x) * 4;
      p[0] = static_cast<unsigned char>(red(x, y));
      p[1] = p[2] = p[3] = 7;
    }
  const int ref = next_ref++;
  EXPECT_EQ(tman.load_texture_mem_idx(ref, 2, px, w, h, "mask"), ref);
  return ref;
}

std::vector<unsigned char> read_back(int ref) {
  bind_direct(tman.get_known_obj(ref));
  return read_tex(GL_TEXTURE_2D, GL_RGBA, 4);
}

struct mask_case {
  const char* name;
  int w, h, blur;
  std::function<int(int, int)> red;
  std::vector<int> alpha;  // rows bottom-up
};

TEST(AlphaMask, DarknessBecomesAlphaOverBlackAndTheBlurWorksInPlace) {
  // 165 is alpha 90; the blur of the first inner pixel is 90 / 9 = 10, and
  // its right neighbour sees that 10 already: 10 / 9 = 1.
  auto one_dark = [](int x, int y) { return x == 0 && y == 0 ? 165 : 255; };
  const mask_case cases[] = {
      {"white turns transparent", 2, 2, 0, [](int, int) { return 255; }, {0, 0, 0, 0}},
      {"black turns opaque", 2, 2, 0, [](int, int) { return 0; }, {255, 255, 255, 255}},
      {"a ramp of red", 4, 1, 0, [](int x, int) { return 60 * x; }, {255, 195, 135, 75}},
      {"two pixels wide: no blur", 2, 3, 1, one_dark, {90, 0, 0, 0, 0, 0}},
      {"a 4 x 3 blur, row by row in place", 4, 3, 1, one_dark, {90, 0, 0, 0, 0, 10, 1, 0, 0, 0, 0, 0}},
      {"blur off", 4, 3, 0, one_dark, {90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const mask_case& c : cases) {
    const int ref = memory_texture(c.w, c.h, c.red);
    TEX_make_alpha_mask(ref, c.blur);
    const std::vector<unsigned char> back = read_back(ref);
    ASSERT_EQ(back.size(), c.alpha.size() * 4) << c.name;
    for (size_t i = 0; i < c.alpha.size(); ++i) {
      EXPECT_EQ(back[i * 4], 0) << c.name << " pixel " << i;
      EXPECT_EQ(back[i * 4 + 1], 0) << c.name << " pixel " << i;
      EXPECT_EQ(back[i * 4 + 2], 0) << c.name << " pixel " << i;
      EXPECT_EQ(back[i * 4 + 3], c.alpha[i]) << c.name << " pixel " << i;
    }
  }
}

TEST(AlphaMask, AFailedTextureLeavesThePlaceholderGrey) {
  tman.TEX_init();
  const int ref = next_ref++;
  EXPECT_EQ(tman.load_texture(tex_fail_silent, ref, 2, tex_load_now, "/nonexistent/missing.png"), 0);
  ASSERT_EQ(tman.tex_err(ref), 1);
  TEX_make_alpha_mask(ref, 1);
  bind_direct(tman.get_known_obj(tman_class::placeholder_ref));
  const std::vector<unsigned char> back = read_tex(GL_TEXTURE_2D, GL_RGB, 3);
  ASSERT_EQ(back.size(), 12u);
  for (unsigned char v : back) EXPECT_EQ(v, 130);
}

TEST(AlphaMask, ATextureLargerThanTheScratchImageIsLeftAlone) {
  // 2048 x 2049 RGBA is one row more than the scratch image holds.
  ASSERT_GT(2048u * 2049u * 4u, static_cast<unsigned>(scratch_array_bytes));
  const int ref = memory_texture(2048, 2049, [](int, int) { return 200; });
  TEX_make_alpha_mask(ref, 0);
  const std::vector<unsigned char> back = read_back(ref);
  ASSERT_EQ(back.size(), 2048u * 2049u * 4u);
  EXPECT_EQ(back[0], 200);
  EXPECT_EQ(back[3], 7);
  EXPECT_EQ(back[back.size() - 4], 200);
}

}  // namespace
