#include "support/test_env.h"
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

static std::string g_home;
static std::string g_outer_tmp;

std::string test_outer_tmp() {
  if (g_outer_tmp.empty()) {
    const char* t = getenv("TMPDIR");
    g_outer_tmp = t && *t ? t : "/tmp";
    while (g_outer_tmp.size() > 1 && g_outer_tmp.back() == '/') g_outer_tmp.pop_back();
  }
  return g_outer_tmp;
}

void test_env_isolate_home(bool death_test_child) {
  if (death_test_child) {
    const char* home = getenv("HOME");
    if (home) g_home = home;
    return;
  }
  std::string tmpl = test_outer_tmp() + "/duv-test-XXXXXX";
  if (!mkdtemp(tmpl.data())) return;
  g_home = tmpl;
  setenv("HOME", g_home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (g_home + "/.config").c_str(), 1);
  unsetenv("XDG_DESKTOP_DIR");
  std::string tmp = g_home + "/tmp";
  mkdir(tmp.c_str(), 0700);
  setenv("TMPDIR", tmp.c_str(), 1);
}

void test_env_finish_home(bool passed) {
  if (g_home.empty()) return;
  if (!passed) {
    fprintf(stderr, "test home kept: %s\n", g_home.c_str());
    return;
  }
  // Tests leave read-only files and folders behind on purpose; as root
  // remove_all takes them, as anyone else their folders need write access.
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(g_home, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(g_home, ec);
  if (ec) fprintf(stderr, "test home not removed: %s (%s)\n", g_home.c_str(), ec.message().c_str());
}

std::string test_scratch_dir(const std::string& stem) {
  std::string base = (g_home.empty() ? test_outer_tmp() : g_home) + "/" + stem + "-XXXXXX";
  std::string buf = base;
  if (!mkdtemp(buf.data())) return std::string();
  return buf + "/";
}

test_scratch_cwd::test_scratch_cwd(const std::string& stem) {
  char here[PATH_MAX];
  if (!getcwd(here, sizeof here)) return;
  old_ = here;
  folder = test_scratch_dir(stem);
  if (folder.empty() || chdir(folder.c_str()) != 0) folder.clear();
}

test_scratch_cwd::~test_scratch_cwd() {
  if (!old_.empty() && chdir(old_.c_str()) != 0) perror(old_.c_str());
}

int test_run(const std::string& cmd) {
  int st = system(cmd.c_str());
  if (st == -1) return -1;
  return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
}

std::string test_capture(const std::string& cmd, int* status) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) {
    if (status) *status = -1;
    return out;
  }
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int st = pclose(p);
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return out;
}

std::string test_md5sum(const std::string& path) {
  int status = -1;
  const std::string out = test_capture("md5sum < '" + path + "' 2>/dev/null", &status);
  return status == 0 && out.size() >= 32 ? out.substr(0, 32) : "";
}

std::string test_read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

std::vector<std::string> test_list_folder(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    const std::string n = e.path().filename().string();
    if (n[0] != '.') names.push_back(n);
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool test_write_file(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << data;
  f.close();
  return !f.fail();
}
