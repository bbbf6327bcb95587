// Hover help and the mouse cursor. Widgets put the help part of their label
// into help.text while the mouse is over them; once a frame, after the
// widgets, the shell runs the pass that shows the bubble once the mouse has
// rested a second, empties the text and decides the cursor: the system
// arrow, hidden, or a sprite from the interface atlas. Main thread.
#pragma once
#include <string>

class help_class {
 public:
  std::string text;  // this frame's hover help; emptied by every pass

  // One pass for window win (the current sub-window's id, or a window being
  // opened): the bubble, the system cursor and the cursor sprite.
  void mouse_help_per_wind(int win);
};

extern help_class help;

// What the pass keeps between frames: whether the system cursor shows (1 at
// start) and whether it was last handed to another owner (0 at start).
extern int OS_mouse_showing;
extern int mouse_was_plugin;
