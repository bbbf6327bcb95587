// Shared by the engine tests: building a file table by hand and answering the
// engine's questions from a script.
#pragma once
#include <string>
#include <utility>
#include <vector>
#include "engine/utils_table.h"

// Appends a one-version file to sim_info; returns its index.
int add_file(const std::string& path, const std::string& sig_want, const std::string& sig_have = "NONE",
             int platform = 0, float expanded_kb = 1, int disk = 0);
// Appends a version to file i's history (it becomes current).
void add_version(int i, const std::string& sig_want, const std::string& sig_have = "NONE");
// Empties the table and the totals, wants everything on every platform,
// and takes the first disc as mounted.
void reset_engine_state();

// Answers select_alert and abort_alert from queues; records what was asked.
struct scripted_questions {
  std::vector<int> select_answers;                      // used front first
  std::vector<int> abort_answers;
  std::vector<std::pair<std::string, int>> selected;    // (path, mode) asked
  std::vector<std::string> aborted;                     // messages asked
  scripted_questions();
  ~scripted_questions();
};

// Runs checksum_directory one step at a time until it returns 1 (false when
// it has not finished within a minute); steps counts the calls.
bool run_checksum_pass(int quick, int* steps = nullptr);

// What an install run saw: the non-zero results of install_files in order
// (0 busy is left out), and the errors handed out after each 3.
struct install_run {
  std::vector<int> results;
  std::vector<std::pair<int, std::string>> errors;
  bool finished = false;  // install_files returned 1 within the time limit
};
// The pass's tally (engine/utils_counts.h) as "installed failed kept deleted".
std::string counted();

// Drives install_files once per "frame" the way the install screen does:
// on 2 it mounts the disc the cursor's file needs (disc_root(n) gives its
// root, ending in '/'), on 3 it takes the error and goes on.
install_run run_install_pass(std::string (*disc_root)(int), int& cursor);
