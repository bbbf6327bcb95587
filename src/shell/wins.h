// The sub-window manager: which panel of the one window is in force, and the
// window and display settings the shell shares.
#pragma once

class wins_class {
 public:
  // Opens sub-window n, centred in the window (two screens side by side: in
  // the left one), with its translated title in stls; a number without a
  // panel (0 none, -1) keeps the last title, takes the window's size and
  // leaves none open. Drops the keyboard focus and the frame's press,
  // click, drag and wheel state, closes the open menu and drops the pop-up
  // list; runs the hover-help and cursor pass for n first.
  void start_win(int n);

  int cur_win = 0;   // sub-window in force: 0 none, 994 the alert, 998 Open, 999 Save...
  int last_win = 0;  // sub-window last started
  int prev_win = 0;  // the previous frame's sub-window, copied by the frame
  int win_open = 0;  // 1 while a numbered sub-window is open
  float win_x = 0;   // sub-window origin (lower left) and size, interface units
  float win_y = 0;
  float win_dx = 0;
  float win_dy = 0;

  int full_screen = 0;  // full-screen setting
  int x_res_wind = 0;   // window width and height (800 by 600 by default)
  int y_res_wind = 0;
  int x_res_full = 0;   // wanted full-screen width, height, bit depth and refresh rate
  int y_res_full = 0;
  int bpp_full = 0;
  int hz_full = 0;

  int x_pix = 0;      // the window's size in pixels
  int y_pix = 0;
  int bpp_now = 0;    // the display's current bit depth

  // The pixel layout of the window (OGL_pix_specs), reset after start-up and after
  // every resize.
  float ui_offset_x = 0;  // pixels left free at the left of a window wider than 1024
  float view_left = 0;    // the rectangle a full-window view shows, in pixels
  float view_bottom = 0;
  float view_right = 0;
  float view_top = 0;
  float ui_scale = 1;     // pixels per interface unit
};

extern wins_class wins;
