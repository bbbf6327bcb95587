// The menu table without frames: titles along the bar, sub-menus on their
// items, item columns, the index alerts, the pop-up list's placement and the
// boxes' queries.
#include <cmath>
#include "core/utl_cmdline.h"
#include "ogl/OGL_font.h"
#include "shell/mbar_fixture.h"

namespace {
int width_of(const std::string& s) { return (int)OGL_measure_string(s); }
}  // namespace

TEST_F(Mbar, TitlesAccumulateAlongTheBarAndPluginsSharesItsPlace) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_create_menu(1, 0, "Edit");
  mbar.mbar_create_menu(2, 0, "Plugins");
  mbar.mbar_create_menu(3, 0, "Help");
  const int r0 = (int)(0 + OGL_measure_string("File") + 30);
  const int r1 = (int)(r0 + OGL_measure_string("Edit") + 30);
  struct row {
    int index, left, right;
  };
  const row rows[] = {
      {0, 0, r0},
      {1, r0, r1},
      {2, r1, (int)(r1 + OGL_measure_string("Plugins") + 30)},
      {3, r1, (int)(r1 + OGL_measure_string("Help") + 30)},  // starts where Plugins did
  };
  for (const row& r : rows) {
    SCOPED_TRACE(menu(r.index).name);
    EXPECT_EQ(menu(r.index).parent, -1);
    EXPECT_EQ(menu(r.index).left, r.left);
    EXPECT_EQ(menu(r.index).right, r.right);
    EXPECT_EQ(menu(r.index).bottom, 600 - 18);
    EXPECT_EQ(menu(r.index).top, 600);
  }
  // Creating menu 0 again starts the bar over.
  mbar.mbar_create_menu(0, 0, "Go");
  mbar.mbar_create_menu(7, 0, "View");
  EXPECT_EQ(menu(0).left, 0);
  EXPECT_EQ(menu(7).left, menu(0).right);
}

TEST_F(Mbar, NamesAreCutTo40Bytes) {
  mbar.mbar_create_menu(0, 0, std::string(50, 'm'));
  EXPECT_EQ(menu(0).name, std::string(40, 'm'));
  mbar.mbar_create_menu(1, 0, std::string(40, 'n'));
  EXPECT_EQ(menu(1).name.size(), 40u);
}

TEST_F(Mbar, ItemsStackBelowTheTitleInOneColumn) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_append_menu_item(0, 0, 11, "Open");
  mbar.mbar_append_menu_item(0, 1, 0, "----");
  mbar.mbar_append_menu_item(0, 2, 12, "Quit the whole program now");
  struct row {
    int item, bottom, top;
  };
  const row rows[] = {{0, 582 - 12 - 2, 582 - 2}, {1, 568 - 2, 568}, {2, 566 - 12, 566}};
  const int column = std::max(40, std::max({width_of("Open"), width_of("----"),
                                            width_of("Quit the whole program now")}) +
                                      40);
  for (const row& r : rows) {
    SCOPED_TRACE(r.item);
    EXPECT_EQ(item(0, r.item).bottom, r.bottom);
    EXPECT_EQ(item(0, r.item).top, r.top);
    EXPECT_EQ(item(0, r.item).left, menu(0).left);
    EXPECT_EQ(item(0, r.item).right, (short)(menu(0).left + column));
  }
  // Short texts keep the column 40 wide.
  mbar.mbar_create_menu(1, 0, "E");
  mbar.mbar_append_menu_item(1, 0, 1, "");
  EXPECT_EQ(item(1, 0).right - item(1, 0).left, 40);
  // An item appended beyond the end leaves blank rows before it.
  mbar.mbar_append_menu_item(1, 3, 4, "Far");
  ASSERT_EQ(menu(1).items.size(), 4u);
  EXPECT_EQ(item(1, 2).text, "");
  EXPECT_EQ(item(1, 3).bottom, item(1, 2).bottom - 12);
}

