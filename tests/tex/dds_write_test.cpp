// Writing DDS files, read back by hand and by ImageMagick, and the S3TC
// calls checked against libsquish's own.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include <squish.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include "support/test_env.h"
#include "tex/dds_support.h"
#include "tex/tex_support.h"

namespace {

uint32_t u32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(s[at + i]);
  return v;
}

std::vector<unsigned char> picture(int w, int h, int bpp) {
  std::vector<unsigned char> px(static_cast<size_t>(w) * h * bpp);
  for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<unsigned char>((i * 37) ^ (i / 5));
  return px;
}

TEST(DdsSave, HeaderAndLevels) {
  struct c {
    uint32_t format;
    int w, h;
    const char* code;
    uint32_t levels, linear;
    size_t data;
  };
  // Block bytes per level: 16 (DXT5) or 8 (DXT1) per started 4 x 4.
  for (const c& k : {c{GL_RGBA, 4, 4, "DXT5", 3, 16, 48}, c{GL_RGBA, 1, 1, "DXT5", 1, 16, 16},
                     c{GL_RGB, 1, 1, "DXT1", 1, 8, 8}, c{GL_RGB, 16, 4, "DXT1", 5, 32, 32 + 16 + 8 + 8 + 8},
                     c{GL_RGBA, 2, 8, "DXT5", 4, 32, 32 + 16 + 16 + 16}}) {
    const std::string path = test_scratch_dir("ddssave") + "out.dds";
    TEX_image_desc d;
    d.format = k.format, d.width = k.w, d.height = k.h;
    ASSERT_EQ(TEX_save_dds(path, picture(k.w, k.h, k.format == GL_RGBA ? 4 : 3).data(), d), 1);
    const std::string f = test_read_file(path);
    ASSERT_EQ(f.size(), 128 + k.data) << k.code << k.w;
    EXPECT_EQ(f.substr(0, 4), "DDS ");
    EXPECT_EQ(u32(f, 4), 124u);
    EXPECT_EQ(u32(f, 8), 0xA1007u);
    EXPECT_EQ(u32(f, 12), static_cast<uint32_t>(k.h));
    EXPECT_EQ(u32(f, 16), static_cast<uint32_t>(k.w));
    EXPECT_EQ(u32(f, 20), k.linear);
    EXPECT_EQ(u32(f, 24), 0u);
    EXPECT_EQ(u32(f, 28), k.levels);
    EXPECT_EQ(u32(f, 76), 32u);
    EXPECT_EQ(u32(f, 80), 4u);
    EXPECT_EQ(f.substr(84, 4), k.code);
    EXPECT_EQ(u32(f, 108), 0x401008u);
    // The reader takes its own files back with the whole chain.
    const dds_read r = read_dds(path);
    EXPECT_EQ(r.ok, 1);
    EXPECT_EQ(r.desc.has_mipmaps, 1);
  }
}

// ImageMagick's normalised root-mean-square distance between a file and a
// picture (a file name or a parenthesised list of operations).
double magick_rmse(const std::string& file, const std::string& picture) {
  const std::string out = test_capture("convert '" + file + "' " + picture +
                                       " -metric RMSE -compare -format '%[distortion]' info:");
  return out.empty() ? 1.0 : std::atof(out.c_str());
}

TEST(DdsSave, ImageMagickSeesTheSourcePicture) {
  const std::string dir = dds_fixtures();
  for (const char* name : {"rgb16x8.png", "rgba16x8.png"}) {
    const decoded_png src = decode_png(dir + name, std::string(name).find("rgba") == 0 ? GL_RGBA : GL_RGB);
    ASSERT_EQ(src.ok, 1) << name;
    const std::string out = test_scratch_dir("ddsmagick") + "out.dds";
    ASSERT_EQ(TEX_save_dds(out, src.bytes.data(), src.desc), 1);
    // Upside down it would be far off: the writer turned the rows top-down.
    EXPECT_LT(magick_rmse(dir + name, "'" + out + "[0]'"), 0.06) << name;
    EXPECT_GT(magick_rmse(dir + name, "\\( '" + out + "[0]' -flip \\)"), 0.2) << name;
  }
}

