// The size rule of image buffers: every format, the mipmap chain, libsquish's
// block sizes, and records that name no image.
#include <gtest/gtest.h>
#include "tex/TEX_image.h"

namespace {

TEX_image_desc image(uint32_t format, int width, int height, int pad, int mipmaps) {
  TEX_image_desc d;
  d.format = format;
  d.width = width;
  d.height = height;
  d.pad = pad;
  d.has_mipmaps = mipmaps;
  return d;
}

TEST(ImageSize, EveryFormatOfOneLevel) {
  // 3 x 2 with a pad of 1: the pad counts where the format has rows of bytes.
  const struct {
    uint32_t format;
    int bytes;
  } rows[] = {
      {0x1902, 24}, {0x81A7, 24}, {0x81A5, 12}, {0x81A6, 18},                             // depth, no pad
      {0x1906, 8},  {0x2002, 8},  {0x84E9, 8},                                             // h (w + pad)
      {0x8227, 14}, {0x822D, 14}, {0x881C, 14},                                            // h (2w + pad)
      {0x1907, 20}, {0x8051, 20}, {0x80E0, 20},                                            // h (3w + pad)
      {0x1908, 26}, {0x8058, 26}, {0x80E1, 26}, {0x822E, 26}, {0x822F, 26}, {0x8816, 26},  // h (4w + pad)
      {0x881B, 38}, {0x8230, 50}, {0x881A, 50}, {0x8815, 74}, {0x8814, 98},
      {0x83F0, 8},  {0x83F1, 8},  {0x84ED, 8},  {0x84EE, 8},  {0x83F2, 16}, {0x83F3, 16},  // one S3TC block
  };
  for (const auto& row : rows)
    EXPECT_EQ(TEX_bytes_needed_for_image(image(row.format, 3, 2, 1, 0)), row.bytes) << std::hex << row.format;
}

TEST(ImageSize, MipmapChains) {
  EXPECT_EQ(TEX_bytes_needed_for_image(image(GL_RGBA, 1, 1, 0, 1)), 4);
  // Nine levels, 256 x 64, 128 x 32, 64 x 16, 32 x 8, 16 x 4, 8 x 2, 4 x 1,
  // 2 x 1 and 1 x 1, each row 4w + 4 bytes.
  EXPECT_EQ(TEX_bytes_needed_for_image(image(GL_RGBA, 256, 64, 4, 1)), 87904);
  // 4 x 4, 2 x 2, 1 x 1: one 8-byte block each.
  EXPECT_EQ(TEX_bytes_needed_for_image(image(0x83F0, 4, 4, 0, 1)), 24);
  EXPECT_EQ(TEX_bytes_needed_for_image(image(0x83F1, 4, 4, 0, 1)), 24);
}

TEST(ImageSize, RecordsThatNameNoImageGiveZero) {
  EXPECT_EQ(TEX_bytes_needed_for_image(image(0x1234, 4, 4, 0, 0)), 0);  // unknown format
  EXPECT_EQ(TEX_bytes_needed_for_image(image(GL_RGBA, 0, 8, 0, 1)), 0);  // would never reach 1 x 1
  EXPECT_EQ(TEX_bytes_needed_for_image(image(GL_RGBA, 8, -2, 0, 1)), 0);
  EXPECT_EQ(TEX_bytes_needed_for_image(image(GL_RGB, 4, 4, -13, 0)), 0);  // rows would overlap
  EXPECT_EQ(TEX_bytes_needed_for_image(image(GL_RGBA, 65536, 65536, 0, 0)), 0);  // beyond an int
}

}  // namespace
