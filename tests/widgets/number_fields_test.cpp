// Number fields and character cells through real frames: limits and
// rounding, typing into the hot cell, signs, the step arrows and their
// cursors, the conversions of the family's members, the shared key queue
// and where the display-only number lands.
#include <cmath>
#include <cstring>
#include <functional>
#include "number_fixture.h"

namespace {

constexpr float fx = 100, fy = 300;
constexpr int field = 100 * 8192 + 300;

TEST_F(Typing, ValuesAreClampedToTheLimitsAndTheCellsAndRounded) {
  const struct {
    const char* what;
    std::function<int(float*)> call;
    float start, want;
  } rows[] = {
      {"4 digits 1 decimal", [](float* v) { return BTN_flt(fx, fy, v, 4, 1, 1, ""); }, 1234.5f, 999.9f},
      {"no negatives", [](float* v) { return BTN_flt(fx, fy, v, 3, 0, 0, ""); }, -3, 0},
      {"3 digits, negatives, below", [](float* v) { return BTN_flt(fx, fy, v, 3, 0, 1, ""); }, -5000, -999},
      {"3 digits, negatives, above", [](float* v) { return BTN_flt(fx, fy, v, 3, 0, 1, ""); }, 5000, 999},
      {"range below min", [](float* v) { return BTN_flt_range(fx, fy, v, 3, 0, 10, 20, "", nullptr); }, 3, 10},
      {"range above max", [](float* v) { return BTN_flt_range(fx, fy, v, 3, 0, 10, 20, "", nullptr); }, 30, 20},
      {"half away from zero", [](float* v) { return BTN_flt(fx, fy, v, 3, 1, 1, ""); }, 2.25f, 2.3f},
      {"negative half away from zero", [](float* v) { return BTN_flt(fx, fy, v, 3, 1, 1, ""); }, -2.25f, -2.3f},
      {"ten digits stay positive", [](float* v) { return BTN_flt(fx, fy, v, 10, 0, 1, ""); }, 9999999999.0f,
       9999999999.0f},
      {"weight", [](float* v) { BTN_weight(fx, fy, v, 2, 0, ""); return 0; }, -7, 0},
      {"grid cell", [](float* v) { return BTN_fltij(1, 2, v, 2, 0, 0, ""); }, 123, 99},
  };
  for (const auto& r : rows) {
    float v = r.start;
    int changed = -1;
    d->frame([&] { changed = r.call(&v); });
    EXPECT_EQ(v, r.want) << r.what;
    EXPECT_EQ(changed, 0) << r.what << ": clamping is no change";
  }
}

TEST_F(Typing, DigitsReplaceTheHotCellWhichAdvancesAndWraps) {
  float v = 205;
  auto draw = [&] { return BTN_flt(fx, fy, &v, 3, 0, 0, ""); };
  click(fx + 15, fy + 3, draw);  // on the middle cell
  ASSERT_EQ(focus_id, field);
  ASSERT_EQ(flt_hot_digit, 1);
  const struct {
    int scancode;
    const char* text;
    float want;
    int hot, changed;
  } steps[] = {
      {sc_7, "7", 275, 2, 1},      {sc_1, "1", 271, 0, 1},   {sc_left, "", 271, 2, 0},
      {sc_right, "", 271, 0, 0},   {sc_up, "", 371, 0, 1},   {sc_down, "", 271, 0, 1},
      {sc_right, "", 271, 1, 0},   {sc_down, "", 261, 1, 1},
  };
  for (const auto& s : steps) {
    d->key(s.scancode, s.text);
    int changed = 0;
    d->frame([&] { changed = draw(); });
    EXPECT_EQ(v, s.want) << "after " << s.scancode;
    EXPECT_EQ(flt_hot_digit, s.hot) << "after " << s.scancode;
    EXPECT_EQ(changed, s.changed) << "after " << s.scancode;
  }
}

TEST_F(Typing, SignsActWithinTheLimitsInTheSameFrame) {
  const struct {
    float min, max, start;
    int scancode;
    const char* text;
    float want;
    int changed;
  } rows[] = {
      {0, 100, 5, sc_minus, "-", 0, 1},       // -5, clamped at once
      {-100, 100, 5, sc_minus, "-", -5, 1},
      {-100, 100, -5, sc_equals, "+", 5, 1},
      {0, 100, 5, sc_equals, "+", 5, 0},      // no negatives to leave
      {-100, -10, -50, sc_minus, "-", -50, 0},  // nothing to make negative
  };
  for (const auto& r : rows) {
    reset();
    float v = r.start;
    auto draw = [&] { return BTN_flt_range(fx, fy, &v, 3, 0, r.min, r.max, "", nullptr); };
    click(fx + 5, fy + 3, draw);
    d->key(r.scancode, r.text, r.text[0] == '+' ? plat_mod_shift : 0);
    int changed = -1;
    d->frame([&] { changed = draw(); });
    EXPECT_EQ(v, r.want) << r.text << " on " << r.start;
    EXPECT_EQ(changed, r.changed) << r.text << " on " << r.start;
  }
}

TEST_F(Typing, ArrowClicksStepTheCellsUnderTheMouse) {
  const struct {
    const char* what;
    int dx, dy;
    float want;
    int cursor;
  } rows[] = {
      {"upper, second cell", 15, 15, 11.0f, 20},
      {"upper, third cell", 25, 15, 10.1f, 20},
      {"upper, on the line between them", 20, 15, 11.1f, 20},
      {"lower, second cell", 15, -10, 9.0f, 21},
      {"lower, first cell", 5, -10, 0.0f, 21},
      {"on the middle line", 5, 3, 10.0f, 0},  // over the cells: a click there picks the hot cell
      {"left of the field", -3, 15, 10.0f, 0},
      {"above the zone", 15, 25, 10.0f, 0},
  };
  for (const auto& r : rows) {
    reset();
    float v = 10;
    int changed = -1, cursor = -1;
    d->press(static_cast<int>(fx) + r.dx, static_cast<int>(fy) + r.dy);
    d->frame([&] {
      changed = BTN_flt(fx, fy, &v, 3, 1, 0, "");
      cursor = mnw.cursor;
    });
    d->release(static_cast<int>(fx) + r.dx, static_cast<int>(fy) + r.dy);
    d->frame([] {});
    EXPECT_FLOAT_EQ(v, r.want) << r.what;
    EXPECT_EQ(changed, r.want != 10.0f ? 1 : 0) << r.what;
    EXPECT_EQ(cursor, r.cursor) << r.what;
  }
  // Hovering asks for the cursor without stepping.
  float v = 10;
  int cursor = -1;
  d->move(static_cast<int>(fx) + 15, static_cast<int>(fy) - 10);
  d->frame([&] {
    BTN_flt(fx, fy, &v, 3, 1, 0, "");
    cursor = mnw.cursor;
  });
  EXPECT_EQ(cursor, 21);
  EXPECT_EQ(v, 10);
}

TEST_F(Typing, OtherTypesKeepTheCallersValueWhenNothingChanges) {
  double range_value = 0.1;  // no float holds it
  double dob_value = 0.1;
  int big = 16777217;        // the first int a float cannot hold
  int top = 999999999;
  int low = -999999999;
  for (int i = 0; i < 10; ++i)
    d->frame([&] {
      BTN_dob_range(fx, fy, &range_value, 4, 2, -10, 10, "");
      BTN_dob(fx, fy - 40, &dob_value, 4, 2, 1, "");
      BTN_int(fx, fy - 80, &big, 9, 0, "");
      BTN_int(fx, fy - 120, &top, 9, 1, "");
      BTN_int_range(fx, fy - 160, &low, 9, -999999999, 0, "");
    });
  EXPECT_EQ(range_value, 0.1);
  EXPECT_EQ(dob_value, static_cast<double>(0.1f));
  EXPECT_EQ(big, 16777217);
  EXPECT_EQ(top, 999999999);
  EXPECT_EQ(low, -999999999);

  // Out of range, an int is clamped as an int; a typed change is written.
  int over = 1234567890, under = -5, typed = 205;
  d->frame([&] {
    BTN_int(fx, fy - 80, &over, 9, 0, "");
    BTN_int_range(fx, fy - 120, &under, 3, 0, 500, "");
  });
  EXPECT_EQ(over, 999999999);
  EXPECT_EQ(under, 0);
  auto draw = [&] { return BTN_int(fx, fy, &typed, 3, 0, ""); };
  click(fx + 5, fy + 3, draw);
  d->key(sc_7, "7");
  int changed = 0;
  d->frame([&] { changed = draw(); });
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(typed, 705);
}

TEST_F(Typing, CharacterCellsStepAroundTheRingAndTakeOnlyItsSymbols) {
  char text[8] = "Z--";
  auto draw = [&] { BTN_chars(fx, fy, text, 3, "Code"); };
  click(fx + 5, fy + 3, draw);  // on the first cell
  ASSERT_EQ(focus_id, field);
  const struct {
    int scancode;
    const char* typed;
    const char* want;
  } steps[] = {
      {sc_down, "", "---"},  {sc_down, "", " --"},  {sc_up, "", "---"},   {sc_up, "", "Z--"},
      {sc_q, "q", "Q--"},    {sc_slash, "/", "Q--"}, {sc_7, "7", "Q7-"},   {sc_space, " ", "Q7 "},
      {sc_a, "a", "A7 "},    // the hot cell wrapped to the first
  };
  for (const auto& s : steps) {
    d->key(s.scancode, s.typed);
    d->frame(draw);
    EXPECT_STREQ(text, s.want) << "after " << s.scancode << " '" << s.typed << "'";
  }
  EXPECT_EQ(cells(fx, fx + 40, fy - 1), "A7 ");

  // Arrow clicks step the cell under the mouse; a cell past the text's end
  // becomes part of it, its zero moved along.
  char shorter[8] = "A";
  click(fx + 25, fy + 15, [&] { BTN_chars(fx, fy, shorter, 3, ""); });
  EXPECT_STREQ(shorter, "A -");
  click(fx + 5, fy - 10, [&] { BTN_chars(fx, fy, shorter, 3, ""); });
  EXPECT_STREQ(shorter, "B -");
}

TEST_F(Typing, HelpOfAnAxisFieldIsTheSentenceAroundTheLabel) {
  const std::string tail =
      " is. The reference point may be any point on the aircraft, but you have to use the SAME reference point for "
      "ALL the data you enter on the aircraft. The nose of the aircraft is a typical reference point.";
  const struct {
    char axis;
    std::string help;
  } rows[] = {
      {'x', "This is how far to the side of the reference point the wing tip" + tail},
      {'y', "This is how far above the reference point the wing tip" + tail},
      {'z', "This is how far behind the reference point the wing tip" + tail},
      {'q', "wing tip" + tail},
      {'-', "wing tip"},
  };
  d->move(static_cast<int>(fx) + 5, static_cast<int>(fy) + 3);
  for (const auto& r : rows) {
    float v = 1;
    std::string help_seen;
    d->frame([&] {
      BTN_xyz(fx, fy, &v, 1, "Tip X|m{wing tip", r.axis, 3, 1, nullptr);
      help_seen = help.text;
    });
    EXPECT_EQ(help_seen, r.help) << r.axis;
    if (r.axis == 'x') {
      EXPECT_EQ(global_c_str_ram, "Tip X|m { " + r.help);
    }
  }
}

TEST_F(Typing, TheQueueDropsReleasesAndKeepsOtherFieldsKeys) {
  float a = 5, b = 5;
  const int other = 100 * 8192 + 200;
  auto put = [](int slot, int ch, int vkey, int flags, int id) {
    flt_keys.ch[slot] = ch, flt_keys.vkey[slot] = vkey, flt_keys.flags[slot] = flags, flt_keys.id[slot] = id;
  };
  put(0, '7', 55, 0x10, field);  // a release: taken without effect
  put(1, '3', 51, 0x08, other);
  put(2, 0, 0, 0x08, field);     // names no key: stays
  flt_keys.count = 3;
  int changed = -1;
  d->frame([&] { changed = BTN_flt(fx, fy, &a, 1, 0, 0, ""); });
  EXPECT_EQ(a, 5);
  EXPECT_EQ(changed, 0);
  EXPECT_EQ(flt_keys.id[0], 0);
  EXPECT_EQ(flt_keys.id[1], other);
  EXPECT_EQ(flt_keys.count, 3);
  d->frame([&] { BTN_flt(fx, fy - 100, &b, 1, 0, 0, ""); });
  EXPECT_EQ(b, 3);
  EXPECT_EQ(flt_keys.id[1], 0);
  EXPECT_EQ(flt_keys.count, 3) << "a live slot was seen in that pass";
  put(2, 0, 0, 0, 0);
  d->frame([&] { BTN_flt(fx, fy, &a, 1, 0, 0, ""); });
  EXPECT_EQ(flt_keys.count, 0);
}

TEST_F(Typing, AFullQueueMakesRoomForTheFocusedField) {
  float v = 205;
  auto draw = [&] { return BTN_flt(fx, fy, &v, 3, 0, 0, ""); };
  click(fx + 5, fy + 3, draw);
  // Keys left for a field that is no longer drawn fill every slot.
  for (int i = 0; i < k_focus_queue_size; ++i) {
    flt_keys.ch[i] = '1';
    flt_keys.vkey[i] = 49;
    flt_keys.flags[i] = 8;
    flt_keys.id[i] = 300 * 8192 + 100;
  }
  flt_keys.count = k_focus_queue_size;
  d->key(sc_7, "7");
  d->frame(draw);
  EXPECT_EQ(v, 705);
}

TEST_F(Typing, DisplayNumberLandsWhereItsFontSays) {
  const struct {
    charset_t cs;
    float frame_centre;  // the style-9 bar's centre
    float text_x;
    int just;
  } rows[] = {
      {cs_fixed8, 100 + 32 / 2 - 1, 100 + 32 + 2, just_right},  // 8 pixels a cell, 4 cells
      {cs_fixed10, 100 + 40 / 2 - 1, 100 + 4, just_left},
      {cs_regular, 100 + 24 / 2 - 1, 100 + 24 + 2, just_right},
  };
  for (const auto& r : rows) {
    d->frame([&] { BTN_display_number(100, 300, 12.5f, 3, 1, "Left|Right", r.cs); });
    const quad_extent bar = extent_of(d->trace(), bar_rect(9));
    ASSERT_TRUE(bar.found) << r.cs;
    EXPECT_FLOAT_EQ((bar.left + bar.right) / 2, std::round(r.frame_centre)) << r.cs;
    EXPECT_FLOAT_EQ((bar.bottom + bar.top) / 2, 303) << r.cs;
    std::vector<OGL_string_call> numbers;
    for (const OGL_string_call& s : d->trace().strings)
      if (s.col == 50) numbers.push_back(s);
    ASSERT_FALSE(numbers.empty()) << r.cs;
    EXPECT_FLOAT_EQ(numbers.front().x, r.text_x) << r.cs;
    EXPECT_FLOAT_EQ(numbers.front().y, 299) << r.cs;
    EXPECT_EQ(numbers.front().just, r.just) << r.cs;
    EXPECT_EQ(r.cs == cs_fixed10 ? cells(100, 200, 299) : numbers.front().text, "12.5") << r.cs;
  }
}

}  // namespace
