#include "support/test_env.h"
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include <sstream>

static std::string g_home;

void test_env_isolate_home() {
  char tmpl[] = "/tmp/duv-test-XXXXXX";
  if (!mkdtemp(tmpl)) return;
  g_home = tmpl;
  setenv("HOME", g_home.c_str(), 1);
  setenv("XDG_CONFIG_HOME", (g_home + "/.config").c_str(), 1);
  unsetenv("XDG_DESKTOP_DIR");
  std::string tmp = g_home + "/tmp";
  mkdir(tmp.c_str(), 0700);
  setenv("TMPDIR", tmp.c_str(), 1);
}

std::string test_scratch_dir(const std::string& stem) {
  std::string base = (g_home.empty() ? std::string("/tmp") : g_home) + "/" + stem + "-XXXXXX";
  std::string buf = base;
  if (!mkdtemp(buf.data())) return std::string();
  return buf + "/";
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

std::string test_read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

bool test_write_file(const std::string& path, const std::string& data) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << data;
  f.close();
  return !f.fail();
}
