// The menu bar drawn inside the window, and the one pop-up list the widget
// toolkit can show at a time (the table's last slot). Boxes are in interface
// units of the current sub-window, origin at the lower left, y up. The
// installer creates no menus, so only the pop-up lists ever show. Main thread.
#pragma once
#include <string>
#include <vector>

// Slots of the table; the last one belongs to the pop-up list.
constexpr int k_mbar_slots = 1520;
constexpr int k_mbar_popup = 1519;
// Items a menu holds (0 to 299); a sub-menu's parent_ref is parent * 300 + item.
constexpr int k_mbar_items = 300;

class mbar_class {
 public:
  struct item_struct {
    std::string text;  // '-' leads a separator, '=' an item shown but never chosen; empty: a blank row
    int command = 0;   // handed to APP_handlemenu when chosen
    short left = 0, bottom = 0, right = 0, top = 0;
  };
  struct menu_struct {
    std::string name;  // at most 40 bytes
    int parent = -1;   // -1 top-level (and the pop-up slot), else the menu it hangs from
    short left = 0, bottom = 0, right = 0, top = 0;  // title in the bar, or the parent item's box
    std::vector<item_struct> items;
  };

  // Building.
  // Mode 1: exactly 1520 empty menus; any other mode leaves the table alone.
  void mbar_nuke_menus(int mode);
  // Empties one menu: no name, parent -1, box 0, no items.
  void mbar_nuke_menu(int index);
  // Fills menu index: parent_ref 0 makes a title in the bar after the last
  // one, else a sub-menu on item parent_ref % 300 of menu parent_ref / 300.
  // Above 1519: crash alert; negative: nothing.
  void mbar_create_menu(int index, int parent_ref, std::string name);
  // Sets one item and lays the menu's column out again. Negative indices do
  // nothing; a menu above 1519 or an item above 299 raises the crash alert.
  void mbar_append_menu_item(int menu, int item, int command, std::string text);
  // Removes one item; those below move up by its height. Indices as appending.
  void mbar_remove_menu_item(int menu, int item);
  // New text for an item, keeping its command.
  void mbar_rename_menu_item(int menu, int item, std::string text);

  // Reads folder + "menus/" + the language's folder + name; a missing file or
  // a wrong header raises the quit alert. Reading stops at the data's end.
  void mbar_read_menus(std::string folder, std::string name);

  // Drawing, once per frame after the application's screen.
  // The bar, only while an ordinary menu is open.
  void mbar_draw_menu_bar();
  // The open menu or pop-up list, the hovered row shaded.
  void mbar_draw_menus();

  // Input.
  // A press: opens, switches or closes menus, or chooses an item.
  void mbar_select_an_item_click();
  // A release that was not a click: chooses the item under the mouse or
  // closes the menu whose title it lies on. Callers ignore the result (0).
  int mbar_select_an_item_release();
  // Chooses the item under the mouse in the open menu: 1 when chosen, else 0.
  int mbar_select_an_item();

  // Queries.
  // 1 when a menu is open and the mouse lies on another top-level title.
  int mbar_in_any_menu();
  // 1 when a menu is open and (x, y) lies in its items' box, edges included.
  int mbar_check_point(int x, int y);
  // Check mark and key of an item: none are kept, so both stay untouched.
  void mbar_get_check_cmnd(int menu, int item, int* check_state, std::string* key);
  // No spare menu ids are handed out: -1.
  int menu_get_unused_id();

  // The pop-up list.
  // Opens or refreshes the list of entries 0..last of the widget centred at
  // x, width wide, whose value (*current, never changed here) sits on row y.
  // A list that does not fit moves by one row per frame until it does.
  void mbar_check_popup(float x, float y, float width, int last, const std::string* entries, int* current);
  // Drops the list's box (slot 1519 to -1) and its shift.
  void mbar_clear_popup();
  // Moves every box by dy (the window grew dy taller).
  void mbar_shift_menu_bar(float dy);

  std::vector<menu_struct> menus;
  int open_menu = 0;         // -1 none, 1519 the pop-up list
  int popup_owner = 0;       // the widget whose list is open or opening; 0 none
  int popup_done_owner = 0;  // the widget whose list item was just chosen; 0 none
  int popup_choice = 0;      // the item chosen
  int popup_shift = 0;       // rows the open list is moved up (+) or down (-) to fit the window

 private:
  int menu_ok(int menu, int item, int line_menu, int line_item);
  void lay_out_items(int menu, int upto);
  float next_title_x = 0;  // where the next title of the bar starts
};

extern mbar_class mbar;
