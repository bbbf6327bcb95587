// intro.png: the start-up picture, a dark gradient with the world map. At
// start-up the picture hangs from the window's right edge with up to 512 of
// its top rows above the window, so in an 800x600 window file columns
// 1248-2047 and rows 512-1111 show; the map sits in the middle of that part
// at one raster texel per texel and stays in view in every larger window.
#include "mkres_paint.h"

namespace {

constexpr int k_map_left = k_intro_size - 800 + (800 - k_relief_w) / 2;
constexpr int k_map_top = 512 + (600 - k_relief_h) / 2;
constexpr int k_top[3] = {14, 24, 48};
constexpr int k_bottom[3] = {2, 4, 10};
constexpr unsigned char k_frame[3] = {70, 90, 130};

}  // namespace

int MKRES_paint_intro(const std::string& relief_path, bool test, std::vector<unsigned char>& out) {
  out.assign(size_t(k_intro_size) * k_intro_size * 4, 255);
  if (test) {
    for (int y = 0; y < k_intro_size; ++y)
      for (int x = 0; x < k_intro_size; ++x)
        MKRES_coord_texel(x, k_intro_size - 1 - y, &out[(size_t(y) * k_intro_size + x) * 4]);
    return 1;
  }
  std::vector<unsigned char> relief;
  if (!MKRES_read_relief(relief_path, relief)) return 0;
  for (int y = 0; y < k_intro_size; ++y)
    for (int x = 0; x < k_intro_size; ++x) {
      unsigned char* p = &out[(size_t(y) * k_intro_size + x) * 4];
      const int mx = x - k_map_left, my = y - k_map_top;
      if (mx >= 0 && mx < k_relief_w && my >= 0 && my < k_relief_h) {
        // Dimmed a little so the map sits in the dark picture.
        const unsigned char* c = &relief[(size_t(my) * k_relief_w + mx) * 3];
        for (int i = 0; i < 3; ++i) p[i] = (unsigned char)(c[i] * 13 / 16);
      } else if (mx >= -1 && mx <= k_relief_w && my >= -1 && my <= k_relief_h) {
        for (int i = 0; i < 3; ++i) p[i] = k_frame[i];
      } else {
        for (int i = 0; i < 3; ++i) p[i] = (unsigned char)(k_top[i] + (k_bottom[i] - k_top[i]) * y / (k_intro_size - 1));
      }
    }
  return 1;
}
