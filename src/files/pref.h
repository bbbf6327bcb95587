// Preference files: a data-file header (text, version 10) and one "key value"
// line per setting. pref_class::IO_set moves each preference file's settings
// between the file and the program, in both directions with one list of keys;
// on reading, a command-line option "--pref:key=value" overrides the file.
#pragma once
#include <map>
#include <string>

// One preference file, read into a table or written on the shared stream ouf.
class scan_class {
 public:
  // Mode 0 reads path into entries (empty when missing or of another
  // version); mode 1 opens ouf on path with the header written.
  scan_class(const std::string& path, int mode);
  // In mode 1 closes ouf.
  ~scan_class();
  scan_class(const scan_class&) = delete;
  scan_class& operator=(const scan_class&) = delete;

  // Mode 1 writes "key value"; returns 0. Mode 0 sets *value from "--pref:key"
  // or else the file's entry (atoi) and returns 1, or returns 0 untouched.
  int int_io(int* value, const std::string& key);
  // The same rule for a text: written only when not empty.
  int str_io(std::string* value, const std::string& key);

  int mode;
  std::map<std::string, std::string> entries;

 private:
  // The override or entry of key into text; false when there is neither.
  bool lookup(const std::string& key, std::string& text) const;
};

// The window's and the renderer's settings that the screen file (type 10)
// carries belong to the window shell and the widget toolkit; the shell points
// these at them when it connects the layers at start-up. A field left unset
// travels through a stand-in of the file's own.
struct pref_screen_fields {
  int* x_res_wind = nullptr;  // wins: window and full-screen size, rate, depth, mode
  int* y_res_wind = nullptr;
  int* x_res_full = nullptr;
  int* y_res_full = nullptr;
  int* hz_full = nullptr;
  int* bpp_full = nullptr;
  int* full_screen = nullptr;
  int* use_vsync1 = nullptr;  // reno: vertical sync and anti-aliasing
  int* use_vsync2 = nullptr;
  int* alias_req = nullptr;
  int* sec_mon_inuse = nullptr;    // cons: whether a second monitor was in use
  int (*num_cons)() = nullptr;     // cons: how many console windows stand
};
extern pref_screen_fields g_pref_screen;

class pref_class {
 public:
  // Moves the settings of preference file type (10 "Screen Res.prf",
  // 11 "Duvizo Installer.prf", 12 "Calibration.prf") in mode 0 (read) or 1
  // (write). A missing or unreadable file leaves every setting as it was.
  void IO_set(int type, int mode);
  // Does nothing; returns 0.
  int IO_sta(int, int, std::string);
};

extern pref_class pref;
