// The run-length codec: exact word lists both ways, tiles of a layout, a
// random round trip, blending, tinting and channel interleaving.
#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include <vector>
#include "core/utl_mem.h"
#include "tex/TEX_rle.h"

namespace {

using words = std::vector<int32_t>;
constexpr int32_t A = 0x11223344, B = 0x55667788, C = 0x0A0B0C0D, X = 0x7F000001;

TEX_image_desc rgba(int width, int height, int pad = 0) {
  TEX_image_desc d;
  d.format = GL_RGBA;
  d.width = width;
  d.height = height;
  d.pad = pad;
  return d;
}

// The first n words of the encoding (the block holds exactly the stream, so
// reading a longer list than was made shows under the address sanitizer).
words pack(const words& pixels, int width, int height, int total_width, int total_height, int tile, size_t n) {
  unsigned char* out = nullptr;
  TEX_pack_image_rle(rgba(width, height), reinterpret_cast<const unsigned char*>(pixels.data()), total_width,
                     total_height, tile, out);
  words got(n);
  if (out) memcpy(got.data(), out, n * 4);
  xfree(out);
  return got;
}

words unpack(const words& stream, int skip_first, int skip_after_row, int width, int rows) {
  words out(static_cast<size_t>(width * rows), -1);
  TEX_unpack_image_rle(reinterpret_cast<const unsigned char*>(stream.data()), skip_first, skip_after_row, width,
                       rows, reinterpret_cast<unsigned char*>(out.data()));
  return out;
}

TEST(RleCodec, ExactWordListsBothWays) {
  const struct {
    words pixels;
    int width, height, total_width, total_height, tile;
    words stream;
  } cases[] = {
      {{A, A, A, A, A, B, C}, 7, 1, 7, 1, 7, {-5, A, 2, B, C, 0}},
      {{A, A, B}, 3, 1, 3, 1, 3, {3, A, A, B, 0}},  // a pair stays literal
      {{A, A, A, B, B, B}, 6, 1, 6, 1, 6, {-3, A, -3, B, 0}},
      {{A, A, A, A, A, A, A, A}, 8, 1, 8, 1, 4, {-4, A, -4, A, 0}},  // runs never cross a tile
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.stream));
    EXPECT_EQ(pack(c.pixels, c.width, c.height, c.total_width, c.total_height, c.tile, c.stream.size()), c.stream);
    EXPECT_EQ(unpack(c.stream, 0, 0, c.total_width, c.total_height), c.pixels);
  }
}

TEST(RleCodec, ARowNarrowerThanTheLayoutFillsItsTilesWithZeroRuns) {
  const words row(600, X);
  const words stream = {-512, X, -88, X, -424, 0, -512, 0, -512, 0, 0};
  EXPECT_EQ(pack(row, 600, 1, 2048, 2, 512, stream.size()), stream);
  words expected(2048 * 2, 0);
  std::fill(expected.begin(), expected.begin() + 600, X);
  EXPECT_EQ(unpack(stream, 0, 0, 2048, 2), expected);
  // Tile (1, 0) and the tile above the image, which is all zeros.
  words tile(512, 0);
  std::fill(tile.begin(), tile.begin() + 88, X);
  EXPECT_EQ(unpack(stream, 512, 1536, 512, 1), tile);
  EXPECT_EQ(unpack(stream, 2048 + 512, 1536, 512, 1), words(512, 0));
}

// Image pixels in a total_width x total_height layout, zeros outside.
words in_layout(const words& image, int width, int height, int total_width, int total_height) {
  words out(static_cast<size_t>(total_width * total_height), 0);
  for (int y = 0; y < height; ++y)
    std::copy_n(image.begin() + y * width, width, out.begin() + y * total_width);
  return out;
}

words tile_of(const words& layout, int total_width, int tile, int i, int j) {
  words out;
  for (int y = 0; y < tile; ++y)
    for (int x = 0; x < tile; ++x) out.push_back(layout[static_cast<size_t>((j * tile + y) * total_width + i * tile + x)]);
  return out;
}

