// Helpers of the archive and launch tests: fixture scripts, listings of
// unpacked trees, and the log captured into a file.
#pragma once
#include <string>

// Runs a script of tests/fixtures with its arguments; its exit status.
int run_fixture(const std::string& script, const std::string& args);
// The output folder (ending in '/') of a fixture script run as
// "script <folder> <folder>outside/", made once per build tree and again
// whenever the script changes; "" when the script failed. Safe when
// several test processes ask at once.
std::string cached_fixture(const std::string& script);
// Quotes text for the shell.
std::string shell_quote(const std::string& text);
// One sorted line per entry below folder, "__MACOSX" left out: path and kind,
// then permission bits, size and modification time of a file, the text of a
// link, or the permission bits of a folder.
std::string tree_listing(const std::string& folder);
// Names below folder that start with "._" or ".duv-unpack" (companions and
// unfinished files that must never be left behind), one a line.
std::string hidden_leftovers(const std::string& folder);
// The value of an extended attribute as getfattr reads it ("" when none).
std::string xattr_value(const std::string& path, const std::string& name);

// Makes every write past size bytes of a file fail with EFBIG, as a full disk
// fails them; for death tests, since it holds for the whole process.
void limit_file_size(long size);

// A folder that a death test's parent and child share. The child runs the
// test again from its start, in a process with a scratch area of its own; the
// parent makes the folder and names it to the child through the environment.
class death_test_dir {
 public:
  explicit death_test_dir(const std::string& stem);
  ~death_test_dir();  // the parent forgets the name
  death_test_dir(const death_test_dir&) = delete;
  death_test_dir& operator=(const death_test_dir&) = delete;
  const std::string& path() const { return path_; }  // ends in '/'
  bool in_child() const { return !owner_; }

 private:
  std::string var_, path_;
  bool owner_ = false;
};

// Sends the log xer to a file for the life of the object.
class log_capture {
 public:
  explicit log_capture(const std::string& path);
  ~log_capture();
  std::string text() const;

 private:
  std::string path_;
};
