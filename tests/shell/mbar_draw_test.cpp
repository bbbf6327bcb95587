// What the menu bar draws, read back from real frames: the bar only while an
// ordinary menu is open, the panel with its rows, the hovered row shaded,
// separators, the sub-menu arrow, the pop-up list; and text in a labelled
// box.
#include <cmath>
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"
#include "shell/mbar_fixture.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"
#include "widgets/colr.h"

namespace {
bool same_quad(const OGL_quad_call& a, const OGL_quad_call& b) {
  if (a.tex != b.tex || a.col != b.col) return false;
  for (int i = 0; i < 4; ++i)
    for (int k = 0; k < 4; ++k)
      if (a.corner[i][k] != b.corner[i][k]) return false;
  return true;
}
// Whether calls holds ref as one run.
bool holds_run(const std::vector<OGL_quad_call>& calls, const std::vector<OGL_quad_call>& ref) {
  for (size_t i = 0; i + ref.size() <= calls.size(); ++i) {
    size_t k = 0;
    while (k < ref.size() && same_quad(calls[i + k], ref[k])) ++k;
    if (k == ref.size()) return true;
  }
  return false;
}
const OGL_string_call* find_text(const frame_trace& t, const std::string& text) {
  for (const OGL_string_call& s : t.strings)
    if (s.text == text) return &s;
  return nullptr;
}
// The colour rule's colour as the window stores it.
void colour_bytes(int col, float alpha, int* rgb) {
  float c[4];
  OGL_colour_rule(col, alpha, c);
  for (int i = 0; i < 3; ++i) rgb[i] = (int)std::lround(c[i] * 255);
}
int channel(uint32_t p, int i) { return (int)(p >> (24 - 8 * i)) & 255; }
}  // namespace

class MbarDraw : public MbarFrames {
 protected:
  void SetUp() override {
    MbarFrames::SetUp();
    // The interface's colours come from the atlas at start-up; these stand
    // apart from one another and from the panel.
    saved_colr = colr;
    colr.col_assign(40, 0.9f, 0.9f, 0.9f);
    colr.col_assign(41, 0.2f, 0.4f, 1.0f);
    colr.col_assign(42, 0.1f, 0.1f, 0.1f);
    colr.col_assign(43, 1.0f, 1.0f, 0.5f);
    colr.col_assign(48, 0.8f, 0.8f, 0.8f);
    mbar.mbar_create_menu(0, 0, "File");
    mbar.mbar_append_menu_item(0, 0, 101, "Open");
    mbar.mbar_append_menu_item(0, 1, 102, "=Gray");
    mbar.mbar_append_menu_item(0, 2, 0, "--------");
    mbar.mbar_append_menu_item(0, 3, 103, "Recent");
    mbar.mbar_append_menu_item(0, 4, 104, "Quit");
    mbar.mbar_create_menu(1, 0 * 300 + 3, "Recent");
    mbar.mbar_append_menu_item(1, 0, 201, "a.txt");
    mbar.mbar_create_menu(2, 0, "Edit");
    // The bar as BTN_frame1 draws it, to find in the frames.
    d->frame([] { BTN_frame1(0, 400, 591, 800, 57); });
    bar = d->trace().quads;
    ASSERT_FALSE(bar.empty());
  }
  void TearDown() override {
    colr = saved_colr;
    MbarFrames::TearDown();
  }
  // A frame with the mouse at (x, y) and menu m open.
  const frame_capture& frame_at(int x, int y, int m) {
    d->move(x, y);
    mbar.open_menu = m;
    frame();
    return d->captures().back();
  }
  std::vector<OGL_quad_call> bar;
  colr_class saved_colr;
};

