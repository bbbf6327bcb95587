// Drawing text: the window's pixels against FreeType's own rendering of the
// same glyphs at the same pens, through wrapping, justification, the
// sub-window origin and the small wrappers.
#include <gtest/gtest.h>
#include <algorithm>
#include "ogl/font_fixture.h"

namespace {

constexpr int box_x = 40, box_y = 200, box_w = 720, box_h = 160;

// One case of line layout: text drawn at (x, 330) and the lines it must show,
// each a step of 10 pixels further down per dy.
struct layout_case {
  const char* name;
  std::string text;
  float wrap;
  charset_t cs;
  just_t just;
  std::vector<std::pair<std::u32string, int>> lines;  // text, lines down
  int lines_stepped;                                  // returned y is 330 - 10 x this
};

class FontLayout : public Font {
 protected:
  // Draws c at x and compares the box with the reference composite.
  void check(const layout_case& c, float x) {
    clear_window();
    const float y = 330;
    EXPECT_EQ(OGL_string(white, x, y, c.text, c.wrap, c.cs, c.just), y - 10.0f * c.lines_stepped) << c.name;
    const int slot = c.cs >= cs_bold && c.cs <= cs_fixed10 ? 1 : 0;
    const float fixed = c.cs == cs_fixed6 ? 6 : c.cs == cs_fixed8 ? 8 : c.cs == cs_fixed10 ? 10 : 0;
    std::vector<line> want;
    for (const auto& [text, down] : c.lines) {
      const float w = ref.line_width(slot, text, fixed);
      const float pen = c.just == just_centre ? x - w / 2 : c.just == just_right ? x - w : x;
      want.push_back({text, pen + wins.win_x, y - 10.0f * down + wins.win_y, slot, fixed});
    }
    const std::vector<int> drawn = grab(box_x, box_y, box_w, box_h);
    EXPECT_EQ(mismatches(drawn, expected(want, box_x, box_y, box_w, box_h)), 0) << c.name;
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), 0) == (long)drawn.size(), want.empty()) << c.name;
  }
};

TEST_F(FontLayout, LinesBreakAtLineEndsSpacesAndTheWrapWidth) {
  const float W = (int)ref.advance(0, 'W');
  const float wrap_in_cd = ref.line_width(0, U"  ab   c", 0);  // reached inside the second word
  const layout_case cases[] = {
      {"one line", "Hello World", 9999, cs_regular, just_left, {{U"Hello World", 0}}, 0},
      {"bold", "Hello World", 9999, cs_bold, just_left, {{U"Hello World", 0}}, 0},
      {"fixed 6", "Hello", 9999, cs_fixed6, just_left, {{U"Hello", 0}}, 0},
      {"fixed 8", "Hello", 9999, cs_fixed8, just_left, {{U"Hello", 0}}, 0},
      {"fixed 10", "Hello", 9999, cs_fixed10, just_left, {{U"Hello", 0}}, 0},
      {"other charsets are regular", "Hello", 9999, (charset_t)7, just_left, {{U"Hello", 0}}, 0},
      {"accents and Cyrillic", "\xC3\xA9t\xC3\xA9 \xD0\x96", 9999, cs_regular, just_left, {{U"\u00e9t\u00e9 \u0416", 0}},
       0},
      {"CR and LF each end a line", "abc\r\ndef", 100, cs_regular, just_left, {{U"abc", 0}, {U"def", 2}}, 3},
      {"a long word is cut where it reaches the wrap", "WWWWW", 2 * W - 1, cs_regular, just_left,
       {{U"WW", 0}, {U"WW", 1}, {U"W", 2}}, 3},
      {"leading spaces: drawn first, skipped later", "  ab   cd", wrap_in_cd, cs_regular, just_left,
       {{U"  ab", 0}, {U"cd", 1}}, 2},
      {"wrap 0 overprints", "abc\rdef", 0, cs_regular, just_left, {{U"abc", 0}, {U"def", 0}}, 0},
      {"wrap 9999 overprints", "abc\ndef", 9999, cs_regular, just_left, {{U"abc", 0}, {U"def", 0}}, 0},
      {"negative wrap overprints", "abc\ndef", -5, cs_regular, just_left, {{U"abc", 0}, {U"def", 0}}, 0},
      {"centred lines on their own widths", "ab\rWWWW", 100, cs_regular, just_centre, {{U"ab", 0}, {U"WWWW", 1}}, 2},
      {"right-justified lines", "ab\nWWWW", 100, cs_bold, just_right, {{U"ab", 0}, {U"WWWW", 1}}, 2},
      {"a lone tab draws nothing", "\t", 100, cs_regular, just_left, {}, 1},
      {"tabs take no room", "a\tb", 9999, cs_regular, just_left, {{U"ab", 0}}, 0},
      {"cut UTF-8: A and the missing-glyph box", "A\xC3", 9999, cs_regular, just_left,
       {{std::u32string(U"A") + U'\0', 0}}, 0},
      {"cut four-byte UTF-8", "A\xF0\x9F", 9999, cs_bold, just_left, {{std::u32string(U"A") + U'\0', 0}}, 0},
  };
  for (const layout_case& c : cases) check(c, c.just == just_left ? 100.0f : 400.0f);
}

