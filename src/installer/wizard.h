// The wizard: the one screen of the installer, drawn anew every frame. A
// screen function fills a wizard_screen record (title, text, choices,
// progress, its Back and Next targets) and the frame draws it with the step
// list and the Quit, Back and Next picture buttons, then moves g_wizard by
// the clicks and the screen's result. Screens never set g_wizard themselves.
// Main thread only.
#pragma once
#include <string>
#include <vector>

struct wizard_screen;
// A screen: first is 1 on the first frame it is current; returns 1 to move
// to next_screen at once, 0 to stay.
typedef int (*screen_func)(int first, wizard_screen& s);

struct wizard_screen {
  std::string title;
  std::string text;
  screen_func back = nullptr;         // null: Back dimmed
  screen_func next_screen = nullptr;  // null: Next dimmed; wizard_quit: Next is a Quit
  float progress = -1;                // 0 or more: the progress bar and status line
  std::string status;
  int flag = 0;                       // the web screens' own; the frame ignores it
  std::vector<std::string> choice_names;
  std::vector<screen_func> choice_funcs;
  int (*quit)() = nullptr;            // decides Quit (low byte non-zero: end); null: end
};

// The current screen; null ends the program at the next frame.
extern screen_func g_wizard;
// The step list at the left; a flow's first screen refills both.
extern std::vector<std::string> step_names;
extern std::vector<screen_func> step_funcs;

// The shell's per-frame hook: draws the wizard and runs the current screen.
void APP_update_wizard();
// The shell's menu hook: the installer has no menu commands.
void APP_handlemenu_wizard(int command);
// Nothing calls it; kept for the key table's sake.
void function_key(int key);
// The screen behind a Quit in Next's place: ends the program. Every Quit,
// and the window's close, is logged with the pass it leaves (run_log.h).
int wizard_quit(int first, wizard_screen& s);
// A picture button of texture 362 at (x, y): align 1 left edge at x, -1
// right edge, 0 centred. *width_out (when not null) gets its bar's width;
// enabled 0 drops the hover and pressed looks; style 2 dims it. 1 when
// clicked this frame inside its extent, enabled or not.
int interface_rect(float x, float y, int picture, int align, int* width_out, int enabled, int style);
// Forgets the previous frame's screen, so the current one starts anew.
void wizard_forget_last();