// Encodes the image and checks every tile's decode against the layout.
void check_tiles(const words& image, int width, int height, int total_width, int total_height, int tile) {
  unsigned char* stream = nullptr;
  TEX_pack_image_rle(rgba(width, height), reinterpret_cast<const unsigned char*>(image.data()), total_width,
                     total_height, tile, stream);
  ASSERT_NE(stream, nullptr);
  const words layout = in_layout(image, width, height, total_width, total_height);
  for (int j = 0; j < total_height / tile; ++j) {
    for (int i = 0; i < total_width / tile; ++i) {
      words got(static_cast<size_t>(tile * tile), -1);
      TEX_unpack_image_rle(stream, j * tile * total_width + i * tile, total_width - tile, tile, tile,
                           reinterpret_cast<unsigned char*>(got.data()));
      EXPECT_EQ(got, tile_of(layout, total_width, tile, i, j)) << "tile " << i << ", " << j;
    }
  }
  xfree(stream);
}

TEST(RleCodec, ASmallImageDecodesTileByTile) {
  words image;
  for (int i = 0; i < 6 * 3; ++i) image.push_back(i < 9 ? A : i + 1);
  check_tiles(image, 6, 3, 8, 4, 4);
}

TEST(RleCodec, AnImageThatFillsTheLayoutDecodesItsLastTileInBounds) {
  words image(64);
  for (int i = 0; i < 64; ++i) image[static_cast<size_t>(i)] = i % 3 ? B : i;
  check_tiles(image, 8, 8, 8, 8, 4);
}

TEST(RleCodec, RandomImagesRoundTrip) {
  std::mt19937 gen(11);
  for (int round = 0; round < 20; ++round) {
    const int width = 1 + static_cast<int>(gen() % 64), height = 1 + static_cast<int>(gen() % 64);
    words image(static_cast<size_t>(width * height));
    // Few values, so runs of every length turn up.
    for (auto& p : image) p = static_cast<int32_t>(gen() % 3) * 0x01010101 + (gen() % 4 == 0 ? 7 : 0);
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    check_tiles(image, width, height, 64, 64, 16);
  }
}

TEST(RleCodec, RowPaddingIsSkippedWhenEncoding) {
  const words padded = {A, A, A, B, -1, -1, C, C, C, C, -1, -1};  // two rows of 4 and a pad of 8 bytes
  unsigned char* stream = nullptr;
  TEX_pack_image_rle(rgba(4, 2, 8), reinterpret_cast<const unsigned char*>(padded.data()), 4, 2, 4, stream);
  words got(8);
  TEX_unpack_image_rle(stream, 0, 0, 4, 2, reinterpret_cast<unsigned char*>(got.data()));
  EXPECT_EQ(got, (words{A, A, A, B, C, C, C, C}));
  xfree(stream);
}

uint32_t px(int r, int g, int b, int a) {
  const unsigned char bytes[4] = {static_cast<unsigned char>(r), static_cast<unsigned char>(g),
                                  static_cast<unsigned char>(b), static_cast<unsigned char>(a)};
  uint32_t w;
  memcpy(&w, bytes, 4);
  return w;
}

