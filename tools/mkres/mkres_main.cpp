// mkres: makes the pictures the program ships, since no artwork exists.
//   mkres [--test] --words <word list> --font <face> [--relief <raster>]
//         [--bitmaps <bitmaps folder>] <resources folder>
// --test writes the same files coordinate-coded, for the tests. The world
// maps are painted from the relief raster (python-cartopy-data's by
// default); the start-up picture is written only when a bitmaps folder is
// given.
#include <cstdio>
#include <cstring>
#include <string>
#include "mkres.h"
#include "mkres_paint.h"

int main(int argc, char** argv) {
  bool test = false, bad = false;
  std::string words, font, dir, bitmaps, relief = k_relief_path;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--test"))
      test = true;
    else if (!std::strcmp(argv[i], "--words") && i + 1 < argc)
      words = argv[++i];
    else if (!std::strcmp(argv[i], "--font") && i + 1 < argc)
      font = argv[++i];
    else if (!std::strcmp(argv[i], "--relief") && i + 1 < argc)
      relief = argv[++i];
    else if (!std::strcmp(argv[i], "--bitmaps") && i + 1 < argc)
      bitmaps = argv[++i];
    else if (dir.empty() && argv[i][0] != '-')
      dir = argv[i];
    else
      bad = true;
  }
  if (bad || dir.empty() || words.empty() || font.empty()) {
    std::fprintf(stderr,
                 "usage: mkres [--test] --words <word list> --font <face> [--relief <raster>] "
                 "[--bitmaps <bitmaps folder>] <resources folder>\n");
    return 2;
  }
  // One writer per picture.
  if (!MKRES_write_interface(dir, test)) return 1;
  if (!MKRES_write_elements(dir, words, font, test)) return 1;
  if (!MKRES_write_map(dir, relief, test)) return 1;
  if (!MKRES_write_background(dir, test)) return 1;
  if (!bitmaps.empty() && !MKRES_write_intro(bitmaps, relief, test)) return 1;
  return 0;
}
