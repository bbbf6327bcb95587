// Check boxes and radio buttons.
#include "core/globs.h"
#include "shell/mbar.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"
#include "widgets/help.h"

namespace {
void box_quad(float x, float y, const atlas_rect& r) {
  BTN_atlas_quad(359, x - 9, y - 6, x + 9, y + 12, r.u0, r.v0, r.u1, r.v1, 57, 1);
}

// BTN_bool on a copy of a value of another type.
template <class T>
int bool_of(float x, float y, T* value, std::string label) {
  int v = *value;
  const int hit = BTN_bool(x, y, &v, std::move(label), 0);
  *value = static_cast<T>(v);
  return hit;
}
}  // namespace

int BTN_bool(float x, float y, int* value, std::string label, int radio) {
  std::string left, right, tip;
  BTN_expand_label(std::move(label), &left, &right, &tip);
  box_quad(x, y, radio ? k_radio_box : k_check_box);
  if (*value) box_quad(x, y, radio ? k_radio_mark : k_check_mark);
  BTN_util_draw_label(x - 12, y, 0, left, 0);
  BTN_util_draw_label(x + 12, y, 2, right, 0);

  if (mbar.open_menu != -1 || !BTN_in_box(mnw.mouse_x, mnw.mouse_y, x - 8, y - 4, x + 8, y + 12)) return 0;
  help.text = tip;
  if (!mnw.mouse_down) return 0;
  *value = *value == 0 ? 1 : 0;
  return 1;
}

int BTN_xbol(float x, float y, bool* value, std::string label) {
  int v = *value;
  const int hit = BTN_bool(x, y, &v, std::move(label), 0);
  *value = v != 0;
  return hit;
}

int BTN_xchr(float x, float y, char* value, std::string label) { return bool_of(x, y, value, std::move(label)); }

int BTN_xbyt(float x, float y, unsigned char* value, std::string label) {
  return bool_of(x, y, value, std::move(label));
}

int BTN_is_int(float x, float y, int* value, int choice, std::string label) {
  int on = *value == choice;
  const int hit = BTN_bool(x, y, &on, std::move(label), 1);
  if (on) *value = choice;
  return hit;
}
