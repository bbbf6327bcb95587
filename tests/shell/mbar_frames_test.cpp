// The menu bar in real frames: presses and releases routed by the frame
// procedure open, switch and close menus and choose items; a pop-up widget
// that keeps the toolkit's side of the list contract gets its choice back.
#include "core/xtim.h"
#include "shell/cons.h"
#include "shell/mbar_fixture.h"

namespace {
// A pop-up widget as the toolkit draws one: centred at (400, 300), 100 wide,
// one row high; it opens its list on a press and takes the choice back.
struct popup_widget {
  int id = 4242;
  std::vector<std::string> entries = {"zero", "one", "two", "three", "four"};
  float x = 400, y = 300;
  int value = 2;
  int changed = 0;
  int saw_press = 0;  // a press reached it unconsumed
  void draw() {
    if (mnw.mouse_down) saw_press = 1;
    if (mnw.mouse_down && mbar.popup_owner != id && mnw.mouse_x >= x - 50 && mnw.mouse_x <= x + 50 &&
        mnw.mouse_y >= y - 6 && mnw.mouse_y <= y + 6) {
      mnw.mouse_down = 0;
      mnw.press_x = mnw.mouse_x;
      mnw.press_y = mnw.mouse_y;
      mnw.last_press_time = xtim.real_time;
      mbar.popup_owner = id;
    }
    if (mbar.popup_done_owner == id) {
      value = mbar.popup_choice;
      mbar.popup_done_owner = 0;
      ++changed;
    }
    if (mbar.popup_owner == id) mbar.mbar_check_popup(x, y, 100, (int)entries.size() - 1, entries.data(), &value);
  }
};
}  // namespace

TEST_F(MbarFrames, WithNoMenusOnlyAPressAtTheOriginOpensOne) {
  popup_widget w;
  d->press(100, 100);
  d->frame([&] { w.draw(); });
  EXPECT_EQ(mbar.open_menu, -1);
  EXPECT_EQ(w.saw_press, 1) << "the press goes on to the widgets";
  w.saw_press = 0;
  d->release(100, 100);
  d->frame([&] { w.draw(); });
  d->press(0, 0);
  d->frame([&] { w.draw(); });
  EXPECT_EQ(mbar.open_menu, 0);
  EXPECT_EQ(w.saw_press, 0) << "the bar took the press";
  EXPECT_FLOAT_EQ(mnw.press_x, 0);
  d->release(0, 0);
  for (int i = 0; i < 3; ++i) d->frame([&] { w.draw(); });
  EXPECT_EQ(mbar.open_menu, 0) << "open until the next press";
  d->press(300, 200);
  d->frame([&] { w.draw(); });
  EXPECT_EQ(mbar.open_menu, -1);
  EXPECT_EQ(w.saw_press, 1);
}

TEST_F(MbarFrames, PressesOnTitlesOpenSwitchAndClose) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_append_menu_item(0, 0, 101, "Open");
  mbar.mbar_create_menu(1, 0, "Edit");
  mbar.mbar_append_menu_item(1, 0, 201, "Undo");
  const int file_x = menu(0).left + 5, edit_x = menu(1).left + 5;
  struct step {
    const char* what;
    int x, y;
    int open_after;
    std::vector<int> commands;
  };
  const step steps[] = {
      {"press on File opens it", file_x, 590, 0, {}},
      {"press on Edit switches", edit_x, 590, 1, {}},
      {"press on Edit again closes it", edit_x, 590, -1, {}},
      {"press on File opens it again", file_x, 590, 0, {}},
      {"press on its item chooses it", file_x, item(0, 0).bottom + 5, -1, {101}},
      {"press on Edit opens it", edit_x, 590, 1, {101}},
      {"press elsewhere closes it", 500, 100, -1, {101}},
  };
  for (const step& s : steps) {
    SCOPED_TRACE(s.what);
    d->press(s.x, s.y);
    d->frame([] {});
    d->release(s.x, s.y);  // a click: the bar is not told
    d->frame([] {});
    EXPECT_EQ(mbar.open_menu, s.open_after);
    EXPECT_EQ(handled_commands(), s.commands);
  }
}

TEST_F(MbarFrames, MovingOverAnotherTitleWithAMenuOpenSwitchesToIt) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_create_menu(1, 0, "Edit");
  d->press(menu(0).left + 5, 590);
  d->frame([] {});
  d->release(menu(0).left + 5, 590);
  d->frame([] {});
  d->move(menu(1).left + 5, 590);
  d->frame([] {});
  EXPECT_EQ(mbar.open_menu, 1);
}

TEST_F(MbarFrames, WithASubWindowOpenAPressThatChoosesNothingClosesTheMenu) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_append_menu_item(0, 0, 101, "Open");
  wins.start_win(2);
  EXPECT_EQ(mbar.open_menu, -1);
  mbar.open_menu = 0;
  d->press(5, 5);
  d->modal_frame([] {});
  EXPECT_EQ(mbar.open_menu, -1);
  // One that lands on an item chooses it; the boxes count in the
  // sub-window's units, so the menu is moved down into its reach.
  mbar.mbar_shift_menu_bar(-400);
  mbar.open_menu = 0;
  d->release(5, 5);
  d->modal_frame([] {});
  d->press(item(0, 0).left + 5 + (int)wins.win_x, item(0, 0).bottom + 5 + (int)wins.win_y);
  d->modal_frame([] {});
  EXPECT_EQ(handled_commands(), std::vector<int>{101});
  EXPECT_EQ(mbar.open_menu, -1);
}

