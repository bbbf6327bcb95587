#include "tex/TEX_composite.h"
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

// Bytes a pixel for the formats these operations handle; 0 for the rest.
int pixel_bytes(const TEX_image_desc& d) {
  if (d.width < 1 || d.height < 1 || d.pad < 0) return 0;
  return d.format == GL_RGBA ? 4 : d.format == GL_RGB ? 3 : 0;
}

size_t stride_of(const TEX_image_desc& d, int bpp) {
  return static_cast<size_t>(bpp) * static_cast<size_t>(d.width) + static_cast<size_t>(d.pad);
}

unsigned char to_byte(float v) { return static_cast<unsigned char>(std::clamp(v, 0.0f, 255.0f)); }

// Calls f(pixel) on every pixel of an RGBA image.
template <class F>
void for_each_rgba(const TEX_image_desc& d, unsigned char* pixels, F f) {
  if (!pixels || d.format != GL_RGBA || pixel_bytes(d) != 4) return;
  const size_t stride = stride_of(d, 4);
  for (int y = 0; y < d.height; ++y) {
    unsigned char* p = pixels + static_cast<size_t>(y) * stride;
    for (int x = 0; x < d.width; ++x, p += 4) f(p);
  }
}

}  // namespace

void TEX_composite(const TEX_image_desc& source, const TEX_image_desc& target, const unsigned char* source_pixels,
                   unsigned char* target_pixels, float x1, float y1, float x2, float y2) {
  const int sb = pixel_bytes(source), tb = pixel_bytes(target);
  if (!sb || !tb || !source_pixels || !target_pixels) return;
  const size_t s_stride = stride_of(source, sb), t_stride = stride_of(target, tb);
  const bool s_alpha = sb == 4, t_alpha = tb == 4;
  const int x_lo = std::max(0, static_cast<int>(std::floor(x1)));
  const int x_hi = std::min(target.width, static_cast<int>(std::ceil(x2)));
  const int y_lo = std::max(0, static_cast<int>(std::floor(y1)));
  const int y_hi = std::min(target.height, static_cast<int>(std::ceil(y2)));
  for (int y = y_lo; y < y_hi; ++y) {
    const float v = y1 == y2 ? source.height * 0.5f : source.height / (y2 - y1) * (y - y1);
    const int j = static_cast<int>(std::floor(v));
    const float fv = v - j;
    for (int x = x_lo; x < x_hi; ++x) {
      const float u = x1 == x2 ? source.width * 0.5f : source.width / (x2 - x1) * (x - x1);
      const int i = static_cast<int>(std::floor(u));
      const float fu = u - i;
      struct tap {
        int col, row;
        float weight;
      } taps[4] = {{i, j, (1 - fu) * (1 - fv)}, {i, j + 1, (1 - fu) * fv}, {i + 1, j, fu * (1 - fv)},
                   {i + 1, j + 1, fu * fv}};
      const unsigned char* px[4] = {};
      for (int k = 0; k < 4; ++k) {
        tap& t = taps[k];
        if (t.col < 0 || t.col > source.width - 1 || t.row < 0 || t.row > source.height - 1) {
          t.weight = 0;
          continue;
        }
        px[k] = source_pixels + static_cast<size_t>(t.row) * s_stride + static_cast<size_t>(t.col) * sb;
      }
      unsigned char* out = target_pixels + static_cast<size_t>(y) * t_stride + static_cast<size_t>(x) * tb;
      if (t_alpha) {
        float added = 0;
        for (int k = 0; k < 4; ++k)
          if (px[k]) added += s_alpha ? taps[k].weight * px[k][3] : taps[k].weight * 255.0f;
        out[3] = static_cast<unsigned char>(std::clamp(static_cast<int>(out[3] + added), 0, 255));
        if (s_alpha)
          for (int k = 0; k < 4; ++k)
            if (px[k]) taps[k].weight *= px[k][3] / 255.0f;
      }
      float rest = 1;
      for (const tap& t : taps) rest -= t.weight;
      for (int c = 0; c < 3; ++c) {
        float v_c = out[c] * rest;
        for (int k = 0; k < 4; ++k)
          if (px[k]) v_c += taps[k].weight * px[k][c];
        out[c] = to_byte(v_c);
      }
    }
  }
}

void TEX_copy(const TEX_image_desc& source, const TEX_image_desc& target, const unsigned char* source_pixels,
              unsigned char* target_pixels, int x, int y) {
  const int bpp = pixel_bytes(source);
  if (!bpp || source.format != target.format || !pixel_bytes(target) || !source_pixels || !target_pixels) return;
  // The part of the source that lands inside the target, in 64 bits so far
  // placements cannot wrap.
  const long long col_lo = std::max(0LL, -static_cast<long long>(x));
  const long long col_hi = std::min<long long>(source.width, static_cast<long long>(target.width) - x);
  const long long row_lo = std::max(0LL, -static_cast<long long>(y));
  const long long row_hi = std::min<long long>(source.height, static_cast<long long>(target.height) - y);
  if (col_lo >= col_hi || row_lo >= row_hi) return;
  const size_t s_stride = stride_of(source, bpp), t_stride = stride_of(target, bpp);
  const size_t bytes = static_cast<size_t>(col_hi - col_lo) * bpp;
  for (long long r = row_lo; r < row_hi; ++r)
    memcpy(target_pixels + static_cast<size_t>(y + r) * t_stride + static_cast<size_t>(x + col_lo) * bpp,
           source_pixels + static_cast<size_t>(r) * s_stride + static_cast<size_t>(col_lo) * bpp, bytes);
}

int TEX_chroma_key(const TEX_image_desc& desc, unsigned char* pixels, unsigned char* key, int tolerance) {
  if (!key) return 0;
  for_each_rgba(desc, pixels, [&](unsigned char* p) {
    if (std::abs(p[0] - key[0]) + std::abs(p[1] - key[1]) + std::abs(p[2] - key[2]) < tolerance) p[3] = 0;
  });
  return 0;
}

int TEX_chroma_key_wrap(TEX_image_desc* desc, unsigned char* pixels, unsigned char* key, int tolerance) {
  return desc ? TEX_chroma_key(*desc, pixels, key, tolerance) : 0;
}

void TEX_zap_alpha(const TEX_image_desc& desc, unsigned char* pixels) {
  for_each_rgba(desc, pixels, [](unsigned char* p) {
    if (p[3] == 0) p[0] = p[1] = p[2] = 0;
  });
}
