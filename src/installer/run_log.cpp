#include "installer/run_log.h"
#include "core/globs.h"
#include "engine/utils_counts.h"
#include "engine/utils_table.h"
#include "files/file_errors.h"

const run_pass_kind run_install = {"Install", "A repair of that copy finishes it."};
const run_pass_kind run_scenery = {"Scenery install", "Adding or removing scenery again finishes it."};
const run_pass_kind run_repair = {"Repair", "Running the repair again finishes it."};
const run_pass_kind run_update = {"Update", "Running the web updater again finishes it."};
const run_pass_kind run_demo = {"Demo install", "Installing the demo again finishes it."};
const run_pass_kind run_scan = {"Scan", nullptr};

const char k_pass_ended[] = "ended";
const char k_pass_cancelled[] = "cancelled";
const char k_pass_stopped[] = "stopped";
const char k_pass_no_folder[] = "stopped because a folder could not be made";

namespace {

// The pass under way: its kind (null for none) and the folder it works on.
const run_pass_kind* g_kind = nullptr;
std::string g_folder;

// "1 file", "2 files".
std::string files(int n) { return std::to_string(n) + (n == 1 ? " file" : " files"); }

std::string counts_text() {
  const pass_counts c = pass_counts_now();
  return files(c.installed) + " installed, " + std::to_string(c.failed) + " failed, " + std::to_string(c.kept) +
         " kept, " + std::to_string(c.deleted) + " deleted";
}

// What the scan found: the files of the set it looked at, and how many of
// them are as the set has them.
std::string scan_text() {
  int checked = 0, intact = 0;
  for (int i = 0; i < static_cast<int>(sim_info.size()); ++i) {
    const file_version_struct& v = current_version(i);
    if (v.sig_want == "GONE" || !want_this_f(i, static_cast<int>(sim_info[i].versions.size()) - 1)) continue;
    ++checked;
    intact += v.up_to_date ? 1 : 0;
  }
  return files(checked) + " checked, " + std::to_string(intact) + " found intact";
}

}  // namespace

void RUN_pass_started(const run_pass_kind& kind, const std::string& folder) {
  RUN_pass_ended(k_pass_stopped);
  g_kind = &kind;
  g_folder = folder;
  pass_counts_reset();
  xer_group() << kind.name << " of " << folder << " started.\n";
}

void RUN_pass_ended(const char* how) {
  if (!g_kind) return;
  xer_group g;
  g << g_kind->name << " of " << g_folder << " " << how;
  if (g_kind != &run_scan)
    g << ": " << counts_text();
  else if (std::string(how) == k_pass_ended)
    g << ": " << scan_text();
  g << ".\n";
  g_kind = nullptr;
}

int RUN_pass_running(const run_pass_kind& kind) { return g_kind == &kind; }

int RUN_log_pass_left(const char* when) {
  if (!g_kind) return 0;
  xer_group g;
  if (g_kind == &run_scan)
    g << g_kind->name << " of " << g_folder << " stopped when " << when << ".\n";
  else
    g << g_kind->name << " of " << g_folder << " left incomplete when " << when << ": " << counts_text() << ". "
      << g_kind->finish_by << "\n";
  g_kind = nullptr;
  return 1;
}

void RUN_log_quit(int by_window) {
  if (RUN_log_pass_left(by_window ? "the user closed the window" : "the user clicked Quit")) return;
  xer_group() << (by_window ? "The user closed the window.\n" : "The user clicked Quit.\n");
}

void RUN_log_partial_copy_deleted(const std::string& folder, int code) {
  if (code)
    xer_group() << "Could not delete all of the partial copy " << folder << ": error " << code << " ("
                << error_str(code) << ").\n";
  else
    xer_group() << "Deleted the partial copy " << folder << ".\n";
}

std::string RUN_one_line(const std::string& text) {
  std::string out;
  bool in_break = false;
  for (char c : text) {
    if (c == '\n' || c == '\r') {
      in_break = true;
      continue;
    }
    if (in_break && !out.empty()) out += ' ';
    in_break = false;
    out += c;
  }
  return out;
}