TEST_F(Mbar, ASubMenuTakesItsParentItemsBox) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_append_menu_item(0, 0, 1, "Open");
  mbar.mbar_append_menu_item(0, 1, 2, "Recent");
  mbar.mbar_create_menu(5, 0 * 300 + 1, "Recent");
  EXPECT_EQ(menu(5).parent, 0);
  EXPECT_EQ(menu(5).left, item(0, 1).left);
  EXPECT_EQ(menu(5).bottom, item(0, 1).bottom);
  EXPECT_EQ(menu(5).right, item(0, 1).right);
  EXPECT_EQ(menu(5).top, item(0, 1).top);
  // Its first item lies 2 below the parent item's box, as high as it.
  mbar.mbar_append_menu_item(5, 0, 9, "a.txt");
  EXPECT_EQ(item(5, 0).bottom, item(0, 1).bottom - 2);
  EXPECT_EQ(item(5, 0).top, item(0, 1).top - 2);
}

TEST_F(Mbar, RemovingMovesLaterItemsUpAndRenamingKeepsTheCommand) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_append_menu_item(0, 0, 1, "Open");
  mbar.mbar_append_menu_item(0, 1, 0, "-");
  mbar.mbar_append_menu_item(0, 2, 3, "Save");
  mbar.mbar_append_menu_item(0, 3, 4, "Quit");
  const short save_bottom = item(0, 2).bottom, quit_bottom = item(0, 3).bottom;
  mbar.mbar_remove_menu_item(0, 1);  // the separator, 2 high
  ASSERT_EQ(menu(0).items.size(), 3u);
  EXPECT_EQ(item(0, 1).text, "Save");
  EXPECT_EQ(item(0, 1).bottom, save_bottom + 2);
  EXPECT_EQ(item(0, 2).bottom, quit_bottom + 2);
  mbar.mbar_remove_menu_item(0, 0);  // a row, 12 high
  EXPECT_EQ(item(0, 0).bottom, save_bottom + 14);
  mbar.mbar_rename_menu_item(0, 1, "Leave");
  EXPECT_EQ(item(0, 1).text, "Leave");
  EXPECT_EQ(item(0, 1).command, 4);
}

TEST_F(Mbar, NegativeIndicesDoNothing) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_append_menu_item(0, 0, 1, "Open");
  const std::vector<mbar_class::menu_struct> before = mbar.menus;
  mbar.mbar_create_menu(-1, 0, "Before the table");
  mbar.mbar_create_menu(-300, 0, "Far before");
  mbar.mbar_append_menu_item(-1, 0, 1, "x");
  mbar.mbar_append_menu_item(0, -1, 1, "x");
  mbar.mbar_remove_menu_item(-1, 0);
  mbar.mbar_remove_menu_item(0, -1);
  ASSERT_EQ(mbar.menus.size(), before.size());
  EXPECT_EQ(menu(0).name, "File");
  EXPECT_EQ(menu(0).items.size(), 1u);
  // Nothing moved the bar's next title either.
  mbar.mbar_create_menu(1, 0, "Edit");
  EXPECT_EQ(menu(1).left, menu(0).right);
}

TEST_F(Mbar, NukingWithAnyOtherModeKeepsTheTable) {
  mbar.mbar_create_menu(3, 0, "Kept");
  mbar.mbar_nuke_menus(2);
  EXPECT_EQ(menu(3).name, "Kept");
  mbar.mbar_nuke_menus(1);
  EXPECT_EQ(mbar.menus.size(), 1520u);
  EXPECT_EQ(menu(3).name, "");
  EXPECT_EQ(menu(3).parent, -1);
}

namespace {
struct index_error {
  const char* name;
  void (*call)();
  const char* text;
  int line;
};
const index_error k_index_errors[] = {
    {"create", [] { mbar.mbar_create_menu(1520, 0, "x"); }, "Menu index out of range in create_menu!", 516},
    {"append menu", [] { mbar.mbar_append_menu_item(1520, 0, 0, "x"); }, "Menu index out of range in append_menu!",
     461},
    {"append item", [] { mbar.mbar_append_menu_item(0, 300, 0, "x"); }, "Item index out of range in append_menu!",
     462},
    {"remove menu", [] { mbar.mbar_remove_menu_item(1520, 0); }, "Menu index out of range in append_menu!", 444},
    {"remove item", [] { mbar.mbar_remove_menu_item(0, 300); }, "Item index out of range in append_menu!", 445},
};
}  // namespace

