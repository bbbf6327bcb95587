#include <gtest/gtest.h>
#include <string>
#include "core/utl_utf.h"

namespace {

std::string bytes(std::initializer_list<unsigned> b) {
  std::string s;
  for (unsigned c : b) s += (char)c;
  return s;
}

TEST(Utf8To16, CharactersAndMalformedInput) {
  const struct {
    std::string in;
    string_utf16 out;
  } cases[] = {
      {"", u""},
      {"A", u"A"},
      {bytes({0xC3, 0xA9}), {0x00E9}},
      {bytes({0xE2, 0x82, 0xAC}), {0x20AC}},
      {bytes({0xF0, 0x9F, 0x98, 0x80}), {0xD83D, 0xDE00}},
      {bytes({0xC3, 0x41}), {0x00C1, 0x0041}},  // 'A' taken as continuation, then decoded again
      {bytes({0x41, 0x80}), {0x0041}},          // a stray continuation byte is passed over
      {bytes({0xFF}), {0x0000}},
      {bytes({0x80, 0x41}), {0x0000, 0x0041}},
      {bytes({0xC0, 0x80}), {0x0000}},                  // over-long forms are converted as they are
      {bytes({0xED, 0xA0, 0x80}), {0xD800}},            // an encoded surrogate too
      {bytes({0xF7, 0xBF, 0xBF, 0xBF}), {0xDBBF, 0xDFFF}},  // only 20 bits of the excess are kept
      // Cut off by the end of the text: one zero unit, and nothing read beyond.
      {bytes({0x41, 0xE2, 0x82}), {0x0041, 0x0000}},
      {bytes({0xF0}), {0x0000}},
      {bytes({0xF0, 0x9F, 0x98}), {0x0000}},
  };
  for (const auto& c : cases) {
    string_utf16 out = u"old contents";
    string_utf_8_to_16(c.in, out);
    EXPECT_EQ(out, c.out) << "input of " << c.in.size() << " bytes";
  }
}

TEST(Utf16To8, CharactersAndLoneSurrogates) {
  const struct {
    string_utf16 in;
    std::string out;
  } cases[] = {
      {u"", ""},
      {{0x0041}, "A"},
      {{0x07FF}, bytes({0xDF, 0xBF})},
      {{0x0800}, bytes({0xE0, 0xA0, 0x80})},
      {{0xD83D, 0xDE00}, bytes({0xF0, 0x9F, 0x98, 0x80})},
      {{0xDC00}, bytes({0xED, 0xB0, 0x80})},                         // lone low half
      {{0x0041, 0xD83D}, bytes({0x41, 0xED, 0xA0, 0xBD})},           // high half in the last unit
      {{0xD800, 0x0041}, bytes({0xF0, 0x90, 0x81, 0x81})},           // the next unit is taken as the low half
      {{0xFFFF}, bytes({0xEF, 0xBF, 0xBF})},
      {{0xDBFF, 0xDFFF}, bytes({0xF4, 0x8F, 0xBF, 0xBF})},
  };
  for (const auto& c : cases) {
    std::string out = "old contents";
    string_utf_16_to_8(c.in, out);
    EXPECT_EQ(out, c.out);
  }
}

TEST(Utf, RoundTripsOfWellFormedText) {
  const std::string texts[] = {
      "plain ASCII",
      "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC 5",
      "\xF0\x9F\x98\x80\xF0\x9F\x98\x81 and \xF4\x8F\xBF\xBF",
      "\xE4\xB8\xAD\xE6\x96\x87\xD0\xBA\xD0\xB8\xD1\x80",
  };
  for (const std::string& t : texts) {
    string_utf16 mid;
    std::string back;
    string_utf_8_to_16(t, mid);
    string_utf_16_to_8(mid, back);
    EXPECT_EQ(back, t);
  }
  // Every unit value, surrogate pairs included, survives 16 -> 8 -> 16.
  string_utf16 all;
  for (unsigned u = 1; u < 0xD800; ++u) all += (char16_t)u;
  for (unsigned u = 0xE000; u <= 0xFFFF; ++u) all += (char16_t)u;
  for (unsigned hi = 0xD800; hi <= 0xDBFF; hi += 0x3F) {
    all += (char16_t)hi;
    all += (char16_t)(0xDC00 + (hi & 0x3FF));
  }
  std::string mid;
  string_utf16 back;
  string_utf_16_to_8(all, mid);
  string_utf_8_to_16(mid, back);
  EXPECT_EQ(back, all);
}

TEST(Utf8To16, EveryTruncationOfATextEndsInOneZeroUnit) {
  // A character cut off by the end of the text must not borrow the string's
  // terminator as a continuation byte (which would give another value).
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";
  const string_utf16 whole[] = {u"", u"a", u"a\u00E9", u"a\u00E9\u20AC", u"a\u00E9\u20AC\U0001F600"};
  const struct {
    size_t n;
    int complete;  // characters that fit
    bool cut;      // one more character was cut off
  } cases[] = {{0, 0, false}, {1, 1, false}, {2, 1, true},  {3, 2, false}, {4, 2, true},  {5, 2, true},
               {6, 3, false}, {7, 3, true},  {8, 3, true},  {9, 3, true},  {10, 4, false}};
  for (const auto& c : cases) {
    string_utf16 expect = whole[c.complete];
    if (c.cut) expect += (char16_t)0;
    string_utf16 out;
    string_utf_8_to_16(text.substr(0, c.n), out);
    EXPECT_EQ(out, expect) << "first " << c.n << " bytes";
  }
}

}  // namespace

TEST(Utf8Cut, NeverSplitsACharacter) {
  const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // a, e-acute, euro, grin: 1+2+3+4 bytes
  const struct {
    size_t n, want;
  } rows[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 3}, {5, 3}, {6, 6}, {7, 6}, {9, 6}, {10, 10}, {99, 10}};
  for (const auto& row : rows) EXPECT_EQ(UTL_utf8_cut_length(text, row.n), row.want) << row.n;
}
