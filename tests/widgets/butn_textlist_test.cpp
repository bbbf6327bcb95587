// The pop-up list against the real menu bar: opening, the open list, the
// choice coming back, splitting, the item limit and the box's width.
#include "click_fixture.h"
#include "core/hl_alert.h"
#include "widgets/butn.h"

namespace {

constexpr float kx = 300, ky = 300;

TEST_F(Clicks, TextListRoundTrip) {
  int selected = 0, toggled = 0, got = -1;
  const int id = static_cast<int>(ky * 1024 + kx);
  auto draw = [&] {
    got = BTN_textlist(kx, ky, &selected, "one;two;three", "Pick{Choose one", ';');
    // A check box under the same press.
    BTN_bool(kx + 10, ky + 1, &toggled, "", 0);
  };
  d->press(kx + 10, ky + 3);
  d->frame(draw);
  EXPECT_EQ(mbar.popup_owner, id);
  EXPECT_EQ(toggled, 0);
  EXPECT_EQ(got, 0);
  EXPECT_EQ(selected, 0);
  d->release(kx + 10, ky + 3);
  d->frame(draw);

  // Open: the menu bar draws the list in panel 20; the widget draws no item
  // text of its own and sets no help.
  std::string tip = "unset";
  d->move(kx + 10, ky + 3);
  d->frame([&] {
    draw();
    tip = help.text;
  });
  EXPECT_EQ(mbar.open_menu, k_mbar_popup);
  EXPECT_TRUE(extent_of(d->trace(), panel_rect(20)).found);
  EXPECT_EQ(tip, "");
  EXPECT_EQ(selected, 0);
  std::vector<std::string> texts;
  for (const auto& s : strings_in(43)) texts.push_back(s.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"one", "two", "three"}));

  // Item 2 lies two rows below the shown item.
  const auto& rows = mbar.menus[k_mbar_popup].items;
  ASSERT_EQ(rows.size(), 3u);
  const int px = (rows[2].left + rows[2].right) / 2, py = (rows[2].bottom + rows[2].top) / 2;
  int returned = 0, frames = 0;
  d->press(px, py);
  for (; frames < 2 && !returned; ++frames) {
    d->frame(draw);
    returned = got;
  }
  EXPECT_EQ(returned, 1);
  EXPECT_EQ(selected, 2);
  EXPECT_EQ(mbar.popup_done_owner, 0);
  EXPECT_NE(mbar.open_menu, k_mbar_popup);
  d->release(px, py);
  d->frame(draw);
  EXPECT_EQ(got, 0);
  EXPECT_EQ(selected, 2);
  ASSERT_EQ(strings_in(43).size(), 1u);
  EXPECT_EQ(strings_in(43)[0].text, "three");
}

TEST_F(Clicks, TextListSplitsAndClamps) {
  const struct {
    const char* items;
    int selected, shown_index;
    const char* shown;
  } cases[] = {{"a;b;", 7, 2, ""}, {"a;b;", -3, 0, "a"}, {"", 4, 0, ""}, {"x;y", 1, 1, "y"}};
  for (const auto& c : cases) {
    int selected = c.selected;
    d->frame([&] { BTN_textlist(kx, ky, &selected, c.items, "", ';'); });
    EXPECT_EQ(selected, c.shown_index) << c.items;
    const auto s = strings_in(43);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].text, c.shown);
    EXPECT_FLOAT_EQ(s[0].x, kx);
    EXPECT_EQ(s[0].just, 1);
  }
}

// -1 is "none chosen": the closed list shows no item, the value stays until
// the user picks one, and the open list is placed without reading outside
// its items.
TEST_F(Clicks, TextListNoneChosen) {
  int selected = -1, got = 0;
  auto draw = [&] { got = BTN_textlist(kx, ky, &selected, "one;two;three", "", ';'); };
  d->frame(draw);
  d->frame(draw);
  EXPECT_EQ(selected, -1);
  EXPECT_TRUE(strings_in(43).empty());

  d->press(kx + 10, ky + 3);
  d->frame(draw);
  d->release(kx + 10, ky + 3);
  d->frame(draw);
  ASSERT_EQ(mbar.open_menu, k_mbar_popup);
  EXPECT_EQ(selected, -1);
  const auto& rows = mbar.menus[k_mbar_popup].items;
  ASSERT_EQ(rows.size(), 3u);
  const int px = (rows[2].left + rows[2].right) / 2, py = (rows[2].bottom + rows[2].top) / 2;
  d->press(px, py);
  int returned = 0;
  for (int frames = 0; frames < 2 && !returned; ++frames) {
    d->frame(draw);
    returned = got;
  }
  d->release(px, py);
  EXPECT_EQ(returned, 1);
  EXPECT_EQ(selected, 2);
}

TEST_F(Clicks, TextListItemLimit) {
  std::string items = "0";
  for (int i = 1; i < 300; ++i) items += ";" + std::to_string(i);
  int selected = 299;
  d->frame([&] { BTN_textlist(kx, ky, &selected, items, "Many", ';'); });
  EXPECT_TRUE(d->alerts().empty());
  EXPECT_EQ(selected, 299);
  items += ";300";
  d->frame([&] { BTN_textlist(kx, ky, &selected, items, "Many", ';'); });
  ASSERT_EQ(d->alerts().size(), 1u);
  const frame_alert& a = d->alerts()[0];
  EXPECT_EQ(a.kind, t_crash);
  EXPECT_EQ(a.lines, (std::vector<std::string>{"BTN_text_list overflow!", items, "", "Many"}));
  EXPECT_EQ(a.source, "RUvozuz/OOPS_cpp/butn");
  EXPECT_EQ(a.line, 964);
}

TEST_F(Clicks, TextListFrenchWidthAndOpeningBox) {
  // An item exactly 100 units wide, as the list measures it.
  std::string item;
  for (int m = 0; m < 12 && item.empty(); ++m)
    for (int a = 0; a < 20 && item.empty(); ++a)
      for (int i = 0; i < 30 && item.empty(); ++i) {
        const std::string s = std::string(m, 'm') + std::string(a, 'a') + std::string(i, 'i');
        if (static_cast<int>(OGL_measure_string(s)) == 100) item = s;
      }
  ASSERT_FALSE(item.empty());
  mnw.lang = 1;
  int selected = 0;
  const std::string items = "x;" + item;
  d->frame([&] { BTN_textlist(kx, ky, &selected, items, "", ';'); });
  const quad_extent e = extent_of(d->trace(), bar_rect(10));
  ASSERT_TRUE(e.found);
  EXPECT_FLOAT_EQ(e.width(), 128);
  EXPECT_FLOAT_EQ((e.left + e.right) / 2, kx + 10);

  const struct {
    int dx, opens;
  } cases[] = {{65, 1}, {-65, 1}, {66, 0}, {-66, 0}};
  for (const auto& c : cases) {
    mbar.popup_owner = 0;
    d->press(kx + 10 + c.dx, ky);
    d->frame([&] { BTN_textlist(kx, ky, &selected, items, "", ';'); });
    EXPECT_EQ(mbar.popup_owner != 0, c.opens != 0) << c.dx;
    d->release(kx + 10 + c.dx, ky);
    mbar.popup_owner = 0;
    d->frame([] {});
  }
  mnw.lang = 0;
}

}  // namespace
