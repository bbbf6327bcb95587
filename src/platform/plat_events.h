// The event source of the window system: one record per event, in the order
// they happened, with the fields the frame procedure routes by. Key records
// carry the Mac virtual key code and the text the key typed. Main thread only.
#pragma once

enum PLAT_event_kind {
  plat_ev_null = 0,
  plat_ev_mouse_down = 1,
  plat_ev_mouse_up = 2,
  plat_ev_key_down = 3,
  plat_ev_key_up = 4,
  plat_ev_auto_key = 5,  // a key held down repeating
  plat_ev_update = 6,    // a window must be drawn again
  plat_ev_activate = 8,  // a window gained (activate bit set) or lost the focus
  plat_ev_wheel = 100,   // wheel steps in `wheel`, away from the user positive
  plat_ev_text = 101,    // text typed without a key record of its own
  plat_ev_resized = 102, // the window's content size changed to width by height
  plat_ev_quit = 103,    // the user asked the program to end
  plat_ev_mouse_moved = 104,   // the mouse moved to x, y
  plat_ev_smooth_wheel = 105   // a fraction of a wheel step: `wheel` in quarter steps
};

// Modifier bits, as the Mac keyboard state numbers them.
enum {
  plat_mod_activate = 1 << 0,  // activate records: the window gained the focus
  plat_mod_command = 1 << 8,
  plat_mod_shift = 1 << 9,
  plat_mod_caps_lock = 1 << 10,
  plat_mod_option = 1 << 11,
  plat_mod_control = 1 << 12
};

struct PLAT_event {
  int kind = plat_ev_null;
  int button = 0;          // mouse records: 1 primary, 2 secondary, 3 middle
  int wheel = 0;           // wheel records
  int x = 0, y = 0;        // the mouse in the window's pixels, from its top left
  unsigned modifiers = 0;  // plat_mod_ bits held when the event happened
  unsigned window = 0;     // the window's id (PLAT_video().window_id), 0 for none
  unsigned time = 0;       // milliseconds since the window system started
  int key_code = -1;       // key records: Mac virtual key code, 128 + scancode when unnamed
  char text[32] = {};      // UTF-8 text the key typed, or a text record's text
  int width = 0, height = 0;  // resized records: the new content size
};

// Takes the next pending event, waiting at most wait_ms for one (0: no
// wait). 1 when out holds an event, 0 when none came; 0 at once when no
// display can be opened. Events the program has no record for are skipped
// within the wait.
int PLAT_next_event(PLAT_event* out, int wait_ms);
// Queues a record that the next PLAT_next_event hands out before any of the
// window system's, display or not: tests steer the frame with it.
void PLAT_push_event(const PLAT_event& e);
// Drops every pending record, pushed ones included, without waiting.
void PLAT_flush_events();
// The Mac virtual key code of a keyboard scancode (USB usage numbering), or
// 128 + scancode for one the table does not name.
int PLAT_mac_key_code(int scancode);
// The characters of the key with Mac virtual key code key_code (128 +
// scancode for an unnamed one): *unshifted as the keyboard layout types it
// with no modifiers, *shifted as a US keyboard types it with Shift; 0 for a
// key that types no character.
void PLAT_key_chars(int key_code, int* unshifted, int* shifted);
// The plat_mod_ bits held now.
unsigned PLAT_modifiers_now();
