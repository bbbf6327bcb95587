// The pictures painted from data rather than from the atlas table, written
// into their folders. The painters fill rows top-down; the writer stores
// rows bottom-up, as the program decodes them.
#include <algorithm>
#include "mkres.h"
#include "mkres_paint.h"
#include "mkres_png.h"

namespace {

int write_top_down(const std::string& path, int width, int height, int channels,
                   const std::vector<unsigned char>& top_down) {
  const size_t row = size_t(width) * channels;
  std::vector<uint8_t> bottom_up(top_down.size());
  for (int y = 0; y < height; ++y)
    std::copy_n(&top_down[size_t(y) * row], row, &bottom_up[size_t(height - 1 - y) * row]);
  return MKRES_write_png(path, width, height, bottom_up, channels);
}

}  // namespace

int MKRES_write_map(const std::string& dir, const std::string& relief_path, bool test) {
  std::vector<unsigned char> px;
  return MKRES_paint_map(relief_path, test, px) && write_top_down(dir + "/map.png", k_map_w, k_map_h, 4, px);
}

int MKRES_write_background(const std::string& dir, bool test) {
  std::vector<unsigned char> px;
  return MKRES_paint_background(test, px) &&
         write_top_down(dir + "/background.png", k_back_size, k_back_size, 3, px);
}

int MKRES_write_intro(const std::string& bitmaps_dir, const std::string& relief_path, bool test) {
  std::vector<unsigned char> px;
  return MKRES_paint_intro(relief_path, test, px) &&
         write_top_down(bitmaps_dir + "/intro.png", k_intro_size, k_intro_size, 4, px);
}
