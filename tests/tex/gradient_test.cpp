// Height fields turned into slope maps, in bytes and in floats.
#include <gtest/gtest.h>
#include <vector>
#include "tex/TEX_gradient.h"

namespace {

TEX_image_desc image(unsigned long format, int width, int height, int pad = 0) {
  TEX_image_desc d;
  d.format = static_cast<uint32_t>(format);
  d.width = width;
  d.height = height;
  d.pad = pad;
  return d;
}

// A 3 x 2 field (rows bottom-up), heights in channel 2.
const int k_heights[2][3] = {{0, 51, 255}, {51, 51, 0}};

struct slope_case {
  unsigned long format;
  int pad;
  float scale;
  unsigned char ch0[2][3], ch1[2][3];
};

TEST(Gradient, SlopesTowardsTheWrappedRightAndNextRowNeighbours) {
  const slope_case cases[] = {
      {GL_RGB, 0, 1.0f, {{153, 229, 0}, {127, 102, 153}}, {{153, 127, 0}, {102, 127, 255}}},
      {GL_RGBA, 3, 1.0f, {{153, 229, 0}, {127, 102, 153}}, {{153, 127, 0}, {102, 127, 255}}},
      // Twice as steep, clamped at both ends.
      {GL_RGB, 1, 2.0f, {{178, 255, 0}, {127, 76, 178}}, {{178, 127, 0}, {76, 127, 255}}},
  };
  for (const slope_case& c : cases) {
    const int ch = c.format == GL_RGBA ? 4 : 3;
    const int stride = 3 * ch + c.pad;
    std::vector<unsigned char> px(static_cast<size_t>(stride * 2), 0xEE);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) {
        unsigned char* p = &px[static_cast<size_t>(y * stride + x * ch)];
        p[2] = static_cast<unsigned char>(k_heights[y][x]);
        if (ch == 4) p[3] = static_cast<unsigned char>(10 + x + y);
      }
    const std::vector<unsigned char> before = px;
    TEX_make_gradient(px.data(), image(c.format, 3, 2, c.pad), c.scale);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        const size_t at = static_cast<size_t>(y * stride + x * ch);
        EXPECT_EQ(px[at], c.ch0[y][x]) << c.format << " scale " << c.scale << " at " << x << "," << y;
        EXPECT_EQ(px[at + 1], c.ch1[y][x]) << c.format << " scale " << c.scale << " at " << x << "," << y;
        for (int k = 2; k < ch; ++k) EXPECT_EQ(px[at + k], before[at + k]) << "channel " << k;
      }
      for (int k = 0; k < c.pad; ++k) EXPECT_EQ(px[static_cast<size_t>(y * stride + 3 * ch + k)], 0xEE) << "pad";
    }
  }
}

TEST(Gradient, AFlatFieldIsLevelAtScaleOne) {
  std::vector<unsigned char> px(5 * 4 * 4, 77);
  TEX_make_gradient(px.data(), image(GL_RGBA, 5, 4), 1.0f);
  for (size_t i = 0; i < px.size(); i += 4) {
    EXPECT_EQ(px[i], 127);
    EXPECT_EQ(px[i + 1], 127);
    EXPECT_EQ(px[i + 2], 77);
    EXPECT_EQ(px[i + 3], 77);
  }
}

TEST(Gradient, TheFloatFormAddsAHalfWithoutScalingOrClamping) {
  // RGB floats with one float of pad a row.
  std::vector<float> v(2 * 10, -9.0f);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) v[static_cast<size_t>(y * 10 + x * 3 + 2)] = static_cast<float>(k_heights[y][x]);
  TEX_make_gradient(v.data(), image(GL_RGB, 3, 2, 1), 2.0f);
  const float ch0[2][3] = {{102.5f, 408.5f, -509.5f}, {0.5f, -101.5f, 102.5f}};
  const float ch1[2][3] = {{102.5f, 0.5f, -509.5f}, {-101.5f, 0.5f, 510.5f}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) {
      EXPECT_FLOAT_EQ(v[static_cast<size_t>(y * 10 + x * 3)], ch0[y][x]) << x << "," << y;
      EXPECT_FLOAT_EQ(v[static_cast<size_t>(y * 10 + x * 3 + 1)], ch1[y][x]) << x << "," << y;
    }
    EXPECT_EQ(v[static_cast<size_t>(y * 10 + 9)], -9.0f) << "pad";
  }
}

TEST(Gradient, OtherFormatsAreLeftAlone) {
  // Sized exactly: a pass taking these as 3 bytes a pixel would run off
  // the end.
  for (unsigned long format : {GL_ALPHA, GL_LUMINANCE}) {
    std::vector<unsigned char> px(4 * 3);
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<unsigned char>(i * 19);
    const std::vector<unsigned char> before = px;
    TEX_make_gradient(px.data(), image(format, 4, 3), 1.0f);
    EXPECT_EQ(px, before) << format;
    std::vector<float> v(4 * 3, 3.0f);
    TEX_make_gradient(v.data(), image(format, 4, 3), 1.0f);
    EXPECT_EQ(v, std::vector<float>(4 * 3, 3.0f)) << format;
  }
}

}  // namespace
