// The menu bar's side of the mouse: presses, releases and choosing an item.
#include <algorithm>
#include "core/globs.h"
#include "core/xtim.h"
#include "shell/hl_event.h"
#include "shell/mbar.h"
#include "shell/mbar_int.h"
#include "shell/wins.h"

namespace {
bool holds(short left, short bottom, short right, short top, float x, float y) {
  return left <= x && x <= right && bottom <= y && y <= top;
}

// The first title of the bar, or sub-menu of the open menu, under the mouse;
// never the pop-up slot. -1 for none.
int menu_under_mouse(const mbar_class& mb) {
  const int n = std::min((int)mb.menus.size(), k_mbar_popup);
  for (int i = 0; i < n; ++i) {
    const mbar_class::menu_struct& m = mb.menus[i];
    if (m.parent != -1 && m.parent != mb.open_menu) continue;
    if (holds(m.left, m.bottom, m.right, m.top, mnw.mouse_x, mnw.mouse_y)) return i;
  }
  return -1;
}

bool menu_is_open(const mbar_class& mb) { return mb.open_menu >= 0 && mb.open_menu < (int)mb.menus.size(); }
}  // namespace

void mbar_class::mbar_select_an_item_click() {
  if (wins.cur_win != 0) {
    if (!mbar_select_an_item()) open_menu = -1;
    return;
  }
  const int hit = menu_under_mouse(*this);
  if (hit < 0) {
    // The press goes on to the widgets behind.
    if (!mbar_select_an_item()) open_menu = -1;
    return;
  }
  open_menu = hit == open_menu ? -1 : hit;
  mnw.mouse_down = 0;
  mnw.last_press_time = xtim.real_time;
  mnw.press_x = mnw.mouse_x;
  mnw.press_y = mnw.mouse_y;
}

int mbar_class::mbar_select_an_item_release() {
  if (wins.cur_win != 0) {
    mbar_select_an_item();
    return 0;
  }
  const int hit = menu_under_mouse(*this);
  if (hit < 0)
    mbar_select_an_item();
  else if (hit == open_menu)
    open_menu = -1;
  return 0;
}

int mbar_class::mbar_select_an_item() {
  if (!menu_is_open(*this)) return 0;
  const std::vector<item_struct>& items = menus[open_menu].items;
  for (size_t i = 0; i < items.size(); ++i) {
    const item_struct& it = items[i];
    if (!mbar_item_live(it) || !holds(it.left, it.bottom, it.right, it.top, mnw.mouse_x, mnw.mouse_y)) continue;
    if (open_menu == k_mbar_popup) {
      popup_choice = (int)i;
      popup_done_owner = popup_owner;
      popup_owner = 0;
    } else if (APP_handlemenu) {
      APP_handlemenu(it.command);
    }
    open_menu = -1;
    mnw.mouse_down = 0;
    return 1;
  }
  return 0;
}

int mbar_class::mbar_in_any_menu() {
  if (open_menu == -1) return 0;
  // The first title under the mouse decides, as for a press: the empty
  // menus all lie at the origin, and the open one among them stays open.
  const int n = std::min((int)menus.size(), k_mbar_popup);
  for (int i = 0; i < n; ++i) {
    const menu_struct& m = menus[i];
    if (m.parent == -1 && holds(m.left, m.bottom, m.right, m.top, mnw.mouse_x, mnw.mouse_y)) return i != open_menu;
  }
  return 0;
}

int mbar_class::mbar_check_point(int x, int y) {
  if (!menu_is_open(*this)) return 0;
  int left = 9999, bottom = 9999, right = 0, top = 0;
  for (const item_struct& it : menus[open_menu].items) {
    if (it.text.empty()) continue;
    left = std::min(left, (int)it.left);
    bottom = std::min(bottom, (int)it.bottom);
    right = std::max(right, (int)it.right);
    top = std::max(top, (int)it.top);
  }
  return left <= x && x <= right && bottom <= y && y <= top;
}
