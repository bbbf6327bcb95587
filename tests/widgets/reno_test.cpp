#include <gtest/gtest.h>
#include <tuple>
#include "widgets/reno.h"

namespace {

auto fields(const reno_class& r) {
  return std::tie(r.max_aniso, r.num_tex_units, r.num_img_units, r.num_tex_coords, r.gl_vendor, r.gl_renderer,
                  r.gl_version, r.gl_extensions, r.tex_res, r.use_vsync1, r.use_vsync2, r.alias_req, r.alias_got,
                  r.use_tex_comp, r.no_pbo_movie);
}

TEST(RenderingOptions, ZeroUntilInitThenCompressedTexturesOnly) {
  reno_class fresh;
  EXPECT_TRUE(fields(fresh) == std::make_tuple(0.0f, 0, 0, 0, "", "", "", "", 0, 0, 0, 0, 0, 0, 0));

  reno_class r;
  r.reno_init();
  EXPECT_EQ(r.use_tex_comp, 1);
  r.use_tex_comp = 0;
  EXPECT_TRUE(fields(r) == fields(fresh));

  r.reno_wind();  // draws nothing, changes nothing
  EXPECT_TRUE(fields(r) == fields(fresh));
}

}  // namespace
