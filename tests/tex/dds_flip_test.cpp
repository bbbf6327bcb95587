// Turning DDS levels upside down: every level of real files, decoded by
// libsquish before and after, the transparency finding, the gamma
// correction of block endpoints, and bit-exact block vectors.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include "support/test_env.h"
#include "tex/dds_support.h"
#include "tex/tex_support.h"
#include "widgets/colr.h"

namespace {

// A chain's levels as (width, height, offset) from the top.
struct level {
  int w, h;
  size_t at, bytes;
};
std::vector<level> levels_of(const TEX_image_desc& d) {
  std::vector<level> out;
  size_t at = 0;
  for (int w = d.width, h = d.height;; w = std::max(1, w / 2), h = std::max(1, h / 2)) {
    TEX_image_desc one = d;
    one.width = w, one.height = h, one.has_mipmaps = 0;
    const size_t bytes = static_cast<size_t>(TEX_bytes_needed_for_image(one));
    out.push_back({w, h, at, bytes});
    at += bytes;
    if ((w == 1 && h == 1) || !d.has_mipmaps) return out;
  }
}

std::string chain_of(const std::string& file) {
  const dds_read r = read_dds(file);
  return r.ok ? test_read_file(file).substr(128) : std::string();
}

// A picture with something different in every pixel and alpha, so a
// wrong row or block shows.
uint32_t busy(int x, int y, int w, int h) {
  const uint32_t r = (x * 255 / std::max(1, w - 1)) & 0xFF, g = (y * 255 / std::max(1, h - 1)) & 0xFF;
  const uint32_t b = ((x * 7 + y * 13) * 9) & 0xFF, a = ((x + 2 * y) * 37) & 0xFF;
  return r << 24 | g << 16 | b << 8 | a;
}

struct flip_case {
  const char* what;
  uint32_t format;
  std::string chain;
  int w, h;
};
std::vector<flip_case> s3tc_cases() {
  const std::string dir = dds_fixtures();
  return {
      {"ImageMagick's DXT1", 0x83F0, chain_of(dir + "dxt1.dds"), 16, 8},
      {"ImageMagick's DXT5", 0x83F3, chain_of(dir + "dxt5.dds"), 16, 8},
      {"libsquish's DXT1", 0x83F0, squish_levels(0x83F0, 16, 8, true, busy), 16, 8},
      {"libsquish's DXT3", 0x83F2, squish_levels(0x83F2, 16, 8, true, busy), 16, 8},
      {"libsquish's DXT5", 0x83F3, squish_levels(0x83F3, 16, 8, true, busy), 16, 8},
      {"libsquish's DXT3, 4 x 16", 0x83F2, squish_levels(0x83F2, 4, 16, true, busy), 4, 16},
      {"libsquish's DXT5, 4 x 4", 0x83F3, squish_levels(0x83F3, 4, 4, true, busy), 4, 4},
  };
}

std::vector<unsigned char> flipped_rows(const std::vector<unsigned char>& px, int w, int h) {
  std::vector<unsigned char> out(px.size());
  const size_t row = static_cast<size_t>(w) * 4;
  for (int y = 0; y < h; ++y) memcpy(&out[y * row], &px[(h - 1 - y) * row], row);
  return out;
}

TEST(DdsFlip, EveryLevelDecodesAsTheUpsideDownOriginal) {
  for (const flip_case& k : s3tc_cases()) {
    ASSERT_FALSE(k.chain.empty()) << k.what;
    TEX_image_desc d;
    d.format = k.format, d.width = k.w, d.height = k.h, d.has_mipmaps = 1;
    ASSERT_EQ(static_cast<size_t>(TEX_bytes_needed_for_image(d)), k.chain.size()) << k.what;
    std::vector<unsigned char> flipped(k.chain.begin(), k.chain.end());
    TEX_flip_y(d, flipped.data());
    const auto* original = reinterpret_cast<const unsigned char*>(k.chain.data());
    for (const level& l : levels_of(d)) {
      const std::vector<unsigned char> before = squish_decode(k.format, l.w, l.h, original + l.at);
      const std::vector<unsigned char> after = squish_decode(k.format, l.w, l.h, flipped.data() + l.at);
      EXPECT_EQ(after, flipped_rows(before, l.w, l.h)) << k.what << " level " << l.w << " x " << l.h;
    }
  }
}

// Bytes of a block that hold colour and alpha endpoints (not indices).
std::vector<int> endpoint_bytes(uint32_t format) {
  if (format == 0x83F3) return {0, 1, 8, 9, 10, 11};
  if (format == 0x83F2) return {8, 9, 10, 11};
  return {0, 1, 2, 3};
}

TEST(DdsFlip, WithoutGammaOnlyIndexBytesChangeAndWithItEveryBlockKeepsItsMode) {
  for (int gamma : {0, 1}) {
    std::unique_ptr<display_gamma_22> g(gamma ? new display_gamma_22 : nullptr);
    ASSERT_EQ(colr.gamma_changed, gamma);
    for (const flip_case& k : s3tc_cases()) {
      TEX_image_desc d;
      d.format = k.format, d.width = k.w, d.height = k.h, d.has_mipmaps = 1;
      std::vector<unsigned char> flipped(k.chain.begin(), k.chain.end());
      TEX_flip_y(d, flipped.data());
      const size_t size = k.format == 0x83F0 ? 8 : 16;
      int changed_endpoints = 0;
      for (const level& l : levels_of(d)) {
        const int per_row = (l.w + 3) / 4, rows = (l.h + 3) / 4;
        for (int by = 0; by < rows; ++by)
          for (int bx = 0; bx < per_row; ++bx) {
            const unsigned char* was = reinterpret_cast<const unsigned char*>(k.chain.data()) + l.at +
                                       ((rows - 1 - by) * per_row + bx) * size;
            const unsigned char* now = flipped.data() + l.at + (by * per_row + bx) * size;
            const unsigned char* was_col = was + size - 8;
            const unsigned char* now_col = now + size - 8;
            const bool was_three = (was_col[0] | was_col[1] << 8) <= (was_col[2] | was_col[3] << 8);
            const bool now_three = (now_col[0] | now_col[1] << 8) <= (now_col[2] | now_col[3] << 8);
            EXPECT_EQ(was_three, now_three) << k.what << " gamma " << gamma;
            for (int i : endpoint_bytes(k.format)) changed_endpoints += was[i] != now[i];
            if (!gamma) {
              for (int i : endpoint_bytes(k.format)) EXPECT_EQ(was[i], now[i]) << k.what << " byte " << i;
            }
          }
      }
      if (gamma) {
        EXPECT_GT(changed_endpoints, 0) << k.what;
      }
    }
  }
}

// A DXT1 file 8 x 8 with a chain, every block four-colour (endpoint 0
// white, endpoint 1 black) but one: the block at (bx, by) of the top level
// is three-colour with its pixel (px, py) at index 3.
std::string dxt1_with_one_hole(int bx, int by, int px, int py, int hole_level = 0) {
  const unsigned char four[8] = {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  std::string chain;
  int level = 0;
  for (int w = 8, h = 8;; w = std::max(1, w / 2), h = std::max(1, h / 2), ++level) {
    const int per_row = (w + 3) / 4, rows = (h + 3) / 4;
    for (int y = 0; y < rows; ++y)
      for (int x = 0; x < per_row; ++x) {
        unsigned char b[8];
        memcpy(b, four, 8);
        if (level == hole_level && x == bx && y == by) {
          b[0] = 0x00, b[1] = 0x00, b[2] = 0xFF, b[3] = 0xFF;  // three-colour
          b[4 + py] = static_cast<unsigned char>(3 << (2 * px));
        }
        chain.append(reinterpret_cast<const char*>(b), 8);
      }
    if (w == 1 && h == 1) return chain;
  }
}

TEST(DdsFlip, ThreeColourBlocksWithIndex3AreTransparentOnlyInsideTheirLevel) {
  struct c {
    int bx, by, px, py, level, transparent;
  };
  const c cases[] = {
      {0, 0, 0, 0, 0, 1}, {1, 1, 3, 3, 0, 1}, {1, 0, 2, 1, 0, 1},
      // The 4 x 4 level is one block row: found too.
      {0, 0, 3, 0, 1, 1},
      // 2 x 2: pixels (1, 1) is inside, (2, 0) and (0, 3) are not.
      {0, 0, 1, 1, 2, 1}, {0, 0, 2, 0, 2, 0}, {0, 0, 0, 3, 2, 0},
      // 1 x 1: only pixel (0, 0).
      {0, 0, 0, 0, 3, 1}, {0, 0, 1, 0, 3, 0},
  };
  for (const c& k : cases) {
    std::string chain = dxt1_with_one_hole(k.bx, k.by, k.px, k.py, k.level);
    TEX_image_desc d;
    d.format = 0x83F0, d.width = 8, d.height = 8, d.has_mipmaps = 1;
    EXPECT_EQ(TEX_flip_y(d, reinterpret_cast<unsigned char*>(&chain[0])) != 0, k.transparent != 0)
        << k.level << " " << k.bx << k.by << " " << k.px << k.py;
  }
  // An opaque image made by libsquish leaves the flag clear, even though
  // it fills the pixels outside its small levels with index 3.
  std::string opaque = squish_levels(0x83F0, 16, 8, true, [](int x, int y, int, int) {
    return ((x * 16) << 24 | (y * 32) << 16 | 0x40u << 8 | 0xFF);
  });
  TEX_image_desc d;
  d.format = 0x83F0, d.width = 16, d.height = 8, d.has_mipmaps = 1;
  EXPECT_EQ(TEX_flip_y(d, reinterpret_cast<unsigned char*>(&opaque[0])), 0);
  // Only DXT1 reports.
  std::string dxt5 = squish_levels(0x83F3, 8, 8, true, busy);
  d.format = 0x83F3, d.width = 8, d.height = 8;
  EXPECT_EQ(TEX_flip_y(d, reinterpret_cast<unsigned char*>(&dxt5[0])), 0);
}

TEST(DdsFlip, PixelRowsSwapAndAnOddHeightKeepsItsMiddleRow) {
  struct c {
    uint32_t format;
    int bpp, w, h, mips;
  };
  for (const c& k : {c{GL_BGR, 3, 2, 3, 0}, c{GL_BGRA, 4, 3, 5, 0}, c{GL_BGR, 3, 4, 2, 1}, c{GL_BGRA, 4, 8, 4, 1},
                     c{GL_RGBA, 4, 1, 3, 0}, c{GL_ALPHA, 1, 5, 3, 0}, c{GL_RGB, 3, 2, 2, 1}}) {
    TEX_image_desc d;
    d.format = k.format, d.width = k.w, d.height = k.h, d.has_mipmaps = k.mips;
    std::vector<unsigned char> px(static_cast<size_t>(TEX_bytes_needed_for_image(d)));
    for (size_t i = 0; i < px.size(); ++i) px[i] = static_cast<unsigned char>(i * 7 + 1);
    std::vector<unsigned char> flipped = px;
    EXPECT_EQ(TEX_flip_y(d, flipped.data()), 0);
    for (const level& l : levels_of(d)) {
      const size_t row = static_cast<size_t>(l.w) * k.bpp;
      for (int y = 0; y < l.h; ++y)
        EXPECT_EQ(memcmp(&flipped[l.at + y * row], &px[l.at + (l.h - 1 - y) * row], row), 0)
            << std::hex << k.format << std::dec << " " << l.w << " x " << l.h << " row " << y;
    }
  }
}

TEST(DdsFlip, ASideOfZeroEndsTheLevelWalkAtOnce) {
  unsigned char px[64] = {};
  for (uint32_t format : {0x83F0u, 0x83F3u, (uint32_t)GL_BGRA}) {
    for (int w : {0, 8}) {
      TEX_image_desc d;
      d.format = format, d.width = w, d.height = 8 - w, d.has_mipmaps = 1;
      EXPECT_EQ(TEX_flip_y(d, px), 0) << std::hex << format << std::dec << " " << w;
    }
  }
  for (unsigned char b : px) EXPECT_EQ(b, 0);
}

void flip_unknown() {
  log_scripted_to_stderr();
  unsigned char px[16] = {};
  TEX_image_desc d;
  d.format = GL_LUMINANCE, d.width = 2, d.height = 2;
  TEX_flip_y(d, px);
}

TEST(DdsFlipDeathTest, AnUnknownFormatIsIllegal) {
  EXPECT_EXIT(flip_unknown(), testing::ExitedWithCode(1), "Illegal format!\n\n\n\n\\(RUvozuz/TEX/TEX_dds line");
}

// An all-indices row: pixel x has index x.
constexpr unsigned char every_index = 0xE4;

DXTColBlock block(unsigned short c0, unsigned short c1) {
  DXTColBlock b;
  b.col0[0] = c0 & 0xFF, b.col0[1] = c0 >> 8, b.col1[0] = c1 & 0xFF, b.col1[1] = c1 >> 8;
  for (unsigned char& r : b.row) r = every_index;
  return b;
}
unsigned short rgb(int r, int g, int b) { return static_cast<unsigned short>(r << 11 | g << 5 | b); }
unsigned short e0(const DXTColBlock& b) { return static_cast<unsigned short>(b.col0[0] | b.col0[1] << 8); }
unsigned short e1(const DXTColBlock& b) { return static_cast<unsigned short>(b.col1[0] | b.col1[1] << 8); }

// The table's exponent is num / den: 1.8 / 2.2 brightens (30 and 31 of
// five bits both end at 31), 2.2 / 1.8 darkens (0 and 1 both end at 0).
struct gamma_scope {
  gamma_scope(float num, float den) {
    colr.gamma_num = num, colr.gamma_den = den;
    colr.rebuild_gamma();
  }
  ~gamma_scope() {
    colr.gamma_num = colr.gamma_den = 1.8f;
    colr.rebuild_gamma();
  }
};

TEST(DdsGamma, EndpointRepairAndIndexRemap) {
  struct c {
    const char* what;
    float num, den;
    unsigned short c0, c1;
    unsigned short n0, n1;
    unsigned char row;
  };
  const c cases[] = {
      {"kept order", 1.8f, 2.2f, rgb(20, 40, 20), rgb(10, 20, 10), rgb(22, 44, 22), rgb(12, 25, 12), every_index},
      {"merged, green steps up", 1.8f, 2.2f, rgb(31, 40, 10), rgb(30, 40, 10), rgb(31, 45, 12), rgb(31, 44, 12),
       every_index},
      {"merged at full green, blue steps up", 1.8f, 2.2f, rgb(31, 63, 10), rgb(30, 63, 10), rgb(31, 63, 13),
       rgb(31, 63, 12), every_index},
      {"merged at white, endpoint 1 steps down", 1.8f, 2.2f, rgb(31, 63, 31), rgb(30, 63, 31), rgb(31, 63, 31),
       rgb(31, 62, 31), every_index},
      {"merged at full green and blue, red steps up", 2.2f, 1.8f, rgb(1, 63, 31), rgb(0, 63, 31), rgb(1, 63, 31),
       rgb(0, 63, 31), every_index},
      {"four-colour crossed: 0 and 1, 2 and 3 trade", 1.8f, 2.2f, rgb(31, 0, 0), rgb(30, 63, 31), rgb(31, 63, 31),
       rgb(31, 0, 0), 0xB1},
      {"three-colour crossed: 0 and 1 trade, 2 and 3 stay", 1.8f, 2.2f, rgb(30, 63, 31), rgb(31, 0, 0),
       rgb(31, 0, 0), rgb(31, 63, 31), 0xE1},
      {"three-colour with equal endpoints stays", 1.8f, 2.2f, rgb(30, 63, 31), rgb(31, 63, 31), rgb(31, 63, 31),
       rgb(31, 63, 31), every_index},
  };
  for (const c& k : cases) {
    gamma_scope g(k.num, k.den);
    DXTColBlock b = block(k.c0, k.c1);
    nv_gamma_correct(&b);
    EXPECT_EQ(e0(b), k.n0) << k.what << std::hex << " got " << e0(b);
    EXPECT_EQ(e1(b), k.n1) << k.what << std::hex << " got " << e1(b);
    for (unsigned char r : b.row) EXPECT_EQ(r, k.row) << k.what;
    EXPECT_EQ(k.c0 <= k.c1, e0(b) <= e1(b)) << k.what;
  }
}

TEST(DdsBlocks, Dxt5AlphaRowsReverseBitExactly) {
  // Rows 0 to 3: 0xABC, 0x123, 0x456, 0x789.
  DXT5AlphaBlock a = {0x10, 0x20, {0xBC, 0x3A, 0x12, 0x56, 0x94, 0x78}};
  nv_flip_dxt5_alpha(&a);
  const unsigned char want[6] = {0x89, 0x67, 0x45, 0x23, 0xC1, 0xAB};
  EXPECT_EQ(a.alpha0, 0x10);
  EXPECT_EQ(a.alpha1, 0x20);
  EXPECT_EQ(memcmp(a.bits, want, 6), 0);
  // A DXT5 block row: alpha and colour both reversed, the endpoints kept.
  unsigned char blocks[32] = {0x10, 0x20, 0xBC, 0x3A, 0x12, 0x56, 0x94, 0x78, 0xFF, 0xFF, 0, 0, 1, 2, 3, 4};
  memcpy(blocks + 16, blocks, 16);
  EXPECT_EQ(nv_flip_blocks_dxtc5(reinterpret_cast<DXTColBlock*>(blocks), 2, 0), 0);
  const unsigned char row[16] = {0x10, 0x20, 0x89, 0x67, 0x45, 0x23, 0xC1, 0xAB, 0xFF, 0xFF, 0, 0, 4, 3, 2, 1};
  EXPECT_EQ(memcmp(blocks, row, 16), 0);
  EXPECT_EQ(memcmp(blocks + 16, row, 16), 0);
  // DXT3: the four 16-bit alpha rows reversed.
  unsigned char dxt3[16] = {1, 2, 3, 4, 5, 6, 7, 8, 0xFF, 0xFF, 0, 0, 1, 2, 3, 4};
  EXPECT_EQ(nv_flip_blocks_dxtc3(reinterpret_cast<DXTColBlock*>(dxt3), 1, 1), 0);
  const unsigned char dxt3_want[16] = {7, 8, 5, 6, 3, 4, 1, 2, 0xFF, 0xFF, 0, 0, 4, 3, 2, 1};
  EXPECT_EQ(memcmp(dxt3, dxt3_want, 16), 0);
  // DXT1 passes a flag it was given.
  DXTColBlock four = block(rgb(31, 63, 31), 0);
  EXPECT_EQ(nv_flip_blocks_dxtc1(&four, 1, 1), 1);
  EXPECT_EQ(nv_flip_blocks_dxtc1(&four, 1, 0), 0);
}

TEST(DdsBlocks, ColourSteps) {
  struct c {
    bool inc;
    unsigned short in, out;
    int moved;
  };
  const c cases[] = {
      {false, 0x0000, 0x0000, 0},           {true, 0xFFFF, 0xFFFF, 0},
      {true, 0x0000, rgb(0, 1, 0), 1},      {false, 0xFFFF, rgb(31, 62, 31), 1},
      {true, rgb(0, 63, 0), rgb(0, 63, 1), 1}, {true, rgb(3, 63, 31), rgb(4, 63, 31), 1},
      {false, rgb(5, 0, 7), rgb(5, 0, 6), 1},  {false, rgb(5, 0, 0), rgb(4, 0, 0), 1},
  };
  for (const c& k : cases) {
    unsigned short v = k.in;
    EXPECT_EQ(k.inc ? IncColor565(v) : DecColor565(v), k.moved) << std::hex << k.in;
    EXPECT_EQ(v, k.out) << std::hex << k.in;
  }
}

}  // namespace
