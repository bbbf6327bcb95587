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
// Takes as dvd_path the installer disc that holds path (the program's own
// bundle at start-up), whichever of the mounted ones that is; with none,
// as UTIL_locate_dvd().
void UTIL_locate_dvd_of(const std::string& path);
// The mount table the locator reads; tests hand it a file of their own.
void UTIL_set_mount_table(const std::string& mountinfo_path);

// Looks for the installer disc again (a disc taken out is forgotten), reads
// its version file until install_name is known and then, once per run, its
// directory into sim_info (stg.stage 3, or 2 for a bad header). While the
// directory is still to be read, the disc that holds it is preferred; a disc
// of the set without it is a later disc (UTIL_later_disc_in). A directory
// that cannot be unpacked ends the program with the quit alert.
void UTIL_scan_dvd();
// 1 when the last UTIL_scan_dvd found a later disc of the set, not the
// first, in the drive.
int UTIL_later_disc_in();
// On the first frame starts ejecting the mounted disc, beside the frames,
// and empties dvd_path; the log says which disc is asked for, and which one
// is ejected and how that went. Returns the disc that holds the archive of
// sim_info file want_file_disk.
int UTIL_switch_disk(int first);
// 1 while an eject started by UTIL_switch_disk runs.
int UTIL_disc_ejecting();
// Waits for an eject under way to end (its tools' time-outs bound it).
void UTIL_end_eject();
// 1 (current_disk set to its disc) when the archive of file want_file_disk
// is on the mounted disc, else 0; the log says which disc was found,
// refused or missing.
int UTIL_verify_disk();
