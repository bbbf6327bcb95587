// The hover-help bubble and the cursor pass.
#include "widgets/help.h"
#include <algorithm>
#include <cmath>
#include "core/globs.h"
#include "core/xtim.h"
#include "ogl/OGL_font.h"
#include "platform/plat_video.h"
#include "shell/wins.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"

help_class help;
int OS_mouse_showing = 1;
int mouse_was_plugin = 0;

namespace {
constexpr float k_bubble_w = 400;

// The system cursor's calls; a window system without them has no cursor.
void system_cursor(void (*call)()) {
  if (call) call();
}

void draw_bubble(const std::string& text) {
  const float h = std::clamp(static_cast<float>(text.size() / 50 * 10 + 20), 60.0f, 300.0f);
  const float app_w = std::trunc(wins.x_pix / (wins.ui_scale > 0 ? wins.ui_scale : 1));
  const float app_h = std::trunc(wins.y_pix / (wins.ui_scale > 0 ? wins.ui_scale : 1));
  float x = mnw.mouse_x - k_bubble_w - 15;
  const float min_x = 10 - wins.win_x;
  x = x < min_x ? min_x : std::min(x, app_w - 10 - wins.win_x - k_bubble_w);
  float y = mnw.mouse_y + 15;
  const float min_y = 10 - wins.win_y;
  y = y < min_y ? min_y : std::min(y, app_h - 20 - wins.win_y - h);
  BTN_frame2(17, x - 10, y - 10, k_bubble_w + 20, h + 20, "", 1);
  OGL_string(52, x + 3, y + h - 11, text, 394, cs_regular, just_left);
}

void draw_sprite(int id) {
  const cursor_sprite* s = &k_cursor_other;
  for (const cursor_sprite& c : k_cursors)
    if (c.id == id) s = &c;
  const atlas_rect& r = mnw.mouse_held ? s->held : s->r;
  const float w = static_cast<float>(r.u1 - r.u0), h = static_cast<float>(r.v1 - r.v0);
  const float left = mnw.mouse_x - s->ox - std::floor(w / 2), bottom = mnw.mouse_y - s->oy - std::floor(h / 2);
  BTN_atlas_quad(359, left, bottom, left + w, bottom + h, r.u0, r.v0, r.u1, r.v1, 57, 1);
}
}  // namespace

void help_class::mouse_help_per_wind(int win) {
  const float idle = xtim.real_time - mnw.last_activity_time;
  if (!text.empty() && idle > 1) draw_bubble(text);
  text.clear();

  int& id = mnw.cursor;
  if (idle > 10 && !wins.win_open) id = 2;
  if (win >= 992 && win <= 999) id = 0;
  // The window's resize corner keeps the arrow.
  if (BTN_in_box(mnw.mouse_x, mnw.mouse_y, wins.win_dx - 15, 0, wins.win_dx, 15)) id = 0;

  if (id >= 2 && OS_mouse_showing) {
    system_cursor(PLAT_video().cursor_hide);
    OS_mouse_showing = 0;
  }
  if (id <= 1 && !OS_mouse_showing) {
    system_cursor(PLAT_video().cursor_show);
    OS_mouse_showing = 1;
  }
  if (id != 1 && mouse_was_plugin) {
    system_cursor(PLAT_video().cursor_arrow);
    mouse_was_plugin = 0;
  }
  if (id == 1) mouse_was_plugin = 1;

  if (id >= 3) draw_sprite(id);
}
