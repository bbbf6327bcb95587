// The decoder by content, the box-filter downscale and the edge cleaning.
#include <gtest/gtest.h>
#include <cstring>
#include "core/utl_mem.h"
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "tex/TEX_utils.h"
#include "tex/tex_support.h"

namespace {

TEST(LoadAny, MissingShortAndUnknownFilesGiveNothingSilently) {
  xer_capture log;
  const std::string dir = test_scratch_dir("any");
  const struct {
    const char* name;
    std::string bytes;
  } files[] = {
      {"seven_bm", "BM12345"},
      {"eight_junk", "junkjunk"},
  };
  for (const auto& f : files) {
    ASSERT_TRUE(test_write_file(dir + f.name, f.bytes));
    unsigned char* buffer = nullptr;
    TEX_image_desc desc;
    EXPECT_EQ(TEX_load_any(dir + f.name, buffer, GL_RGBA, 0, png_alpha_as_asked, 1, desc), 0) << f.name;
    EXPECT_EQ(buffer, nullptr);
  }
  unsigned char* buffer = nullptr;
  TEX_image_desc desc;
  EXPECT_EQ(TEX_load_any(dir + "missing.png", buffer, GL_RGBA, 0, png_alpha_as_asked, 1, desc), 0);
  EXPECT_EQ(log.text(), "");
}

TEST(LoadAny, APngDecodesPaddedToTheWidthWithoutPowerOfTwoRows) {
  const std::string path = png_fixtures() + "rgb8.png";
  unsigned char* buffer = nullptr;
  TEX_image_desc desc;
  ASSERT_EQ(TEX_load_any(path, buffer, GL_RGBA, 16, png_alpha_as_asked, 1, desc), 1);
  EXPECT_EQ(desc.width, 13);
  EXPECT_EQ(desc.height, 7);
  EXPECT_EQ(desc.pad, 12);
  const std::vector<unsigned char> ref = magick_rgba_bottom_up(path, 13, 7);
  for (size_t row = 0; row < 7; ++row) EXPECT_EQ(0, memcmp(buffer + row * 64, &ref[row * 52], 52)) << row;
  xfree(buffer);
}

TEST(Downscale, TwoByTwoOfAPaddedRgbImage) {
  // 4 x 2 RGB, pad 4: rows of 16 bytes.
  unsigned char pixels[32];
  for (int i = 0; i < 32; ++i) pixels[i] = static_cast<unsigned char>(i * 7 + 1);
  unsigned char before[32];
  memcpy(before, pixels, sizeof pixels);
  TEX_image_desc desc;
  desc.format = GL_RGB;
  desc.width = 4;
  desc.height = 2;
  desc.pad = 4;
  TEX_downscale(desc, pixels, 2, 2);
  EXPECT_EQ(desc.width, 2);
  EXPECT_EQ(desc.height, 1);
  EXPECT_EQ(desc.pad, 4);
  for (int c = 0; c < 2; ++c) {
    for (int k = 0; k < 3; ++k) {
      const int sum = before[c * 6 + k] + before[c * 6 + 3 + k] + before[16 + c * 6 + k] + before[16 + c * 6 + 3 + k];
      EXPECT_EQ(pixels[c * 3 + k], sum / 4) << "pixel " << c << " channel " << k;
    }
  }
  // The output row's pad and everything after it are not written.
  EXPECT_EQ(0, memcmp(pixels + 6, before + 6, sizeof pixels - 6));
}

TEX_image_desc rgba(int width, int height) {
  TEX_image_desc d;
  d.format = GL_RGBA;
  d.width = width;
  d.height = height;
  return d;
}

TEST(CleanEdge, AnAllTransparentImageIsUnchanged) {
  std::vector<unsigned char> pixels(6 * 5 * 4);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i % 4 == 3) ? 0 : static_cast<unsigned char>(i);
  const std::vector<unsigned char> before = pixels;
  TEX_clean_edge(rgba(6, 5), pixels.data());
  EXPECT_EQ(pixels, before);
}

TEST(CleanEdge, TheWindowIsClippedAndReplacedPixelsNeverCount) {
  // One row: an opaque pixel at x 0, transparent black after it.
  std::vector<unsigned char> pixels(8 * 4, 0);
  const unsigned char red[4] = {200, 10, 20, 255};
  memcpy(pixels.data(), red, 4);
  TEX_clean_edge(rgba(8, 1), pixels.data());
  for (int x = 1; x <= 2; ++x) {
    EXPECT_EQ(pixels[x * 4], 200) << x;
    EXPECT_EQ(pixels[x * 4 + 1], 10) << x;
    EXPECT_EQ(pixels[x * 4 + 2], 20) << x;
    EXPECT_EQ(pixels[x * 4 + 3], 0) << x;  // alpha stays 0
  }
  // x 3 sees x 1 to 5: only replaced pixels, so it keeps its black.
  for (int x = 3; x < 8; ++x) EXPECT_EQ(pixels[x * 4], 0) << x;
}

TEST(CleanEdge, ATransparentPixelTakesTheTruncatedMeanOfItsOpaqueNeighbours) {
  // 5 x 5 around the centre of a 7 x 7 image; the corners of the image lie
  // outside its window.
  std::vector<unsigned char> pixels(7 * 7 * 4, 0);
  auto put = [&](int x, int y, int r, int g, int b) {
    unsigned char* p = &pixels[static_cast<size_t>((y * 7 + x) * 4)];
    p[0] = static_cast<unsigned char>(r);
    p[1] = static_cast<unsigned char>(g);
    p[2] = static_cast<unsigned char>(b);
    p[3] = 255;
  };
  put(1, 1, 10, 20, 31);
  put(5, 5, 11, 21, 30);
  put(0, 0, 250, 250, 250);  // outside the centre's window
  TEX_clean_edge(rgba(7, 7), pixels.data());
  const unsigned char* centre = &pixels[(3 * 7 + 3) * 4];
  EXPECT_EQ(centre[0], 10);
  EXPECT_EQ(centre[1], 20);
  EXPECT_EQ(centre[2], 30);
  EXPECT_EQ(centre[3], 0);
}

}  // namespace
