// The list with search through real frames: rows shown, keys keeping the
// selection on screen, type-ahead and its restarts, clicks and double
// clicks (none on the blank rows), empty and one-item lists, icons, the
// wheel and the focus outline.
#include <string>
#include <vector>
#include "number_fixture.h"
#include "widgets/butn_enterstring.h"
#include "widgets/butn_list.h"
#include "widgets/butn_slider.h"

namespace {

constexpr float lx = 100, ly = 300;

class List : public Typing {
 protected:
  void SetUp() override {
    Typing::SetUp();
    type_ahead.clear();
    last_type_ahead = -1;
    current_list_id = 0;
    for (int& g : slider_grabbed) g = 0;
  }
  // One frame of the default-sized list at (lx, ly) over names; its result.
  int frame(int first = 0, int last = -2) {
    int r = -1;
    d->frame([&] { r = draw(first, last); });
    return r;
  }
  int draw(int first = 0, int last = -2, float x = lx) {
    if (last == -2) last = static_cast<int>(names.size()) - 1;
    return BTN_list_and_search(0, x, ly, 0, 0, &scroll, &selection, first, last, nullptr, "", BTN_name_from_vector,
                               &names, nullptr, nullptr, nullptr, nullptr);
  }
  // The names drawn in the last frame.
  std::vector<std::string> rows_drawn() const {
    std::vector<std::string> out;
    for (const OGL_string_call& s : strings_in(50)) out.push_back(s.text);
    return out;
  }
  void press_and_release(int x, int y) {
    d->press(x, y);
    last_result = frame();
    d->release(x, y);
    frame();
  }
  std::vector<std::string> names;
  int scroll = 0, selection = 0, last_result = -1;
};

TEST_F(List, TwentyOneRowsAndKeysKeepTheSelectionNearTheMiddle) {
  for (int i = 0; i < 100; ++i) names.push_back("n" + std::to_string(100 + i));
  scroll = selection = 50;
  frame();
  const std::vector<std::string> shown = rows_drawn();
  ASSERT_EQ(shown.size(), 21u);
  EXPECT_EQ(shown.front(), "n140");
  EXPECT_EQ(shown.back(), "n160");
  press_and_release(static_cast<int>(lx) + 50, static_cast<int>(ly));
  ASSERT_EQ(focus_id, 100 * 8192 + 300);
  for (int i = 0; i < 25; ++i) {
    d->key(sc_down, "");
    frame();
    EXPECT_EQ(selection, 51 + i);
    EXPECT_LE(selection - scroll, 10);
  }
  EXPECT_EQ(scroll, 65);
  for (int i = 0; i < 40; ++i) {
    d->key(sc_up, "");
    frame();
    EXPECT_GE(selection - scroll, -10);
  }
  EXPECT_EQ(selection, 35);
  EXPECT_EQ(scroll, 45);
  for (int i = 0; i < 40; ++i) d->key(sc_up, "");
  frame();
  EXPECT_EQ(selection, 0) << "kept within the items";
  EXPECT_EQ(scroll, 5) << "ten rows below the selection, where the last Up left it";
}

TEST_F(List, TypeAheadFindsNamesInAnyCaseAndRestarts) {
  names = {"alpha", "Rabbit", "beta", "rEd", "reef", "sand", "Sea", "Spa"};
  press_and_release(static_cast<int>(lx) + 50, static_cast<int>(ly));
  const struct {
    double wait;
    int scancode;
    const char* typed;
    int want;
    const char* so_far;
  } steps[] = {
      {0, sc_r, "r", 1, "r"},  {0.5, sc_e, "e", 3, "re"},  {2, sc_s, "s", 5, "s"},
      {0.9, sc_e, "e", 6, "se"}, {0.2, sc_q, "q", 6, "seq"},  // no match changes nothing
  };
  for (const auto& s : steps) {
    d->advance(s.wait);
    d->key(s.scancode, s.typed);
    frame();
    EXPECT_EQ(selection, s.want) << s.so_far;
    EXPECT_EQ(type_ahead, s.so_far);
  }
}

TEST_F(List, FocusOnAnotherListStartsTheTypeAheadAnew) {
  names = {"alpha", "Rabbit", "beta", "rEd", "echo"};
  int other_scroll = 0, other_selection = 0;
  auto both = [&] {
    draw();
    BTN_list_and_search(1, 500, ly, 100, 0, &other_scroll, &other_selection, 0, 4, nullptr, "", BTN_name_from_vector,
                        &names, nullptr, nullptr, nullptr, nullptr);
  };
  click(static_cast<int>(lx) + 50, static_cast<int>(ly), both);
  d->key(sc_r, "r");
  d->frame(both);
  EXPECT_EQ(selection, 1);
  click(550, static_cast<int>(ly), both);
  d->key(sc_e, "e");
  d->frame(both);
  EXPECT_EQ(type_ahead, "e");
  EXPECT_EQ(current_list_id, 500 * 8192 + 300);
  EXPECT_EQ(other_selection, 4);
  EXPECT_EQ(selection, 1);
}

TEST_F(List, ClicksPickRowsAndDoubleClicksOpenButNotOnBlankRows) {
  names = {"a", "b", "c", "d", "e"};
  frame();
  const int x = static_cast<int>(lx) + 50;
  const struct {
    const char* what;
    int dy;
    int selection, result;
  } steps[] = {
      {"a click on the third row", -20, 2, 0},
      {"a second click there", -20, 2, 1},
      {"a click on the last row", -40, 4, 1},  // still within the double-click time
      {"below the last row", -80, 4, 0},
      {"below it again", -80, 4, 0},
      {"above the first row", 30, 4, 0},
      {"on the first row", 0, 0, 1},
  };
  for (const auto& s : steps) {
    press_and_release(x, static_cast<int>(ly) + s.dy);
    EXPECT_EQ(selection, s.selection) << s.what;
    EXPECT_EQ(last_result, s.result) << s.what;
  }
  d->advance(1);
  press_and_release(x, static_cast<int>(ly) - 10);
  EXPECT_EQ(last_result, 0) << "too late for a double click";
  EXPECT_EQ(selection, 1);
}

TEST_F(List, OneItemHasNoSliderAndNoItemsOnlyTheSearchField) {
  names = {"only"};
  frame();
  EXPECT_EQ(extent_of(d->trace(), k_scroll_thumb).found, 0);
  EXPECT_EQ(extent_of(d->trace(), panel_rect(19)).found, 1);
  EXPECT_EQ(rows_drawn(), std::vector<std::string>{"only"});

  std::string search = "abc";
  int r = -1;
  d->press(static_cast<int>(lx) + 50, static_cast<int>(ly));
  d->frame([&] {
    r = BTN_list_and_search(0, lx, ly, 0, 0, &scroll, &selection, 3, 2, &search, "Find", BTN_name_from_vector, &names,
                            nullptr, nullptr, nullptr, nullptr);
  });
  EXPECT_EQ(r, 0);
  EXPECT_EQ(extent_of(d->trace(), panel_rect(19)).found, 0);
  EXPECT_EQ(extent_of(d->trace(), k_scroll_thumb).found, 0);
  EXPECT_EQ(extent_of(d->trace(), bar_rect(9)).found, 1) << "the search field";
  ASSERT_EQ(rows_drawn().size(), 1u);
  EXPECT_EQ(rows_drawn()[0], "abc");
  EXPECT_FLOAT_EQ(strings_in(50)[0].x, lx + 35);
  d->release(static_cast<int>(lx) + 50, static_cast<int>(ly));
  d->frame([] {});
  focused_field_id = 0;
  OGLE_input = nullptr;
}

TEST_F(List, IconsDrawOnlyForTheirCodes) {
  names = {"x"};
  const struct {
    int code, u0;
  } rows[] = {{1, 34}, {3, 48}, {4, 62}, {5, 90}, {7, 146}, {9, 104}, {10, 118}, {11, 132},
              {0, 0},  {2, 0},  {6, 0},  {8, 0},  {12, 0},  {-1, 0}};
  for (const auto& r : rows) {
    int code = r.code;
    d->frame([&] {
      BTN_list_and_search(0, lx, ly, 0, 0, &scroll, &selection, 0, 0, nullptr, "", BTN_name_from_vector, &names,
                          nullptr, nullptr, [](int, void* ref) { return *static_cast<int*>(ref); }, &code);
    });
    const quad_extent any = extent_of(d->trace(), {0, k_icon_v0, 512, k_icon_v1});
    EXPECT_EQ(any.found, r.u0 ? 1 : 0) << r.code;
    if (!r.u0) continue;
    const quad_extent icon = extent_of(d->trace(), {r.u0, k_icon_v0, r.u0 + 12, k_icon_v1});
    EXPECT_EQ(icon.found, 1) << r.code;
    EXPECT_FLOAT_EQ(icon.left, lx + 4) << r.code;
    EXPECT_FLOAT_EQ(icon.bottom, ly - 6) << r.code;
    EXPECT_FLOAT_EQ(icon.width(), 12) << r.code;
  }
}

TEST_F(List, TheWheelScrollsAndIsTakenOnlyOverTheList) {
  for (int i = 0; i < 100; ++i) names.push_back("n" + std::to_string(i));
  const struct {
    int x, steps;
    int scroll;
    bool taken;
  } rows[] = {{150, 3, 47, true}, {150, -4, 54, true}, {20, 3, 50, false}};
  for (const auto& r : rows) {
    scroll = 50;
    // A motion ends its frame's events: the wheel comes in the next frame.
    d->move(r.x, static_cast<int>(ly));
    d->frame([&] { draw(); });
    scroll = 50;
    d->wheel(r.steps);
    int before = 0, after = 0;
    d->frame([&] {
      before = mnw.wheel;
      draw();
      after = mnw.wheel;
    });
    ASSERT_NE(before, 0);
    EXPECT_EQ(scroll, r.taken ? 50 - before : 50) << r.x << " " << r.steps;
    EXPECT_EQ(std::abs(scroll - 50), r.taken ? std::abs(r.steps) : 0);
    EXPECT_EQ(after, r.taken ? 0 : before);
  }
}

TEST_F(List, TheFocusedListIsOutlined) {
  names = {"a", "b"};
  frame();
  const uint32_t plain = d->captures().back().pixel(static_cast<int>(lx), static_cast<int>(ly) + 50);
  press_and_release(static_cast<int>(lx) + 50, static_cast<int>(ly));
  ASSERT_EQ(focus_id, 100 * 8192 + 300);
  const uint32_t outlined = d->captures().back().pixel(static_cast<int>(lx), static_cast<int>(ly) + 50);
  EXPECT_NE(plain, outlined);
}

}  // namespace