TEST_F(Mbar, IndexErrorsEndTheProgramWithTheirAlert) {
  for (const index_error& e : k_index_errors) {
    SCOPED_TRACE(e.name);
    const std::string expect = std::string(e.text) + "\n\n\n\n\\(RUvozuz/OOPS_cpp/mbar line " + std::to_string(e.line) + "\\)";
    EXPECT_EXIT(
        {
          xer.open("/dev/stderr");
          cmdline.options["--qa_script"] = "";
          e.call();
        },
        testing::ExitedWithCode(1), expect);
  }
  // The last slot and item are still in range.
  mbar.mbar_create_menu(1519, 0, "Last");
  mbar.mbar_append_menu_item(1519, 299, 1, "Last item");
  EXPECT_EQ(menu(1519).items.size(), 300u);
}

TEST_F(Mbar, PopupListPlacesItsSlotAndRowsAroundTheWidgetsRow) {
  const std::string entries[] = {"zero", "one", "two", "three", "four"};
  int current = 2;
  mbar.mbar_check_popup(400, 300, 100, 4, entries, &current);
  EXPECT_EQ(mbar.open_menu, 1519);
  const mbar_class::menu_struct& slot = menu(1519);
  EXPECT_EQ(slot.parent, -1);
  EXPECT_EQ(slot.left, 348);
  EXPECT_EQ(slot.right, 454);
  EXPECT_EQ(slot.bottom, 276);
  EXPECT_EQ(slot.top, 276 + 48 + 12);
  ASSERT_EQ(slot.items.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(slot.items[i].text, entries[i]);
    EXPECT_EQ(slot.items[i].left, 348);
    EXPECT_EQ(slot.items[i].right, 454);
    EXPECT_EQ(slot.items[i].bottom, 321 - 12 * i);
    EXPECT_EQ(slot.items[i].top, 333 - 12 * i);
  }
  EXPECT_EQ(current, 2);
  // The widget's own row holds its value's entry.
  EXPECT_TRUE(slot.items[2].bottom <= 300 && 300 <= slot.items[2].top);
}

TEST_F(Mbar, APopupThatRunsOffAnEdgeMovesRowByRowWithoutTouchingTheValue) {
  const std::string entries[] = {"a", "b", "c", "d", "e"};
  struct edge {
    const char* name;
    float y;
    int current;
  };
  for (const edge& e : {edge{"bottom", 20, 0}, edge{"top", 590, 4}}) {
    SCOPED_TRACE(e.name);
    mbar.open_menu = -1;
    int current = e.current;
    auto lowest = [] { return (int)menu(1519).items.back().bottom; };
    auto highest = [] { return (int)menu(1519).items.front().top; };
    mbar.mbar_check_popup(400, e.y, 60, 4, entries, &current);
    int frames = 1, prev_low = lowest();
    while ((lowest() < 0 || highest() > 600) && frames < 20) {
      mbar.mbar_check_popup(400, e.y, 60, 4, entries, &current);
      EXPECT_EQ(std::abs(lowest() - prev_low), 12) << "one row a frame";
      prev_low = lowest();
      ++frames;
    }
    EXPECT_GE(lowest(), 0);
    EXPECT_LE(highest(), 600);
    EXPECT_EQ(current, e.current);
    EXPECT_GT(frames, 1);
    // Settled, it stays put.
    mbar.mbar_check_popup(400, e.y, 60, 4, entries, &current);
    EXPECT_EQ(lowest(), prev_low);
  }
  // A list that opens again starts from the widget's row.
  int current = 0;
  mbar.mbar_clear_popup();
  mbar.open_menu = -1;
  mbar.mbar_check_popup(400, 20, 60, 4, entries, &current);
  EXPECT_EQ(menu(1519).items[0].bottom, 17);
}

TEST_F(Mbar, APopupWithNoEntriesHasNoRows) {
  int current = 0;
  mbar.mbar_check_popup(400, 300, 60, -1, nullptr, &current);
  EXPECT_EQ(mbar.open_menu, 1519);
  EXPECT_TRUE(menu(1519).items.empty());
  EXPECT_EQ(mbar.popup_shift, 0);
  // Nothing to fit, however low the window.
  wins.win_dy = 300;
  mbar.mbar_check_popup(400, 300, 60, -1, nullptr, &current);
  EXPECT_EQ(mbar.popup_shift, 0);
  EXPECT_EQ(current, 0);
}

