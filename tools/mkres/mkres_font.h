// Words set in one face through FreeType, as coverage masks the painters
// tint. Hinted and anti-aliased at whole pixel sizes.
#pragma once
#include <string>
#include <vector>

struct mkres_font;

// A set word: its ink box relative to the pen's start on the baseline
// (left and bottom inclusive, right and top exclusive, v upwards) and the
// coverage of each ink texel, rows bottom-up.
struct mkres_word {
  int size_px = 0;
  int left = 0, bottom = 0, right = 0, top = 0;
  std::vector<unsigned char> coverage;  // (right - left) x (top - bottom)
  int ascender = 0, descender = 0;      // the face's line metrics at size_px, descender negative
};

// Opens the face at path; null after printing why.
mkres_font* MKRES_open_font(const std::string& path);
void MKRES_close_font(mkres_font* font);
// Sets a UTF-8 word at size_px; false when a character is missing or
// FreeType fails.
bool MKRES_set_word(mkres_font* font, const std::string& utf8, int size_px, mkres_word& out);