TEST_F(MbarFrames, AReleaseChoosesOnlyWhenItIsNotAClick) {
  struct rel {
    const char* what;
    double after;
    int dx, dy;
    int open_after;
  };
  for (const rel& r : {rel{"0.5 s and 2 units: still open", 0.5, 2, 0, 1519},
                       rel{"0.5 s and 3 units: chosen", 0.5, 3, 0, -1},
                       rel{"0.5 s and 3 units down: chosen", 0.5, 0, -3, -1},
                       rel{"1 s on the spot: chosen", 1.0, 0, 0, -1}}) {
    SCOPED_TRACE(r.what);
    mbar.open_menu = -1;
    popup_widget w;
    d->press(400, 300);
    d->frame([&] { w.draw(); });
    ASSERT_EQ(mbar.open_menu, 1519);
    d->advance(r.after);  // and a frame's 1/60 s
    d->release(400 + r.dx, 300 + r.dy);
    d->frame([&] { w.draw(); });
    EXPECT_EQ(mbar.open_menu, r.open_after);
    d->frame([&] { w.draw(); });
    EXPECT_EQ(w.value, 2);
    EXPECT_EQ(w.changed, r.open_after == -1 ? 1 : 0);
    EXPECT_EQ(mbar.popup_owner, r.open_after == -1 ? 0 : w.id);
    EXPECT_TRUE(handled_commands().empty()) << "a pop-up choice is no menu command";
  }
}

TEST_F(MbarFrames, APopupChoiceReachesItsWidgetAndRowsThatCannotBeChosenAreSkipped) {
  popup_widget w;
  w.entries = {"zero", "=one", "", "three", "four"};
  w.value = 0;
  // Rows: entry i from 300 - 12 i - 3 to 12 above.
  auto row_y = [](int i) { return 300 - 12 * i; };
  d->press(400, 300);
  d->frame([&] { w.draw(); });
  d->move(400, row_y(1));
  d->frame([&] { w.draw(); });
  d->advance(1.5);
  d->release(400, row_y(1));  // on '=one': nothing chosen, the list stays
  d->frame([&] { w.draw(); });
  EXPECT_EQ(mbar.open_menu, 1519);
  EXPECT_EQ(w.changed, 0);
  d->press(400, row_y(3));  // a press on a row chooses it at once
  d->frame([&] { w.draw(); });
  EXPECT_EQ(mbar.open_menu, -1);
  EXPECT_EQ(mbar.popup_choice, 3);
  EXPECT_EQ(mbar.popup_owner, 0);
  EXPECT_EQ(w.value, 3);
  EXPECT_EQ(w.changed, 1);
  // A press on the blank row chooses nothing and closes the list; the
  // widget behind sees the press and opens again only when it is on it.
  w.value = 0;
  d->release(400, row_y(3));
  d->frame([&] { w.draw(); });
  d->press(400, 300);
  d->frame([&] { w.draw(); });
  ASSERT_EQ(mbar.open_menu, 1519);
  d->release(400, 300);
  d->frame([&] { w.draw(); });
  d->press(400, row_y(2));
  d->frame([&] { w.draw(); });
  EXPECT_EQ(mbar.open_menu, -1);
  EXPECT_EQ(w.value, 0);
}

TEST_F(MbarFrames, AListNearTheBottomMovesUntilItFitsAndTheValueChangesOnlyByAChoice) {
  popup_widget w;
  w.y = 20;
  w.value = 0;
  d->press(400, 20);
  d->frame([&] { w.draw(); });
  int frames = 0;
  while (menu(1519).items.back().bottom < 0 && frames < 10) {
    d->frame([&] { w.draw(); });
    EXPECT_EQ(w.value, 0);
    ++frames;
  }
  EXPECT_GE(menu(1519).items.back().bottom, 0);
  EXPECT_GT(frames, 0);
  EXPECT_EQ(w.value, 0);
  // The row under the widget now shows another entry; choosing it sets the value.
  int under = -1;
  for (size_t i = 0; i < menu(1519).items.size(); ++i)
    if (item(1519, (int)i).bottom <= 20 && 20 < item(1519, (int)i).top) under = (int)i;
  ASSERT_GT(under, 0);
  d->release(400, 20);
  d->frame([&] { w.draw(); });
  d->press(400, 20);
  d->frame([&] { w.draw(); });
  EXPECT_EQ(w.value, under);
  EXPECT_LE(w.value, 4);
}

TEST_F(MbarFrames, OpeningASubWindowClosesMenusAndDropsTheList) {
  popup_widget w;
  d->press(400, 300);
  d->frame([&] { w.draw(); });
  ASSERT_EQ(mbar.open_menu, 1519);
  wins.start_win(2);
  EXPECT_EQ(mbar.open_menu, -1);
  EXPECT_EQ(menu(1519).left, -1);
  EXPECT_EQ(mbar.popup_shift, 0);
}

TEST_F(MbarFrames, ALiveResizeKeepsTheBarAtTheTopEdge) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_append_menu_item(0, 0, 101, "Open");
  const short item_bottom = item(0, 0).bottom;
  mbar.open_menu = 0;
  MACIBM_live_resize(800, 700);
  EXPECT_EQ(menu(0).bottom, 700 - 18);
  EXPECT_EQ(menu(0).top, 700);
  EXPECT_EQ(item(0, 0).bottom, item_bottom + 100);
  EXPECT_EQ(mbar.open_menu, -1) << "the sub-window started again";
  MACIBM_live_resize(800, 600);
  EXPECT_EQ(menu(0).top, 600);
  MACIBM_live_resize(0, 500);  // ignored
  EXPECT_EQ(menu(0).top, 600);
}
