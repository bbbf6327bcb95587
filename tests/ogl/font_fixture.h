// Text tests: the drawing window with both font slots loaded, and a second,
// independent rendering of the same text straight from FreeType to compare
// the window with. Glyph bitmaps are never stored: they change between
// FreeType versions, so every expectation is built at run time.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include <cstdint>
#include <string>
#include <vector>
#include "core/globs.h"
#include "ogl/OGL_font.h"
#include "ogl/OGL_font_info.h"
#include "ogl/drawing_fixture.h"

// The fonts the tests load: the built bundle's when it carries them, else
// the system's copies of the same DejaVu faces.
std::string font_test_path(int slot);

// FreeType on its own: the glyphs, pens and coverage curve the text is
// drawn with, composited white on black into an image.
class font_reference {
 public:
  font_reference();
  ~font_reference();
  // Exact advance of code in slot's font (0.9 times for Russian faces).
  float advance(int slot, uint32_t code);
  // The width the drawing justifies by: whole-pixel or fixed advances.
  float line_width(int slot, const std::u32string& text, float fixed);
  // Composites text with its pen starting at (x, y) into img (w x h grey
  // values, rows bottom-up, window origin at (ox, oy)).
  void draw(int slot, const std::u32string& text, float x, float y, float fixed, std::vector<int>& img, int ox,
            int oy, int w, int h);
  bool narrow = false;  // render as for Russian

 private:
  FT_Library lib = nullptr;
  FT_Face face[2] = {nullptr, nullptr};
  void set_transform();
};

class Font : public Drawing {
 protected:
  void SetUp() override;
  void TearDown() override;
  // One line of expected text: its characters, pen start, font and fixed advance.
  struct line {
    std::u32string text;
    float x, y;
    int slot = 0;
    float fixed = 0;
  };
  // The window's grey values over a box (red channel, rows bottom-up).
  static std::vector<int> grab(int x0, int y0, int w, int h);
  // The box composited from the reference's lines.
  std::vector<int> expected(const std::vector<line>& lines, int x0, int y0, int w, int h);
  // Number of pixels of the box whose value differs by more than 1.
  static int mismatches(const std::vector<int>& a, const std::vector<int>& b);
  static void clear_window() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  font_reference ref;
  int saved_lang = 0;
};

// The glyphs of code points as UTF-8.
std::string utf8(const std::u32string& s);
