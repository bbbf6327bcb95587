// A window system with the displays and modes a test asks for: what Xvfb
// cannot show (several modes, screens smaller than the window, formats that
// fail). Windows and contexts are plain records; OpenGL calls made while one
// is "current" reach no context and do nothing.
#pragma once
#include <string>
#include <vector>
#include "platform/plat_video.h"

struct fake_display {
  PLAT_rect bounds;
  PLAT_mode desktop;            // the display's own mode
  PLAT_mode now;                // the mode in force
  std::vector<PLAT_mode> modes;
};

struct fake_window {
  PLAT_rect bounds;
  int framed = 0;
  int hidden = 0;
  PLAT_gl_format format;
  int fullscreen = 0;
};

struct fake_video {
  std::vector<fake_display> displays;
  std::vector<fake_window*> windows;   // every window made, freed ones included
  std::vector<PLAT_gl_format> tried;   // every format asked for, in order
  // A format is refused when its samples exceed max_samples or its depth
  // exceeds max_depth.
  int max_samples = 16;
  int max_depth = 32;
  int swap_result = -1;
  std::vector<std::string> calls;      // "fullscreen 800x600", "leave", "framed 0"...
  PLAT_window current = nullptr;       // the window whose context is current
  int swaps = 0;                       // buffer swaps of any window

  // One display of w by h at the origin, with the given modes.
  explicit fake_video(int w = 1280, int h = 1024, std::vector<PLAT_mode> modes = {});
  ~fake_video();  // closes the consoles made on it, puts the real window system back
};

// The fake in force while a fake_video lives.
extern fake_video* g_fake_video;