TEST_F(MbarDraw, AnOpenMenuShowsTheBarItsRowsTheArrowAndTheSeparator) {
  const mbar_class::item_struct open = item(0, 0), gray = item(0, 1), sep = item(0, 2), recent = item(0, 3);
  const int right = open.right;
  const uint32_t idle = frame_at(700, 100, 0).pixel(right - 20, open.bottom + 4);
  const frame_trace t = d->trace();
  EXPECT_TRUE(holds_run(t.quads, bar)) << "the bar's frame";
  for (const char* title : {"File", "Edit"}) {
    const OGL_string_call* s = find_text(t, title);
    ASSERT_NE(s, nullptr) << title;
    EXPECT_EQ(s->x, menu(title[0] == 'F' ? 0 : 2).left + 10);
    EXPECT_EQ(s->y, 600 - 18 + 5);
    EXPECT_EQ(s->col, 43);
  }
  for (const mbar_class::item_struct* it : {&open, &gray, &recent}) {
    const OGL_string_call* s = find_text(t, it->text);
    ASSERT_NE(s, nullptr) << it->text;
    EXPECT_EQ(s->x, it->left + 18);
    EXPECT_EQ(s->y, it->bottom + 2);
    EXPECT_EQ(s->col, 43);
    EXPECT_EQ(s->font, cs_regular);
    EXPECT_EQ(s->just, just_left);
  }
  EXPECT_EQ(find_text(t, sep.text), nullptr) << "a separator is lines, not text";

  // The arrow: the atlas element at (167, 187), half sizes 9, beside the
  // item the sub-menu hangs from.
  bool arrow = false;
  for (const OGL_quad_call& q : t.quads) {
    const float cx = (q.corner[0][0] + q.corner[2][0]) / 2, cy = (q.corner[0][1] + q.corner[2][1]) / 2;
    const float cu = (q.corner[0][2] + q.corner[2][2]) / 2 * k_atlas_size;
    const float cv = (q.corner[0][3] + q.corner[2][3]) / 2 * k_atlas_size;
    if (q.tex == 359 && q.col == 57 && cx == right - 8 && cy == menu(1).bottom + 6 && cu == 167 && cv == 187 &&
        q.corner[2][0] - q.corner[0][0] == 18 && q.corner[2][1] - q.corner[0][1] == 18)
      arrow = true;
  }
  EXPECT_TRUE(arrow);
  EXPECT_EQ(menu(1).bottom, recent.bottom);

  // Separator: colour 40 on its upper pixel row, 42 on its lower.
  const frame_capture& c = d->captures().back();
  int c40[3], c42[3];
  colour_bytes(40, 1, c40);
  colour_bytes(42, 1, c42);
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(channel(c.pixel(sep.left + 30, sep.bottom + 1), i), c40[i], 2) << i;
    EXPECT_NEAR(channel(c.pixel(sep.left + 30, sep.bottom), i), c42[i], 2) << i;
  }

  // Hovering a row lays colour 41 at 0.25 over the panel; the '=' row and
  // the separator never shade.
  int c41[3];
  colour_bytes(41, 1, c41);
  const uint32_t lit = frame_at(right - 20, open.bottom + 4, 0).pixel(right - 20, open.bottom + 4);
  for (int i = 0; i < 3; ++i)
    EXPECT_NEAR(channel(lit, i), 0.75 * channel(idle, i) + 0.25 * c41[i], 3) << i;
  const uint32_t gray_idle = frame_at(700, 100, 0).pixel(right - 20, gray.bottom + 4);
  EXPECT_EQ(frame_at(right - 20, gray.bottom + 4, 0).pixel(right - 20, gray.bottom + 4), gray_idle);
}

TEST_F(MbarDraw, TheBarShowsOnlyWhileAnOrdinaryMenuIsOpen) {
  frame_at(700, 100, -1);
  EXPECT_FALSE(holds_run(d->trace().quads, bar));
  EXPECT_TRUE(d->trace().strings.empty());
  frame_at(700, 100, 2);
  EXPECT_TRUE(holds_run(d->trace().quads, bar));
  const std::string entries[] = {"x", "y"};
  int value = 0;
  d->move(700, 100);
  d->frame([&] { mbar.mbar_check_popup(400, 300, 80, 1, entries, &value); });
  EXPECT_EQ(mbar.open_menu, 1519);
  EXPECT_FALSE(holds_run(d->trace().quads, bar));
  EXPECT_EQ(find_text(d->trace(), "File"), nullptr);
}

