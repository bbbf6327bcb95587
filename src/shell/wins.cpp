#include "shell/wins.h"
#include <cmath>
#include "core/globs.h"
#include "files/translate.h"
#include "ogl/ogl_view.h"
#include "shell/hl_init.h"
#include "shell/mbar.h"
#include "widgets/focus.h"
#include "widgets/help.h"

wins_class wins;

namespace {
struct panel {
  int number;
  const char* title;
  int width, height;
};
const panel k_panels[] = {
    {1, "EULA", 500, 300},
    {2, "Prefs", 700, 380},
    {992, "Livery", 900, 760},
    {993, "Version and Updates", 600, 300},
    {994, "BE ADVISED", 420, 260},
    {995, "SAY INTENTIONS", 300, 166},
    {996, "SAY INTENTIONS", 750, 146},
    {997, "SAY INTENTIONS", 700, 206},
    {998, "Open", 561, 474},
    {999, "Save", 330, 474},
};

// One axis of the centring: whole pixels first (half away from zero), then
// interface units, truncated; never left of or below the window.
float centre(int window_pixels, float scale, float size) {
  const float px = std::round((window_pixels - scale * size) / 2.0f);
  const float units = std::trunc(px / scale);
  return units < 0 ? 0 : units;
}
}  // namespace

void wins_class::start_win(int n) {
  // Fields of the old window neither stay in the ring nor keep the focus.
  BTN_begin_focus_ring();
  plot_init_lights = 1;
  OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f, 0, 1);

  win_open = 0;
  win_dx = (float)x_pix;
  win_dy = (float)y_pix;
  for (const panel& p : k_panels) {
    if (p.number != n) continue;
    stls.s[4] = UTL_translate_string(p.title);
    win_dx = (float)p.width;
    win_dy = (float)p.height;
    win_open = 1;
  }

  help.mouse_help_per_wind(n);
  BTN_unfocus_any();
  cur_win = last_win = n;
  mbar.open_menu = -1;

  int W = x_pix;
  const int H = y_pix;
  if (2 * H < W && W < 3 * H) W /= 2;  // two screens side by side: the left one
  const float scale = ui_scale > 0 ? ui_scale : 1;
  win_x = centre(W, scale, win_dx);
  win_y = centre(H, scale, win_dy);

  mnw.mouse_down = mnw.short_click = mnw.double_click = 0;
  mnw.mouse_held = mnw.held_quarter = mnw.held_second = 0;
  mnw.wheel = 0;
  mbar.mbar_clear_popup();
}