TEST(RleComposite, OpacityAndAlphaDecideTheBlend) {
  const words source = {4, static_cast<int32_t>(px(9, 8, 7, 255)), 0, static_cast<int32_t>(px(200, 100, 0, 127)),
                        static_cast<int32_t>(px(1, 1, 1, 255)), 0};
  auto blend = [&](int opacity) {
    words dst(4, static_cast<int32_t>(px(0, 0, 100, 50)));
    TEX_unpack_composite_rle(reinterpret_cast<const unsigned char*>(source.data()), 0, 0, 4, 1,
                             reinterpret_cast<unsigned char*>(dst.data()), opacity);
    return dst;
  };
  const words full = blend(256);
  EXPECT_EQ(static_cast<uint32_t>(full[0]), px(9, 8, 7, 255));     // opaque at full strength replaces
  EXPECT_EQ(static_cast<uint32_t>(full[1]), px(0, 0, 100, 50));    // alpha 0 leaves it
  EXPECT_EQ(static_cast<uint32_t>(full[2]), px(100, 50, 50, 177));  // weight 128 of 256
  EXPECT_EQ(blend(0), words(4, static_cast<int32_t>(px(0, 0, 100, 50))));
  // The 0 word ends the call: with a stream of one pixel the rest stays.
  const words one = {1, static_cast<int32_t>(px(9, 8, 7, 255)), 0};
  words dst(3, static_cast<int32_t>(px(5, 5, 5, 5)));
  TEX_unpack_composite_rle(reinterpret_cast<const unsigned char*>(one.data()), 0, 0, 3, 1,
                           reinterpret_cast<unsigned char*>(dst.data()), 256);
  EXPECT_EQ(static_cast<uint32_t>(dst[1]), px(5, 5, 5, 5));
}

TEST(RleMultiMix, WeightsTintTheColours) {
  // Two rows of two pixels; the weight image has one row, so the second row
  // passes its colours through. A third layout row has no colours at all.
  const words colours_image = {static_cast<int32_t>(px(200, 100, 50, 255)), 0,
                               static_cast<int32_t>(px(8, 8, 8, 8)), static_cast<int32_t>(px(8, 8, 8, 8))};
  const words weights_image = {static_cast<int32_t>(px(128, 0, 0, 0)), static_cast<int32_t>(px(0, 0, 0, 255))};
  unsigned char* colours = nullptr;
  unsigned char* weights = nullptr;
  TEX_pack_image_rle(rgba(2, 2), reinterpret_cast<const unsigned char*>(colours_image.data()), 2, 3, 2, colours);
  TEX_pack_image_rle(rgba(2, 1), reinterpret_cast<const unsigned char*>(weights_image.data()), 2, 3, 2, weights);
  const int base[4] = {256, 256, 256, 256};
  const int tint1[4] = {-256, 0, -512, 0};  // weight byte 0 darkens red, and blue twice as fast
  const int tint2[4] = {0, 0, 0, 0};
  const int tint3[4] = {0, 0, 0, 0};
  const int tint4[4] = {0, 0, 0, 0};
  words out(6, -1);
  TEX_unpack_multi_mix_rle(colours, weights, 0, 0, 2, 3, reinterpret_cast<unsigned char*>(out.data()), tint1, tint2,
                           tint3, tint4, base);
  EXPECT_EQ(static_cast<uint32_t>(out[0]), px(100, 100, 0, 255));  // factors 128, 256, 0, 256
  EXPECT_EQ(out[1], 0);                                            // a 0 colour stays 0
  EXPECT_EQ(static_cast<uint32_t>(out[2]), px(8, 8, 8, 8));        // no weights left
  EXPECT_EQ(static_cast<uint32_t>(out[3]), px(8, 8, 8, 8));
  EXPECT_EQ(out[4], 0);  // no colours left
  EXPECT_EQ(out[5], 0);
  xfree(colours);
  xfree(weights);

  int factor[4];
  const unsigned char w[4] = {255, 255, 255, 255};
  const int up[4] = {512, 512, 512, 512};
  unpack_and_mix(w, up, tint2, tint3, tint4, base, factor);
  EXPECT_EQ(factor[0], 256);  // limited to 0..256
  const int down[4] = {-1024, -1024, -1024, -1024};
  unpack_and_mix(w, down, tint2, tint3, tint4, base, factor);
  EXPECT_EQ(factor[3], 0);
}

TEST(RlePackRgba, AnAbsentChannelIsZero) {
  const unsigned char r[2] = {1, 2}, g[2] = {3, 4}, b[2] = {5, 6};
  unsigned char out[8];
  memset(out, 0xEE, sizeof out);
  TEX_pack_rgba(r, g, b, nullptr, 2, out);
  const unsigned char want[8] = {1, 3, 5, 0, 2, 4, 6, 0};
  EXPECT_EQ(0, memcmp(out, want, sizeof out));
}

}  // namespace