TEST_F(MbarDraw, AnOpenListShowsItsRowsAndShadesTheHoveredOne) {
  const std::string entries[] = {"zero", "one", "two", "three", "=four"};
  int value = 2;
  auto list_frame = [&](int x, int y) {
    d->move(x, y);
    d->frame([&] { mbar.mbar_check_popup(400, 300, 100, 4, entries, &value); });
    return d->captures().back();
  };
  // Rows: entry i from 321 - 12 i to 333 - 12 i, from x 348 to 454.
  const frame_capture idle = list_frame(700, 100);
  for (int i = 0; i < 5; ++i) {
    const OGL_string_call* s = find_text(d->trace(), entries[i]);
    ASSERT_NE(s, nullptr) << i;
    EXPECT_EQ(s->x, 348 + 3);
    EXPECT_EQ(s->y, 321 - 12 * i + 2);
  }
  int c41[3];
  colour_bytes(41, 1, c41);
  const frame_capture lit = list_frame(440, 321 - 12 * 3 + 4);
  const uint32_t a = idle.pixel(440, 321 - 12 * 3 + 4), b = lit.pixel(440, 321 - 12 * 3 + 4);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(channel(b, i), 0.75 * channel(a, i) + 0.25 * c41[i], 3) << i;
  // Another row is left as it was.
  EXPECT_EQ(lit.pixel(440, 321 - 12 * 1 + 4), idle.pixel(440, 321 - 12 * 1 + 4));
  // The '=' row is shown but never shaded.
  const frame_capture on_gray = list_frame(440, 321 - 12 * 4 + 4);
  EXPECT_EQ(on_gray.pixel(440, 321 - 12 * 4 + 4), idle.pixel(440, 321 - 12 * 4 + 4));
  EXPECT_EQ(value, 2);
}

TEST_F(MbarDraw, ABoxedStringDrawsItsBarLabelsAndText) {
  d->frame([] { BTN_frame1(9, 400, 204, 120, 57); });
  const std::vector<OGL_quad_call> box = d->trace().quads;
  mbar.open_menu = -1;
  d->frame([] { OGL_boxed_string(400, 200, 120, "Left side|Right{some help", "Middle", cs_regular, 43); });
  const frame_trace t = d->trace();
  EXPECT_TRUE(holds_run(t.quads, box)) << "the style-9 bar in colour 57, centred 4 above";
  struct text {
    const char* s;
    float x, y;
    int col, just;
  };
  for (const text& e : {text{"Left side", 400 - 60 - 8, 199, 48, just_right},
                        text{"Right", 400 + 60 + 8, 199, 48, just_left},
                        text{"Middle", 400, 200, 43, just_centre}}) {
    const OGL_string_call* s = find_text(t, e.s);
    ASSERT_NE(s, nullptr) << e.s;
    EXPECT_EQ(s->x, e.x) << e.s;
    EXPECT_EQ(s->y, e.y) << e.s;
    EXPECT_EQ(s->col, e.col) << e.s;
    EXPECT_EQ(s->just, e.just) << e.s;
  }
  EXPECT_EQ(find_text(t, "some help"), nullptr);

  // Read back: the labels lie outside the bar on either side, ending and
  // starting 8 from it; nothing is drawn beyond them.
  const frame_capture c = d->captures().back();
  auto lit_in = [&](int x0, int x1) {
    int n = 0;
    for (int y = 192; y <= 212; ++y)
      for (int x = x0; x <= x1; ++x)
        if ((c.pixel(x, y) >> 8) != 0) ++n;
    return n;
  };
  const int left_w = (int)OGL_measure_string("Left side"), right_w = (int)OGL_measure_string("Right");
  EXPECT_GT(lit_in(332 - left_w, 331), 0);
  EXPECT_GT(lit_in(468, 468 + right_w), 0);
  EXPECT_EQ(lit_in(332 - left_w - 40, 332 - left_w - 3), 0);
  EXPECT_EQ(lit_in(468 + right_w + 3, 468 + right_w + 40), 0);
  // The text lies in the middle of the bar, over its picture.
  d->frame([] { BTN_frame1(9, 400, 204, 120, 57); });
  const frame_capture bare = d->captures().back();
  int differ = 0;
  for (int y = 196; y <= 210; ++y)
    for (int x = 370; x <= 430; ++x)
      if (bare.pixel(x, y) != c.pixel(x, y)) ++differ;
  EXPECT_GT(differ, 20);
}
