#include "files/archive_support.h"
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <sys/resource.h>
#include <mutex>
#include "core/globs.h"
#include "support/test_env.h"

int run_fixture(const std::string& script, const std::string& args) {
  return test_run(shell_quote(std::string(DUV_FIXTURES_DIR) + "/" + script) + " " + args);
}

std::string cached_fixture(const std::string& script) {
  const std::string base = std::string(DUV_BINARY_DIR) + "/test-fixtures/";
  mkdir(base.c_str(), 0755);
  const std::string stem = script.substr(0, script.rfind('.'));
  const std::string out = base + stem + "/";
  int lock = open((base + stem + ".lock").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644);
  if (lock < 0) return "";
  flock(lock, LOCK_EX);
  // A change to the script, or to the module the Python ones share, makes
  // the fixture again.
  const std::string fixtures = std::string(DUV_FIXTURES_DIR) + "/";
  const std::string stamp = test_read_file(fixtures + script) + test_read_file(fixtures + "apple_double.py");
  bool ok = test_read_file(out + ".stamp") == stamp;
  if (!ok) {
    test_run("rm -rf " + shell_quote(out));
    ok = mkdir(out.c_str(), 0755) == 0 && run_fixture(script, shell_quote(out) + " " + shell_quote(out + "outside/")) == 0 &&
         test_write_file(out + ".stamp", stamp);
  }
  flock(lock, LOCK_UN);
  close(lock);
  return ok ? out : "";
}

std::string shell_quote(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string tree_listing(const std::string& folder) {
  return test_capture("cd " + shell_quote(folder) +
                      " && find . -mindepth 1 -path ./__MACOSX -prune -o -type f -printf '%P file %m %s %T@\\n' "
                      "-o -type l -printf '%P link %l\\n' -o -type d -printf '%P folder %m\\n' | LC_ALL=C sort");
}

std::string hidden_leftovers(const std::string& folder) {
  return test_capture("cd " + shell_quote(folder) + " && find . \\( -name '._*' -o -name '.duv-unpack*' \\) -print");
}

std::string xattr_value(const std::string& path, const std::string& name) {
  return test_capture("getfattr -h --only-values -n " + name + " " + shell_quote(path) + " 2>/dev/null");
}

void limit_file_size(long size) {
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit lim = {(rlim_t)size, (rlim_t)size};
  setrlimit(RLIMIT_FSIZE, &lim);
}

death_test_dir::death_test_dir(const std::string& stem) : var_("DUV_DEATH_TEST_DIR_" + stem) {
  if (const char* inherited = getenv(var_.c_str())) {
    path_ = inherited;
    return;
  }
  path_ = test_scratch_dir(stem);
  owner_ = true;
  setenv(var_.c_str(), path_.c_str(), 1);
}

death_test_dir::~death_test_dir() {
  if (owner_) unsetenv(var_.c_str());
}

log_capture::log_capture(const std::string& path) : path_(path) {
  std::lock_guard<std::recursive_mutex> l(xer_mutex());
  if (xer.is_open()) xer.close();
  xer.clear();
  xer.open(path, std::ios::out | std::ios::trunc);
}

log_capture::~log_capture() {
  std::lock_guard<std::recursive_mutex> l(xer_mutex());
  xer.close();
}

std::string log_capture::text() const {
  std::lock_guard<std::recursive_mutex> l(xer_mutex());
  xer.flush();
  return test_read_file(path_);
}
