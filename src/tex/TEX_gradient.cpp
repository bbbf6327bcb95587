#include "tex/TEX_gradient.h"
#include <algorithm>
#include <cstddef>

namespace {

// Walks every pixel with its right and next-row neighbours (wrapping) and
// lets slope() write channels 0 and 1. Only those two channels change, so
// heights read later in the pass are still the original ones.
template <class T, class F>
void for_each_slope(T* data, const TEX_image_desc& desc, F slope) {
  if (desc.format != GL_RGB && desc.format != GL_RGBA) return;
  if (!data || desc.width < 1 || desc.height < 1 || desc.pad < 0) return;
  const size_t channels = desc.format == GL_RGBA ? 4 : 3;
  const size_t w = static_cast<size_t>(desc.width), h = static_cast<size_t>(desc.height);
  const size_t stride = channels * w + static_cast<size_t>(desc.pad);
  for (size_t y = 0; y < h; ++y) {
    T* row = data + y * stride;
    const T* up_row = data + ((y + 1) % h) * stride;
    for (size_t x = 0; x < w; ++x) {
      T* p = row + x * channels;
      const T right = row[((x + 1) % w) * channels + 2];
      const T up = up_row[x * channels + 2];
      slope(p, p[2], right, up);
    }
  }
}

}  // namespace

void TEX_make_gradient(unsigned char* pixels, const TEX_image_desc& desc, float scale) {
  auto to_byte = [scale](float own, float other) {
    const float v = ((other - own) / 255.0f * scale + 1.0f) * 127.5f;
    return static_cast<unsigned char>(std::clamp(v, 0.0f, 255.0f));
  };
  for_each_slope(pixels, desc, [&](unsigned char* p, unsigned char own, unsigned char right, unsigned char up) {
    p[0] = to_byte(own, right);
    p[1] = to_byte(own, up);
  });
}

void TEX_make_gradient(float* values, const TEX_image_desc& desc, float scale) {
  for_each_slope(values, desc, [scale](float* p, float own, float right, float up) {
    p[0] = (right - own) * scale + 0.5f;
    p[1] = (up - own) * scale + 0.5f;
  });
}
