#include "mkres_font.h"
#include <ft2build.h>
#include FT_FREETYPE_H
#include <algorithm>
#include <climits>
#include <cstdio>

struct mkres_font {
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
};

namespace {

// The code points of a UTF-8 string; a malformed sequence gives U+FFFD.
std::vector<unsigned> code_points(const std::string& s) {
  std::vector<unsigned> out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char b = s[i];
    const int n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    unsigned cp = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n; ++k) cp = cp << 6 | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    out.push_back(cp);
    i += n;
  }
  return out;
}

struct placed_glyph {
  int x, top, width, rows;
  std::vector<unsigned char> bits;  // rows top-down
};

}  // namespace

mkres_font* MKRES_open_font(const std::string& path) {
  auto* f = new mkres_font;
  if (FT_Init_FreeType(&f->lib) || FT_New_Face(f->lib, path.c_str(), 0, &f->face)) {
    std::fprintf(stderr, "mkres: cannot open the face %s\n", path.c_str());
    MKRES_close_font(f);
    return nullptr;
  }
  return f;
}

void MKRES_close_font(mkres_font* font) {
  if (!font) return;
  if (font->face) FT_Done_Face(font->face);
  if (font->lib) FT_Done_FreeType(font->lib);
  delete font;
}

bool MKRES_set_word(mkres_font* font, const std::string& utf8, int size_px, mkres_word& out) {
  FT_Face face = font->face;
  if (FT_Set_Pixel_Sizes(face, 0, size_px)) return false;
  std::vector<placed_glyph> glyphs;
  int pen = 0;
  FT_UInt previous = 0;
  for (unsigned cp : code_points(utf8)) {
    const FT_UInt index = FT_Get_Char_Index(face, cp);
    if (index == 0) return false;
    if (previous && FT_HAS_KERNING(face)) {
      FT_Vector k;
      if (!FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &k)) pen += static_cast<int>(k.x >> 6);
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER)) return false;
    const FT_GlyphSlot g = face->glyph;
    placed_glyph p{pen + g->bitmap_left, g->bitmap_top, static_cast<int>(g->bitmap.width),
                   static_cast<int>(g->bitmap.rows), {}};
    for (int row = 0; row < p.rows; ++row) {
      const unsigned char* src = g->bitmap.buffer + row * g->bitmap.pitch;
      p.bits.insert(p.bits.end(), src, src + p.width);
    }
    glyphs.push_back(std::move(p));
    pen += static_cast<int>((g->advance.x + 32) >> 6);
    previous = index;
  }
  out = mkres_word{};
  out.size_px = size_px;
  out.ascender = static_cast<int>(face->size->metrics.ascender >> 6);
  out.descender = static_cast<int>(face->size->metrics.descender >> 6);
  // The ink box: only texels with some coverage count.
  int left = INT_MAX, right = INT_MIN, bottom = INT_MAX, top = INT_MIN;
  for (const placed_glyph& p : glyphs)
    for (int row = 0; row < p.rows; ++row)
      for (int col = 0; col < p.width; ++col)
        if (p.bits[row * p.width + col]) {
          const int v = p.top - 1 - row;
          left = std::min(left, p.x + col);
          right = std::max(right, p.x + col + 1);
          bottom = std::min(bottom, v);
          top = std::max(top, v + 1);
        }
  if (left == INT_MAX) return true;  // a word of blanks has no ink
  out.left = left, out.right = right, out.bottom = bottom, out.top = top;
  const int w = right - left;
  out.coverage.assign(static_cast<size_t>(w) * (top - bottom), 0);
  for (const placed_glyph& p : glyphs)
    for (int row = 0; row < p.rows; ++row)
      for (int col = 0; col < p.width; ++col) {
        const unsigned char a = p.bits[row * p.width + col];
        if (!a) continue;
        unsigned char& dst = out.coverage[(p.top - 1 - row - bottom) * w + (p.x + col - left)];
        dst = std::max(dst, a);
      }
  return true;
}
