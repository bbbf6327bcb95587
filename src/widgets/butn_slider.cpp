// The vertical and horizontal sliders.
#include "widgets/butn_slider.h"
#include <algorithm>
#include <cmath>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/xtim.h"
#include "ogl/OGL_font.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"
#include "widgets/help.h"

int slider_grabbed[4] = {};

namespace {
void element(float x, float y0, float y1, const atlas_rect& r, int col) {
  BTN_atlas_quad(359, x - 9, y0, x + 9, y1, r.u0, r.v0, r.u1, r.v1, col, 1);
}
}  // namespace

int BTN_vert_slider(int index, float x, float bottom, float top, int min, int max, int* value) {
  BTN_frame0(6, x, std::round((bottom + top) / 2), top - bottom);
  if (min >= max) return 0;

  const float hi = top - 10, lo = bottom + 9;
  // In double: the span of two ints may not fit an int.
  const double span = static_cast<double>(max) - min;
  const float share = static_cast<float>((static_cast<double>(*value) - min) / span);
  const float thumb = std::clamp(hi + (lo - hi) * share, lo, hi);
  if (index < 0 || index > 3) {
    __MACIBM_alert(0, "Too many sliders!", "", "", "", t_crash, "RUvozuz/OOPS_cpp/butn", 727);
    return 0;
  }
  int& grabbed = slider_grabbed[index];
  const float mx = mnw.mouse_x, my = mnw.mouse_y;
  const bool on_column = mx >= x - 11 && mx <= x + 11;
  if (!mnw.mouse_held)
    grabbed = 0;
  else if (on_column && my >= thumb - 11 && my <= thumb + 11)
    grabbed = 1;

  long long v = *value;
  if (grabbed) {
    // Drags map over a slightly longer span than the thumb travels.
    const float from = top - 11, to = bottom + 11;
    const double f = min + span * (my - from) / (to - from);
    v = static_cast<long long>(std::clamp(f, static_cast<double>(min), static_cast<double>(max)));
  } else if ((mnw.mouse_down || (mnw.held_quarter && xtim.act_fire5)) && on_column) {
    if (my >= top && my <= top + 20) v -= 1;
    if (my >= bottom - 20 && my <= bottom) v += 1;
    if (my >= bottom && my <= top) v += my < thumb ? 10 : -10;
  }
  *value = static_cast<int>(std::clamp(v, static_cast<long long>(min), static_cast<long long>(max)));

  const int col = grabbed ? 52 : 57;
  element(x, top - 3, top + 19, k_scroll_up, col);
  element(x, thumb - 12, thumb + 12, k_scroll_thumb, col);
  element(x, bottom - 21, bottom + 1, k_scroll_down, col);
  return grabbed;
}

int BTN_horz_slider(float x, float y, float width, int fill_colour, float lo, float hi, float* value, int editable,
                    std::string label, std::string caption) {
  std::string left, right, tip;
  BTN_expand_label(std::move(label), &left, &right, &tip);
  if (lo < hi && lo + 0.01f > hi) hi = lo + 0.01f;
  if (lo >= hi && lo < hi + 0.01f) lo = hi + 0.01f;
  const float low = std::min(lo, hi), high = std::max(lo, hi);

  BTN_frame1(7, x + width / 2, y, width, 57);
  BTN_util_draw_label(x - 8, y, 0, left, 0);
  BTN_util_draw_label(x + width + 8, y, 2, right, 0);
  if (BTN_in_box(mnw.mouse_x, mnw.mouse_y, x, y - 7, x + width, y + 7)) help.text = tip;
  OGL_string(48, x + width / 2, y + 15, caption, font_no_wrap, cs_regular, just_centre);

  const float length = std::clamp(width * (*value - lo) / (hi - lo), 0.0f, std::max(width, 0.0f));
  int set = 0;
  // No grab: the value follows the mouse only while it stays near the bar.
  if (editable && width > 0 && mnw.mouse_held &&
      BTN_in_box(mnw.mouse_x, mnw.mouse_y, x - 20, y - 20, x + width + 20, y + 20)) {
    *value = std::clamp(low + (high - low) * (mnw.mouse_x - x) / width, low, high);
    set = 1;
  }

  if (fill_colour != 81 && length > 0) {
    const float f = 2 * std::round(static_cast<float>(static_cast<int>(length)) / 2);
    BTN_frame1(8, x + f / 2, y + 4, f, fill_colour);
  }
  if (editable) {
    const float t = std::clamp(x + width * (*value - low) / (high - low), x, x + std::max(width, 0.0f));
    BTN_atlas_quad(359, t - 9, y - 9, t + 9, y + 13, k_value_thumb.u0, k_value_thumb.v0, k_value_thumb.u1,
                   k_value_thumb.v1, 57, 1);
  }
  return set;
}
