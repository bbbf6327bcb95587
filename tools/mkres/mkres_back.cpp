// background.png: the wizard's background, one texel per window pixel from
// the texture's lower-left corner. Under the 800x600 layout only file
// columns 0-799 and rows 424-1023 show, and the two panels cover most of
// that, so the picture is a quiet light gradient that leaves the panels'
// edges and the picture buttons above them the only things to see.
#include "mkres_paint.h"

namespace {

// The window's top row in the file under the 800x600 layout; the rows above
// it only show in taller windows and keep the top colour.
constexpr int k_top_row = k_back_size - 600;
constexpr int k_top[3] = {236, 240, 246};
constexpr int k_bottom[3] = {198, 208, 222};

// A 4x4 ordered dither spreads each step of the slow gradient over its
// neighbours so no bands show, and keeps every build's bytes the same.
constexpr int k_bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

int MKRES_paint_background(bool test, std::vector<unsigned char>& out) {
  out.assign(size_t(k_back_size) * k_back_size * 3, 0);
  for (int y = 0; y < k_back_size; ++y)
    for (int x = 0; x < k_back_size; ++x) {
      unsigned char* p = &out[(size_t(y) * k_back_size + x) * 3];
      if (test) {
        MKRES_coord_texel(x, k_back_size - 1 - y, p);
        continue;
      }
      // t runs from 0 at the window's top to 1 at its bottom, in 1/16384.
      const int row = y < k_top_row ? 0 : y - k_top_row;
      const int t = row * 16384 / (k_back_size - 1 - k_top_row);
      for (int c = 0; c < 3; ++c) {
        // In 1/16 of a level, so the dither threshold can split it.
        const int v16 = k_top[c] * 16 + (k_bottom[c] - k_top[c]) * 16 * t / 16384;
        const int v = (v16 + k_bayer[y & 3][x & 3]) / 16;
        p[c] = (unsigned char)(v > 255 ? 255 : v);
      }
    }
  return 1;
}
