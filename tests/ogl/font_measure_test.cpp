// Measuring and fitting: widths in the regular font, the fitting walks of the
// text-editing engine, and byte ranges cut inside a character.
#include <gtest/gtest.h>
#include <memory>
#include "ogl/font_fixture.h"
#include FT_TRUETYPE_TABLES_H

namespace {

// The bytes of s in a block of exactly their size, so reading one past the
// end is a heap overflow the address sanitizer sees.
struct exact_bytes {
  explicit exact_bytes(const std::string& s) : n(s.size()), p(new unsigned char[s.size()]) {
    std::copy(s.begin(), s.end(), p.get());
  }
  const unsigned char* begin() const { return p.get(); }
  const unsigned char* end() const { return p.get() + n; }
  size_t n;
  std::unique_ptr<unsigned char[]> p;
};

// The widths below were read off Debian 12's FreeType and DejaVu; elsewhere
// the same cases are checked against FreeType's own advances.
bool pinned_versions() {
  TT_Header* head = static_cast<TT_Header*>(FT_Get_Sfnt_Table(tt_font[0]->face, FT_SFNT_HEAD));
  return FREETYPE_MAJOR == 2 && FREETYPE_MINOR == 12 && FREETYPE_PATCH == 1 && head &&
         head->Font_Revision == 0x25EB8;  // 2.37
}

TEST_F(Font, WidthsAreTheSumsOfTheRegularFontsExactAdvances) {
  struct {
    std::string text;
    std::u32string codes;
    float pinned;  // < 0: not pinned
  } cases[] = {
      {"Hello", U"Hello", 26},
      {"Hello World", U"Hello World", 59},
      {"Understood", U"Understood", 60},
      {"Not Yet Scanned", U"Not Yet Scanned", 86},
      {"", U"", 0},
      {"\t", U"", 0},                                 // a lone tab
      {"\x80", std::u32string(1, U'\0'), -1},         // a stray continuation byte
      {"\x80\x80" "A", std::u32string(1, U'\0') + U"A", -1},
      {"A\x80\x80", U"A", -1},                        // trailing strays belong to the A
      {"A\xC3", std::u32string(U"A") + U'\0', -1},    // cut "é"
      {"A\xF0\x9F", std::u32string(U"A") + U'\0', -1},
      {"\xFF" "A", std::u32string(1, U'\0') + U"A", -1},
      {"\xC3\xA9t\xC3\xA9", U"\u00e9t\u00e9", -1},
      {"\xD0\x96\xE2\x82\xAC\xF0\x9F\x98\x80", U"\u0416\u20ac\U0001F600", -1},
  };
  const bool pinned = pinned_versions();
  for (const auto& c : cases) {
    float want = 0;
    for (char32_t code : c.codes) want += ref.advance(0, code);
    if (pinned && c.pinned >= 0) want = c.pinned;
    EXPECT_FLOAT_EQ(OGL_measure_string(c.text), want) << testing::PrintToString(c.text);
    const exact_bytes b(c.text);
    EXPECT_FLOAT_EQ(OGL_measure_range(b.begin(), b.end()), want) << testing::PrintToString(c.text);
  }
}

TEST_F(Font, ARangeNotRunningForwardMeasuresNothing) {
  const exact_bytes s("Hello");
  EXPECT_EQ(OGL_measure_range(s.begin() + 2, s.begin() + 2), 0);
  EXPECT_EQ(OGL_measure_range(s.begin() + 3, s.begin() + 1), 0);
}

TEST_F(Font, ARangeCutInsideACharacterStopsAtItsEnd) {
  const exact_bytes e("\xC3\xA9");
  EXPECT_FLOAT_EQ(OGL_measure_range(e.begin(), e.begin() + 1), ref.advance(0, 0));
  EXPECT_EQ(OGL_fit_forward(e.begin(), e.begin() + 1, 100), e.begin() + 1);
  EXPECT_EQ(OGL_fit_reverse(e.begin(), e.begin() + 1, 100), e.begin());
}

TEST_F(Font, FittingForwardStopsAtTheCharacterThatOverflows) {
  const exact_bytes wa("Wa");
  const float w = ref.advance(0, 'W');
  EXPECT_EQ(OGL_fit_forward(wa.begin(), wa.end(), w), wa.begin() + 1);  // equal still fits
  EXPECT_EQ(OGL_fit_forward(wa.begin(), wa.end(), w - 0.01f), wa.begin());
  EXPECT_EQ(OGL_fit_forward(wa.begin(), wa.end(), 1000), wa.end());
  const exact_bytes e("\xC3\xA9\xC3\xA9");  // two-byte characters are stepped over whole
  EXPECT_EQ(OGL_fit_forward(e.begin(), e.end(), ref.advance(0, 0xE9)), e.begin() + 2);
  for (const char* cut : {"A\xC3", "A\xF0\x9F"}) {
    const exact_bytes b(cut);
    EXPECT_EQ(OGL_fit_forward(b.begin(), b.end(), ref.advance(0, 'A')), b.begin() + 1);
    EXPECT_EQ(OGL_fit_forward(b.begin(), b.end(), 1000), b.end());
  }
}

TEST_F(Font, FittingBackwardKeepsTheLongestRunOfWholeTrailingCharacters) {
  const exact_bytes abc("aWc");
  const float a = ref.advance(0, 'a'), W = ref.advance(0, 'W'), c = ref.advance(0, 'c');
  EXPECT_EQ(OGL_fit_reverse(abc.begin(), abc.end(), c - 0.01f), abc.end());  // the last alone is too wide
  EXPECT_EQ(OGL_fit_reverse(abc.begin(), abc.end(), c), abc.begin() + 2);
  EXPECT_EQ(OGL_fit_reverse(abc.begin(), abc.end(), W + c), abc.begin() + 1);
  EXPECT_EQ(OGL_fit_reverse(abc.begin(), abc.end(), a + W + c), abc.begin());  // all fit
  const exact_bytes e("a\xC3\xA9");
  EXPECT_EQ(OGL_fit_reverse(e.begin(), e.end(), ref.advance(0, 0xE9)), e.begin() + 1);
  for (const char* cut : {"A\xC3", "A\xF0\x9F"}) {
    const exact_bytes b(cut);
    EXPECT_EQ(OGL_fit_reverse(b.begin(), b.end(), ref.advance(0, 0)), b.begin() + 1);
    EXPECT_EQ(OGL_fit_reverse(b.begin(), b.end(), 1000), b.begin());
  }
}

}  // namespace
