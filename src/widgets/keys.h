// The key model: the window system's key records as key numbers of the
// name table, Unicode characters and flag words; the key bindings of the
// command registry and the names of keys. One instance, `keys`. Main thread
// only.
//
// Flag word: 1 Shift, 2 Option (Alt), 4 Command or Control, 8 pressed,
// 16 released; a repeat carries neither 8 nor 16.
#pragma once
#include <string>
#include <vector>
#include "platform/plat_events.h"

// One bound key: the key with its modifiers runs the command.
struct key_binding {
  int vkey;     // 0 none
  int flags;    // modifier bits 1, 2, 4
  int cmnd_id;  // index in the command registry
  int down;     // 1 while the bound key is held
};

class keys_class {
 public:
  // No bindings; the spare key numbers and the largest named one from the
  // name table.
  keys_class();

  // Mode 0 sets the default bindings; mode 1 (the finish-up) does nothing.
  void keys_io(int mode);
  // One key record (down, up, repeat, or text typed without a key): its
  // key events go to the focused field, else to the hit flags, the open
  // sub-window and the bindings.
  void handle_key_raw(const PLAT_event* e);
  // One key event after the mapping, with its character; as handle_key_raw
  // goes on from there.
  void handle_key_event(int vkey, int ch, int flags);
  // Marks the bindings of vkey down on a press with their modifiers, and
  // up on its release whatever the modifiers.
  void execute_key_cmnd(int vkey, int flags);
  // execute_key_cmnd for a key that is not 0.
  void handle_key(int vkey, int flags);
  // Once a frame: bound keys repeat nothing here.
  void run_repeat_keys();
  // The command of the first binding of exactly that key and modifiers; 0
  // when none.
  int key_bound_to(int vkey, int mods);
  // The first binding of the command as "SHIFT-left", or its key alone with
  // no modifiers; "" when it is unbound or has no key.
  std::string get_key_for_cmnd(int cmnd_id);
  // The key's shown name; "<NONE>" for 0, "KEY" and the number when unnamed.
  std::string vkey_to_str(int vkey);
  // The key's name in code; the number when unnamed.
  std::string vkey_to_code(int vkey);
  // The key whose shown name is s (any letter case), or the number after
  // "KEY"; 0 for anything else.
  int str_to_vkey(const std::string& s);
  // "SHIFT", "ALT", "CTRL" for the bits run together; "<none>" for none.
  std::string flag_to_str(int flags);
  // The bits whose words occur anywhere in s.
  int str_to_flag(const std::string& s);
  // The modifier flag names of code run together; "0" for none.
  std::string flag_to_code(int flags);
  // 1 with the key and modifiers that type ch on a US keyboard; 0 with both
  // 0 when no key does.
  int ascii_to_vkey(int ch, int& vkey, int& mods);
  // Nothing to show.
  void debug();
  // The key-assignment window for this frame: the bindings to pick from and
  // give keys to, Add and Delete, and with no_chooser 0 the command chooser
  // of the picked binding (keys_wind.h holds its state). It takes cur_key
  // and cur_flags each frame, leaving both 0.
  void keys_wind(int no_chooser);

  int cur_key = 0;    // the last key that reached the bindings
  int cur_flags = 0;  // its modifier bits
  std::vector<key_binding> bindings;
  std::vector<int> spare_vkeys;  // 1 to max_vkey, those not named, ascending
  int max_vkey = 0;              // the largest named key number
};

extern keys_class keys;

// One byte of the system's script encoding as a code point; with no script
// encoding here, bytes below 128 as they are and 0 for the rest.
int script_to_utf32(int byte);