// A list that fits a sub-window lower than 384 (the preferences window is
// 380 high) opens on the widget's row and stays there.
TEST_F(Mbar, APopupInALowSubWindowStaysOnItsRow) {
  const std::string entries[] = {"Macintosh", "Windows", "Linux"};
  int current = 0;
  wins.win_dy = 380;
  for (int frame = 0; frame < 5; ++frame) mbar.mbar_check_popup(250, 300, 60, 2, entries, &current);
  EXPECT_EQ(mbar.popup_shift, 0);
  EXPECT_EQ(menu(1519).items[0].bottom, 297);
  EXPECT_EQ(menu(1519).items[2].bottom, 273);
}

TEST_F(Mbar, CheckPointHoldsTheItemsBoxWithItsEdges) {
  EXPECT_EQ(mbar.mbar_check_point(0, 0), 0);  // nothing open
  const std::string entries[] = {"zero", "one", "two", "three", ""};
  int current = 2;
  mbar.mbar_check_popup(400, 300, 100, 4, entries, &current);
  // Rows with text span 348..454 by 285..333; the blank last row does not count.
  struct pt {
    int x, y, in;
  };
  for (const pt& p : {pt{348, 285, 1}, pt{454, 333, 1}, pt{347, 300, 0}, pt{455, 300, 0}, pt{400, 284, 0},
                      pt{400, 334, 0}, pt{400, 300, 1}}) {
    SCOPED_TRACE(testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(mbar.mbar_check_point(p.x, p.y), p.in);
  }
}

TEST_F(Mbar, ShiftingMovesEveryBoxAndClearingDropsThePopup) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_append_menu_item(0, 0, 1, "Open");
  const std::string entries[] = {"a", "b"};
  int current = 0;
  mbar.mbar_check_popup(400, 300, 60, 1, entries, &current);
  const mbar_class saved = mbar;
  mbar.mbar_shift_menu_bar(-100);
  for (int m : {0, 1519}) {
    SCOPED_TRACE(m);
    EXPECT_EQ(menu(m).bottom, saved.menus[m].bottom - 100);
    EXPECT_EQ(menu(m).top, saved.menus[m].top - 100);
    EXPECT_EQ(menu(m).left, saved.menus[m].left);
    for (size_t i = 0; i < menu(m).items.size(); ++i) {
      EXPECT_EQ(item(m, (int)i).bottom, saved.menus[m].items[i].bottom - 100);
      EXPECT_EQ(item(m, (int)i).top, saved.menus[m].items[i].top - 100);
    }
  }
  // The empty menus move too: an empty slot's box leaves the origin.
  EXPECT_EQ(menu(700).bottom, -100);
  mbar.mbar_clear_popup();
  EXPECT_EQ(menu(1519).left, -1);
  EXPECT_EQ(menu(1519).bottom, -1);
  EXPECT_EQ(menu(1519).right, -1);
  EXPECT_EQ(menu(1519).top, -1);
  // Before the table exists there is nothing to clear.
  mbar = mbar_class();
  mbar.mbar_clear_popup();
  EXPECT_TRUE(mbar.menus.empty());
}

TEST_F(Mbar, InAnyMenuLooksOnlyAtOtherTitles) {
  mbar.mbar_create_menu(0, 0, "File");
  mbar.mbar_create_menu(1, 0, "Edit");
  mnw.mouse_x = menu(1).left + 3;
  mnw.mouse_y = 590;
  EXPECT_EQ(mbar.mbar_in_any_menu(), 0);  // nothing open
  mbar.open_menu = 0;
  EXPECT_EQ(mbar.mbar_in_any_menu(), 1);
  mbar.open_menu = 1;
  EXPECT_EQ(mbar.mbar_in_any_menu(), 0);  // its own title
}

TEST_F(Mbar, CheckMarksAndSpareIdsAreNotKept) {
  int state = 7;
  std::string key = "K";
  mbar.mbar_get_check_cmnd(0, 0, &state, &key);
  EXPECT_EQ(state, 7);
  EXPECT_EQ(key, "K");
  EXPECT_EQ(mbar.menu_get_unused_id(), -1);
}
