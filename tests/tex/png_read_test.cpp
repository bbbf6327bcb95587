// Decoding PNG files against ImageMagick's reading of the same files, over
// every colour type and bit depth, the three requested formats and the three
// alpha modes; the row padding; and the display gamma.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "tex/TEX_png.h"
#include "tex/tex_support.h"
#include "widgets/colr.h"

namespace {

struct png_case {
  const char* name;
  int bit_depth;
  int colour_type;
  int interlaced;
  bool trns;
};

void PrintTo(const png_case& c, std::ostream* os) { *os << c.name; }

const png_case k_cases[] = {
    {"g1", 1, 0, 0, false},     {"g2", 2, 0, 0, false},      {"g4", 4, 0, 0, false},
    {"g8", 8, 0, 0, false},     {"g16", 16, 0, 0, false},    {"ga8", 8, 4, 0, false},
    {"ga16", 16, 4, 0, false},  {"rgb8", 8, 2, 0, false},    {"rgb16", 16, 2, 0, false},
    {"rgba8", 8, 6, 0, false},  {"rgba16", 16, 6, 0, false}, {"p1", 1, 3, 0, false},
    {"p2", 2, 3, 0, false},     {"p4", 4, 3, 0, false},      {"p8", 8, 3, 0, false},
    {"ptrns", 8, 3, 0, true},   {"gtrns", 8, 0, 0, true},    {"rgba8_adam7", 8, 6, 1, false},
    {"p4_adam7", 4, 3, 1, false},
};

constexpr int k_w = 13, k_h = 7;

// The output format of the alpha-mode table.
unsigned long expected_format(unsigned long asked, int mode, bool has_alpha, bool has_colour) {
  static const unsigned long from_file[2][2] = {{GL_ALPHA, GL_RGB}, {GL_RGBA, GL_RGBA}};
  if (mode == 2) return from_file[has_alpha][has_colour];
  if (mode == 1 && has_alpha && asked == GL_RGB) return GL_RGBA;
  if (mode == 1 && !has_alpha && asked == GL_RGBA) return GL_RGB;
  return asked;
}

class PngDecode : public testing::TestWithParam<png_case> {};

TEST_P(PngDecode, MatchesImageMagickInEveryFormatAndMode) {
  const png_case& c = GetParam();
  const std::string path = png_fixtures() + c.name + ".png";
  const std::string file = test_read_file(path);
  ASSERT_GT(file.size(), 29u) << path;
  // The fixture is what its name says.
  ASSERT_EQ(file[24], c.bit_depth);
  ASSERT_EQ(file[25], c.colour_type);
  ASSERT_EQ(file[28], c.interlaced);
  ASSERT_EQ(file.find("tRNS") != std::string::npos, c.trns);

  const std::vector<unsigned char> ref = magick_rgba_bottom_up(path, k_w, k_h);
  ASSERT_EQ(ref.size(), static_cast<size_t>(k_w * k_h * 4));
  const bool has_alpha = (c.colour_type & 4) || c.trns;
  const bool has_colour = (c.colour_type & 2) != 0;
  // ImageMagick scales 16-bit samples to 8 bits with rounding where libpng
  // keeps the high byte, and the two weigh colour into grey their own ways.
  const int slack = c.bit_depth == 16 ? 1 : 0;

  for (unsigned long asked : {GL_RGB, GL_RGBA, GL_ALPHA}) {
    for (int mode = 0; mode < 3; ++mode) {
      SCOPED_TRACE(testing::Message() << "asked 0x" << std::hex << asked << std::dec << " mode " << mode);
      // With gamma correction libpng weighs colour into grey in linear light
      // through 8-bit tables, which crushes dark colours; ImageMagick weighs
      // the stored values, as libpng does without correction.
      const unsigned long format = expected_format(asked, mode, has_alpha, has_colour);
      const bool colour_to_grey = format == GL_ALPHA && has_colour;
      const decoded_png got = decode_png(path, asked, 0, 0, static_cast<png_alpha_mode>(mode), !colour_to_grey);
      ASSERT_EQ(got.ok, 1);
      EXPECT_EQ(got.desc.format, format);
      EXPECT_EQ(got.desc.width, k_w);
      EXPECT_EQ(got.desc.height, k_h);
      EXPECT_EQ(got.desc.pad, 0);
      EXPECT_EQ(got.desc.has_mipmaps, 0);
      const int bpp = format == GL_RGBA ? 4 : format == GL_RGB ? 3 : 1;
      ASSERT_EQ(got.bytes.size(), static_cast<size_t>(k_w * k_h * bpp));
      int worst = 0;
      for (int p = 0; p < k_w * k_h; ++p) {
        const unsigned char* r = &ref[static_cast<size_t>(p) * 4];
        int want[4] = {r[0], r[1], r[2], r[3]};
        int tolerance = slack;
        if (colour_to_grey) {
          want[0] = (6968 * r[0] + 23434 * r[1] + 2366 * r[2] + 16384) >> 15;  // Rec. 709, as ImageMagick's gray:
          tolerance = 1;
        }
        for (int k = 0; k < bpp; ++k) {
          const int diff = std::abs(got.bytes[static_cast<size_t>(p * bpp + k)] - want[k]);
          if (diff > tolerance) ADD_FAILURE() << "pixel " << p << " channel " << k << " off by " << diff;
          worst = std::max(worst, diff);
        }
        if (worst > tolerance) return;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(ColourTypesAndDepths, PngDecode, testing::ValuesIn(k_cases),
                         [](const testing::TestParamInfo<png_case>& info) { return std::string(info.param.name); });

TEST(PngDecode, GreyAsRgbaIsOpaqueWithEqualChannels) {
  const decoded_png got = decode_png(png_fixtures() + "g8.png", GL_RGBA);
  ASSERT_EQ(got.ok, 1);
  for (size_t p = 0; p < got.bytes.size(); p += 4) {
    EXPECT_EQ(got.bytes[p], got.bytes[p + 1]);
    EXPECT_EQ(got.bytes[p], got.bytes[p + 2]);
    EXPECT_EQ(got.bytes[p + 3], 255);
  }
}

TEST(PngPadding, PowerOfTwoPadsRowsAndZeroesTheRowsAbove) {
  const std::string path = png_fixtures() + "rgb100x60.png";
  const decoded_png got = decode_png(path, GL_RGB, 0, 1);
  ASSERT_EQ(got.ok, 1);
  EXPECT_EQ(got.desc.width, 100);
  EXPECT_EQ(got.desc.height, 60);
  EXPECT_EQ(got.desc.pad, 84);
  ASSERT_EQ(got.bytes.size(), 64u * 384u);
  const std::vector<unsigned char> ref = magick_rgba_bottom_up(path, 100, 60);
  ASSERT_FALSE(ref.empty());
  for (int row = 0; row < 64; ++row) {
    for (int x = 0; x < 128; ++x) {
      for (int k = 0; k < 3; ++k) {
        const unsigned char v = got.bytes[static_cast<size_t>(row * 384 + x * 3 + k)];
        const bool picture = row < 60 && x < 100;
        const int want = picture ? ref[static_cast<size_t>((row * 100 + x) * 4 + k)] : 0;
        ASSERT_EQ(v, want) << "row " << row << " x " << x;
      }
    }
  }
}

TEST(PngPadding, PadToWidthKeepsTheCallersBytesAndTheRowCount) {
  const std::string path = png_fixtures() + "rgb100x60.png";
  const size_t stride = 384, size = stride * 60, sentinel = 64;
  unsigned char* buffer = static_cast<unsigned char*>(xmalloc(size + sentinel));
  memset(buffer, 0xAB, size + sentinel);
  xmap_class file(path, 0, 0);
  unsigned char* given = buffer;
  TEX_image_desc desc;
  ASSERT_EQ(TEX_load_png(path, &file, given, GL_RGB, 128, 0, png_alpha_as_asked, 1, desc), 1);
  EXPECT_EQ(given, buffer);  // used as it is
  EXPECT_EQ(desc.pad, 84);
  EXPECT_EQ(desc.height, 60);
  const std::vector<unsigned char> ref = magick_rgba_bottom_up(path, 100, 60);
  for (size_t row = 0; row < 60; ++row) {
    for (size_t x = 0; x < 100; ++x)
      for (size_t k = 0; k < 3; ++k) ASSERT_EQ(buffer[row * stride + x * 3 + k], ref[(row * 100 + x) * 4 + k]);
    for (size_t b = 300; b < stride; ++b) ASSERT_EQ(buffer[row * stride + b], 0xAB) << "pad of row " << row;
  }
  for (size_t b = size; b < size + sentinel; ++b) ASSERT_EQ(buffer[b], 0xAB) << "past the buffer";
  EXPECT_EQ(file.mem_cur, file.mem_end - 12);  // after the image data; the end chunk is not read
  xfree(buffer);
}

TEST(PngPadding, PadToBelowTheWidthIsRefusedWithOneLine) {
  xer_capture log;
  const std::string path = png_fixtures() + "rgb100x60.png";
  xmap_class file(path, 0, 0);
  unsigned char* buffer = nullptr;
  TEX_image_desc desc;
  EXPECT_EQ(TEX_load_png(path, &file, buffer, GL_RGB, 99, 0, png_alpha_as_asked, 1, desc), 0);
  EXPECT_EQ(buffer, nullptr);
  const std::string text = log.text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_NE(text.find("rgb100x60.png"), std::string::npos) << text;
}

TEST(PngGamma, AtEqualGammasTheFileBytesComeBackWithOrWithoutCorrection) {
  const std::string path = png_fixtures() + "rgb8.png";
  const std::vector<unsigned char> ref = magick_rgba_bottom_up(path, k_w, k_h);
  for (int gamma : {0, 1}) {
    const decoded_png got = decode_png(path, GL_RGBA, 0, 0, png_alpha_as_asked, gamma);
    ASSERT_EQ(got.ok, 1);
    EXPECT_EQ(got.bytes, ref) << "gamma " << gamma;
  }
}

TEST(PngGamma, AtDisplayGamma22TheRampFollowsTheColourTable) {
  display_gamma_22 g22;
  const std::string path = png_fixtures() + "ramp.png";
  const decoded_png got = decode_png(path, GL_ALPHA);
  ASSERT_EQ(got.ok, 1);
  ASSERT_EQ(got.bytes.size(), 256u);
  EXPECT_EQ(got.bytes[128], 145);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(got.bytes[static_cast<size_t>(i)], colr.gamma_table[i]) << "grey " << i;
  // Without correction the raw ramp.
  const decoded_png raw = decode_png(path, GL_ALPHA, 0, 0, png_alpha_as_asked, 0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(raw.bytes[static_cast<size_t>(i)], i);
}

TEST(PngGamma, AFileGammaOfTheDisplayDecodesToItsOwnBytes) {
  display_gamma_22 g22;
  const decoded_png got = decode_png(png_fixtures() + "gama.png", GL_RGB);
  ASSERT_EQ(got.ok, 1);
  for (int i = 0; i < 256; ++i)
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got.bytes[static_cast<size_t>(i * 3 + k)], i, 1) << "grey " << i;
}

TEST(PngDecode, AFileUnder8BytesGivesNothingSilently) {
  xer_capture log;
  const std::string path = test_scratch_dir("png") + "short.png";
  ASSERT_TRUE(test_write_file(path, std::string("\x89PNG\r\n\x1a", 7)));
  const decoded_png got = decode_png(path, GL_RGBA);
  EXPECT_EQ(got.ok, 0);
  EXPECT_EQ(decode_png(path + ".missing", GL_RGBA).ok, 0);
  EXPECT_EQ(log.text(), "");
}

TEST(PngDecode, ABadTextChecksumLogsOneWarningAndThePictureDecodes) {
  xer_capture log;
  const std::string path = png_fixtures() + "badtext.png";
  const decoded_png got = decode_png(path, GL_RGBA);
  ASSERT_EQ(got.ok, 1);
  EXPECT_EQ(got.bytes, magick_rgba_bottom_up(png_fixtures() + "rgb8.png", k_w, k_h));
  const std::string text = log.text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_EQ(text.rfind("PNG warning! ", 0), 0u) << text;
  EXPECT_NE(text.find(", " + path + "\n"), std::string::npos) << text;
}

TEST(PngSizes, AHeaderBeyondAnIntOfBytesIsRefusedWithOneLine) {
  xer_capture log;
  const std::string path = png_fixtures() + "huge.png";
  EXPECT_EQ(decode_png(path, GL_RGBA).ok, 0);
  const std::string text = log.text();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_NE(text.find(path), std::string::npos) << text;
}

#if !defined(DUV_ASAN) && !defined(DUV_TSAN)
// Exits 0 when the decode failed cleanly with the address space capped
// below the picture's size.
void decode_without_memory(const std::string& path) {
  log_scripted_to_stderr();
  cap_address_space(768L << 20);
  _exit(decode_png(path, GL_RGB).ok == 0 ? 0 : 2);
}

TEST(PngSizesDeathTest, MemoryRunningOutIsAFailedDecodeNamingThePath) {
  const std::string path = png_fixtures() + "large.png";
  EXPECT_EXIT(decode_without_memory(path), testing::ExitedWithCode(0), "out of memory[^\n]*large.png\n");
}
#endif

}  // namespace
