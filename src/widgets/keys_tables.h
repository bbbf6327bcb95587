// The fixed tables of the key model: key numbers and their names, the Mac
// key codes and characters that map onto them, and the characters a key
// shows whatever the layout types. Every table ends with a zero row.
#pragma once

// One named key: its number, the name code is written with, the name shown.
struct key_name_row {
  int vkey;
  const char* code;     // "TESSEL_VK_LEFT"
  const char* display;  // "Left"
};
// A Mac key code and the key number it stands for.
struct key_code_row {
  int mac_code;
  int vkey;
};
// A character and the key number whose key types it unshifted.
struct key_ascii_row {
  unsigned char ch;
  unsigned char vkey;
};
// A character, the key that types it on a US keyboard and the modifier bits
// it needs there.
struct key_char_row {
  int ch;
  int vkey;
  int mods;
};
// A key whose character is fixed whatever the layout types.
struct key_char_override {
  int vkey;
  int ch;
};

extern const key_name_row kKeyNameTable[];         // 110 rows
extern const key_code_row kKeyTranslations[];      // 63 rows
extern const key_ascii_row kAsciiMappings[];       // 49 rows
extern const key_char_row kCharTranslations[];     // 103 rows
extern const key_char_override kCharOverrides[];   // 19 rows

// The row of the name table for vkey; null when it is not named.
const key_name_row* KEY_name_row(int vkey);
// The character that overrides what vkey typed; -1 when it has none.
int KEY_char_override(int vkey);
