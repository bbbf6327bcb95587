// Decoding BMP files against ImageMagick's reading of the same files, in the
// three formats, with the display gamma, cut short, and refusing headers
// that would read past the file or allocate from garbage.
#include <gtest/gtest.h>
#include <unistd.h>
#include <algorithm>
#include <cstring>
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "tex/TEX_bmp.h"
#include "tex/TEX_utils.h"
#include "tex/tex_support.h"
#include "widgets/colr.h"

namespace {

struct decoded_bmp {
  int ok = 0;
  TEX_image_desc desc;
  std::vector<unsigned char> bytes;
};

// TEX_load_bmp of a fixture. With a non-empty into, decodes into a copy of
// it (the caller's buffer) and returns all of it; else the decoder
// allocates and rows x stride bytes come back.
decoded_bmp decode_bmp(const std::string& name, unsigned long format, int pad_to_width = 0, int power_of_two = 0,
                       std::vector<unsigned char> into = {}) {
  const std::string path = bmp_fixtures() + name;
  decoded_bmp out;
  xmap_class file(path, 0, 0);
  unsigned char* buffer = into.empty() ? nullptr : into.data();
  out.ok = TEX_load_bmp(path, &file, buffer, format, pad_to_width, power_of_two, out.desc);
  if (!into.empty()) {
    out.bytes = into;
  } else if (out.ok) {
    out.bytes = decoded_bytes(buffer, out.desc, power_of_two);
    xfree(buffer);
  }
  return out;
}

// ImageMagick's RGB bytes of a fixture, rows turned bottom-up.
std::vector<unsigned char> magick_rgb_bottom_up(const std::string& name, int width) {
  const std::string raw = test_capture("convert '" + bmp_fixtures() + name + "' -depth 8 rgb:-");
  return flip_rows(std::vector<unsigned char>(raw.begin(), raw.end()), static_cast<size_t>(width) * 3);
}

// The decoder's output for ImageMagick's RGB bytes, without gamma.
std::vector<unsigned char> expected_from_rgb(const std::vector<unsigned char>& rgb, unsigned long format) {
  std::vector<unsigned char> out;
  for (size_t i = 0; i + 3 <= rgb.size(); i += 3) {
    const unsigned char r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
    if (format == GL_ALPHA) {
      out.push_back(static_cast<unsigned char>((r + g + b) / 3));
    } else if (format == GL_RGBA && r == 255 && g == 0 && b == 255) {
      out.insert(out.end(), {0, 0, 0, 0});
    } else {
      out.insert(out.end(), {r, g, b});
      if (format == GL_RGBA) out.push_back(255);
    }
  }
  return out;
}

constexpr int k_w = 13, k_h = 7;

TEST(BmpRead, InfoAndV5HeadersDecodeToImageMagicksPixelsInEveryFormat) {
  const std::vector<unsigned char> rgb = magick_rgb_bottom_up("plasma3.bmp", k_w);
  ASSERT_EQ(rgb.size(), static_cast<size_t>(k_w * k_h * 3));
  // The V5 file is the same picture and keeps its pixels further on.
  ASSERT_EQ(magick_rgb_bottom_up("plasma5.bmp", k_w), rgb);
  ASSERT_EQ(test_read_file(bmp_fixtures() + "plasma5.bmp")[10], static_cast<char>(138));
  for (const char* name : {"plasma3.bmp", "plasma5.bmp"}) {
    for (unsigned long format : {GL_RGB, GL_RGBA, GL_ALPHA}) {
      const decoded_bmp d = decode_bmp(name, format);
      ASSERT_EQ(d.ok, 1) << name << " " << format;
      EXPECT_EQ(d.desc.format, format);
      EXPECT_EQ(d.desc.width, k_w);
      EXPECT_EQ(d.desc.height, k_h);
      EXPECT_EQ(d.desc.pad, 0);
      EXPECT_EQ(d.desc.has_mipmaps, 0);
      EXPECT_EQ(d.bytes, expected_from_rgb(rgb, format)) << name << " " << format;
    }
  }
}

TEST(BmpRead, AThreeByTwoFileHasRowsOfTwelveBytesAndDecodesToPackedRows) {
  // Rows bottom-up: black, white, 90,60,30; then magenta, 10,20,30, 200,100,50.
  const struct {
    unsigned long format;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {GL_RGB, {0, 0, 0, 255, 255, 255, 90, 60, 30, 255, 0, 255, 10, 20, 30, 200, 100, 50}},
      {GL_RGBA, {0, 0, 0, 255, 255, 255, 255, 255, 90, 60, 30, 255,
                 0, 0, 0, 0,   10,  20,  30,  255, 200, 100, 50, 255}},
      {GL_ALPHA, {0, 255, 60, 170, 20, 116}},
  };
  ASSERT_EQ(test_read_file(bmp_fixtures() + "small.bmp").size(), 54u + 2 * 12);
  for (const auto& c : cases) {
    const decoded_bmp d = decode_bmp("small.bmp", c.format);
    ASSERT_EQ(d.ok, 1) << c.format;
    EXPECT_EQ(d.desc.width, 3);
    EXPECT_EQ(d.desc.height, 2);
    EXPECT_EQ(d.desc.pad, 0);
    EXPECT_EQ(d.bytes, c.bytes) << c.format;
  }
}

TEST(BmpRead, PaddingToAWidthOrToPowersOfTwo) {
  const struct {
    int pad_to_width, power_of_two;
    int pad;
    size_t rows;
  } cases[] = {{5, 0, 6, 2}, {0, 1, 3, 2}, {8, 1, 3, 2}};
  for (const auto& c : cases) {
    const decoded_bmp d = decode_bmp("small.bmp", GL_RGB, c.pad_to_width, c.power_of_two);
    ASSERT_EQ(d.ok, 1);
    EXPECT_EQ(d.desc.pad, c.pad) << c.pad_to_width << " " << c.power_of_two;
    const size_t stride = 9 + static_cast<size_t>(c.pad);
    ASSERT_EQ(d.bytes.size(), stride * c.rows);
    EXPECT_EQ(d.bytes[stride + 3], 10) << "top row, second pixel";
    if (c.power_of_two) {
      EXPECT_EQ(d.bytes[9], 0) << "the pad is zero-filled";
    }
  }
}

TEST(BmpRead, TheGammaLookupAppliesToColourButNotToTheMagentaTestOrAlpha) {
  display_gamma_22 gamma;
  ASSERT_EQ(colr.gamma_changed, 1);
  const unsigned char* lut = colr.gamma_table;
  ASSERT_NE(lut[90], 90);
  const decoded_bmp rgba = decode_bmp("small.bmp", GL_RGBA);
  ASSERT_EQ(rgba.ok, 1);
  const std::vector<unsigned char> want = {0, 0, 0, 255, 255, 255, 255, 255, lut[90], lut[60], lut[30], 255,
                                           0, 0, 0, 0, lut[10], lut[20], lut[30], 255, lut[200], lut[100], lut[50], 255};
  EXPECT_EQ(rgba.bytes, want);
  EXPECT_EQ(decode_bmp("small.bmp", GL_ALPHA).bytes, (std::vector<unsigned char>{0, 255, 60, 170, 20, 116}));
}

TEST(BmpRead, AFileCutInsideItsPixelsLeavesTheRestAsItWas) {
  // cut.bmp holds three rows and 20 bytes of the fourth: six whole pixels.
  const std::vector<unsigned char> rgb = magick_rgb_bottom_up("plasma3.bmp", k_w);
  ASSERT_EQ(rgb.size(), static_cast<size_t>(k_w * k_h * 3));
  auto decoded_pixel = [&](int x, int y) { return y < 3 || (y == 3 && x < 6); };

  const decoded_bmp sentinel = decode_bmp("cut.bmp", GL_RGB, 0, 0, std::vector<unsigned char>(k_w * k_h * 3, 0xAB));
  ASSERT_EQ(sentinel.ok, 1);
  for (int y = 0; y < k_h; ++y)
    for (int x = 0; x < k_w; ++x)
      for (int c = 0; c < 3; ++c) {
        const size_t at = static_cast<size_t>((y * k_w + x) * 3 + c);
        EXPECT_EQ(sentinel.bytes[at], decoded_pixel(x, y) ? rgb[at] : 0xAB) << x << "," << y;
      }

  // The power-of-two buffer (16 x 8) is zero-filled first.
  const decoded_bmp zeroed = decode_bmp("cut.bmp", GL_RGB, 0, 1, std::vector<unsigned char>(16 * 8 * 3, 0xAB));
  ASSERT_EQ(zeroed.ok, 1);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x)
      for (int c = 0; c < 3; ++c) {
        const unsigned char got = zeroed.bytes[static_cast<size_t>((y * 16 + x) * 3 + c)];
        EXPECT_EQ(got, x < k_w && decoded_pixel(x, y) ? rgb[static_cast<size_t>((y * k_w + x) * 3 + c)] : 0)
            << x << "," << y;
      }
}

