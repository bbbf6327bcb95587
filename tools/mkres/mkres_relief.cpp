#include <png.h>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include "mkres_paint.h"

int MKRES_read_relief(const std::string& path, std::vector<unsigned char>& out) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    std::fprintf(stderr, "mkres: the world map's source %s is missing: install the Debian package %s (scripts/setup)\n",
                 path.c_str(), k_relief_package);
    return 0;
  }
  png_image img;
  std::memset(&img, 0, sizeof img);
  img.version = PNG_IMAGE_VERSION;
  int ok = png_image_begin_read_from_stdio(&img, f);
  if (ok && (img.width != k_relief_w || img.height != k_relief_h)) {
    std::fprintf(stderr, "mkres: %s is %ux%u, not the %dx%d raster %s ships\n", path.c_str(), img.width, img.height,
                 k_relief_w, k_relief_h, k_relief_package);
    png_image_free(&img);
    std::fclose(f);
    return 0;
  }
  if (ok) {
    img.format = PNG_FORMAT_RGB;
    out.assign(PNG_IMAGE_SIZE(img), 0);
    ok = png_image_finish_read(&img, nullptr, out.data(), 0, nullptr);
  }
  std::fclose(f);
  if (!ok) {
    std::fprintf(stderr, "mkres: cannot read %s: %s\n", path.c_str(), img.message);
    png_image_free(&img);
    return 0;
  }
  return 1;
}

// Source texel s spans [s * dw, (s + 1) * dw) and output texel d spans
// [d * sw, (d + 1) * sw) on a common scale, so every weight is an exact
// integer and the result is the same on every machine.
void MKRES_area_average(const std::vector<unsigned char>& in, int sw, int sh, int dw, int dh,
                        std::vector<unsigned char>& out) {
  out.assign(size_t(dw) * dh * 3, 0);
  auto overlap = [](int a0, int a1, int b0, int b1) {
    const int lo = a0 > b0 ? a0 : b0, hi = a1 < b1 ? a1 : b1;
    return hi > lo ? hi - lo : 0;
  };
  const uint64_t total = uint64_t(sw) * sh;
  for (int dy = 0; dy < dh; ++dy)
    for (int dx = 0; dx < dw; ++dx) {
      uint64_t sum[3] = {0, 0, 0};
      for (int sy = dy * sh / dh; sy < sh && sy * dh < (dy + 1) * sh; ++sy) {
        const int wy = overlap(sy * dh, (sy + 1) * dh, dy * sh, (dy + 1) * sh);
        for (int sx = dx * sw / dw; sx < sw && sx * dw < (dx + 1) * sw; ++sx) {
          const int w = wy * overlap(sx * dw, (sx + 1) * dw, dx * sw, (dx + 1) * sw);
          const unsigned char* p = &in[(size_t(sy) * sw + sx) * 3];
          for (int c = 0; c < 3; ++c) sum[c] += uint64_t(w) * p[c];
        }
      }
      unsigned char* q = &out[(size_t(dy) * dw + dx) * 3];
      for (int c = 0; c < 3; ++c) q[c] = (unsigned char)((sum[c] + total / 2) / total);
    }
}

void MKRES_coord_texel(int u, int v, unsigned char* rgb) {
  rgb[0] = (unsigned char)(u & 255);
  rgb[1] = (unsigned char)(v & 255);
  rgb[2] = (unsigned char)((u >> 8) + 8 * (v >> 8));
}
