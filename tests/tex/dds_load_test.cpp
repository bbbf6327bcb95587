// Texture objects loaded from DDS files on the real driver: the choice of
// the ".dds" file, compressed upload and read-back, the size estimate,
// dropped levels, and files that must count as missing.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include <cstdlib>
#include "ogl/ogl_extensions.h"
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "tex/dds_support.h"
#include "tex/tex_gl.h"
#include "tex/tex_support.h"
#include "widgets/reno.h"

namespace {

// The folder's program has console 0 (registered by the other load tests).
class DdsLoad : public testing::Test {
 protected:
  void SetUp() override {
    tex_defaults();
    dir = test_scratch_dir("ddsload");
    fx = dds_fixtures();
    ASSERT_FALSE(fx.empty());
    // The suite's driver is Mesa's llvmpipe, which has S3TC.
    ASSERT_EQ(glExt.tex_comp_avail, 1);
  }
  // A file texture under a fresh manual number, loaded and bound directly.
  TEX_obj* load(const std::string& path, int flags, tex_fail_mode fail = tex_fail_silent) {
    return load_bound(next_ref++, path, flags, fail);
  }
  std::string copy(const std::string& name, const std::string& to) {
    EXPECT_EQ(test_run("cp '" + fx + name + "' '" + dir + to + "'"), 0);
    return dir + to;
  }
  std::string dir, fx;
  static int next_ref;
};
int DdsLoad::next_ref = 700;

// ImageMagick's 8-bit RGBA of a file's top level, rows bottom-up.
std::vector<unsigned char> magick_bottom_up(const std::string& file, int w, int h) {
  return magick_rgba_bottom_up(file + "[0]", w, h);
}

TEST_F(DdsLoad, TheDdsFileIsTakenOnlyWhenCompressionIsWanted) {
  const std::string base = dir + "foo";
  copy("dxt1.dds", "foo.dds");
  make_png(base + ".png", 16, 8, [](int, int) { return 0xFF0000FFu; });
  struct c {
    int comp_avail, setting, flags, dds;
  };
  for (const c& k : {c{1, 1, 1, 1}, c{0, 1, 1, 0}, c{1, 0, 1, 0}, c{1, 1, 0x201, 0}}) {
    glExt.tex_comp_avail = k.comp_avail;
    reno.use_tex_comp = k.setting;
    TEX_obj* o = load(base + ".png", k.flags | 0x40000);
    glExt.tex_comp_avail = 1;
    ASSERT_GT(o->vram(), 0);
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_COMPRESSED), k.dds) << k.comp_avail << k.setting << k.flags;
    EXPECT_EQ(o->image_format(), k.dds ? 0x83F0u : (GLenum)GL_RGB) << k.comp_avail << k.setting << k.flags;
  }
  // With no extension to replace, ".dds" is appended as well.
  TEX_obj* o = load(base, 0x40001);
  EXPECT_EQ(o->image_format(), 0x83F0u);
}

TEST_F(DdsLoad, CompressedUploadReadsBackAsTheSourceBottomUp) {
  struct c {
    const char* file;
    const char* source;
    uint32_t format;
    double mean_error;
  };
  for (const c& k : {c{"dxt1.dds", "rgb16x8.png", 0x83F0, 12}, c{"dxt5.dds", "rgba16x8.png", 0x83F3, 12},
                     c{"bgr.dds", "rgb16x8.png", GL_BGR, 0}, c{"bgra.dds", "rgba16x8.png", GL_BGRA, 0}}) {
    TEX_obj* o = load(copy(k.file, "up.dds"), 0x40002);
    ASSERT_GT(o->vram(), 0) << k.file;
    EXPECT_EQ(o->image_format(), k.format) << k.file;
    const bool s3tc = k.format >= 0x83F0;
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_COMPRESSED), s3tc ? 1 : 0) << k.file;
    if (s3tc) {
      EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT), (int)k.format) << k.file;
    }
    EXPECT_EQ(o->tot_dx(), 16);
    EXPECT_EQ(o->tot_dy(), 8);
    // The file's chain is uploaded, down to 1 x 1 at level 4.
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_WIDTH, 4), 1) << k.file;
    const std::vector<unsigned char> back = read_tex(GL_TEXTURE_2D, GL_RGBA, 4);
    const std::vector<unsigned char> src = magick_bottom_up(fx + k.source, 16, 8);
    ASSERT_EQ(back.size(), src.size());
    // ImageMagick's own encoder made the blocks: within S3TC's error of the
    // source; the uncompressed files exactly.
    double sum = 0;
    for (size_t i = 0; i < back.size(); ++i) sum += std::abs(back[i] - src[i]);
    EXPECT_LE(sum / back.size(), k.mean_error) << k.file;
    // Exactly as ImageMagick decodes the file itself.
    EXPECT_EQ(back, magick_bottom_up(fx + k.file, 16, 8)) << k.file;
  }
}