TEST(BmpRead, HeadersThatWouldReadPastTheFileOrAllocateFromGarbageAreRefusedWithOneLine) {
  // The core header is what BMP2: writes: 12 bytes, 16-bit sizes.
  ASSERT_EQ(test_read_file(bmp_fixtures() + "core.bmp")[14], 12);
  const struct {
    const char* name;
    unsigned long format;
    int pad_to_width;
  } cases[] = {
      {"short.bmp", GL_RGB, 0},   {"topdown.bmp", GL_RGB, 0}, {"wide.bmp", GL_RGB, 0},
      {"wide.bmp", GL_ALPHA, 0},  {"core.bmp", GL_RGB, 0},    {"small.bmp", GL_RGB, 2},
  };
  for (const auto& c : cases) {
    xer_capture log;
    const decoded_bmp d = decode_bmp(c.name, c.format, c.pad_to_width);
    EXPECT_EQ(d.ok, 0) << c.name;
    const std::string text = log.text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << c.name << ": " << text;
    EXPECT_NE(text.find(bmp_fixtures() + c.name), std::string::npos) << text;
  }
}

TEST(BmpRead, AnUnmappedFileGivesNothingSilently) {
  xer_capture log;
  xmap_class file;
  unsigned char* buffer = nullptr;
  TEX_image_desc desc;
  EXPECT_EQ(TEX_load_bmp("nothing.bmp", &file, buffer, GL_RGB, 0, 0, desc), 0);
  EXPECT_EQ(buffer, nullptr);
  EXPECT_EQ(log.text(), "");
}

