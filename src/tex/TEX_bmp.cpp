#include "tex/TEX_bmp.h"
#include <climits>
#include <cstdint>
#include <cstring>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "widgets/colr.h"

namespace {

constexpr char k_bmp_unit[] = "RUvozuz/TEX/TEX_bmp";
constexpr long long k_header_bytes = 54;  // file header and the smallest information header we read
constexpr uint32_t k_min_info_header = 40;

int refuse(const std::string& path, const char* why) {
  xer_group() << "TEX_load_bmp: " << why << ", not loaded: " << path << "\n";
  return 0;
}

long long next_power_of_two(long long n) {
  long long p = 1;
  while (p < n) p *= 2;
  return p;
}

// The header fields, in file order; little-endian since is_rev stays 0.
struct bmp_header {
  uint16_t signature, reserved1, reserved2, layers, bits;
  uint32_t file_size, data_offset, info_size, compression, image_size, x_res, y_res, colours, important;
  int32_t width, height;
};

void read_header(xmap_class& file, bmp_header& h) {
  file.read_n_rev(&h.signature, 2);
  file.read_n_rev(&h.file_size, 4);
  file.read_n_rev(&h.reserved1, 2);
  file.read_n_rev(&h.reserved2, 2);
  file.read_n_rev(&h.data_offset, 4);
  file.read_n_rev(&h.info_size, 4);
  file.read_n_rev(&h.width, 4);
  file.read_n_rev(&h.height, 4);
  file.read_n_rev(&h.layers, 2);
  file.read_n_rev(&h.bits, 2);
  file.read_n_rev(&h.compression, 4);
  file.read_n_rev(&h.image_size, 4);
  file.read_n_rev(&h.x_res, 4);
  file.read_n_rev(&h.y_res, 4);
  file.read_n_rev(&h.colours, 4);
  file.read_n_rev(&h.important, 4);
}

}  // namespace

bool TEX_is_bmp(const xmap_class& file) {
  return file.mem_cur && file.mem_end - file.mem_cur >= 2 && file.mem_cur[0] == 'B' && file.mem_cur[1] == 'M';
}

int TEX_load_bmp(const std::string& path, xmap_class* file, unsigned char*& buffer, unsigned long format,
                 int pad_to_width, int power_of_two, TEX_image_desc& desc) {
  if (!file || !file->mem_beg || !file->mem_cur) return 0;
  int bpp = 1;
  if (format == GL_RGB)
    bpp = 3;
  else if (format == GL_RGBA)
    bpp = 4;
  else if (format != GL_ALPHA)
    __MACIBM_alert(0, "Illegal desired format for bmp.", path, "", "", t_quit, k_bmp_unit, __LINE__);

  // Every header read below must stay inside the mapping: a read past it is
  // a crash, not a refusal.
  const unsigned char* start = reinterpret_cast<const unsigned char*>(file->mem_cur);
  const unsigned char* end = reinterpret_cast<const unsigned char*>(file->mem_end);
  if (end - start < k_header_bytes) return refuse(path, "file shorter than a bitmap header");
  bmp_header h;
  read_header(*file, h);
  // A smaller (core) header keeps 16-bit sizes where the fields below are
  // read as 32-bit ones: nothing after it would mean what we take it for.
  if (h.info_size < k_min_info_header) return refuse(path, "information header under 40 bytes");
  if (h.bits != 24)
    __MACIBM_alert(0, "Wrong bitmap color depth for texture!", "We need 24-bit color.", "", path, t_quit, k_bmp_unit,
                   __LINE__);
  if (h.compression != 0) __MACIBM_alert(0, "Bitmap is compressed!", "", "", path, t_quit, k_bmp_unit, __LINE__);
  if (h.width <= 0) return refuse(path, "width 0 or less");
  if (h.height <= 0) return refuse(path, "height 0 or less (top-down bitmaps are not read)");

  // Sizes come from the file: 64-bit arithmetic, refused beyond what an int
  // (the record's fields, the size rule) can hold.
  const long long w = h.width, rows_in_file = h.height;
  long long pad = 0;
  if (power_of_two) {
    pad = bpp * (next_power_of_two(w) - w);
  } else if (pad_to_width) {
    if (pad_to_width < w) return refuse(path, "pad-to width below the image width");
    pad = bpp * (pad_to_width - w);
  }
  const long long row_count = power_of_two ? next_power_of_two(rows_in_file) : rows_in_file;
  const long long stride = bpp * w + pad;
  const long long total = stride * row_count;
  if (pad > INT_MAX || stride > INT_MAX || total > INT_MAX) return refuse(path, "image size out of range");

  unsigned char* out = buffer;
  if (!out) {
    out = static_cast<unsigned char*>(xmalloc(static_cast<unsigned long>(total)));
    if (!out) return refuse(path, "out of memory for the pixels");
  }
  if (power_of_two && (pad > 0 || rows_in_file < row_count)) memset(out, 0, static_cast<size_t>(total));

  const long long file_stride = (3 * w + 3) / 4 * 4;
  const long long available = end - start;
  const int gamma = colr.gamma_changed;
  const unsigned char* lut = colr.gamma_table;
  for (long long i = 0; i < rows_in_file; ++i) {
    const long long row_at = static_cast<long long>(h.data_offset) + i * file_stride;
    if (row_at >= available) break;  // every later row starts further on
    unsigned char* dst = out + i * stride;
    for (long long x = 0; x < w; ++x, dst += bpp) {
      const long long at = row_at + 3 * x;
      if (at + 3 > available) break;
      const unsigned char b = start[at], g = start[at + 1], r = start[at + 2];
      if (bpp == 1) {
        dst[0] = static_cast<unsigned char>((b + g + r) / 3);
        continue;
      }
      if (bpp == 4 && r == 255 && g == 0 && b == 255) {
        dst[0] = dst[1] = dst[2] = dst[3] = 0;
        continue;
      }
      dst[0] = gamma ? lut[r] : r;
      dst[1] = gamma ? lut[g] : g;
      dst[2] = gamma ? lut[b] : b;
      if (bpp == 4) dst[3] = 255;
    }
  }

  buffer = out;
  desc.format = static_cast<uint32_t>(bpp == 1 ? GL_ALPHA : format);
  desc.width = static_cast<int32_t>(w);
  desc.height = static_cast<int32_t>(rows_in_file);
  desc.pad = static_cast<int32_t>(pad);
  desc.has_mipmaps = 0;
  return 1;
}
