// How a side text is drawn: which lines, where, in which colour and
// justification, read from the frame's OGL_string calls.
#include <gtest/gtest.h>
#include <vector>
#include "ogl/OGL_font.h"
#include "widgets/butn.h"
#include "widget_fixture.h"

namespace {

struct line {
  std::string text;
  float y;
};

TEST_F(Widgets, LabelDrawing) {
  const float x = 200, y = 300;
  const struct {
    const char* text;
    int align;
    std::vector<line> lines;
  } cases[] = {
      {"twelve bytes", 0, {{"twelve bytes", y - 1}}},
      {"thirteenbytes", 0, {{"thirteenbytes", y - 1}}},
      {"Installation-", 0, {{"Installation-", y - 1}}},
      {"-Very long label text", 0, {{"Very long label text", y - 1}}},
      {"-Very long label text", 2, {{"Very long label text", y - 1}}},
      {"aaaa bbbb cccc", 0, {{"aaaa", y + 4}, {"bbbb cccc", y - 6}}},
      {"aaaa bbbb cccc", 2, {{"aaaa", y + 4}, {"bbbb cccc", y - 6}}},
      {"aaaa bbbb cccc", 1, {{"aaaa bbbb cccc", y - 1}}},
      {"abcdef/ghijklmn", 0, {{"abcdef/", y + 4}, {"ghijklmn", y - 6}}},
      {"Add-on scenery", 2, {{"Add-on", y + 4}, {"scenery", y - 6}}},
      {"Self-extracting", 0, {{"Self-", y + 4}, {"extracting", y - 6}}},
      {" abcdefghijklm", 0, {{" abcdefghijklm", y - 1}}},
      {"aaaa bbbb cccc", 3, {}},
      {"aaaa bbbb cccc", -1, {}},
      {"", 0, {}},
  };
  for (const auto& c : cases) {
    for (int lit : {0, 1}) {
      d->frame([&] { BTN_util_draw_label(x, y, c.align, c.text, lit); });
      const auto& s = d->trace().strings;
      ASSERT_EQ(s.size(), c.lines.size()) << c.text << " align " << c.align;
      for (size_t i = 0; i < s.size(); ++i) {
        EXPECT_EQ(s[i].text, c.lines[i].text) << c.text;
        EXPECT_FLOAT_EQ(s[i].x, x) << c.text;
        EXPECT_FLOAT_EQ(s[i].y, c.lines[i].y) << c.text;
        EXPECT_EQ(s[i].col, lit ? 91 : 48) << c.text;
        EXPECT_EQ(s[i].font, 0) << c.text;
        EXPECT_EQ(s[i].just, c.align == 0 ? 2 : c.align == 1 ? 1 : 0) << c.text << " align " << c.align;
      }
    }
  }
}

TEST_F(Widgets, PanelTitles) {
  const struct {
    int style;
    float x, y;  // the title's start and baseline for a panel at (100, 100), 200 by 150
    int colour;
  } cases[] = {{14, 0, 100 + 150 - 13, 45}, {15, 0, 100 + 150 - 16, 48}, {18, 0, 100 + 150 - 16, 52},
               {19, 0, 100 + 150 - 16, 48}, {23, 110, 100 + 150 - 16, 48}};
  for (const auto& c : cases) {
    d->frame([&] { BTN_frame2(c.style, 100, 100, 200, 150, "Title", 1); });
    const auto& s = d->trace().strings;
    ASSERT_EQ(s.size(), 1u) << c.style;
    const float start = c.x ? c.x : 100 + 100 - OGL_measure_string("Title") / 2;
    EXPECT_FLOAT_EQ(s[0].x, start) << c.style;
    EXPECT_FLOAT_EQ(s[0].y, c.y) << c.style;
    EXPECT_EQ(s[0].col, c.colour) << c.style;
    EXPECT_EQ(s[0].just, 0) << c.style;
    EXPECT_EQ(s[0].text, "Title");
  }
}

TEST_F(Widgets, TabLabelsAndDialNumber) {
  int value = 1;
  d->frame([&] {
    BTN_tab(0, 0, &value, 1, "On");
    BTN_tab(1, 0, &value, 2, "Off");
  });
  const auto& s = d->trace().strings;
  ASSERT_EQ(s.size(), 2u);
  EXPECT_EQ(s[0].col, 46);
  EXPECT_EQ(s[1].col, 47);
  EXPECT_FLOAT_EQ(s[1].x, 88 + 53 - 40);
  EXPECT_FLOAT_EQ(s[1].y, 600 - 38 - 4);

  float heading = 123;
  d->frame([&] { plot_dir(400, 300, &heading, 1); });
  ASSERT_FALSE(d->trace().strings.empty());
  std::string digits;
  for (const auto& c : d->trace().strings) {
    digits += c.text;
    EXPECT_EQ(c.col, 50);
  }
  EXPECT_EQ(digits, "123");
  EXPECT_FLOAT_EQ(d->trace().strings[0].x, 400 - 14);
  EXPECT_FLOAT_EQ(d->trace().strings[0].y, 300 - 2);
}

TEST_F(Widgets, SpectrumScaleEndValues) {
  d->frame([] { colr.spectrum_plot_scale(100, 100, 50, 1.5f, 7.25f, 2); });
  const auto& s = d->trace().strings;
  ASSERT_EQ(s.size(), 2u);
  EXPECT_FLOAT_EQ(s[0].x, 104);
  EXPECT_FLOAT_EQ(s[0].y, 146);
  EXPECT_FLOAT_EQ(s[1].y, 96);
  EXPECT_NE(s[0].text.find("7.25"), std::string::npos) << s[0].text;
  EXPECT_NE(s[1].text.find("1.50"), std::string::npos) << s[1].text;
  EXPECT_EQ(s[0].col, 0);
  EXPECT_EQ(s[0].just, 0);
}

}  // namespace