#if !defined(DUV_ASAN) && !defined(DUV_TSAN)
// Exits 0 when the decode failed cleanly with the address space capped
// below the picture's size.
void decode_without_memory(const std::string& name) {
  log_scripted_to_stderr();
  cap_address_space(768L << 20);
  _exit(decode_bmp(name, GL_RGB).ok == 0 ? 0 : 2);
}

TEST(BmpReadDeathTest, MemoryRunningOutIsARefusalNamingThePath) {
  const std::string dir = bmp_fixtures();
  EXPECT_EXIT(decode_without_memory("large.bmp"), testing::ExitedWithCode(0), "out of memory[^\n]*large.bmp\n");
}
#endif

// TEX_load_any and TEX_load_any_ext pick bitmaps by content and by name.
class LoadAnyBmp : public testing::Test {
 protected:
  void SetUp() override { dir = test_scratch_dir("anybmp"); }
  void copy(const std::string& fixture, const std::string& to) {
    ASSERT_TRUE(test_write_file(dir + to, test_read_file(bmp_fixtures() + fixture)));
  }
  // The first byte of the decoded RGB image, 0 on failure.
  int load(const std::string& path, int ext) {
    unsigned char* buffer = nullptr;
    TEX_image_desc desc;
    const int ok = ext ? TEX_load_any_ext(path, buffer, GL_RGB, 0, png_alpha_as_asked, 1, desc)
                       : TEX_load_any(path, buffer, GL_RGB, 0, png_alpha_as_asked, 1, desc);
    const int first = ok ? buffer[0] + 1 : 0;
    xfree(buffer);
    return first;
  }
  std::string dir;
};

TEST_F(LoadAnyBmp, ABitmapDecodesByItsContent) {
  copy("small.bmp", "picture.dat");
  EXPECT_EQ(load(dir + "picture.dat", 0), 0 + 1);  // bottom-left black
}

TEST_F(LoadAnyBmp, TheExtensionIsReplacedByPngThenBmp) {
  // small.png's bottom-left pixel is black too: tell them apart by a bitmap
  // of other pixels.
  copy("plasma3.bmp", "x.bmp");
  const int plasma_first = load(dir + "x.bmp", 0);
  ASSERT_GT(plasma_first, 1);
  EXPECT_EQ(load(dir + "x.abc", 1), plasma_first) << "no x.png: the bitmap";
  copy("small.png", "x.png");
  EXPECT_EQ(load(dir + "x.abc", 1), 1) << "x.png decodes: the bitmap is not read";
  ASSERT_TRUE(test_write_file(dir + "x.png", "not a picture"));
  EXPECT_EQ(load(dir + "x.abc", 1), plasma_first) << "x.png fails: the bitmap";

  // Without a dot in the fourth place from the end, both are appended.
  copy("plasma3.bmp", "abcd.bmp");
  EXPECT_EQ(load(dir + "abcd", 1), plasma_first);
  copy("small.png", "abcd.png");
  EXPECT_EQ(load(dir + "abcd", 1), 1);
  EXPECT_EQ(load(dir + "nothing", 1), 0);
}

void load_long_path_scripted() {
  log_scripted_to_stderr();
  unsigned char* buffer = nullptr;
  TEX_image_desc desc;
  TEX_load_any_ext("/tmp/" + std::string(495, 'x'), buffer, GL_RGB, 0, png_alpha_as_asked, 1, desc);
}

TEST(LoadAnyBmpDeathTest, APathOf500BytesIsTooLong) {
  EXPECT_EXIT(load_long_path_scripted(), testing::ExitedWithCode(1), "String too long!\n/tmp/x{495}\n");
}

}  // namespace
