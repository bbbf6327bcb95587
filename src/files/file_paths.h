// Path texts and the system folders. Paths are UTF-8 with '/' separators; a
// folder path ends in '/'. The text operations keep no state and may run on
// any thread.
#pragma once
#include <string>

// 1 when the volume that holds the application bundle is case-sensitive;
// set by MACIBM_set_app_path, read by the case repair of set_path_to_full.
extern int g_case_sensitive;

// out := the application bundle's path with its separators repaired; with
// keep_bundle 0, the folder that holds it (ending in '/'), with 1 the bundle
// itself (no trailing '/'). Also sets g_case_sensitive from the bundle's volume
// (unchanged when that cannot be told).
void MACIBM_set_app_path(std::string& out, int keep_bundle);

// The well-known folders of get_OS_abs_path.
enum os_dir_type {
  os_dir_this_app = 0,      // the folder that holds the application bundle
  os_dir_this_bundle = 1,   // the bundle itself (no trailing '/')
  os_dir_desktop = 2,       // the user's Desktop
  os_dir_default_apps = 3,  // the user's Desktop (parent of new installations)
  os_dir_temp = 4,          // this program's private temporary folder
  os_dir_prefs = 5          // the user's preferences folder
};

// out := the folder part of in, through its last '/' ('a/b/' -> 'a/', 'abc' -> "").
// out and in may be the same string.
void get_path_with_path(std::string& out, const std::string& in);
// out := the last component of in ('a/b/' -> 'b/', '/x/y.txt' -> 'y.txt').
// out and in may be the same string.
void get_file_with_path(std::string& out, const std::string& in);
// 1 when path is not empty and starts with '/', else 0.
int is_path_full(const std::string& path);
// Puts a relative path behind app_path and, on a case-sensitive volume
// (g_case_sensitive), repairs its letter case to match the names on disk.
void set_path_to_full(std::string& path);
// Repairs, in place, the letter case of each component of a zero-terminated
// path to the spelling on disk, stopping at the first component that matches
// no entry. Never changes the path's length.
void findPath(char* path);
// Makes path valid UTF-8 (reading invalid text as MacRoman) and turns every
// '\' and ':' into '/'.
void set_path_to_right_dirchars(std::string& path);
// 1 when text is UTF-8 by its lead and continuation bytes (over-long forms
// are not looked for), else 0.
int UTL_utf8_valid(const std::string& text);
// out := the folder that which names (see os_dir_type); out is unchanged when
// it cannot be found or made.
void get_OS_abs_path(int which, std::string& out);
// Asks the user for a path with the desktop's dialog. kind: 0 open a file,
// 1 save a file, 2 choose a folder. Returns 1 with path set to the choice (no
// trailing '/'), 0 on cancel or failure with path untouched.
int GetFilePathFromUser(int kind, const std::string& message, const std::string& action_label,
                        int pref_key, const std::string& initial_folder, std::string& path);
