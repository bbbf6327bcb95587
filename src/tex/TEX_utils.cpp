#include "tex/TEX_utils.h"
#include <png.h>
#include <algorithm>
#include <cstring>
#include "core/hl_string.h"
#include "files/xmap.h"
#include "tex/TEX_bmp.h"
#include "tex/TEX_obj.h"

int TEX_load_any(const std::string& path, unsigned char*& buffer, unsigned long format, int pad_to_width,
                 png_alpha_mode mode, int gamma, TEX_image_desc& desc) {
  xmap_class file(path, 0, 0);
  if (!file.mem_beg || file.mem_end - file.mem_beg < 8) return 0;
  const unsigned char* head = reinterpret_cast<const unsigned char*>(file.mem_beg);
  if (TEX_is_bmp(file)) return TEX_load_bmp(path, &file, buffer, format, pad_to_width, 0, desc);
  if (png_sig_cmp(head, 0, 8) == 0) return TEX_load_png(path, &file, buffer, format, pad_to_width, 0, mode, gamma, desc);
  return 0;
}

int TEX_load_any_ext(const std::string& path, unsigned char*& buffer, unsigned long format, int pad_to_width,
                     png_alpha_mode mode, int gamma, TEX_image_desc& desc) {
  UTL_check_string_length(path);
  if (TEX_load_any(TEX_replace_ext(path, ".png"), buffer, format, pad_to_width, mode, gamma, desc)) return 1;
  return TEX_load_any(TEX_replace_ext(path, ".bmp"), buffer, format, pad_to_width, mode, gamma, desc);
}

void TEX_downscale(TEX_image_desc& desc, unsigned char* pixels, int factor_x, int factor_y) {
  if (factor_x < 1 || factor_y < 1) return;
  const int b = desc.format == GL_RGBA ? 4 : desc.format == GL_RGB ? 3 : 1;
  const int new_width = desc.width / factor_x;
  const int new_height = desc.height / factor_y;
  const size_t in_stride = static_cast<size_t>(b) * static_cast<size_t>(desc.width) + static_cast<size_t>(desc.pad);
  const size_t out_stride = static_cast<size_t>(b) * static_cast<size_t>(new_width) + static_cast<size_t>(desc.pad);
  const unsigned count = static_cast<unsigned>(factor_x) * static_cast<unsigned>(factor_y);
  // Each output pixel lies at or before the first input byte it still
  // needs, so the pass works in place.
  for (int r = 0; r < new_height; ++r) {
    for (int c = 0; c < new_width; ++c) {
      unsigned sum[4] = {0, 0, 0, 0};
      for (int y = 0; y < factor_y; ++y) {
        const unsigned char* in = pixels + static_cast<size_t>(r * factor_y + y) * in_stride +
                                  static_cast<size_t>(c) * static_cast<size_t>(factor_x * b);
        for (int x = 0; x < factor_x; ++x)
          for (int k = 0; k < b; ++k) sum[k] += in[x * b + k];
      }
      unsigned char* out = pixels + static_cast<size_t>(r) * out_stride + static_cast<size_t>(c * b);
      for (int k = 0; k < b; ++k) out[k] = static_cast<unsigned char>(sum[k] / count);
    }
  }
  desc.width = new_width;
  desc.height = new_height;
}

void TEX_clean_edge(const TEX_image_desc& desc, unsigned char* pixels) {
  if (desc.format != GL_RGBA) return;
  const int w = desc.width, h = desc.height;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      unsigned char* p = pixels + (static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)) * 4;
      if (p[3] != 0) continue;
      unsigned sum[3] = {0, 0, 0}, found = 0;
      for (int yy = std::max(y - 2, 0); yy <= std::min(y + 2, h - 1); ++yy) {
        for (int xx = std::max(x - 2, 0); xx <= std::min(x + 2, w - 1); ++xx) {
          const unsigned char* q =
              pixels + (static_cast<size_t>(yy) * static_cast<size_t>(w) + static_cast<size_t>(xx)) * 4;
          if (q[3] == 0) continue;
          sum[0] += q[0];
          sum[1] += q[1];
          sum[2] += q[2];
          ++found;
        }
      }
      if (!found) continue;
      for (int k = 0; k < 3; ++k) p[k] = static_cast<unsigned char>(sum[k] / found);
    }
  }
}
