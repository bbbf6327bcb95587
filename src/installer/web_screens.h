// What the web updater's and the web demo's screens share: the search for the
// servers and the directory, and the slices of the download pass with their
// texts. Main thread only.
#pragma once
#include <string>
#include <vector>
#include "installer/wizard.h"

struct run_pass_kind;

// One step of a web flow's step list.
struct web_step {
  const char* name;  // English; translated when added
  screen_func func;
};
// A web flow's first frame: reads the registry of installations, refills the
// step list with steps (leaving out the one of skip, when not null) and
// empties the download queue.
void web_flow_begin(const std::vector<web_step>& steps, screen_func skip);

// The install screens' preparation: the log hears that a pass of kind over
// dest_dir_path starts, then choose_files (which may ask about changed
// files) and make_dirs, then an empty download queue and totl_inst_rat 0.
// 0 when the user cancelled or a folder could not be made, and the pass
// ended so: s then leads back to back_to.
int web_install_setup(wizard_screen& s, screen_func back_to, float& totl_inst_rat, const run_pass_kind& kind);

// The search screen's texts that differ between the flows (English, translated
// where shown).
struct web_search_texts {
  const char* contacting_end;  // follows "I am contacting " and the maker's host
  const char* processing;      // the directory is in and being read (stage 1)
  const char* downloading;     // the directory is on its way (stage 0): %1:server name%
};
// One step of UTL_download_directory, then the screen's text (and for stage 0
// its status line and bar) for every state before the directory is loaded.
// 1 while it is not loaded yet (the screen has nothing more to do this
// frame), 0 once stg.stage is 3.
int web_search_frame(wizard_screen& s, const web_search_texts& texts);

// Runs the download pass for about 20 ms of wall-clock time and fills the
// install screen's status line, text and bar, smoothing totl_inst_rat towards
// the share of the expanded KB fetched. finished_paragraphs: a server that has
// run out of files gets "... is finished." (the updater) instead of its rate.
// 1 when the pass has ended (done, or stopped by a failed unpack), with the
// download queue reset; 0 while it runs.
int web_download_slice(wizard_screen& s, float& totl_inst_rat, int finished_paragraphs);

// The install screen's line about the file the pass handled last.
std::string web_file_status();
// The install screen's text: empty while totl_inst_rat is 0.01 or less, else
// the time left, the rate and one paragraph per server.
std::string web_install_text(float totl_inst_rat, int finished_paragraphs);

// 1 when the checksummed installation needs nothing: no file to install, none
// to delete, and no file present whose current version is "GONE". (The size
// totals cannot tell: files under 1000 bytes count 0 KB, deletions none.)
int web_nothing_to_do();
