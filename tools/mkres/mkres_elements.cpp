// The language screen textures: each picture button's word, centred in its
// language's column once in each band, over nothing, so only the ink is
// opaque; the buttons' bars and the wizard's panel beside them.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>
#include "mkres.h"
#include "mkres_canvas.h"
#include "mkres_font.h"
#include "mkres_png.h"
#include "mkres_theme.h"

namespace {

constexpr int k_words = 5;       // Quit, Back, Next, select all, clear all
constexpr int k_max_px = 14;     // the size every word takes when it fits
constexpr int k_min_px = 9;      // below this a word is no longer readable
constexpr int k_side_free = 2;   // texels kept free on each side of the ink

// The word list: per language in the program's order, its five words.
bool read_words(const std::string& path, std::vector<std::vector<std::string>>& words) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "mkres: cannot read %s\n", path.c_str());
    return false;
  }
  words.assign(k_language_count, {});
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
      fields.push_back(line.substr(start, bar - start));
    fields.push_back(line.substr(start));
    int lang = 0;
    while (lang < k_language_count && fields[0] != k_language_names[lang]) ++lang;
    if (lang == k_language_count || fields.size() != k_words + 1) {
      std::fprintf(stderr, "mkres: %s: bad line \"%s\"\n", path.c_str(), line.c_str());
      return false;
    }
    words[lang].assign(fields.begin() + 1, fields.end());
  }
  for (int lang = 0; lang < k_language_count; ++lang)
    if (words[lang].empty()) {
      std::fprintf(stderr, "mkres: %s has no words for %s\n", path.c_str(), k_language_names[lang]);
      return false;
    }
  return true;
}

void paint_bars(mkres_canvas& c) {
  for (const bar_style& b : k_bar_styles) {
    if (b.style < 11) continue;
    const bool pressed = b.style == 12, dimmed = b.style == 13;
    MKRES_fill(c, b.r, pressed ? k_pic_pressed_fill : dimmed ? k_pic_dimmed_fill : k_pic_bar_fill);
    MKRES_outline(c, b.r, pressed ? k_pic_pressed_outline : dimmed ? k_pic_dimmed_outline : k_outline);
    if (!dimmed)
      MKRES_fill(c, {b.r.u0 + 1, b.r.v1 - 2, b.r.u1 - 1, b.r.v1 - 1}, pressed ? k_pic_pressed_top : k_pic_bar_top);
  }
  const atlas_rect panel = k_panel_styles[9].rect();
  MKRES_fill(c, panel, k_panel_fill[9]);
  MKRES_outline(c, panel, k_outline);
}

// The largest size that leaves the ink its free texels in the column; the
// word at that size in out. False when even the smallest size is too wide.
bool fit_word(mkres_font* font, const std::string& word, int column, mkres_word& out) {
  for (int px = k_max_px; px >= k_min_px; --px)
    if (MKRES_set_word(font, word, px, out) && out.right - out.left <= column - 2 * k_side_free) return true;
  return false;
}

bool paint_word(mkres_canvas& c, const mkres_word& w, atlas_rect r, mkres_rgba ink) {
  const int ink_w = w.right - w.left, ink_h = w.top - w.bottom;
  // Every word of a size shares one baseline: the face's line centred in the band.
  int baseline = r.v0 + (r.height() - (w.ascender - w.descender)) / 2 - w.descender;
  if (baseline + w.top > r.v1) baseline = r.v1 - w.top;
  if (baseline + w.bottom < r.v0) baseline = r.v0 - w.bottom;
  if (baseline + w.top > r.v1) return false;
  const int x = r.u0 + (r.width() - ink_w) / 2;
  for (int row = 0; row < ink_h; ++row)
    for (int col = 0; col < ink_w; ++col) {
      const unsigned char a = w.coverage[row * ink_w + col];
      if (a) MKRES_set(c, x + col, baseline + w.bottom + row, {ink.r, ink.g, ink.b, a});
    }
  return true;
}

bool write_language(const std::string& dir, int lang, const std::vector<std::string>& words, mkres_font* font,
                    bool test) {
  mkres_canvas c = MKRES_canvas(k_screen_tex_w, k_screen_tex_h);
  const std::string name = dir + "/elements_" + k_language_names[lang] + ".png";
  if (test) {
    for (int pic = 0; pic < k_picture_count; ++pic)
      for (int band = 0; band < k_band_count; ++band)
        MKRES_fill_coded(c, picture_rect(pic, lang, band), screen_picture_element(pic, band));
    for (int k = 0; k < 3; ++k) MKRES_fill_coded(c, k_bar_styles[10 + k].r, k_screen_bar_element + k);
    MKRES_fill_coded(c, k_panel_styles[9].rect(), k_screen_panel_element);
    return MKRES_write_png(name, c.width, c.height, c.rgba);
  }
  paint_bars(c);
  for (int pic = 0; pic < k_words; ++pic) {
    const atlas_rect column = picture_rect(pic, lang, 0);
    mkres_word w;
    if (!fit_word(font, words[pic], column.width(), w)) {
      std::fprintf(stderr, "mkres: \"%s\" does not fit its %d texels at %d px\n", words[pic].c_str(),
                   column.width(), k_min_px);
      return false;
    }
    for (int band = 0; band < k_band_count; ++band)
      if (!paint_word(c, w, picture_rect(pic, lang, band), k_word_ink[band])) {
        std::fprintf(stderr, "mkres: \"%s\" is taller than its band\n", words[pic].c_str());
        return false;
      }
  }
  return MKRES_write_png(name, c.width, c.height, c.rgba);
}

}  // namespace

int MKRES_write_elements(const std::string& dir, const std::string& words_path, const std::string& font_path,
                         bool test) {
  std::vector<std::vector<std::string>> words;
  if (!read_words(words_path, words)) return 0;
  mkres_font* font = MKRES_open_font(font_path);
  if (!font) return 0;
  int ok = 1;
  for (int lang = 0; lang < k_language_count && ok; ++lang) ok = write_language(dir, lang, words[lang], font, test);
  MKRES_close_font(font);
  return ok;
}
