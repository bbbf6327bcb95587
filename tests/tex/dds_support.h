// Helpers of the DDS tests: ImageMagick's fixtures, DDS headers written by
// hand (for what ImageMagick cannot write, and for hostile files), files
// of libsquish blocks, and S3TC levels decoded by libsquish.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "tex/TEX_dds.h"

// The folder (ending in '/') of make_dds_fixtures.sh's files.
std::string dds_fixtures();

// The fields of a hand-written 128-byte header; the defaults describe a
// DXT1 file with a chain.
struct dds_header {
  uint32_t width = 4, height = 4;
  uint32_t flags = 0xA1007;    // with the mip-map-count bit 0x20000
  uint32_t caps = 0x401008;    // with the mip-map bit 0x400000
  uint32_t pf_flags = 0x4;     // 0x4 code, 0x40 RGB, 0x1 alpha pixels
  const char* code = "DXT1";
  uint32_t bits = 0;
  uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
};
// The header's 128 bytes followed by data.
std::string dds_bytes(const dds_header& h, const std::string& data);

// The bytes of every level (a chain down to 1 x 1 when mips is set) of a
// width x height image in S3TC format (0x83F0 to 0x83F3), compressed by
// libsquish from colour(x, y, level width, level height) as 0xRRGGBBAA,
// y counted from the top.
std::string squish_levels(uint32_t format, int width, int height, bool mips,
                          const std::function<uint32_t(int, int, int, int)>& colour);

// libsquish's RGBA decoding of one level's blocks, rows top-down.
std::vector<unsigned char> squish_decode(uint32_t format, int width, int height, const unsigned char* blocks);

// Writes bytes to a fresh file in a scratch folder and returns its path.
std::string write_scratch(const std::string& name, const std::string& bytes);

// TEX_load_dds on the mapped file at path; the pointer is given as its
// offset from the mapping's start (-1 when refused).
struct dds_read {
  int ok = 0;
  TEX_image_desc desc;
  long offset = -1;
};
dds_read read_dds(const std::string& path);
