// Reading the header of a mapped DDS file.
#include "tex/TEX_dds.h"
#include <GL/gl.h>
#include <GL/glext.h>
#include <cstdint>
#include <cstring>
#include "files/xmap.h"

namespace {

uint32_t u32_at(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

constexpr long long header_bytes = 128;
constexpr uint32_t largest_side = 1u << 30;

// Uncompressed pixels are handed to OpenGL as GL_BGR or GL_BGRA bytes, so
// only the two layouts whose masks put the bytes in that order will do.
uint32_t uncompressed_format(const unsigned char* h, uint32_t pf_flags) {
  const uint32_t bits = u32_at(h + 88), r = u32_at(h + 92), g = u32_at(h + 96), b = u32_at(h + 100),
                 a = u32_at(h + 104);
  if (r != 0x00FF0000u || g != 0x0000FF00u || b != 0x000000FFu) return 0;
  if (!(pf_flags & 0x1) && bits == 24) return GL_BGR;
  if ((pf_flags & 0x1) && bits == 32 && a == 0xFF000000u) return GL_BGRA;
  return 0;
}

}  // namespace

int TEX_load_dds(const std::string&, xmap_class* file, unsigned char*& data, TEX_image_desc& desc) {
  if (!file || !file->mem_beg) return 0;
  const unsigned char* h = reinterpret_cast<const unsigned char*>(file->mem_beg);
  const long long length = file->mem_end - file->mem_beg;
  if (length < header_bytes || memcmp(h, "DDS ", 4) != 0) return 0;

  uint32_t format = 0;
  const uint32_t pf_flags = u32_at(h + 80);
  if (pf_flags & 0x4) {
    if (memcmp(h + 84, "DXT1", 4) == 0)
      format = 0x83F0;
    else if (memcmp(h + 84, "DXT3", 4) == 0)
      format = 0x83F2;
    else if (memcmp(h + 84, "DXT5", 4) == 0)
      format = 0x83F3;
    else
      return 0;
  }
  // The RGB bit wins over a code: the pixels are stored uncompressed.
  if (pf_flags & 0x40) format = uncompressed_format(h, pf_flags);
  if (format == 0) return 0;

  const uint32_t width = u32_at(h + 16), height = u32_at(h + 12);
  if (width < 1 || height < 1 || width > largest_side || height > largest_side) return 0;
  TEX_image_desc d;
  d.format = format;
  d.width = static_cast<int32_t>(width);
  d.height = static_cast<int32_t>(height);
  d.pad = 0;
  // The count itself is not read: a chain always runs down to 1 x 1.
  d.has_mipmaps = (u32_at(h + 8) & 0x20000) && (u32_at(h + 108) & 0x400000) ? 1 : 0;
  // Levels that do not fit an int of bytes are no texture this program
  // could make either (0 from the size rule).
  const long long need = TEX_bytes_needed_for_image(d);
  if (need <= 0 || length - header_bytes < need) return 0;
  desc = d;
  data = const_cast<unsigned char*>(h) + header_bytes;
  return 1;
}