TEST_F(FontLayout, TheSubWindowOriginMovesTheTextButNotTheReturnedBaseline) {
  wins.win_x = 150;
  wins.win_y = -40;
  check({"in a sub-window", "abc\rdef", 100, cs_regular, just_left, {{U"abc", 0}, {U"def", 1}}, 2}, 50);
  check({"centred in a sub-window", "abc", 9999, cs_bold, just_centre, {{U"abc", 0}}, 0}, 300);
}

TEST_F(Font, AnEmptyTextDrawsNothingAndReturnsY) {
  wins.win_y = 77;
  EXPECT_EQ(OGL_string(white, 100, 300, "", 100, cs_regular, just_left), 300);
  EXPECT_TRUE(lit(0, 0, 800, 600).empty());
}

TEST_F(Font, ABoldCentredHelloSpansItsWholePixelAdvances) {
  const float span = ref.line_width(1, U"Hello", 0);
  if (FREETYPE_MAJOR == 2 && FREETYPE_MINOR == 12 && FREETYPE_PATCH == 1) {
    EXPECT_EQ(span, 31);
  }
  OGL_string(white, 400, 300, "Hello", 9999, cs_bold, just_centre);
  EXPECT_EQ(mismatches(grab(350, 290, 100, 20), expected({{U"Hello", 400 - span / 2, 300, 1}}, 350, 290, 100, 20)),
            0);
}

TEST_F(Font, ColourFollowsTheColourRule) {
  colr.col[white][1] = 0;  // magenta
  OGL_string(white, 100, 300, "Hello", 9999, cs_regular, just_left);
  glFinish();
  const std::vector<uint8_t> px = gl_read_back(100, 298, 40, 12);
  int lit_px = 0;
  for (size_t i = 0; i < px.size(); i += 4) {
    EXPECT_EQ(px[i + 1], 0);
    EXPECT_EQ(px[i], px[i + 2]);
    lit_px += px[i] > 0;
  }
  EXPECT_GT(lit_px, 20);
}

TEST_F(Font, GreyStringsSitOnABoxFourPixelsWiderThanTheText) {
  colr.col[12][0] = colr.col[12][1] = 0;
  colr.col[12][2] = 1;  // the grey box in blue, the text in the red channel
  OGL_gray_string(white, 400, 300, "Hello");
  const float h = ref.line_width(0, U"Hello", 0) / 2;  // whole pixels here: 13
  const int l = (int)(400 - h - 2), r = (int)(400 + h + 2);
  glFinish();
  auto blue = [](int x, int y) { return (gl_pixel(x, y) >> 8) & 0xFF; };
  for (int x : {l, r - 1}) {
    for (int y : {299, 308}) EXPECT_GT(blue(x, y), 100u) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{l - 1, 300}, {r, 300}, {400, 298}, {400, 309}}) EXPECT_EQ(blue(x, y), 0u) << x << "," << y;
  EXPECT_EQ(mismatches(grab(350, 290, 100, 25), expected({{U"Hello", 400 - h, 300, 0}}, 350, 290, 100, 25)), 0);
}