void save_bgra() {
  log_scripted_to_stderr();
  const unsigned char px[4] = {1, 2, 3, 4};
  TEX_image_desc d;
  d.format = GL_BGRA, d.width = d.height = 1;
  TEX_save_dds(test_scratch_dir("bgra") + "x.dds", px, d);
}

TEST(DdsSaveDeathTest, OnlyRgbAndRgbaAreWritten) {
  EXPECT_EXIT(save_bgra(), testing::ExitedWithCode(1),
              "rel_assert Error! Possibly an out of range vector! Attach the debugger and see who called this!\n"
              "in_desc.format == GL_RGBA \\|\\| in_desc.format == GL_RGB\nTEX_save_dds\n"
              "Please report this to Corvane Research.\n\\(RUvozuz/TEX/TEX_dds line");
}

TEST(DdsSave, FilesThatCannotBeCreatedOrWrittenAreFailures) {
  TEX_image_desc d;
  d.format = GL_RGB, d.width = d.height = 1;
  const unsigned char px[3] = {0, 0, 0};
  EXPECT_EQ(TEX_save_dds(test_scratch_dir("nodir") + "missing/x.dds", px, d), 0);
  // Every write to /dev/full fails, at the latest when the close flushes.
  EXPECT_EQ(TEX_save_dds("/dev/full", px, d), 0);
  EXPECT_EQ(access("/dev/full", F_OK), 0);
}

TEST(S3tc, QualityChoosesTheFitAndFormatTheKind) {
  // Smooth ramps, on which the three fits give three different answers.
  const int w = 8, h = 8;
  std::vector<unsigned char> rgba(w * h * 4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      unsigned char* p = &rgba[(y * w + x) * 4];
      p[0] = static_cast<unsigned char>(x * 255 / (w - 1)), p[1] = static_cast<unsigned char>(y * 255 / (h - 1));
      p[2] = static_cast<unsigned char>(x * y * 5), p[3] = 255;
    }
  auto squished = [&](int flags) {
    std::vector<unsigned char> b(static_cast<size_t>(squish::GetStorageRequirements(w, h, flags)));
    squish::CompressImage(rgba.data(), w, h, b.data(), flags);
    return b;
  };
  ASSERT_NE(squished(squish::kDxt1 | squish::kColourRangeFit), squished(squish::kDxt1 | squish::kColourClusterFit));
  ASSERT_NE(squished(squish::kDxt1 | squish::kColourIterativeClusterFit),
            squished(squish::kDxt1 | squish::kColourClusterFit));
  ASSERT_NE(squished(squish::kDxt1 | squish::kColourIterativeClusterFit),
            squished(squish::kDxt1 | squish::kColourRangeFit));
  struct c {
    uint32_t format;
    int quality, flags;
  };
  const c cases[] = {
      {0x83F0, 0, squish::kDxt1 | squish::kColourRangeFit},
      {0x83F1, 1, squish::kDxt1 | squish::kColourClusterFit},
      {0x83F2, 2, squish::kDxt3 | squish::kColourIterativeClusterFit},
      {0x83F3, 7, squish::kDxt5 | squish::kColourClusterFit},
      {GL_RGBA, -1, squish::kDxt5 | squish::kColourClusterFit},
  };
  TEX_image_desc src;
  src.format = GL_RGBA, src.width = w, src.height = h;
  for (const c& k : cases) {
    TEX_image_desc target = src;
    target.format = k.format;
    const std::vector<unsigned char> want = squished(k.flags);
    std::vector<unsigned char> got(want.size() + 16, 0xEE);
    TEX_encode_s3tc(src, target, rgba.data(), got.data(), static_cast<TEX_s3tc_quality>(k.quality));
    EXPECT_EQ(std::vector<unsigned char>(got.begin(), got.begin() + want.size()), want) << std::hex << k.format;
    EXPECT_EQ(got[want.size()], 0xEE) << "wrote past its blocks: " << std::hex << k.format;
    // Decoding picks the kind from the source's format.
    TEX_image_desc blocks = target;
    std::vector<unsigned char> back(rgba.size());
    TEX_decode_s3tc(blocks, src, want.data(), back.data());
    EXPECT_EQ(back, squish_decode(k.format == GL_RGBA ? 0x83F3 : k.format, w, h, want.data())) << std::hex << k.format;
  }
}

}  // namespace
