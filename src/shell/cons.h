// The consoles: the program's OpenGL window (and an optional second one to
// its right) with their contexts, the extra contexts that worker threads
// load textures with, the full-screen switch and the display-mode list.
// Main thread only, except that a worker makes its own loader current.
#pragma once
#include <pthread.h>
#include <string>
#include <vector>
#include "platform/plat_video.h"

class cons_class {
 public:
  // Makes console c (0 or 1): its window, pixel format and context, and logs
  // the format and the video memory. 1 when the window and context stand, 0
  // when there is no display or no pixel format fits.
  int cons_make(int c);
  // n < 0: the number of consoles. 2 makes console 1 next to console 0, 1
  // closes it; the count follows what stands. Returns 0 for 1 and 2.
  int num_cons(int n);
  // Disposes console c's window and context and forgets them.
  void cons_nuke(int c);
  // A new context sharing console 0's objects, for a worker thread to make
  // current with MACIBM_set_context_loader; null (logged) when none can be
  // made, when no pixel format exists yet, or off the main thread.
  void* cons_make_loader();
  // Closes every console and loader (the finish-up).
  void cons_close_all();

  PLAT_window window(int c) const { return (c == 0 || c == 1) ? win[c] : nullptr; }
  PLAT_gl_context context(int c) const { return (c == 0 || c == 1) ? ctx[c] : nullptr; }
  // The console whose window carries the event's window id, or -1.
  int console_of(unsigned window_id) const;

  PLAT_gl_format pix_format;  // the pixel format, chosen once by the first console
  int have_format = 0;
  int unused = 0;
  PLAT_window win[2] = {nullptr, nullptr};
  PLAT_gl_context ctx[2] = {nullptr, nullptr};
  int console_count = 0;
  int sec_mon_inuse = 0;  // the second-monitor preference

 private:
  int choose_format_and_window(const PLAT_rect& bounds, int framed);
  struct loader_rec {
    PLAT_window w;
    PLAT_gl_context c;
  };
  std::vector<loader_rec*> loaders;
  pthread_t owner = pthread_t();  // the thread that made console 0
  friend int MACIBM_set_context_loader(void* context);
};

extern cons_class cons;

// Nested display-mode changes under way; resize events are ignored meanwhile.
extern int resize_recurse;

struct monitor_res_struct {
  int width = 0, height = 0, bpp = 0, refresh = 0;
  std::string label;
};
// The display-mode menu: entry 0 is "Default Monitor Settings", the rest the
// modes add_mode_if_needed accepted.
extern std::vector<monitor_res_struct> g_res_vec;

// A window with the given content bounds (top-left corner and size), framed or
// not, in the consoles' pixel format; null when the format does not fit.
PLAT_window APL_make_window(int left, int top, int width, int height, int framed);
// Gives console c's window a frame (flag 1) or none (0), in place.
void MACIBM_make_window_draggable(int c, int framed);
// 0 windowed, 1 full screen, 2 full screen switching again even when already
// full screen. Prints the displays' bounds on standard output.
void MACIBM_go_full_screen(int m);
// The main display's width, height, bit depth and refresh rate.
void MACIBM_get_res_now(int& width, int& height, int& bpp, int& refresh);
// Non-zero width or height: switches the main display (1 on success); both
// 0: puts back its mode from before the first switch (1).
int MACIBM_set_monitor_res(int width, int height, int bpp, int refresh);

// The window's content became width by height pixels: moves the menu bar by
// the change of height so it stays at the top edge, stores the size (also
// as the wanted window size when not in full screen), redoes the pixel
// layout (OGL_pix_specs) and starts the sub-window in force again. Either 0: ignored.
void MACIBM_live_resize(int width, int height);

// Rebuilds g_res_vec from the main display's modes.
void MACIBM_find_monitor_modes();
// Offers one display mode to g_res_vec.
void add_mode_if_needed(int width, int height, int bpp, int refresh);
// The entry of g_res_vec equal to the wanted full-screen mode, or its size.
int MACIBM_get_picked_mode();
// Makes entry i the wanted full-screen mode; 1 when that changed it.
int MACIBM_set_picked_mode(int i);
