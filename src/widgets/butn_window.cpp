// Layouts over the current sub-window: its background, panels side by side,
// tabs and the direction dial.
#include <cmath>
#include "core/globs.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"
#include "shell/wins.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"

void BTN_fillwin(int flag, int type) {
  const float w = wins.win_dx, h = wins.win_dy;
  BTN_frame2(flag ? 14 : 15, 0, 0, w, h, stls.s[4], 1);
  if (type == 1) {
    BTN_frame1(1, w / 2, h - 50, w, 57);
  } else if (type != 24) {
    BTN_frame2(type, 10, 10, w - 20, h - 40, "", 1);
  }
}

void BTN_subwin(float gap, int style, float x, float y, float width, float height, std::string title,
                float* next_x, float* next_y) {
  if (x < 0) x = 10;
  if (y < 0) y = 10;
  if (width < 0) width = wins.win_dx - 10 - x;
  if (height < 0) height = wins.win_dy - 28 - y - gap;
  BTN_frame2(style, x, y, width, height, std::move(title), 1);
  if (next_x) *next_x = x + width + 10;
  if (next_y) *next_y = y + height + 10;
}

int BTN_tab(int column, int row, int* value, int tab_value, std::string label) {
  const float cx = 88.0f * column + 53, cy = wins.win_dy - 38 - 32.0f * row;
  // The box reaches further left than right, so the next tab's left end wins
  // where they meet.
  int clicked = 0;
  if (mnw.mouse_down && BTN_in_box(mnw.mouse_x, mnw.mouse_y, cx - 50, cy - 13, cx + 40, cy + 13)) {
    *value = tab_value;
    clicked = 1;
  }
  const bool selected = *value == tab_value;
  const atlas_rect& r = selected ? k_tab_on : k_tab_off;
  BTN_atlas_quad(359, cx - 49, cy - 13, cx + 49, cy + 13, r.u0, r.v0, r.u1, r.v1, 57, 1);
  OGL_string(selected ? 46 : 47, cx - 40, cy - 4, label, font_no_wrap, cs_regular, just_left);
  return clicked;
}

void plot_dir(float x, float y, float* heading, int style) {
  // The needle turns clockwise as the heading grows: rotate its corners by
  // minus the heading about the dial's centre.
  const double a = -*heading * M_PI / 180.0;
  const float c = static_cast<float>(std::cos(a)), s = static_cast<float>(std::sin(a));
  const atlas_rect& n = style ? k_needle : k_needle_style0;
  const float dx[4] = {-5, -5, 5, 5}, dy[4] = {-21, 21, 21, -21};
  float px[4], py[4];
  for (int i = 0; i < 4; ++i) {
    px[i] = x + dx[i] * c - dy[i] * s;
    py[i] = y + dx[i] * s + dy[i] * c;
  }
  constexpr float k = 1.0f / k_atlas_size;
  OGL_2dquad(359, 57, 1, px[0], py[0], n.u0 * k, n.v0 * k, px[1], py[1], n.u0 * k, n.v1 * k, px[2], py[2], n.u1 * k,
             n.v1 * k, px[3], py[3], n.u1 * k, n.v0 * k, 1, al_blend, 0);
  const atlas_rect& f = k_dial_face;
  BTN_atlas_quad(359, x - 28, y - 29, x + 28, y + 29, f.u0, f.v0, f.u1, f.v1, 57, 1);
  OGL_number(50, x - 14, y - 2, *heading, 3, 0, cs_fixed10, str_no_pad, just_left);

  if (mnw.mouse_held && BTN_in_box(mnw.mouse_x, mnw.mouse_y, x - 30, y - 30, x + 30, y + 30)) {
    float h = static_cast<float>(std::atan2(mnw.mouse_x - x, mnw.mouse_y - y) * 180.0 / M_PI);
    while (h < 0) h += 360;
    while (h > 360) h -= 360;
    *heading = h;
  }
}
