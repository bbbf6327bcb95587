// The pop-up list in the table's last slot.
#include <algorithm>
#include <cmath>
#include "shell/mbar.h"
#include "shell/wins.h"

namespace {
constexpr int k_row = 12;
}  // namespace

void mbar_class::mbar_check_popup(float x, float y, float width, int last, const std::string* entries,
                                  int* current) {
  // A list that opens starts unshifted; the shift only ever places the rows,
  // so the widget's value moves only when the user chooses.
  if (open_menu != k_mbar_popup) popup_shift = 0;
  open_menu = k_mbar_popup;
  if ((int)menus.size() < k_mbar_slots) menus.resize(k_mbar_slots);
  const float row = (float)(*current + popup_shift);
  menu_struct& m = menus[k_mbar_popup];
  m.parent = -1;
  m.left = (short)(std::trunc(x - 0.5f * width) - 2);
  m.right = (short)(std::trunc(x + 0.5f * width) + 4);
  m.bottom = (short)std::trunc(y - k_row * (last - row));
  m.top = (short)(m.bottom + k_row * last + k_row);
  m.items.clear();

  // The fit is judged on the rows alone: a fixed starting height would put
  // every list of a sub-window lower than it (the 380-high preferences
  // window) at the window's bottom edge.
  int lo = 0, hi = 0;
  if (last >= 0) m.items.resize(last + 1);
  for (int i = 0; i <= last; ++i) {
    item_struct& it = m.items[i];
    it.left = m.left;
    it.right = m.right;
    it.bottom = (short)std::trunc(y - k_row * (i - row) - 3);
    it.top = (short)std::trunc(y - k_row * (i - row) + k_row - 3);
    it.text = entries[i];
    lo = i == 0 ? it.bottom : std::min(lo, (int)it.bottom);
    hi = i == 0 ? it.top : std::max(hi, (int)it.top);
  }
  if (lo < 0) ++popup_shift;
  if (hi > wins.win_dy) --popup_shift;
}

void mbar_class::mbar_clear_popup() {
  popup_shift = 0;
  if ((int)menus.size() < k_mbar_slots) return;
  menu_struct& m = menus[k_mbar_popup];
  m.left = m.bottom = m.right = m.top = -1;
}
