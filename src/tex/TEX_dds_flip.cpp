// Turning DDS levels upside down, block by block, and the gamma correction
// of S3TC colour endpoints on the way.
#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <cstring>
#include <utility>
#include "core/hl_alert.h"
#include "tex/TEX_dds.h"
#include "widgets/colr.h"

namespace {

constexpr char src_path[] = "RUvozuz/TEX/TEX_dds";

unsigned short get565(const unsigned char* p) { return static_cast<unsigned short>(p[0] | p[1] << 8); }
void put565(unsigned char* p, unsigned short c) {
  p[0] = static_cast<unsigned char>(c);
  p[1] = static_cast<unsigned char>(c >> 8);
}

int red(unsigned short c) { return c >> 11; }
int green(unsigned short c) { return (c >> 5) & 63; }
int blue(unsigned short c) { return c & 31; }
unsigned short rgb565(int r, int g, int b) { return static_cast<unsigned short>(r << 11 | g << 5 | b); }

bool three_colour(const DXTColBlock& b) { return get565(b.col0) <= get565(b.col1); }

// Reverses the first rows index rows of a colour block: 4 in a full block
// row, 2 in a level two pixels high; a level one pixel high keeps its row.
void flip_index_rows(DXTColBlock& b, int rows) {
  if (rows >= 4) {
    std::swap(b.row[0], b.row[3]);
    std::swap(b.row[1], b.row[2]);
  } else if (rows == 2) {
    std::swap(b.row[0], b.row[1]);
  }
}

// Whether a three-colour block shows a transparent pixel: index 3 among the
// pixels that lie inside the level (libsquish fills the rest with 3).
bool has_transparent(const DXTColBlock& b, int cols, int rows) {
  if (!three_colour(b)) return false;
  for (int y = 0; y < rows; ++y)
    for (int x = 0; x < cols; ++x)
      if (((b.row[y] >> (2 * x)) & 3) == 3) return true;
  return false;
}

// One colour block of a flip: rows, then the transparency finding, then
// the gamma.
int flip_colour(DXTColBlock& b, int flag, int cols, int rows) {
  flip_index_rows(b, rows);
  if (!flag && has_transparent(b, cols, rows)) flag = 1;
  if (colr.gamma_changed) nv_gamma_correct(&b);
  return flag;
}

// DXT3's explicit alpha: four 16-bit rows of 4-bit values.
void flip_dxt3_alpha(unsigned char* a, int rows) {
  if (rows >= 4) {
    std::swap(a[0], a[6]), std::swap(a[1], a[7]);
    std::swap(a[2], a[4]), std::swap(a[3], a[5]);
  } else if (rows == 2) {
    std::swap(a[0], a[2]), std::swap(a[1], a[3]);
  }
}

unsigned get24(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16; }
void put24(unsigned char* p, unsigned v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
}

void flip_dxt5_alpha_rows(DXT5AlphaBlock& b, int rows) {
  const unsigned lo = get24(b.bits), hi = get24(b.bits + 3);
  const unsigned r0 = lo & 0xFFF, r1 = lo >> 12, r2 = hi & 0xFFF, r3 = hi >> 12;
  if (rows >= 4) {
    put24(b.bits, r3 | r2 << 12);
    put24(b.bits + 3, r1 | r0 << 12);
  } else if (rows == 2) {
    put24(b.bits, r1 | r0 << 12);
  }
}

enum block_kind { dxt1, dxt3, dxt5 };

// One row of count blocks of the given kind, in a level cols x rows pixels
// of which lie in each block (4 x 4 but at the narrow end of a chain).
int flip_block_row(unsigned char* p, int count, block_kind kind, int flag, int cols, int rows) {
  const int size = kind == dxt1 ? 8 : 16;
  for (int i = 0; i < count; ++i, p += size) {
    if (kind == dxt3) flip_dxt3_alpha(p, rows);
    if (kind == dxt5) flip_dxt5_alpha_rows(*reinterpret_cast<DXT5AlphaBlock*>(p), rows);
    const int found = flip_colour(*reinterpret_cast<DXTColBlock*>(p + size - 8), flag, cols, rows);
    if (kind == dxt1) flag = found;
  }
  // Only DXT1 has a transparent index; the others report nothing.
  return kind == dxt1 ? flag : 0;
}

int flip_blocks(const TEX_image_desc& level, unsigned char* p, block_kind kind, int flag) {
  const int size = kind == dxt1 ? 8 : 16;
  const int per_row = (level.width + 3) / 4, block_rows = (level.height + 3) / 4;
  const int cols = std::min(level.width, 4), rows = std::min(level.height, 4);
  const size_t row_bytes = static_cast<size_t>(per_row) * static_cast<size_t>(size);
  // Every block row has its pixel rows reversed, the middle one of an odd
  // count included; the outer ones also trade places.
  for (int i = 0, j = block_rows - 1; i <= j; ++i, --j) {
    unsigned char* a = p + static_cast<size_t>(i) * row_bytes;
    unsigned char* b = p + static_cast<size_t>(j) * row_bytes;
    flag = flip_block_row(a, per_row, kind, flag, cols, rows);
    if (i == j) break;
    flag = flip_block_row(b, per_row, kind, flag, cols, rows);
    std::swap_ranges(a, a + row_bytes, b);
  }
  return flag;
}

void flip_rows(const TEX_image_desc& level, unsigned char* p) {
  const size_t stride = static_cast<size_t>(TEX_bytes_needed_for_image(level)) / static_cast<size_t>(level.height);
  for (int i = 0, j = level.height - 1; i < j; ++i, --j)
    std::swap_ranges(p + static_cast<size_t>(i) * stride, p + static_cast<size_t>(i + 1) * stride,
                     p + static_cast<size_t>(j) * stride);
}

}  // namespace

