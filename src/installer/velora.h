// The registry of installations: "velora_install.txt" in the Preferences
// folder lists, one per line, every installation folder this program made.
// Main thread only.
#pragma once
#include <string>
#include <vector>

// The registered folders that still exist, in file order, each ending in '/'.
extern std::vector<std::string> all_velroots;
// The folder given after "-path" on the command line, else empty.
extern std::string cmd_line_path;

// Refills all_velroots from the registry. Lines end at CR or LF; a line of
// more than 2047 bytes is read as several. Empty and relative lines are
// skipped, a missing final '/' is added, and folders that no longer exist
// are left out (the file keeps them).
void locate_all_veloras();
// Appends dest_dir_path and a line feed to the registry (made when missing)
// unless a line equals it byte for byte. Failures are logged.
void register_new_velora();
