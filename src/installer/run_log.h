// The passes over an installation as the log tells them, in plain English
// sentences a helper can read out over the phone, whatever stg.log_actions
// says: each pass's start, and its outcome with the engine's counts
// (engine/utils_counts.h); a pass the program's end leaves incomplete, and
// what finishes it; a partial copy deleted. One pass is recorded at a time.
// The lines of the discs and the questions are written where those happen.
// Main thread only.
#pragma once
#include <string>

// A kind of pass, as the log names it.
struct run_pass_kind {
  const char* name;       // "Install", "Repair", ...
  const char* finish_by;  // how a copy such a pass left incomplete is finished; null for a scan
};
extern const run_pass_kind run_install, run_scenery, run_repair, run_update, run_demo, run_scan;

// The outcomes the flows log.
extern const char k_pass_ended[];      // every file was handled
extern const char k_pass_cancelled[];  // the user cancelled it
extern const char k_pass_stopped[];    // the user stopped it, or left its screen
extern const char k_pass_no_folder[];  // a folder it needs could not be made

// A pass of kind over folder starts: "<name> of <folder> started." The
// engine's counts start at zero. A pass still recorded ends first, stopped.
void RUN_pass_started(const run_pass_kind& kind, const std::string& folder);
// The recorded pass ends with how (k_pass_...): "<name> of <folder> <how>: N
// files installed, F failed, K kept, D deleted." ("1 file" for one). A scan
// that ended gives how many files it checked and found intact instead; one
// stopped, no counts. Nothing when no pass is recorded.
void RUN_pass_ended(const char* how);
// 1 while a pass of kind is recorded.
int RUN_pass_running(const run_pass_kind& kind);
// The program ends while a pass is recorded, when (as "the user clicked
// Quit") says: the pass is left as it stands, and the log names the copy it
// leaves incomplete with the pass's counts and what finishes it ("stopped"
// for a scan). 1 when a pass was recorded, else 0 and nothing is logged.
int RUN_log_pass_left(const char* when);
// The program ends by the Quit button (by_window 0) or the window's close
// (1): RUN_log_pass_left, or with no pass, only what the user did.
void RUN_log_quit(int by_window);
// The partial copy at folder was deleted with recursive_delete_folder's code.
void RUN_log_partial_copy_deleted(const std::string& folder, int code);
// text on one line: each run of line breaks becomes one space.
std::string RUN_one_line(const std::string& text);
