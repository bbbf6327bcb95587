// Shared by the disc-set maker's tests: running the tool as a program,
// making sample masters, and reading back the directory file it writes.
#pragma once
#include <string>
#include <vector>

// The sample set the build makes, ending in '/'.
std::string sample_discs();
// A fresh sample master (tools/make_sample_master.sh) in a new scratch
// folder; returns its path, ending in '/'.
std::string fresh_master();

// What one run of make_disc_set left.
struct tool_run {
  int status = -1;
  std::string log;     // the run's log file
  std::string stdout_text;
};
// Runs make_disc_set --qa_script with args (already quoted for the shell)
// in a home folder of its own, started in folder cwd when given.
tool_run run_disc_set(const std::string& args, const std::string& cwd = "");
// The alerts' first lines as the log holds them, for failure messages.
std::string alert_lines(const std::string& log);

// One FILE line of a directory file, with the DIR and DISK before it.
struct dir_entry {
  std::string folder, name;
  int platform = 0, version = 0;
  long long comp_kb = 0, exp_kb = 0;
  std::string md5;
  int disk = 0;
  int line = 0;  // the line's number, from 0
  std::string path() const { return folder + name; }
};
struct dir_file {
  std::vector<std::string> lines;
  std::vector<dir_entry> files;
  int disk_lines = 0;
  // The entries of path, in file order.
  std::vector<dir_entry> of(const std::string& path) const;
};
// Reads the directory file out of a set's directory.txt.zip by unzip -p.
dir_file read_set_directory(const std::string& zip_path);
// Quotes text for the shell.
std::string sh_quote(const std::string& text);
