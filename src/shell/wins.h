// The sub-window manager: which fixed-size panel of the one window is in
// force (0 none, 994 the alert, 995 to 997 further dialogs, 998 Open, 999
// Save, other numbers for panels). Main thread only.
#pragma once

class wins_class {
 public:
  int win_num = 0;  // the sub-window in force
};

extern wins_class wins;
