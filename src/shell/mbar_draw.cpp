// Drawing the bar and the open menu or pop-up list, on top of the frame.
#include <algorithm>
#include "core/globs.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"
#include "shell/mbar.h"
#include "shell/mbar_int.h"
#include "shell/wins.h"
#include "widgets/butn.h"

namespace {
constexpr int k_text_col = 43;
constexpr int k_shade_col = 41;
constexpr float k_shade_alpha = 0.25f;

void shade(short left, short bottom, short right, short top) {
  OGL_fillrect(k_shade_col, k_shade_alpha, left, bottom, right - left, top - bottom);
}
}  // namespace

void mbar_class::mbar_draw_menu_bar() {
  if (open_menu < 0 || open_menu == k_mbar_popup || open_menu >= (int)menus.size()) return;
  BTN_frame1(0, wins.x_pix * 0.5f, wins.y_pix - 9.0f, (float)wins.x_pix, 57);
  for (const menu_struct& m : menus)
    if (m.parent == -1 && !m.name.empty())
      OGL_string(k_text_col, m.left + 10, m.bottom + 5, m.name, font_no_wrap, cs_regular, just_left);
}

void mbar_class::mbar_draw_menus() {
  if (open_menu < 0 || open_menu >= (int)menus.size()) return;
  const menu_struct& open = menus[open_menu];
  int left = 9999, bottom = 9999, right = -9999, top = -9999;
  const item_struct* hovered = nullptr;
  for (const item_struct& it : open.items) {
    if (it.text.empty()) continue;
    left = std::min(left, (int)it.left);
    bottom = std::min(bottom, it.bottom - 2);
    right = std::max(right, (int)it.right);
    top = std::max(top, it.top + 2);
    // The row's top pixel belongs to the row above.
    if (mbar_item_live(it) && it.left <= mnw.mouse_x && mnw.mouse_x <= it.right && it.bottom <= mnw.mouse_y &&
        mnw.mouse_y <= it.top - 1)
      hovered = &it;
  }
  if (left == 9999) left = bottom = right = top = 0;

  BTN_frame2(20, left, bottom, right - left, top - bottom, "", 1);
  if (open_menu != k_mbar_popup) shade(open.left, open.bottom, open.right, open.top);
  if (hovered) shade(hovered->left, hovered->bottom, hovered->right, hovered->top);

  for (const menu_struct& sub : menus)
    if (sub.parent == open_menu) BTN_util_element(right - 8, sub.bottom + 6, 167, 187, 9, 9, 57);

  const int indent = open_menu == k_mbar_popup ? 3 : 18;
  for (const item_struct& it : open.items) {
    if (it.text.empty()) continue;
    if (it.text[0] == '-') {
      OGL_line(40, 1, it.left, it.bottom + 1, it.right - 1, it.bottom + 1);
      OGL_line(42, 1, it.left, it.bottom, it.right - 1, it.bottom);
    } else {
      OGL_string(k_text_col, it.left + indent, it.bottom + 2, it.text, font_no_wrap, cs_regular, just_left);
    }
  }
}
