// The text-editing engine with no window: a host of fake callbacks that
// measures 7 pixels per byte and records what the engine asks it to do.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "../tools/text_engine_script.h"
#include "widgets/ogle.h"

namespace {

struct fake_host {
  std::string text;
  float visible[4] = {0, 0, 70, 11};  // left, bottom, right, top
  float scroll[2] = {0, 0};
  float width = 70;                   // logical width
  std::vector<std::vector<float>> selections;
  std::vector<std::string> drawn;
  int scrolls = 0;
};

fake_host& host(OGLE_Rec* r) { return *static_cast<fake_host*>(OGLE_GetRef(r)); }
using text_engine_script::continuation;
bool cont(char c) { return continuation(c); }

const OGLE_Callbacks fake_callbacks = {
    [](OGLE_Rec* r, float* b) { std::copy(host(r).visible, host(r).visible + 4, b); },
    [](OGLE_Rec* r, float* b) {
      fake_host& h = host(r);
      b[0] = h.visible[0] - h.scroll[0];
      b[1] = h.visible[1] - h.scroll[1];
      b[2] = b[0] + h.width;
      b[3] = h.visible[3] - h.scroll[1];
    },
    [](OGLE_Rec*, float) {},
    [](OGLE_Rec* r, float* p) {
      host(r).scroll[0] = p[0], host(r).scroll[1] = p[1];
      ++host(r).scrolls;
    },
    [](OGLE_Rec* r, const char** f, const char** l) {
      *f = host(r).text.data();
      *l = *f + host(r).text.size();
    },
    [](OGLE_Rec* r, int s, int e, const char* f, const char* l) {
      host(r).text.replace(s, e - s, std::string(f ? f : "", f ? l - f : 0));
    },
    [](OGLE_Rec*) { return 11.0f; },
    text_engine_script::measure,
    text_engine_script::fit_forward,
    [](OGLE_Rec*, const char*, const char*, float) { return 0; },
    [](OGLE_Rec* r, const char* f, const char* l, float, float) { host(r).drawn.emplace_back(f, l); },
    [](OGLE_Rec* r, float* b) { host(r).selections.push_back({b[0], b[1], b[2], b[3]}); },
    [](OGLE_Rec*, const char* f, const char* l) {
      while (f < l && (*f == ' ' || *f == '\t' || *f == '\r' || *f == '\n')) ++f;
      while (f < l && !(*f == ' ' || *f == '\t' || *f == '\r' || *f == '\n')) ++f;
      return f;
    },
    [](OGLE_Rec*, const char* p) {
      ++p;
      while (cont(*p)) ++p;
      return p;
    },
    [](OGLE_Rec* r, int i) {
      const std::string& t = host(r).text;
      if (i >= static_cast<int>(t.size())) return i + 1;
      ++i;
      while (i < static_cast<int>(t.size()) && cont(t[i])) ++i;
      return i;
    },
    [](OGLE_Rec* r, int i) {
      const std::string& t = host(r).text;
      if (i <= 0) return -1;
      --i;
      while (i > 0 && cont(t[i])) --i;
      return i;
    },
};

class Engine : public testing::Test {
 protected:
  void SetUp() override { r = OGLE_Create(&fake_callbacks, &h); }
  void TearDown() override { OGLE_Destroy(r); }
  void set(const std::string& text, float width = 70) {
    h.text = text;
    h.width = width;
    OGLE_Repaginate(r);
  }
  fake_host h;
  OGLE_Rec* r = nullptr;
};

const std::string e_acute = "\xC3\xA9", euro = "\xE2\x82\xAC", grin = "\xF0\x9F\x98\x80";

TEST_F(Engine, LineBreaking) {
  const struct {
    const char* what;
    std::string text;
    float width;
    std::vector<int> starts;
  } rows[] = {
      {"empty", "", 70, {0}},
      {"fits", "ab cd", 70, {0}},
      {"word to next line, the blank stays", "abcd efgh", 56, {0, 5}},
      {"break ends its line", "ab\ncd", 70, {0, 3}},
      {"blanks before a break end there", "ab  \r\ncd", 70, {0, 5, 6}},
      {"trailing break leaves no empty line", "ab\n", 70, {0}},
      {"over-wide word cut in whole bytes", "abcdefghij", 28, {0, 4, 8}},
      {"over-wide word of 2-byte characters", e_acute + e_acute + e_acute, 21, {0, 2, 4}},
      {"over-wide word of 4-byte characters", grin + grin + grin, 35, {0, 4, 8}},
      {"character wider than the line still moves on", grin + grin, 14, {0, 4}},
  };
  for (const auto& row : rows) {
    set(row.text, row.width);
    EXPECT_EQ(r->line_starts, row.starts) << row.what;
  }
}

// Keys from a starting selection; the selection they leave.
TEST_F(Engine, Keys) {
  const struct {
    const char* what;
    std::string text;
    float width;
    int start, end;
    std::vector<std::pair<char, int>> keys;
    int want_start, want_end, want_active;
    std::string want_text;
  } rows[] = {
      {"Left at 0 stays", "abc", 70, 0, 0, {{28, 0}}, 0, 0, 1, "abc"},
      {"Right at the end stays", "abc", 70, 3, 3, {{29, 0}}, 3, 3, 1, "abc"},
      {"Right steps over a character", "a" + e_acute + "b", 70, 1, 1, {{29, 0}}, 3, 3, 1, "a" + e_acute + "b"},
      {"Shift flips the active end", "abcd", 70, 2, 2, {{29, 1}, {28, 1}, {28, 1}}, 1, 2, 0, "abcd"},
      {"Left collapses to the start", "abcd", 70, 1, 3, {{28, 0}}, 1, 1, 1, "abcd"},
      {"Right collapses to the end", "abcd", 70, 1, 3, {{29, 0}}, 3, 3, 1, "abcd"},
      {"Backspace after a 2-byte character", "a" + e_acute, 70, 3, 3, {{8, 0}}, 1, 1, 1, "a"},
      {"Backspace at 0", "ab", 70, 0, 0, {{8, 0}}, 0, 0, 1, "ab"},
      {"Backspace deletes the selection", "abcd", 70, 1, 3, {{8, 0}}, 1, 1, 1, "ad"},
      {"typing replaces the selection", "abcd", 70, 1, 3, {{'x', 0}}, 2, 2, 1, "axd"},
      {"Up on the first line goes to 0", "abcd efgh", 35, 2, 2, {{30, 0}}, 0, 0, 1, "abcd efgh"},
      {"Down on the last line goes to the end", "abcd efgh", 35, 6, 6, {{31, 0}}, 9, 9, 1, "abcd efgh"},
      {"Up and Down keep the column", "abcd efgh ijkl", 35, 3, 3, {{31, 0}, {31, 0}, {30, 0}}, 8, 8, 1, "abcd efgh ijkl"},
      {"Shift+Down moves the start", "abcd efgh", 35, 1, 2, {{31, 1}}, 2, 6, 0, "abcd efgh"},
  };
  for (const auto& row : rows) {
    set(row.text, row.width);
    r->end_active = 1;
    r->desired_x = -1;
    OGLE_SetSelection(r, row.start, row.end);
    for (auto [k, shift] : row.keys) OGLE_Key(r, k, shift);
    EXPECT_EQ(r->sel_start, row.want_start) << row.what;
    EXPECT_EQ(r->sel_end, row.want_end) << row.what;
    EXPECT_EQ(r->end_active, row.want_active) << row.what;
    EXPECT_EQ(h.text, row.want_text) << row.what;
  }
}

TEST_F(Engine, MultiByteKeyInsertsTheWholeCharacter) {
  set("ab");
  OGLE_SetSelection(r, 1, 1);
  OGLE_Key_MBCS(r, 3, euro.data(), 0);
  EXPECT_EQ(h.text, "a" + euro + "b");
  EXPECT_EQ(r->sel_start, 4);
  EXPECT_EQ(r->sel_end, 4);
}

TEST_F(Engine, ReplaceTextMovesTheSelectionWithTheText) {
  const struct {
    const char* what;
    int a, b;
    std::string with;
    int want_start, want_end;
  } rows[] = {
      {"before", 0, 1, "xyz", 5, 7},
      {"ending at the start", 1, 3, "", 1, 3},
      {"covering and shrinking", 2, 6, "Q", 2, 3},
      {"covering and growing", 2, 4, "QQQQ", 2, 7},
      {"covering the start only", 1, 4, "\xF0\x9F\x98\x80", 1, 6},
      {"after", 5, 7, "", 3, 5},
      {"inside moves the end", 4, 4, "xy", 3, 7},
      {"over the end keeps what is left", 4, 6, "xyz", 3, 4},
      {"over the selection stays selected", 3, 5, "PQR", 3, 6},
  };
  for (const auto& row : rows) {
    set("abcdefgh");
    OGLE_SetSelection(r, 3, 5);
    OGLE_ReplaceText(r, row.a, row.b, row.with.data(), row.with.data() + row.with.size());
    EXPECT_EQ(r->sel_start, row.want_start) << row.what;
    EXPECT_EQ(r->sel_end, row.want_end) << row.what;
  }
  set("abc");
  OGLE_SetSelection(r, 1, 1);
  const std::string p = "XY";
  OGLE_ReplaceText(r, 1, 1, p.data(), p.data() + 2);
  EXPECT_EQ(r->sel_start, 3);
  EXPECT_EQ(r->sel_end, 3);
}

TEST_F(Engine, ScrollsOnlyWhenTheScrollChanges) {
  set("abcdefghijklmnopqrst", 1000);
  OGLE_SetSelection(r, 2, 2);
  OGLE_RevealSelection(r);
  EXPECT_EQ(h.scrolls, 0);
  OGLE_SetSelection(r, 15, 15);
  OGLE_RevealSelection(r);
  EXPECT_EQ(h.scrolls, 1);
  EXPECT_FLOAT_EQ(h.scroll[0], 105 - 70);
  OGLE_RevealSelection(r);
  EXPECT_EQ(h.scrolls, 1);
}

TEST_F(Engine, DrawsOneHighlightPerTouchedLineAndAZeroWidthCaret) {
  h.visible[1] = -22;
  set("abcd efgh ijkl", 35);
  ASSERT_EQ(r->line_starts, (std::vector<int>{0, 5, 10}));
  OGLE_SetSelection(r, 2, 7);
  OGLE_Draw(r, 1);
  ASSERT_EQ(h.selections.size(), 2u);
  EXPECT_EQ(h.selections[0], (std::vector<float>{14, 0, 35, 11}));
  EXPECT_EQ(h.selections[1], (std::vector<float>{0, -11, 14, 0}));
  EXPECT_EQ(h.drawn, (std::vector<std::string>{"abcd ", "efgh ", "ijkl"}));
  h.selections.clear();
  OGLE_SetSelection(r, 6, 6);
  OGLE_Draw(r, 1);
  ASSERT_EQ(h.selections.size(), 1u);
  EXPECT_EQ(h.selections[0][0], h.selections[0][2]);
  EXPECT_EQ(h.selections[0], (std::vector<float>{7, -11, 7, 0}));
}

TEST_F(Engine, ClicksAndDrags) {
  set("abcdef");
  OGLE_Click(r, 15, 5, 0);
  EXPECT_EQ(r->sel_start, 2);
  OGLE_Drag(r, 36, 5);
  EXPECT_EQ(r->sel_end, 5);
  OGLE_Drag(r, -50, 5);
  EXPECT_EQ(r->sel_start, 0);
  EXPECT_EQ(r->sel_end, 2);
  EXPECT_EQ(r->end_active, 0);
}

TEST_F(Engine, StaleLayoutIsSeen) {
  set("ab\ncd");
  EXPECT_EQ(OGLE_LayoutStale(r), 0);
  h.text = "ab";
  EXPECT_EQ(OGLE_LayoutStale(r), 1);
}

}  // namespace

namespace {
TEST_F(Engine, RevealBringsTheCaretsWholeLineIntoAOneLineView) {
  set("abcdefghij", 35);  // two lines in a view one line high
  OGLE_SetSelection(r, 10, 10);
  OGLE_RevealSelection(r);
  EXPECT_FLOAT_EQ(h.scroll[1], -11);
  h.drawn.clear();
  OGLE_Draw(r, 1);
  EXPECT_EQ(h.drawn, std::vector<std::string>{"fghij"});
}
}  // namespace
