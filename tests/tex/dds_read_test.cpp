// What the DDS reader accepts from a mapped file, on ImageMagick's files and
// on headers written by hand.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include "tex/dds_support.h"

namespace {

dds_header rgb(uint32_t pf_flags, uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
  dds_header h;
  h.pf_flags = pf_flags;
  h.bits = bits;
  h.masks[0] = r, h.masks[1] = g, h.masks[2] = b, h.masks[3] = a;
  return h;
}
dds_header with(dds_header h, uint32_t w, uint32_t ht) {
  h.width = w, h.height = ht;
  return h;
}

TEST(DdsRead, ImageMagicksFiles) {
  const std::string dir = dds_fixtures();
  ASSERT_FALSE(dir.empty());
  struct c {
    const char* name;
    uint32_t format;
    int width, height, mips;
  };
  for (const c& k : {c{"dxt1.dds", 0x83F0, 16, 8, 1}, c{"dxt5.dds", 0x83F3, 16, 8, 1}, c{"bgr.dds", GL_BGR, 16, 8, 1},
                     c{"bgra.dds", GL_BGRA, 16, 8, 1}, c{"nomip.dds", 0x83F0, 16, 8, 0},
                     c{"quads.dds", 0x83F0, 64, 64, 1}}) {
    const dds_read r = read_dds(dir + k.name);
    ASSERT_EQ(r.ok, 1) << k.name;
    EXPECT_EQ(r.desc.format, k.format) << k.name;
    EXPECT_EQ(r.desc.width, k.width) << k.name;
    EXPECT_EQ(r.desc.height, k.height) << k.name;
    EXPECT_EQ(r.desc.pad, 0) << k.name;
    EXPECT_EQ(r.desc.has_mipmaps, k.mips) << k.name;
    EXPECT_EQ(r.offset, 128) << k.name;
  }
}

TEST(DdsRead, HeadersByHand) {
  const uint32_t R = 0x00FF0000, G = 0x0000FF00, B = 0x000000FF, A = 0xFF000000;
  dds_header no_cap;
  no_cap.caps = 0x1008;
  dds_header no_count;
  no_count.flags = 0x81007;
  dds_header dxt2, dxt3, dxt5;
  dxt2.code = "DXT2", dxt3.code = "DXT3", dxt5.code = "DXT5";
  dds_header bgra_over_code = rgb(0x45, 32, R, G, B, A);  // the code bit too, "DXT1"
  const uint32_t big = 1u << 30;
  struct c {
    const char* what;
    std::string bytes;
    int ok;
    uint32_t format;
    int mips;
  };
  // 4 x 4 with a chain: 8 + 8 + 8 bytes of DXT1, 16 x 3 of DXT3/5, and
  // 64 + 16 + 4 pixels of BGR(A).
  const std::string dxt1_chain(24, '\0'), dxt5_chain(48, '\0'), bgr_chain(84 * 3, '\0'), bgra_chain(84 * 4, '\0');
  const c cases[] = {
      {"DXT1", dds_bytes(dds_header(), dxt1_chain), 1, 0x83F0, 1},
      {"DXT3", dds_bytes(dxt3, dxt5_chain), 1, 0x83F2, 1},
      {"DXT5", dds_bytes(dxt5, dxt5_chain), 1, 0x83F3, 1},
      {"RGB with alpha over a code", dds_bytes(bgra_over_code, bgra_chain), 1, GL_BGRA, 1},
      {"RGB", dds_bytes(rgb(0x40, 24, R, G, B, 0), bgr_chain), 1, GL_BGR, 1},
      {"count flag without the capability", dds_bytes(no_cap, std::string(8, '\0')), 1, 0x83F0, 0},
      {"capability without the count flag", dds_bytes(no_count, std::string(8, '\0')), 1, 0x83F0, 0},
      {"exactly its levels and a byte more", dds_bytes(dds_header(), dxt1_chain + "x"), 1, 0x83F0, 1},
      {"no DDS", "DDT " + dds_bytes(dds_header(), dxt1_chain).substr(4), 0, 0, 0},
      {"DXT2", dds_bytes(dxt2, dxt5_chain), 0, 0, 0},
      {"neither code nor RGB", dds_bytes(rgb(0x0, 32, R, G, B, A), bgra_chain), 0, 0, 0},
      {"X8R8G8B8", dds_bytes(rgb(0x40, 32, R, G, B, 0), bgra_chain), 0, 0, 0},
      {"R5G6B5", dds_bytes(rgb(0x40, 16, 0xF800, 0x07E0, 0x001F, 0), bgra_chain), 0, 0, 0},
      {"RGB masks the other way round", dds_bytes(rgb(0x40, 24, B, G, R, 0), bgr_chain), 0, 0, 0},
      {"24 bits with the alpha bit", dds_bytes(rgb(0x41, 24, R, G, B, A), bgra_chain), 0, 0, 0},
      {"32 bits with alpha but no alpha mask", dds_bytes(rgb(0x41, 32, R, G, B, 0), bgra_chain), 0, 0, 0},
      {"A8B8G8R8", dds_bytes(rgb(0x41, 32, B, G, R, A), bgra_chain), 0, 0, 0},
      {"a bad layout with a good code", dds_bytes(rgb(0x44, 16, 0xF800, 0x07E0, 0x001F, 0), bgra_chain), 0, 0, 0},
      {"width 0", dds_bytes(with(dds_header(), 0, 4), dxt1_chain), 0, 0, 0},
      {"height 0", dds_bytes(with(dds_header(), 4, 0), dxt1_chain), 0, 0, 0},
      {"width over 2^30", dds_bytes(with(dds_header(), big + 1, 1), dxt1_chain), 0, 0, 0},
      {"height 2^31", dds_bytes(with(dds_header(), 1, 2 * big), dxt1_chain), 0, 0, 0},
      {"2^30 x 2^30", dds_bytes(with(dds_header(), big, big), dxt1_chain), 0, 0, 0},
      {"one byte short of its levels", dds_bytes(dds_header(), dxt1_chain.substr(1)), 0, 0, 0},
      {"256 x 256 with a chain over 200 bytes", dds_bytes(with(dds_header(), 256, 256), std::string(200, 'x')), 0, 0,
       0},
      {"127 bytes", dds_bytes(dds_header(), "").substr(0, 127), 0, 0, 0},
      {"10 bytes", "DDS " + std::string(6, '\0'), 0, 0, 0},
  };
  for (const c& k : cases) {
    const dds_read r = read_dds(write_scratch("case.dds", k.bytes));
    EXPECT_EQ(r.ok, k.ok) << k.what;
    if (!r.ok || !k.ok) continue;
    EXPECT_EQ(r.desc.format, k.format) << k.what;
    EXPECT_EQ(r.desc.has_mipmaps, k.mips) << k.what;
    EXPECT_EQ(r.offset, 128) << k.what;
  }
}

}  // namespace
