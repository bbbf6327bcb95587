// The build mode: turns a master copy of the simulator into a disc set (one
// archive per file, spread over discs, the zipped directory file and the
// version file the installer reads). A developer tool starts it; nothing in
// the installer leads here. Every failure is a crash-kind alert with the
// source "Installer-f/make_installer", so a run either finishes or ends the
// program.
//
// The master copy holds four top folders, "All" (only folders), "Macintosh",
// "Windows" and "Linux". Paths under it are built from src_fold alone.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

// Settings of a run; the tool sets them before build_install.
extern std::string src_fold;       // the master copy, ending in '/'
extern std::string dst_fold_base;  // the output root, ending in '/' (must exist)
extern std::string old_dir_path;   // the previous directory text file (web sets)
extern int build_type;             // 0 a web-update set, 1 a DVD set
extern long long disc_limit_kb;    // a disc is full once its archives pass this (7670000)

// State of a run.
extern std::string dst_folder;     // the current output folder (root, or root + "disk_N/")
extern std::string sim_name;       // the install set's name: its folder and the version file's VERSION
extern const std::string build_name[3];
extern const char ALL_str[], APL_str[], WIN_str[], LIN_str[];
extern std::vector<std::string> comp_files;  // full source paths to compress, in walk order
extern std::set<std::string> comp_paths;     // output folders to make (no trailing '/')
extern std::map<std::string, int> sim_info_index;  // platform key -> history of the old table
extern std::string prev_dir;       // the folder of the last DIR line written
extern int dvd_now;                // the disc being filled, from 0
extern double zip_size_dvd;        // archive kilobytes on the current disc
extern double zip_size_ins;        // archive gigabytes of the whole set (kept, not written)
extern int num_files_rec, num_files_use, num_files_com;  // seen, chosen, compressed
extern int reg;                    // shown in the progress lines

// The folder constants: src_fold followed by a fixed path, with the flag the
// walk sets when it meets that folder or file. Rebuilt by set_build_paths.
extern std::string str_all_fold, str_apl_fold, str_win_fold, str_LIN_fold, str_ins_fold, str_wpn_fold,
    str_afl_fold, str_acf_fold, str_pfc_fold, str_res_fold, str_out_fold, str_cus_fold, str_glo_fold,
    str_plug, str_redt, str_orbt, str_erth1, str_erth2, str_mars, str_moon, str_com_file, str_apl_app,
    str_ibm_app, str_lin_app;
extern int found_all_fold, found_apl_fold, found_win_fold, found_LIN_fold, found_ins_fold, found_wpn_fold,
    found_afl_fold, found_acf_fold, found_pfc_fold, found_res_fold, found_out_fold, found_cus_fold,
    found_glo_fold, found_plug, found_redt, found_orbt, found_erth1, found_erth2, found_mars, found_moon,
    found_com_file, found_apl_app, found_ibm_app, found_lin_app;

// The entries the plug-in folder must hold, relative to "All/"; null-ended.
extern const char* const kRequiredPaths[17];
// One flag per kRequiredPaths entry, set when the walk meets it.
extern std::vector<int> found_needed;
// The folders of the kRequiredPaths entries (ending in '/'): nothing else may
// lie in them.
extern std::set<std::string> controlled_folders;

// Where the build mode shows its progress and learns of a 'q' key. The tool
// fills it with the window's drawing; unset parts do nothing.
struct build_screen {
  // Clears the band at the bottom of the window, draws the two lines and
  // swaps the buffers.
  void (*show_progress)(const std::string& line1, const std::string& line2) = nullptr;
  // Polls one pending event: 1 when it was a 'q' key press.
  int (*q_pressed)() = nullptr;
};
extern build_screen g_build_screen;

// Points every folder constant at src_fold and clears the found flags.
void set_build_paths();
// Walks folder (full, ending in '/') and every folder below it, checking each
// entry and collecting the files to compress into comp_files and comp_paths.
void pref_level(const std::string& folder);
// After the walk: alerts for a missing required entry or folder, or the
// forbidden file.
void check_found_flags();
// 1 to put the file at path into the set, 0 to leave it out. With flag 0 and
// flag2 set, a file that cannot be mapped or is empty is left out too.
int is_good_file(const std::string& path, int flag, int flag2);
// The platform key of a path relative to the master copy: the text from its
// first '/' behind "ALL_os", "APL_os", "IBM_os" or "LIN_os" for platforms 0
// to 3, or bare for any other. A path without '/' is a crash alert.
std::string chop_platform(const std::string& path, int platform);
// Points dst_folder at disc n's folder (DVD sets only).
void set_dest_dvd(int n);
// Archives one master-copy file (full path) into the set and writes its
// directory lines.
void comp_file(const std::string& path);
// One whole run, from the reset to the zipped directory file.
void sub_install();
// The entry: names the set by build_type, runs sub_install and shows the
// checklist as a warning alert.
void build_install();
