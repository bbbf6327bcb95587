// The sub-window manager: which panel of the one window is in force, and the
// window and display settings the shell shares.
#pragma once

class wins_class {
 public:
  int cur_win = 0;      // sub-window in force: 0 none, 994 the alert, 998 Open, 999 Save...
  int full_screen = 0;  // full-screen setting
  int x_res_wind = 0;   // window width and height
  int y_res_wind = 0;
  int x_res_full = 0;   // wanted full-screen width, height, bit depth and refresh rate
  int y_res_full = 0;
  int bpp_full = 0;
  int hz_full = 0;
};

extern wins_class wins;
