// Helpers shared by the tests: a private home folder, scratch folders and
// running commands.
#pragma once
#include <string>

// Points HOME, XDG_CONFIG_HOME and TMPDIR at a fresh folder of this process.
void test_env_isolate_home();
// A new empty folder under the private home, ending in '/'.
std::string test_scratch_dir(const std::string& stem);
// Runs a shell command; returns its exit status (-1 when it could not run).
int test_run(const std::string& cmd);
// Runs a shell command and returns what it printed on standard output.
std::string test_capture(const std::string& cmd, int* status = nullptr);
// Reads a whole file ("" when missing).
std::string test_read_file(const std::string& path);
// Writes a whole file; true on success.
bool test_write_file(const std::string& path, const std::string& data);
