// The list with search.
#include "widgets/butn_list.h"
#include <strings.h>
#include <algorithm>
#include <cmath>
#include "core/globs.h"
#include "core/xtim.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"
#include "shell/mbar.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"
#include "widgets/butn_enterstring.h"
#include "widgets/butn_slider.h"
#include "widgets/key_queue.h"

std::string type_ahead;
float last_type_ahead = -1;
int current_list_id = 0;

namespace {

BTN_key_queue list_keys;
enum { vk_up = 38, vk_down = 40 };
constexpr int k_list_keys = focus_navigate | focus_letter | focus_digit | focus_sign | focus_printable;

// Moves *scroll so that sel lies within r rows of it.
void reveal(int sel, int r, int* scroll) {
  if (sel > *scroll + r) *scroll = sel - r;
  if (sel < *scroll - r) *scroll = sel + r;
}

void draw_icon(int code, float x, float c) {
  if (code < 0 || code >= static_cast<int>(std::size(k_icon_u0_by_code))) return;
  const int u0 = k_icon_u0_by_code[code];
  if (u0 == 0) return;
  BTN_atlas_quad(359, x + 4, c - 6, x + 16, c + 6, u0, k_icon_v0, u0 + 12, k_icon_v1, 57, 1);
}

}  // namespace

int BTN_list_and_search(int slider_index, float x, float y, float width, float height, int* scroll, int* selection,
                        int first, int last, std::string* search_text, const std::string& search_label,
                        BTN_list_text_fn name, void* name_ref, BTN_list_text_fn desc, void* desc_ref,
                        BTN_list_icon_fn icon, void* icon_ref) {
  x = std::round(x);
  y = std::round(y);
  if (width <= 0) width = io_dx;
  if (height <= 0) height = io_dy;
  const int rows = static_cast<int>(height / 20) - 1;
  const float bottom = y - height / 2, top = y + height / 2;
  const bool in_list = BTN_in_box(mnw.mouse_x, mnw.mouse_y, x, bottom, x + width, top);

  const int id = static_cast<int>(x) * 8192 + static_cast<int>(y);
  const bool take = mnw.mouse_down && mbar.open_menu == -1 && in_list;
  if (BTN_register_queue(id, list_keys, k_list_keys, take ? 1 : 0) && id != current_list_id) {
    type_ahead.clear();
    current_list_id = id;
  }

  BTN_take_keys(list_keys, id, [&](int ch, int vkey, int) {
    if (vkey == vk_down) {
      ++*selection;
      if (*selection > *scroll + rows) *scroll = *selection - rows;
    } else if (vkey == vk_up) {
      --*selection;
      if (*selection < *scroll - rows) *scroll = *selection + rows;
    } else if (ch >= ' ' && ch != 127) {
      if (xtim.real_time - last_type_ahead > 1) type_ahead.clear();
      type_ahead += static_cast<char>(ch);
      last_type_ahead = xtim.real_time;
      for (int i = first; i <= last; ++i)
        if (strncasecmp(name(i, name_ref).c_str(), type_ahead.c_str(), type_ahead.size()) == 0) {
          *selection = i;
          reveal(i, rows, scroll);
          break;
        }
    }
  });

  if (search_text) BTN_enterstring(x + 35, y - 131, search_text, 36, search_label, 252, 0);
  if (last < first) return 0;

  BTN_frame2(19, x, bottom, width, height, "", 1);
  if (first < last) BTN_vert_slider(slider_index, x + width + 16, bottom, top, first, last, scroll);
  if (in_list) {
    *scroll -= mnw.wheel;
    mnw.wheel = 0;
  }
  *scroll = std::clamp(*scroll, first, last);

  int result = 0;
  if (mnw.mouse_down && in_list) {
    // The blank rows past either end hold no item to pick or open.
    const int row = static_cast<int>(std::round((mnw.mouse_y - y) / 10));
    const int picked = *scroll - row;
    if (picked >= first && picked <= last) {
      *selection = picked;
      result = mnw.double_click ? 1 : 0;
    }
  }
  *selection = std::clamp(*selection, first, last);

  for (int k = -rows; k <= rows; ++k) {
    const int i = *scroll + k;
    if (i < first || i > last) continue;
    const float c = y - 10.0f * k;
    OGL_string(50, x + 20, c - 4, name(i, name_ref), font_no_wrap, cs_regular, just_left);
    if (desc) OGL_string(50, x + 242, c - 4, desc(i, desc_ref), font_no_wrap, cs_regular, just_left);
    if (icon) draw_icon(icon(i, icon_ref), x, c);
    if (i == *selection) OGL_fillrect(81, 0.25f, x + 18, c - 5, width - 22, 10);
  }
  if (focus_id == id) OGL_framerect(50, 1, x, bottom, width, height);
  return result;
}
