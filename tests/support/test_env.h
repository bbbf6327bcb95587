// Helpers shared by the tests: a private home folder, scratch folders and
// running commands.
#pragma once
#include <string>
#include <vector>

// Points HOME, XDG_CONFIG_HOME and TMPDIR at a fresh folder of this process,
// made under the caller's TMPDIR (or /tmp). A death-test child keeps the home
// it inherited from the run that started it.
void test_env_isolate_home(bool death_test_child = false);
// At the end of a run: removes the private home when passed, else keeps it
// and prints its path on standard error.
void test_env_finish_home(bool passed);
// The temporary folder the run was started with: TMPDIR, else /tmp; no
// trailing '/'.
std::string test_outer_tmp();
// A new empty folder under the private home, ending in '/'.
std::string test_scratch_dir(const std::string& stem);
// Makes a new scratch folder (test_scratch_dir of stem) the current folder
// for the life of the object, then goes back to the one before: for code
// that writes where it is run.
class test_scratch_cwd {
 public:
  explicit test_scratch_cwd(const std::string& stem);
  ~test_scratch_cwd();
  test_scratch_cwd(const test_scratch_cwd&) = delete;
  test_scratch_cwd& operator=(const test_scratch_cwd&) = delete;
  std::string folder;  // ends in '/'; empty when it could not be made or entered

 private:
  std::string old_;
};
// Runs a shell command; returns its exit status (-1 when it could not run).
int test_run(const std::string& cmd);
// Runs a shell command and returns what it printed on standard output.
std::string test_capture(const std::string& cmd, int* status = nullptr);
// md5sum's 32 hex digits for the file at path ("" when it cannot be read).
std::string test_md5sum(const std::string& path);
// Reads a whole file ("" when missing).
std::string test_read_file(const std::string& path);
// The names in a folder, sorted, without those starting with '.'.
std::vector<std::string> test_list_folder(const std::string& folder);
// Writes a whole file; true on success.
bool test_write_file(const std::string& path, const std::string& data);
