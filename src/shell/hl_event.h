// One frame of the application, and the routing of the window system's
// events into the frame's mouse record, the sub-windows and the keys.
// Main thread only.
#pragma once
#include "platform/plat_events.h"

// One frame: clears the frame's flags, maps the mouse, pumps the pending
// events (never waiting more than a tick for one), advances the clock,
// calls APP_update when no sub-window is open, shows what others queued
// (standard_gui) and ends the frame with the buffer swap.
void MACIBM_event_proc();
// With no sub-window open, shows the alerts other threads queued; then the
// hover help and the menus.
void standard_gui();
// Routes one record: presses, releases, keys, redraws, activation and the
// close request.
void APL_handlewin(const PLAT_event& e);
// The per-window handler: wheel and smooth scrolling, presses (the
// right-button flag), raw keys and size changes. 0 when handled, -9874
// when not.
int APL_HandleCarbonEvent(const PLAT_event& e);
// A press: the menu bar first, then the open sub-window's close boxes, which
// show pressed in the frame that closes it.
void MACIBM_handle_click();
// Nonzero when the release ends a click (under a second and under 3 units
// from the press in both axes); otherwise the menu bar's answer.
int MACIBM_handle_release();
// Closes the open sub-window: ends the frame,
// clears the return and escape flags and starts sub-window 0.
void MACIBM_close_win();
// Stores the mouse at x, y of console c's window pixels (from its top left)
// as the frame's mouse position in sub-window units.
void MACIBM_load_mxy(int c, int x, int y);
// Moves the cursor to x, y of console c's window pixels, and the frame's
// mouse position with it.
void MACIBM_movemouse(int x, int y, int c);
// 1 while the key was held as of the last event pumped.
int has_optionkey();
int has_shiftkey();
int has_controlkey();  // Control or the command key
int has_capslock();

// The application's frame, drawn when no sub-window is open; the installer
// fills it in. Null: nothing drawn.
extern void (*APP_update)();
// The application's menu commands: called with the command of the menu item
// the user chose. Null: the choice is dropped.
extern void (*APP_handlemenu)(int command);
// Called as each frame starts; tests push that frame's events from it.
extern void (*MACIBM_frame_start_hook)();
// How the pump fetches one record (PLAT_next_event unless replaced).
extern int (*MACIBM_fetch_event)(PLAT_event* out, int wait_ms);
// Set when the user asked the program to end (the window's close button);
// the application decides what its Quit does and clears it.
extern int quit_request;
// Forgets what the frames kept (the first frame's start, the scroll
// remainder, the last mouse position, the modifiers), as at program start.
void MACIBM_forget_frames();

// The longest one fetch of the pump waits: one tick.
const int k_pump_wait_ms = 17;
