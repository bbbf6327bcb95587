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
