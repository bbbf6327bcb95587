// The installer's file table and the small operations every pass applies to
// it: the install filter, the scenery-cell tests and the path helpers. The
// table and the state strings are shared with the front end; only the main
// thread changes them, except that a pass's worker tasks write sig_have and
// up_to_date of their own files.
#pragma once
#include <string>
#include <vector>

// Platform codes of a version and of the target (stg.platform).
enum { plat_all = 0, plat_mac = 1, plat_win = 2, plat_lin = 3, plat_lin_only = 6 };

// One version of one file, as the directory file lists it plus what the
// passes learn and decide about it.
struct file_version_struct {
  int platform = 0;          // plat_ code, 0..6
  int version = 0;
  float compressed_kb = 0;   // archive size on the disc
  float expanded_kb = 0;     // unpacked size
  std::string sig_want;      // shipped MD5, or "GONE"
  std::string sig_have;      // installed MD5, "NONE" when absent, "" before a scan
  std::string path;          // relative to the disc set; first component is its top folder
  int disk = 0;              // disc holding the archive, 0 for the first
  int up_to_date = 0;        // sig_have == sig_want
  int is_global_scenery = 0; // a global-scenery tile with a valid cell
  int lat_cell = 0;          // 0..17
  int lon_cell = 0;          // 0..35
  int do_install = 0;
  int do_delete = 0;
  float progress = 0;        // share of the install's size before this file
};

// The versions of one file, oldest first; the last one is current.
struct file_history_struct {
  std::vector<file_version_struct> versions;
};

// The file table, in the order the directory file first names each file.
extern std::vector<file_history_struct> sim_info;

// Install state shared with the front end. Folders end in '/'.
extern std::string install_name;   // the install set's name (its folder on the disc)
extern std::string dest_dir_path;  // the installation folder
extern std::string temp_path;      // the private temporary folder
extern int current_disk;           // the disc the front end says is mounted

// The filter switches: files that are not global scenery, and those that are.
extern int g_want_sim;
extern int g_want_global;

// The current (last) version of file i.
file_version_struct& current_version(int i);
// 1 when version v of file f passes the kind switches and the target platform.
int want_this_f(int f, int v);
// Sets g_want_sim and g_want_global: (1, 1) install, (1, 0) repair, (0, 1) scenery.
void set_install_filter(int want_sim, int want_global);
// 1 when path is a global-scenery tile (".dsf" under a global-scenery folder).
int is_global_scenery_f(const std::string& path);
// Stores the tile's cells from its file name (+47-123.dsf: lat 13, lon 5);
// 1 when both are in range, else 0 (the values are stored either way).
int find_sector(int& lon_cell, int& lat_cell, const std::string& path);
// Drops everything through the first '/'; a path without '/' is unchanged.
void trim_dest_folder(std::string& path);
// ".7z" when file i's current path holds "Global Scenery", else ".zip".
std::string suffix_for_file(int i);
// The value of a signed decimal text of 1 to 9 digits; -1 for anything else.
int str_to_int(const std::string& s);
// 1 when path ends in '/' (names no file), else 0; "" gives 0.
int path_has_no_file(const std::string& path);
// 1 when a relative path from the directory file stays inside the folder it
// is put behind: not empty, not absolute, no '\', and no empty, "." or ".."
// component. Else 0.
int path_stays_inside(const std::string& path);
// The installed location of file i: dest_dir_path + its current path less
// the first component.
std::string installed_path(int i);
// Makes path (a location in the installation) full and letter-case repaired,
// as the passes then use it, and judges it against dest_dir_path by
// file_inside's rule: 0 when it stays inside the installation, else the
// rule's code (EINVAL when it leads out). Every pass asks before it makes,
// writes, reads or deletes anything there. Safe on any thread.
int inside_installation(std::string& path, int use);
// Removes, once per pass and folder, the unpack temporaries that dead runs
// left in the folder of installed_file (ARC_remove_stale_temporaries), when
// that folder stays inside the installation. Safe on the pass's workers.
void sweep_stale_temporaries(const std::string& installed_file);
// Starts a pass's sweeps afresh; main thread, while no pass runs.
void sweep_stale_reset();