TEST_F(Font, NumbersInTenPixelCellsAreTheirCharactersOneByOne) {
  struct char_at {
    float x;
    char c;
  };
  struct {
    float value;
    int digits, decimals;
    std::vector<char_at> chars;  // from a pen start of 90 (x 100.4 rounded, less 10)
  } cases[] = {
      {-12.5f, 4, 1, {{91, '-'}, {100, '0'}, {110, '1'}, {120, '2'}, {126, '.'}, {130, '5'}}},
      {1234567, 7, 0, {{100, '1'}, {106, ','}, {110, '2'}, {120, '3'}, {130, '4'}, {136, ','}, {140, '5'},
                       {150, '6'}, {160, '7'}}},
      {-0.04f, 3, 1, {{91, '-'}, {100, '0'}, {110, '0'}, {116, '.'}, {120, '0'}}},
      {-0.001f, 2, 1, {{100, '0'}, {106, '.'}, {110, '0'}}},
      {2.006f, 4, 2, {{100, '0'}, {110, '2'}, {116, '.'}, {120, '0'}, {130, '1'}}},
  };
  for (const auto& c : cases) {
    clear_window();
    OGL_number(white, 100.4f, 300.6f, c.value, c.digits, c.decimals, cs_fixed10, str_no_pad, just_left);
    const std::vector<int> number = grab(60, 280, 200, 40);
    clear_window();
    for (const char_at& ch : c.chars) OGL_char(white, ch.x, 301, ch.c);
    EXPECT_EQ(mismatches(number, grab(60, 280, 200, 40)), 0) << c.value;
    EXPECT_FALSE(lit(60, 280, 200, 40).empty());
  }
}

TEST_F(Font, NumbersInOtherFontsDrawTheirFormattedText) {
  for (charset_t cs : {cs_regular, cs_bold, cs_fixed8})
    for (just_t just : {just_left, just_right}) {
      clear_window();
      OGL_number(white, 300, 300, -3.14159f, 6, 3, cs, str_zero_pad, just);
      const std::vector<int> number = grab(150, 280, 300, 40);
      std::string text;
      flt_to_str(-3.14159f, &text, 6, 3, str_zero_pad);
      clear_window();
      OGL_string(white, 300, 300, text, 9999, cs, just);
      EXPECT_EQ(mismatches(number, grab(150, 280, 300, 40)), 0) << cs << " " << just << " " << text;
    }
}

TEST_F(Font, RussianTextIsNarrowedToNineTenths) {
  mnw.lang = 3;
  TT_reset_font(tt_both);
  FT_Matrix m;
  FT_Vector d;
  FT_Get_Transform(tt_font[0]->face, &m, &d);
  EXPECT_EQ(m.xx, 58982);
  EXPECT_EQ(m.yy, 65536);
  EXPECT_EQ(m.xy, 0);
  EXPECT_EQ(m.yx, 0);
  const float wide = ref.advance(0, 0x416);
  ref.narrow = true;
  EXPECT_FLOAT_EQ(OGL_measure_string("\xD0\x96"), 0.9f * wide);
  EXPECT_FLOAT_EQ(ref.advance(0, 0x416), 0.9f * wide);
  const std::string privet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  OGL_string(white, 100, 300, privet, 9999, cs_regular, just_left);
  EXPECT_EQ(mismatches(grab(90, 290, 100, 25), expected({{U"\u041f\u0440\u0438\u0432\u0435\u0442", 100, 300, 0}}, 90,
                                                             290, 100, 25)),
            0);
  mnw.lang = 0;
  TT_reset_font(tt_both);
  FT_Get_Transform(tt_font[1]->face, &m, &d);
  EXPECT_EQ(m.xx, 65536);
}

}  // namespace
