#include "shell/hl_monitor.h"
#include <map>
#include <vector>
#include "platform/plat_video.h"
#include "shell/cons.h"

// Each display's mode from before this program first switched it; an entry
// is made by the first switch only and stays until the process ends.
static std::map<int, PLAT_mode> s_orig_modes;

int UTL_count_monitors() {
  int n = PLAT_video().display_count();
  return n > 0 ? n : 1;
}

int get_nth_display(int n) {
  // The window system numbers its displays from 0, the main one first, so the
  // index is the display; a query that fails leaves the main display alone.
  return PLAT_video().display_count() > n ? n : 0;
}

void UTL_get_all_monitor_modes(int n, void (*report)(int, int, int, int)) {
  std::vector<PLAT_mode> modes;
  if (PLAT_video().display_modes(get_nth_display(n), &modes) != 0) return;
  for (const PLAT_mode& m : modes) report(m.width, m.height, m.bpp, m.refresh);
}

void UTL_get_monitor_res(int n, int* x, int* y, int* width, int* height, int* bits_per_pixel, int* refresh) {
  const int d = get_nth_display(n);
  PLAT_rect r;
  PLAT_mode m;
  PLAT_video().display_bounds(d, &r);
  PLAT_video().display_mode(d, &m);
  if (x) *x = r.x;
  if (y) *y = r.y;
  if (width) *width = r.width;
  if (height) *height = r.height;
  if (bits_per_pixel) *bits_per_pixel = m.bpp;
  if (refresh) *refresh = m.refresh;
}

// A display's mode belongs to a full-screen window on this system: switching
// gives the main window the closest mode in full screen, and leaving full
// screen puts the display's own mode back.
int UTL_set_monitor_res(int n, int width, int height, int bits_per_pixel, int refresh) {
  const int d = get_nth_display(n);
  PLAT_window w = cons.window(0);
  if (!w) return 0;
  if (!s_orig_modes.count(d)) {
    PLAT_mode now;
    if (PLAT_video().display_mode(d, &now) != 0) return 0;
    s_orig_modes[d] = now;
  }
  PLAT_mode want;
  want.width = width;
  want.height = height;
  want.bpp = bits_per_pixel;
  want.refresh = refresh;
  return PLAT_video().window_set_fullscreen(w, &want) == 0 ? 1 : 0;
}

void UTL_restore_monitor_res(int n) {
  const int d = get_nth_display(n);
  if (!s_orig_modes.count(d)) return;
  if (PLAT_window w = cons.window(0)) PLAT_video().window_set_fullscreen(w, nullptr);
}

void UTL_forget_monitor_modes() { s_orig_modes.clear(); }
