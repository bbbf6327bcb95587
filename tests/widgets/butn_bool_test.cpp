// Check boxes and radio buttons over every value type: the mark, the toggle,
// the written-back value, the hit box's edges and the open menu.
#include <functional>
#include "click_fixture.h"
#include "widgets/butn.h"

namespace {

// One widget kind over a value stored as an int; call draws it at (x, y).
struct box_kind {
  const char* name;
  std::function<int(float, float, int*)> call;
  bool radio;
};

std::vector<box_kind> kinds() {
  return {
      {"BTN_bool", [](float x, float y, int* v) { return BTN_bool(x, y, v, "Left|Right{Tip", 0); }, false},
      {"BTN_xbol",
       [](float x, float y, int* v) {
         bool b = *v != 0;
         const int r = BTN_xbol(x, y, &b, "Left|Right{Tip");
         *v = b;
         return r;
       },
       false},
      {"BTN_xchr",
       [](float x, float y, int* v) {
         char c = static_cast<char>(*v);
         const int r = BTN_xchr(x, y, &c, "Left|Right{Tip");
         *v = c;
         return r;
       },
       false},
      {"BTN_xbyt",
       [](float x, float y, int* v) {
         unsigned char c = static_cast<unsigned char>(*v);
         const int r = BTN_xbyt(x, y, &c, "Left|Right{Tip");
         *v = c;
         return r;
       },
       false},
      // On while the value is 7.
      {"BTN_is_int", [](float x, float y, int* v) { return BTN_is_int(x, y, v, 7, "Left|Right{Tip"); }, true},
  };
}

TEST_F(Clicks, CheckBoxesMarkAndToggle) {
  const float x = 300, y = 200;
  for (const box_kind& k : kinds()) {
    // The value that shows the mark, and what a click leaves.
    int value = k.radio ? 7 : 5;
    const int after_click = k.radio ? 7 : 0;
    int got = -1;
    d->frame([&] { got = k.call(x, y, &value); });
    EXPECT_EQ(got, 0) << k.name;
    const atlas_rect mark = k.radio ? k_radio_mark : k_check_mark;
    const quad_extent e = extent_of(d->trace(), mark);
    ASSERT_TRUE(e.found) << k.name;
    EXPECT_FLOAT_EQ(e.left, x - 9) << k.name;
    EXPECT_FLOAT_EQ(e.bottom, y - 6) << k.name;
    EXPECT_FLOAT_EQ(e.width(), 18) << k.name;
    EXPECT_TRUE(extent_of(d->trace(), k.radio ? k_radio_box : k_check_box).found) << k.name;

    d->press(x, y);
    d->frame([&] { got = k.call(x, y, &value); });
    EXPECT_EQ(got, 1) << k.name;
    EXPECT_EQ(value, after_click) << k.name;
    // The mark shows the value as the frame found it.
    EXPECT_TRUE(extent_of(d->trace(), mark).found) << k.name;
    d->release(x, y);
    d->frame([&] { got = k.call(x, y, &value); });
    EXPECT_EQ(got, 0) << k.name;
    EXPECT_EQ(extent_of(d->trace(), mark).found, k.radio ? 1 : 0) << k.name;

    // Off again to on: the value becomes 1, or the choice for a radio button.
    value = k.radio ? 3 : 0;
    d->press(x, y);
    d->frame([&] { got = k.call(x, y, &value); });
    EXPECT_EQ(got, 1) << k.name;
    EXPECT_EQ(value, k.radio ? 7 : 1) << k.name;
    d->release(x, y);
    d->frame([] {});

    // Labels: left text ends at x - 12, right text starts at x + 12.
    d->frame([&] { k.call(x, y, &value); });
    const auto s = strings_in(48);
    ASSERT_EQ(s.size(), 2u) << k.name;
    EXPECT_EQ(s[0].text, "Left");
    EXPECT_FLOAT_EQ(s[0].x, x - 12);
    EXPECT_EQ(s[0].just, 2);
    EXPECT_EQ(s[1].text, "Right");
    EXPECT_FLOAT_EQ(s[1].x, x + 12);
    EXPECT_EQ(s[1].just, 0);
  }
}

TEST_F(Clicks, CheckBoxHitBoxEdges) {
  const float x = 300, y = 200;
  const struct {
    int dx, dy, hit;
  } cases[] = {{-8, -4, 1}, {8, 12, 1}, {-8, 12, 1}, {8, -4, 1}, {0, 0, 1}, {-9, 0, 0},
               {9, 0, 0},   {0, -5, 0}, {0, 13, 0}};
  for (const box_kind& k : kinds()) {
    for (const auto& c : cases) {
      int value = 0, got = -1;
      std::string tip;
      d->press(x + c.dx, y + c.dy);
      d->frame([&] {
        got = k.call(x, y, &value);
        tip = help.text;
      });
      EXPECT_EQ(got, c.hit) << k.name << " at " << c.dx << "," << c.dy;
      EXPECT_EQ(tip, c.hit ? "Tip" : "") << k.name;
      d->release(x + c.dx, y + c.dy);
      d->frame([] {});
    }
  }
}

TEST_F(Clicks, NoReactionWhileAMenuIsOpen) {
  const float x = 300, y = 200;
  for (const box_kind& k : kinds()) {
    for (int open : {0, 1519}) {
      int value = 0, got = -1, button = -1;
      std::string tip = "unset";
      d->press(x, y);
      d->frame([&] {
        mbar.open_menu = open;
        got = k.call(x, y, &value);
        button = BTN_action(x, y, 40, 0, 1, "B{Tip", "-");
        tip = help.text;
        mbar.open_menu = -1;
      });
      EXPECT_EQ(got, 0) << k.name;
      EXPECT_EQ(value, 0) << k.name;
      EXPECT_EQ(button, 0) << k.name;
      EXPECT_EQ(tip, "") << k.name;
      d->release(x, y);
      d->frame([] {});
    }
  }
}

}  // namespace
