// The pop-up list: shows the chosen item and opens the whole list through the
// menu bar, which hands the user's choice back by the list's id.
#include <algorithm>
#include <vector>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/xtim.h"
#include "ogl/OGL_font.h"
#include "shell/mbar.h"
#include "widgets/butn.h"
#include "widgets/help.h"

namespace {
constexpr int k_max_items = 300;
constexpr int k_none_chosen = -1;

// Shown width against the widest item: longer languages get a little less.
float language_factor(int lang) {
  if (lang == 1 || lang == 4 || lang == 5) return 0.95f;
  if (lang == 2 || lang == 3) return 0.9f;
  return 1;
}
}  // namespace

int BTN_textlist(float x, float y, int* selected, std::string items, std::string label, char separator) {
  std::string left, right, tip;
  BTN_expand_label(label, &left, &right, &tip);

  std::vector<std::string> list(1);
  for (char ch : items) {
    if (ch != separator) {
      list.back() += ch;
      continue;
    }
    if (static_cast<int>(list.size()) == k_max_items) {
      __MACIBM_alert(0, "BTN_text_list overflow!", items, "", label, t_crash, "RUvozuz/OOPS_cpp/butn", 964);
      return 0;
    }
    list.emplace_back();
  }
  const int c = static_cast<int>(list.size()) - 1;
  // -1 is "none chosen" (the preferences' all-platforms target): it stays, so
  // showing the list never makes a choice the user did not make.
  if (*selected != k_none_chosen) *selected = std::clamp(*selected, 0, c);

  float m = 20;
  for (const std::string& s : list) m = std::max(m, static_cast<float>(static_cast<int>(OGL_measure_string(s))));
  const float t = std::max(20.0f, m * language_factor(mnw.lang)), b = t + 28;

  BTN_frame1(10, x + 10, y + 5, b, 57);
  BTN_util_draw_label(x - t / 2 - 5, y, 0, left, 0);
  BTN_util_draw_label(x + t / 2 + 30, y, 2, right, 0);

  const int id = static_cast<int>(y * 1024 + x);
  const bool in_box = BTN_in_box(mnw.mouse_x, mnw.mouse_y, x + 10 - m / 2 - 15, y - 2, x + 10 + m / 2 + 15, y + 8);
  if (mnw.mouse_down && mbar.popup_owner != id && in_box) {
    mnw.press_x = mnw.mouse_x;
    mnw.press_y = mnw.mouse_y;
    mnw.last_press_time = xtim.real_time;
    // The list takes this click: nothing drawn after it may act on it too.
    mnw.mouse_down = 0;
    mbar.popup_owner = id;
  }
  int result = 0;
  if (mbar.popup_done_owner == id) {
    *selected = mbar.popup_choice;
    mbar.popup_done_owner = 0;
    result = 1;
  }
  if (mbar.popup_owner == id) {
    mbar.mbar_check_popup(x, y, t, c, list.data(), selected);
    return result;
  }
  if (*selected != k_none_chosen)
    OGL_string(43, x, y, list[std::clamp(*selected, 0, c)], font_no_wrap, cs_regular, just_centre);
  if (in_box) help.text = tip;
  return result;
}
