#include "mkres_png.h"
#include <png.h>
#include <csetjmp>
#include <cstdio>

namespace {

// libpng reports errors by longjmp; keep everything with a destructor out of
// the function that calls setjmp.
int write_rows(FILE* f, int width, int height, int channels, const uint8_t* pixels) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return 0;
  png_infop info = png_create_info_struct(png);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return 0;
  }
  png_init_io(png, f);
  png_set_compression_level(png, 9);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_IHDR(png, info, width, height, 8, channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
               PNG_FILTER_TYPE_BASE);
  png_write_info(png, info);
  for (int row = 0; row < height; ++row)
    png_write_row(png, const_cast<png_bytep>(pixels + static_cast<size_t>(height - 1 - row) * width * channels));
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return 1;
}

}  // namespace

int MKRES_write_png(const std::string& path, int width, int height, const std::vector<uint8_t>& pixels,
                    int channels) {
  if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) ||
      pixels.size() != static_cast<size_t>(width) * height * channels) {
    std::fprintf(stderr, "mkres: %s: %dx%dx%d does not match %zu bytes\n", path.c_str(), width, height, channels,
                 pixels.size());
    return 0;
  }
  const std::string tmp = path + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) {
    std::perror(tmp.c_str());
    return 0;
  }
  const int wrote = write_rows(f, width, height, channels, pixels.data());
  const int closed = std::fclose(f) == 0;
  if (!wrote || !closed || std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::fprintf(stderr, "mkres: cannot write %s\n", path.c_str());
    std::remove(tmp.c_str());
    return 0;
  }
  return 1;
}
