// Building the menu table: menus, their items and the column they lay out in.
#include <algorithm>
#include "core/hl_alert.h"
#include "ogl/OGL_font.h"
#include "shell/mbar.h"
#include "shell/mbar_int.h"
#include "shell/wins.h"

mbar_class mbar;

namespace {
constexpr size_t k_name_bytes = 40;
constexpr int k_bar_height = 18;
constexpr int k_title_pad = 30;
constexpr int k_min_column = 40;
constexpr int k_text_pad = 40;

int item_height(const std::string& text) { return !text.empty() && text[0] == '-' ? 2 : 12; }
}  // namespace

void mbar_class::mbar_nuke_menus(int mode) {
  if (mode != 1) return;
  menus.assign(k_mbar_slots, menu_struct());
  for (int i = 0; i < k_mbar_slots; ++i) mbar_nuke_menu(i);
}

void mbar_class::mbar_nuke_menu(int index) {
  if (index < 0 || index >= (int)menus.size()) return;
  menus[index] = menu_struct();
}

void mbar_class::mbar_create_menu(int index, int parent_ref, std::string name) {
  if (index > k_mbar_popup)
    __MACIBM_alert(0, "Menu index out of range in create_menu!", "", "", "", t_crash, k_mbar_unit, 516);
  // A negative index would write before the table.
  if (index < 0) return;
  if (index >= (int)menus.size()) menus.resize(index + 1);
  if (name.size() > k_name_bytes) name.resize(k_name_bytes);
  menu_struct& m = menus[index];
  m.name = name;
  const float w = OGL_measure_string(name);
  if (index == 0) next_title_x = 0;
  if (parent_ref == 0) {
    m.parent = -1;
    m.left = (short)next_title_x;
    m.right = (short)(next_title_x + w + k_title_pad);
    m.bottom = (short)(wins.y_pix - k_bar_height);
    m.top = (short)wins.y_pix;
    // The plug-in menu shares its place with the menu after it.
    if (name != "Plugins") next_title_x = m.right;
    return;
  }
  m.parent = parent_ref / k_mbar_items;
  const int item = parent_ref % k_mbar_items;
  // A parent item that does not exist (yet) leaves the box empty.
  m.left = m.bottom = m.right = m.top = 0;
  if (m.parent < 0 || m.parent >= (int)menus.size() || item >= (int)menus[m.parent].items.size()) return;
  const item_struct& from = menus[m.parent].items[item];
  m.left = from.left;
  m.bottom = from.bottom;
  m.right = from.right;
  m.top = from.top;
}

int mbar_class::menu_ok(int menu, int item, int line_menu, int line_item) {
  if (menu < 0 || item < 0) return 0;
  if (menu > k_mbar_popup)
    __MACIBM_alert(0, "Menu index out of range in append_menu!", "", "", "", t_crash, k_mbar_unit, line_menu);
  if (item >= k_mbar_items)
    __MACIBM_alert(0, "Item index out of range in append_menu!", "", "", "", t_crash, k_mbar_unit, line_item);
  if (menu >= (int)menus.size()) menus.resize(menu + 1);
  return 1;
}

void mbar_class::mbar_append_menu_item(int menu, int item, int command, std::string text) {
  if (!menu_ok(menu, item, 461, 462)) return;
  std::vector<item_struct>& items = menus[menu].items;
  if ((int)items.size() <= item) items.resize(item + 1);
  items[item].text = std::move(text);
  items[item].command = command;
  lay_out_items(menu, item);
}

void mbar_class::lay_out_items(int menu, int upto) {
  menu_struct& m = menus[menu];
  std::vector<item_struct>& items = m.items;
  for (int i = 0; i <= upto && i < (int)items.size(); ++i) {
    const int h = item_height(items[i].text);
    if (i > 0) {
      items[i].top = items[i - 1].bottom;
      items[i].bottom = (short)(items[i - 1].bottom - h);
    } else if (m.parent == -1) {
      items[i].bottom = (short)(m.bottom - h - 2);
      items[i].top = (short)(m.bottom - 2);
    } else {
      items[i].bottom = (short)(m.bottom - 2);
      items[i].top = (short)(m.top - 2);
    }
  }
  float column = k_min_column;
  for (int i = 0; i <= upto && i < (int)items.size(); ++i)
    column = std::max(column, OGL_measure_string(items[i].text) + k_text_pad);
  for (int i = 0; i <= upto && i < (int)items.size(); ++i) {
    items[i].left = m.left;
    items[i].right = (short)(m.left + column);
  }
}

void mbar_class::mbar_remove_menu_item(int menu, int item) {
  if (!menu_ok(menu, item, 444, 445)) return;
  std::vector<item_struct>& items = menus[menu].items;
  if (item >= (int)items.size()) return;
  const int h = items[item].top - items[item].bottom;
  items.erase(items.begin() + item);
  for (size_t i = item; i < items.size(); ++i) {
    items[i].bottom = (short)(items[i].bottom + h);
    items[i].top = (short)(items[i].top + h);
  }
}

void mbar_class::mbar_rename_menu_item(int menu, int item, std::string text) {
  int command = 0;
  if (menu >= 0 && item >= 0 && menu < (int)menus.size() && item < (int)menus[menu].items.size())
    command = menus[menu].items[item].command;
  mbar_append_menu_item(menu, item, command, std::move(text));
}

void mbar_class::mbar_shift_menu_bar(float dy) {
  for (menu_struct& m : menus) {
    m.bottom = (short)(m.bottom + dy);
    m.top = (short)(m.top + dy);
    for (item_struct& it : m.items) {
      it.bottom = (short)(it.bottom + dy);
      it.top = (short)(it.top + dy);
    }
  }
}

void mbar_class::mbar_get_check_cmnd(int, int, int*, std::string*) {}

int mbar_class::menu_get_unused_id() { return -1; }
