// Program-wide objects that many subsystems share: the log, the framework
// output stream, the data root, the frame's mouse state and the settings
// records. All are built by static initialisation before main runs.
#pragma once
#include <fstream>
#include <mutex>
#include <string>
#include "core/stg.h"

// The log ("Duvizo Installer Log.txt"); opened by start-up, closed at finish-up.
// Worker threads log too, so every write goes through an xer_group (below).
extern std::ofstream xer;
// The one shared output stream of framework-format files (ouf_open).
extern std::ofstream ouf;
// Folder that relative paths are put behind; empty while the installer runs.
extern std::string app_path;
// Mount folder of the current installer disc, ending in '/', or empty.
extern std::string dvd_path;

// One group of log lines: holds the log's lock from construction to
// destruction and flushes when it ends, so lines from several threads never
// interleave. Use as a temporary: xer_group() << "label: " << value << "\n";
class xer_group {
 public:
  xer_group();
  ~xer_group();
  xer_group(const xer_group&) = delete;
  xer_group& operator=(const xer_group&) = delete;
  template <class T>
  xer_group& operator<<(const T& v) {
    xer << v;
    return *this;
  }
  xer_group& operator<<(std::ostream& (*manip)(std::ostream&)) {
    xer << manip;
    return *this;
  }
};
// The lock behind xer_group, for code that must hold it across a close.
std::recursive_mutex& xer_mutex();

// The frame's mouse and interface state. Written and read on the main thread.
struct mnw_struct {
  float mouse_x = 0, mouse_y = 0;
  int mouse_down = 0;
  int short_click = 0;
  int double_click = 0;
  int mouse_up = 0;
  int mouse_held = 0;
  int held_quarter = 0;
  int held_second = 0;
  float last_activity_time = 0;
  float last_press_time = 0;
  int lang = 0;
  int keylist_up = 1;
  int profile_on = 0;
  int prefs_found = 0;
  // Fields of the shell and the widgets.
  int right_button = 0;  // the last press was the secondary button
  int key_down = 0;      // a key went down (or repeated) this frame
  int wheel = 0;         // wheel steps of this frame; a widget that scrolls takes them
  float press_x = 0, press_y = 0;  // the mouse at the last press (the time is last_press_time)
  int key_held = 0;      // a key is down
  int cursor = 0;        // this frame's cursor request: 0 arrow, 1 someone else's, 2 hidden, 3 on a sprite
};
extern mnw_struct mnw;

// Keys the focused widget did not take this frame: set by key handling,
// cleared when each frame starts.
extern int return_hit, escape_hit, delete_hit;

// Twelve shared strings: the four preference messages, the current
// sub-window's title, and a copy of the default data path.
struct stls_struct {
  std::string s[12];
  int word = 0;
};
extern stls_struct stls;
extern const char apt_path_def[];

// Rendering record of the OpenGL layer (not the toolkit's reno).
struct ren_struct {
  int w0 = 0, w1 = 0, w2 = 0;
  float fade = 1.0f;
  float scale = 1.0f;
  int w5 = 0, w6 = 0, w7 = 0;
};
extern ren_struct ren;

// Position of the alert sub-window.
extern float wx, wy;
