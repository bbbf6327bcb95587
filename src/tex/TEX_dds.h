// DDS files and S3TC blocks: reading a mapped DDS file (DXT1, DXT3, DXT5 or
// uncompressed BGR/BGRA, with or without a full mip chain), turning its
// levels upside down (DDS files are stored top-down, the program keeps
// images bottom-up), the optional gamma correction of block endpoints,
// writing a DDS file, and S3TC encoding and decoding over libsquish.
// Any thread; the only shared input is the colour table's gamma.
#pragma once
#include <string>
#include "tex/TEX_image.h"

class xmap_class;

// One 8-byte S3TC colour block. Endpoint 0 at or below endpoint 1 selects
// the three-colour mode, in which index 3 is transparent.
struct DXTColBlock {
  unsigned char col0[2];  // endpoint 0, RGB565 little-endian (red high, blue low)
  unsigned char col1[2];  // endpoint 1
  unsigned char row[4];   // 2-bit indices, one byte per pixel row, pixel 0 in the low bits
};

// One 8-byte DXT5 alpha block: two alpha endpoints, then 3-bit indices;
// bytes 0 to 2 of bits hold rows 0 and 1 (row 0 in the low 12 bits of the
// 24-bit little-endian value), bytes 3 to 5 rows 2 and 3.
struct DXT5AlphaBlock {
  unsigned char alpha0;
  unsigned char alpha1;
  unsigned char bits[6];
};

// libsquish's colour fit; any value but 0 and 2 is the cluster fit.
enum TEX_s3tc_quality : int { s3tc_range_fit = 0, s3tc_cluster_fit = 1, s3tc_iterative_fit = 2 };

// 1 when the mapped file is a DDS file this program can use: desc gets the
// format (0x83F0, 0x83F2, 0x83F3, GL_BGR or GL_BGRA), the size and whether
// a chain down to 1 x 1 follows, and data points into the mapping at byte
// 128 (nothing is copied: the mapping must outlive its use). 0, silently,
// for anything else: no "DDS " or a mapping under 128 bytes, an unknown
// code, uncompressed pixels other than 8-bit B, G, R (and A), a side below
// 1 or above 2^30, or a mapping shorter than its levels need. path is
// not used.
int TEX_load_dds(const std::string& path, xmap_class* file, unsigned char*& data, TEX_image_desc& desc);

// Turns every level of the image upside down in place (rows, or S3TC block
// rows and the pixel rows inside each block), gamma-correcting the colour
// blocks while the colour table's gamma is active. Returns non-zero when a
// DXT1 block in three-colour mode uses index 3 on a pixel of its level.
// A format other than GL_ALPHA, GL_RGB, GL_RGBA, GL_BGR, GL_BGRA or S3TC
// raises the crash alert "Illegal format!".
int TEX_flip_y(const TEX_image_desc& desc, unsigned char* pixels);

// Reverse the four pixel rows of each of count blocks (one block row).
// The DXT1 form returns flag, or 1 when flag is 0 and a three-colour block
// uses index 3; the DXT3 and DXT5 forms return 0.
int nv_flip_blocks_dxtc1(DXTColBlock* blocks, int count, int flag);
int nv_flip_blocks_dxtc3(DXTColBlock* blocks, int count, int flag);
int nv_flip_blocks_dxtc5(DXTColBlock* blocks, int count, int flag);
// Reverses the four index rows of one DXT5 alpha block.
void nv_flip_dxt5_alpha(DXT5AlphaBlock* block);
// Passes both endpoints through the colour table's gamma, keeping the
// block's mode (repairing merged endpoints, swapping crossed ones and
// remapping the indices to match).
void nv_gamma_correct(DXTColBlock* block);

// One step down (green, else blue, else red); 0 and unchanged for black.
int DecColor565(unsigned short& colour);
// One step up (green, else blue, else red); 0 and unchanged for white.
int IncColor565(unsigned short& colour);

// Writes a GL_RGB (as DXT1) or GL_RGBA (as DXT5) image of bottom-up rows
// as a DDS file with every level down to 1 x 1. Returns 1 when written;
// 0 when the file cannot be created or a write or the close fails (the
// partial file is removed). Another format raises a crash alert.
int TEX_save_dds(const std::string& path, const unsigned char* pixels, const TEX_image_desc& desc);

// Compresses source's width x height RGBA pixels (top-down, as libsquish
// works) into blocks of target's format: DXT1 for 0x83F0 and 0x83F1, DXT3
// for 0x83F2, DXT5 otherwise.
void TEX_encode_s3tc(const TEX_image_desc& source, const TEX_image_desc& target, const unsigned char* rgba,
                     unsigned char* blocks, TEX_s3tc_quality quality);
// Decompresses source's blocks (kind by source's format, as above) into
// width x height RGBA pixels. target is not read.
void TEX_decode_s3tc(const TEX_image_desc& source, const TEX_image_desc& target, const unsigned char* blocks,
                     unsigned char* rgba);
