// map.png: the world in three bands of 36 x 18 cells of 14 x 14 texels, one
// cell per 10 degrees, in the texture's lower-left corner. The plain map is
// drawn whole; the other two bands lend single cells that are drawn over it,
// so their cells carry an outline of their own.
#include "mkres_paint.h"

namespace {

constexpr int k_band_w = 504;
constexpr int k_band_h = 252;
constexpr int k_cell = 14;
// The top file row of each band: the plain map at the texture's bottom, the
// available cells above it, the wanted cells above those.
constexpr int k_plain_top = k_map_h - k_band_h;
constexpr int k_available_top = k_plain_top - k_band_h;
constexpr int k_wanted_top = k_available_top - k_band_h;

constexpr unsigned char k_outline[3] = {64, 64, 64};
// The selection colour, orange.
constexpr unsigned char k_orange[3] = {255, 128, 0};

// Test mode: one flat colour a probe can tell apart, per band.
constexpr unsigned char k_test_plain[3] = {200, 40, 40};
constexpr unsigned char k_test_available[3] = {40, 200, 40};
constexpr unsigned char k_test_wanted[3] = {40, 40, 200};

bool on_outline(int x, int y) {
  const int cx = x % k_cell, cy = y % k_cell;
  return cx == 0 || cy == 0 || cx == k_cell - 1 || cy == k_cell - 1;
}

// Writes band texel (x, y), y from the band's top, into the RGBA picture.
void put(std::vector<unsigned char>& out, int top, int x, int y, const unsigned char* rgb) {
  unsigned char* p = &out[(size_t(top + y) * k_map_w + x) * 4];
  p[0] = rgb[0];
  p[1] = rgb[1];
  p[2] = rgb[2];
  p[3] = 255;
}

}  // namespace

int MKRES_paint_map(const std::string& relief_path, bool test, std::vector<unsigned char>& out) {
  // Transparent everywhere but the bands.
  out.assign(size_t(k_map_w) * k_map_h * 4, 0);
  if (test) {
    for (int y = 0; y < k_band_h; ++y)
      for (int x = 0; x < k_band_w; ++x) {
        put(out, k_plain_top, x, y, k_test_plain);
        put(out, k_available_top, x, y, k_test_available);
        put(out, k_wanted_top, x, y, k_test_wanted);
      }
    return 1;
  }
  std::vector<unsigned char> relief, world;
  if (!MKRES_read_relief(relief_path, relief)) return 0;
  MKRES_area_average(relief, k_relief_w, k_relief_h, k_band_w, k_band_h, world);
  for (int y = 0; y < k_band_h; ++y)
    for (int x = 0; x < k_band_w; ++x) {
      const unsigned char* c = &world[(size_t(y) * k_band_w + x) * 3];
      unsigned char light[3], wanted[3];
      for (int i = 0; i < 3; ++i) {
        light[i] = (unsigned char)((c[i] + 255 + 1) / 2);
        wanted[i] = (unsigned char)((c[i] + k_orange[i] + 1) / 2);
      }
      const bool edge = on_outline(x, y);
      put(out, k_plain_top, x, y, c);
      put(out, k_available_top, x, y, edge ? k_outline : light);
      put(out, k_wanted_top, x, y, edge ? k_outline : wanted);
    }
  return 1;
}
