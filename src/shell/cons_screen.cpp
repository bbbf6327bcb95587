// Full screen and windowed: the display mode, the windows' frames and their
// places.
#include <cstdio>
#include <vector>
#include "core/hl_alert.h"
#include "ogl/ogl_view.h"
#include "shell/cons.h"
#include "shell/hl_monitor.h"
#include "shell/mbar.h"
#include "shell/wins.h"

int resize_recurse = 0;

void MACIBM_get_res_now(int& width, int& height, int& bpp, int& refresh) {
  UTL_get_monitor_res(0, nullptr, nullptr, &width, &height, &bpp, &refresh);
}

int MACIBM_set_monitor_res(int width, int height, int bpp, int refresh) {
  ++resize_recurse;
  int ok = 1;
  if (width || height)
    ok = UTL_set_monitor_res(0, width, height, bpp, refresh);
  else
    UTL_restore_monitor_res(0);
  --resize_recurse;
  return ok;
}

void MACIBM_make_window_draggable(int c, int framed) {
  if (PLAT_window w = cons.window(c)) PLAT_video().window_set_framed(w, framed);
}

static void set_bounds(int c, int left, int top, int width, int height) {
  PLAT_window w = cons.window(c);
  if (!w) return;
  PLAT_rect r;
  r.x = left;
  r.y = top;
  r.width = width;
  r.height = height;
  PLAT_video().window_set_bounds(w, r);
}

static void print_displays() {
  const int n = UTL_count_monitors();
  for (int i = 0; i < n; ++i) {
    PLAT_rect r;
    PLAT_video().display_bounds(get_nth_display(i), &r);
    printf("Display %d: %f,%f,%f,%f\n", i, (double)r.x, (double)r.y, (double)r.width, (double)r.height);
  }
  fflush(stdout);
}

void MACIBM_go_full_screen(int m) {
  if (m != wins.full_screen) {
    wins.full_screen = m == 2 ? 1 : m;
    int dw, dh, dd, dr;
    if (wins.full_screen) {
      MACIBM_make_window_draggable(0, 0);
      MACIBM_make_window_draggable(1, 0);
      ++resize_recurse;
      if (wins.x_res_full || wins.y_res_full) {
        UTL_set_monitor_res(0, wins.x_res_full, wins.y_res_full, wins.bpp_full, wins.hz_full);
      } else {
        UTL_restore_monitor_res(0);
        MACIBM_get_res_now(dw, dh, dd, dr);
        wins.bpp_now = dd;
      }
      --resize_recurse;
      MACIBM_get_res_now(dw, dh, dd, dr);
      const int W = wins.x_res_full ? wins.x_res_full : dw;
      const int H = wins.y_res_full ? wins.y_res_full : dh;
      set_bounds(0, 0, 0, W, H);
      set_bounds(1, W, 0, W, H);
    } else {
      if (wins.x_res_full || wins.y_res_full) {
        ++resize_recurse;
        UTL_restore_monitor_res(0);
        --resize_recurse;
      }
      MACIBM_get_res_now(dw, dh, dd, dr);
      wins.bpp_now = dd;
      const int WW = wins.x_res_wind, WH = wins.y_res_wind;
      const int left = (dw - WW) / 2, top = (dh - WH) / 2;
      MACIBM_make_window_draggable(0, WH < dh);
      MACIBM_make_window_draggable(1, WH < dh);
      if (!app_done) {
        set_bounds(0, left, top, WW, WH);
        set_bounds(1, left + WW, top, WW, WH);
      }
    }
  }
  print_displays();
}

void MACIBM_live_resize(int width, int height) {
  if (width == 0 || height == 0) return;
  // The bar stays at the top edge.
  mbar.mbar_shift_menu_bar((float)(height - wins.y_pix));
  wins.x_pix = width;
  wins.y_pix = height;
  if (!wins.full_screen) {
    wins.x_res_wind = width;
    wins.y_res_wind = height;
  }
  OGL_pix_specs(0);
  wins.start_win(wins.cur_win);
}
