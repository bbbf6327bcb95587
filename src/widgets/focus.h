// Keyboard focus of the typing widgets. A field is known by its id; each
// frame every typing widget registers in the focus ring in drawing order,
// and keys of the next frame go to the focused field's queue, which the
// widget drains when it is drawn again. Main thread only.
#pragma once
#include <vector>

// Key classes a field takes, one bit each; a key falls into exactly one.
enum {
  focus_tab = 0x001,
  focus_return = 0x002,     // Return or Enter, the keypad's too
  focus_delete = 0x004,     // Backspace or Delete
  focus_escape = 0x008,
  focus_navigate = 0x010,   // PageUp, PageDown, End, Home and the arrows
  focus_letter = 0x020,
  focus_digit = 0x040,
  focus_sign = 0x080,       // '+' or '-'
  focus_printable = 0x100,  // any other character
  focus_clipboard = 0x200,  // Command or Control with V, C or X typing nothing
  focus_control = 0x400     // everything else
};

// Each typing widget kind's queues hold this many keys.
const int k_focus_queue_size = 64;

// One field of the ring; the queues and the counter belong to the widget.
struct focus_info_t {
  int id;            // the field's id; 0 names none
  int* char_queue;   // characters of queued keys, 0 for none
  int* vkey_queue;   // key numbers of queued keys
  int* flag_queue;   // flag words of queued keys
  int* id_queue;     // the focused id when each key was queued; 0 consumed
  int* counter;      // slots in use; the next key goes to this slot
  int capacity;      // slots of each queue
  int accept_flags;  // the key classes the field takes
};

// The fields drawn in the last frame, in drawing order.
extern std::vector<focus_info_t> focus_ring;
// The id of the field that has the keyboard focus; 0 when none has.
extern int focus_id;
// Set when something else of the window took the keyboard this frame.
extern int wind_focus;

// Empties the ring and clears wind_focus, before a frame's registrations.
void BTN_begin_focus_ring();
// Registers a field for this frame; take gives it the focus. 1 when it has
// the focus.
int BTN_register_focus(int id, int* char_queue, int* vkey_queue, int* flag_queue, int* id_queue, int* counter,
                       int capacity, int accept_flags, int take);
// The class bit of a key (character, key number, flag word).
int BTN_key_class(int ch, int vkey, int flags);
// Offers a key to the focused field: 1 when it was queued, dropped for a
// full queue, or moved the focus (Tab); 0 when it goes on to the bindings.
int BTN_dispatch_to_focus(int ch, int vkey, int flags);
// Drops the keyboard focus, so that no field is focused.
void BTN_unfocus_any();
// Gives the focus to the first field of the ring, or to none.
void BTN_focus_any();
// Marks the keyboard as taken by something else of the window.
void BTN_window_has_focus();
// 1 when neither a field nor the window has the keyboard.
int BTN_no_focus_yet();
// Undo has nothing to record here.
void UNDO_BeginCommand(const char* name);
