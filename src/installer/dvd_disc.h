// Reading the disc set: finding the mounted installer disc, its version file
// and its directory, and switching discs when an archive lies on another.
// Main thread only.
#pragma once
#include <string>

// Asks the disc locator for the installer disc. Without wanted (a path below
// the disc root), keeps a dvd_path that is still mounted and otherwise takes
// the first disc that holds "dvd_version.txt". With wanted, takes the disc
// that holds it, else a disc of this set that lacks it (so the switch screen
// can eject it), else none. dvd_path ends in '/' or is empty.
void UTIL_locate_dvd(const std::string& wanted = std::string());
// The mount table the locator reads; tests hand it a file of their own.
void UTIL_set_mount_table(const std::string& mountinfo_path);

// Reads the disc's version file until install_name is known and then, once
// per run, its directory into sim_info (stg.stage 3, or 2 for a bad header).
// A directory that cannot be unpacked ends the program with the quit alert.
void UTIL_scan_dvd();
// On the first frame ejects the mounted disc and empties dvd_path. Returns
// the disc that holds the archive of sim_info file want_file_disk.
int UTIL_switch_disk(int first);
// 1 (current_disk set to its disc) when the archive of file want_file_disk
// is on the mounted disc, else 0.
int UTIL_verify_disk();