int TEX_flip_y(const TEX_image_desc& desc, unsigned char* pixels) {
  int rows_of_pixels = 0;
  block_kind kind = dxt1;
  switch (desc.format) {
    case GL_ALPHA:
    case GL_RGB:
    case GL_RGBA:
    case GL_BGR:
    case GL_BGRA: rows_of_pixels = 1; break;
    case 0x83F0:
    case 0x83F1: kind = dxt1; break;
    case 0x83F2: kind = dxt3; break;
    case 0x83F3: kind = dxt5; break;
    default:
      __MACIBM_alert(0, "Illegal format!", "", "", "", t_crash, src_path, __LINE__);
      return 0;
  }
  // A side below 1 would never reach the 1 x 1 level that ends the walk.
  if (desc.width < 1 || desc.height < 1 || !pixels) return 0;
  int flag = 0;
  TEX_image_desc level = desc;
  level.has_mipmaps = 0;
  for (;;) {
    if (rows_of_pixels)
      flip_rows(level, pixels);
    else
      flag = flip_blocks(level, pixels, kind, flag);
    if ((level.width == 1 && level.height == 1) || !desc.has_mipmaps) break;
    pixels += TEX_bytes_needed_for_image(level);
    level.width = std::max(1, level.width / 2);
    level.height = std::max(1, level.height / 2);
  }
  return flag;
}

int nv_flip_blocks_dxtc1(DXTColBlock* blocks, int count, int flag) {
  return flip_block_row(reinterpret_cast<unsigned char*>(blocks), count, dxt1, flag, 4, 4);
}

int nv_flip_blocks_dxtc3(DXTColBlock* blocks, int count, int flag) {
  return flip_block_row(reinterpret_cast<unsigned char*>(blocks), count, dxt3, flag, 4, 4);
}

int nv_flip_blocks_dxtc5(DXTColBlock* blocks, int count, int flag) {
  return flip_block_row(reinterpret_cast<unsigned char*>(blocks), count, dxt5, flag, 4, 4);
}

void nv_flip_dxt5_alpha(DXT5AlphaBlock* block) { flip_dxt5_alpha_rows(*block, 4); }

namespace {

unsigned short gamma565(unsigned short c) {
  const unsigned char* t = colr.gamma_table;
  const int r = red(c), g = green(c), b = blue(c);
  return rgb565(t[r * 8 + r / 4] / 8, t[g * 4 + g / 16] / 4, t[b * 8 + b / 4] / 8);
}

}  // namespace

void nv_gamma_correct(DXTColBlock* block) {
  const unsigned short c0 = get565(block->col0), c1 = get565(block->col1);
  const bool three = c0 <= c1;
  unsigned short n0 = gamma565(c0), n1 = gamma565(c1);
  if (n0 == n1 && !three) {
    // Merged endpoints of a four-colour block: part them by one step, so
    // the block stays four-colour.
    n0 = n1;
    if (!IncColor565(n0)) DecColor565(n1);
  } else if ((n0 <= n1) != three) {
    // The order crossed: swap the endpoints and point every index at the
    // colour it meant. In three-colour mode 2 is the midpoint and 3
    // transparent, neither of which moves.
    std::swap(n0, n1);
    for (unsigned char& r : block->row) {
      unsigned char out = 0;
      for (int x = 0; x < 4; ++x) {
        int i = (r >> (2 * x)) & 3;
        if (!three || i < 2) i ^= 1;
        out = static_cast<unsigned char>(out | i << (2 * x));
      }
      r = out;
    }
  }
  put565(block->col0, n0);
  put565(block->col1, n1);
}

int DecColor565(unsigned short& colour) {
  const int r = red(colour), g = green(colour), b = blue(colour);
  if (g > 0)
    colour = rgb565(r, g - 1, b);
  else if (b > 0)
    colour = rgb565(r, g, b - 1);
  else if (r > 0)
    colour = rgb565(r - 1, g, b);
  else
    return 0;
  return 1;
}

int IncColor565(unsigned short& colour) {
  const int r = red(colour), g = green(colour), b = blue(colour);
  if (g < 63)
    colour = rgb565(r, g + 1, b);
  else if (b < 31)
    colour = rgb565(r, g, b + 1);
  else if (r < 31)
    colour = rgb565(r + 1, g, b);
  else
    return 0;
  return 1;
}
