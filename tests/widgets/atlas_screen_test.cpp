// The coded test bundle through the texture manager onto the screen: a quad
// of an element's rectangle shows that element texel for pixel, its
// lower-left texel at the quad's lower-left pixel.
#include <gtest/gtest.h>
#include "ogl/drawing_fixture.h"
#include "platform/plat_bundle.h"
#include "support/atlas_probe.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"
#include "widgets/atlas_layout.h"

namespace {

const bool gl_ready = gl_console_register();

class CodedOnScreen : public Drawing {
 protected:
  void SetUp() override {
    Drawing::SetUp();
    TEX_reset_bind();
    probe_use_test_bundle();
  }
  void TearDown() override {
    PLAT_set_bundle_path("");
    Drawing::TearDown();
  }
  // Draws texels r of texture tex (tw x th texels) one per pixel from (x, y),
  // corners bottom-left, top-left, top-right, bottom-right as the widgets do.
  void quad(int tex, int tw, int th, atlas_rect r, float x, float y) {
    const float s0 = static_cast<float>(r.u0) / tw, s1 = static_cast<float>(r.u1) / tw;
    const float t0 = static_cast<float>(r.v0) / th, t1 = static_cast<float>(r.v1) / th;
    const float w = r.width(), h = r.height();
    OGL_2dquad(tex, white, 1, x, y, s0, t0, x, y + h, s0, t1, x + w, y + h, s1, t1, x + w, y, s1, t0, 1, al_blend,
               0);
  }
};

TEST_F(CodedOnScreen, AnAtlasElementLandsTexelForPixel) {
  ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 359, 0x40242, tex_load_now, "RESOURCE:interface.png"), 359);
  const char* const names[] = {"close box", "bar 2", "panel 22", "cursor 13", "sub-menu arrow"};
  for (const char* name : names) {
    int i = 0;
    while (i < k_atlas_element_count && std::string(k_atlas_elements[i].name) != name) ++i;
    ASSERT_LT(i, k_atlas_element_count) << name;
    const atlas_rect r = k_atlas_elements[i].r;
    glClear(GL_COLOR_BUFFER_BIT);
    quad(359, k_atlas_size, k_atlas_size, r, 100, 50);
    EXPECT_EQ(probe_atlas_pixel(100, 50), (probe_texel{r.u0, r.v0, i})) << name;
    EXPECT_EQ(probe_atlas_pixel(100 + r.width() - 1, 50 + r.height() - 1), (probe_texel{r.u1 - 1, r.v1 - 1, i}))
        << name;
    EXPECT_EQ(probe_atlas_pixel(99, 50), probe_texel{}) << name;
  }
  tman.unload_texture(359);
}

TEST_F(CodedOnScreen, AScreenTexturePictureLandsTexelForPixel) {
  ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 362, 0x48242, tex_load_now, "RESOURCE:elements_French.png"), 362);
  const atlas_rect r = picture_rect(2, 1, band_hovered);
  quad(362, k_screen_tex_w, k_screen_tex_h, r, 300, 200);
  glFinish();
  const uint32_t ll = gl_pixel(300, 200), ur = gl_pixel(300 + r.width() - 1, 200 + r.height() - 1);
  EXPECT_EQ(probe_screen_colour(ll >> 24, ll >> 16, ll >> 8, 1),
            (probe_texel{r.u0, r.v0, screen_picture_element(2, band_hovered)}));
  EXPECT_EQ(probe_screen_colour(ur >> 24, ur >> 16, ur >> 8, 1),
            (probe_texel{r.u1 - 1, r.v1 - 1, screen_picture_element(2, band_hovered)}));
  tman.unload_texture(362);
}

}  // namespace
