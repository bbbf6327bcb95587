#include "platform/plat_bundle.h"
#include <errno.h>
#include <limits.h>
#include <unistd.h>
#include <mutex>

static const char k_exe_dir[] = "/Contents/MacOS";

// The folder part of a path without its trailing '/'; "" when it has none.
static std::string parent_of(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  return path.substr(0, slash == 0 ? 1 : slash);
}

static bool ends_with(const std::string& s, const char* tail) {
  std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

std::string PLAT_executable_path() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
  if (n <= 0) return std::string();
  return std::string(buf, (size_t)n);
}

// The bundle whose "Contents/MacOS" folder is exe_dir, or "".
static std::string bundle_above(const std::string& exe_dir) {
  const size_t tail = sizeof(k_exe_dir) - 1;
  if (!ends_with(exe_dir, k_exe_dir) || exe_dir.size() <= tail) return std::string();
  return exe_dir.substr(0, exe_dir.size() - tail);
}

static std::mutex g_override_lock;
static std::string g_override;  // set by PLAT_set_bundle_path

static std::string bundle_override() {
  std::lock_guard<std::mutex> l(g_override_lock);
  return g_override;
}

void PLAT_set_bundle_path(const std::string& path) {
  std::string p = path;
  while (p.size() > 1 && p.back() == '/') p.pop_back();
  std::lock_guard<std::mutex> l(g_override_lock);
  g_override = p;
}

std::string PLAT_bundle_path() {
  std::string forced = bundle_override();
  if (!forced.empty()) return forced;
  std::string exe = PLAT_executable_path();
  std::string bundle = bundle_above(parent_of(exe));
  return bundle.empty() ? exe : bundle;
}

std::string PLAT_bundle_resources_path() {
  std::string forced = bundle_override();
  if (!forced.empty()) return forced + "/Contents/Resources/";
  std::string bundle = bundle_above(parent_of(PLAT_executable_path()));
  return bundle.empty() ? bundle : bundle + "/Contents/Resources/";
}

int PLAT_enter_bundle_folder() {
  std::string bundle = PLAT_bundle_path();
  if (bundle.empty()) return ENOENT;
  std::string folder = parent_of(bundle);
  if (folder.empty()) return ENOENT;
  return chdir(folder.c_str()) == 0 ? 0 : errno;
}