TEST_F(DdsLoad, TheByteEstimateIsTheDriversSize) {
  const std::string p = copy("dxt5.dds", "est.dds");
  for (int mips : {0, 0x20}) {
    TEX_obj* o = load(p, 0x40002 | mips);
    const int driver = level_param(GL_TEXTURE_2D, GL_TEXTURE_COMPRESSED_IMAGE_SIZE);
    EXPECT_EQ(driver, 128);  // 8 DXT5 blocks
    EXPECT_EQ(o->vram(), (int)(driver * (mips ? 1.33 : 1.0))) << mips;
  }
}

TEST_F(DdsLoad, TheResolutionSettingDropsWholeTopLevels) {
  const std::string p = copy("quads.dds", "quads.dds");
  struct c {
    int res, flags, side;
  };
  for (const c& k : {c{2, 1, 8}, c{2, 0x40001, 64}, c{4, 1, 32}, c{3, 1, 16}}) {
    reno.tex_res = k.res;
    TEX_obj* o = load(p, k.flags);
    EXPECT_EQ(o->vis_dx(), k.side) << k.res;
    EXPECT_EQ(o->tot_dx(), k.side) << k.res;
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), k.side) << k.res;
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT), k.side) << k.res;
    // The file's top left quarter is red: the last texture row starts red,
    // the first starts blue; the first row ends white.
    const std::vector<unsigned char> px = read_tex(GL_TEXTURE_2D, GL_RGB, 3);
    const size_t row = static_cast<size_t>(k.side) * 3, last = row * (k.side - 1);
    EXPECT_EQ(std::vector<unsigned char>(px.begin() + last, px.begin() + last + 3),
              (std::vector<unsigned char>{255, 0, 0})) << k.res;
    EXPECT_EQ(std::vector<unsigned char>(px.begin(), px.begin() + 3), (std::vector<unsigned char>{0, 0, 255}))
        << k.res;
    EXPECT_EQ(std::vector<unsigned char>(px.begin() + row - 3, px.begin() + row),
              (std::vector<unsigned char>{255, 255, 255})) << k.res;
  }
}

TEST_F(DdsLoad, ATransparentBlockMakesDxt1WithAlpha) {
  // 8 x 8: one three-colour block using index 3 in the top level, every
  // other block (and every smaller level) opaque.
  std::string chain = squish_levels(0x83F0, 8, 8, true, [](int, int, int, int) { return 0xFF0000FFu; });
  const std::string opaque = write_scratch("opaque.dds", dds_bytes(dds_header{8, 8}, chain));
  chain[0] = 0, chain[1] = 0, chain[2] = (char)0xFF, chain[3] = (char)0xFF;  // endpoint 0 below endpoint 1
  chain[4] = 0x03;  // pixel (0, 0) of the first block transparent
  const std::string holed = write_scratch("holed.dds", dds_bytes(dds_header{8, 8}, chain));
  TEX_obj* o = load(opaque, 0x40002);
  EXPECT_EQ(o->image_format(), 0x83F0u);
  o = load(holed, 0x40002);
  EXPECT_EQ(o->image_format(), 0x83F1u);
  EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT), 0x83F1);
  // The file's top left pixel is the texture's last row's first: clear.
  const std::vector<unsigned char> px = read_tex(GL_TEXTURE_2D, GL_RGBA, 4);
  EXPECT_EQ(px[4 * 8 * 7 + 3], 0);
  EXPECT_EQ(px[3], 255);
}

void load_np2(const std::string& path) {
  log_scripted_to_stderr();
  tman.load_texture(tex_fail_silent, 799, 0x40001, tex_load_now, path);
}

TEST_F(DdsLoad, ASizeThatIsNoPowerOfTwoIsAQuitAlert) {
  const std::string p = copy("np2.dds", "np2.dds");
  EXPECT_EXIT(load_np2(p), testing::ExitedWithCode(1),
              "Error: the texture\n[^\n]*/np2.dds\nis DDS but its size is not power of 2.\n\n\\(RUvozuz/TEX/TEX_obj");
}

TEST_F(DdsLoad, FilesThatCannotBeUsedAreMissing) {
  const std::string dxt1 = test_read_file(fx + "dxt1.dds");
  dds_header zero_width;
  zero_width.width = 0;
  struct c {
    const char* what;
    std::string bytes;
  };
  const c cases[] = {
      {"no mipmaps", test_read_file(fx + "nomip.dds")},
      {"10 bytes of DDS", "DDS " + std::string(6, '\0')},
      {"256 x 256 DXT1 with a chain over 200 bytes", dds_bytes(dds_header{256, 256}, std::string(200, '\x55'))},
      {"width 0", dds_bytes(zero_width, std::string(24, '\0'))},
      {"the last level cut off", dxt1.substr(0, dxt1.size() - 1)},
      {"DXT2", dxt1.substr(0, 84) + "DXT2" + dxt1.substr(88)},
  };
  for (const c& k : cases) {
    xer_capture log;
    const std::string p = write_scratch("bad.dds", k.bytes);
    TEX_obj* o = load(p, 0x40001, tex_fail_scenery);
    EXPECT_EQ(o->vram(), 0) << k.what;
    EXPECT_EQ(o->vis_dx(), 2) << k.what;
    EXPECT_EQ(log.text(), "WARNING: we are missing the texture: " + p + ".\n") << k.what;
  }
}

}  // namespace
