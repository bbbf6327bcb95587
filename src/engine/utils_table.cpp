#include "engine/utils_table.h"
#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>
#include "core/globs.h"
#include "files/file_compress.h"
#include "files/file_inside.h"
#include "files/file_paths.h"

std::vector<file_history_struct> sim_info;
std::string install_name;
std::string dest_dir_path;
std::string temp_path;
int current_disk = 0;
int g_want_sim = 1;
int g_want_global = 1;

file_version_struct& current_version(int i) { return sim_info[i].versions.back(); }

int want_this_f(int f, int v) {
  const file_version_struct& ver = sim_info[f].versions[v];
  if (ver.is_global_scenery ? !g_want_global : !g_want_sim) return 0;
  const int t = stg.platform;
  if (t == plat_all || ver.platform == t || ver.platform == plat_all) return 1;
  return (ver.platform == plat_lin_only && t == plat_lin) ? 1 : 0;
}

void set_install_filter(int want_sim, int want_global) {
  g_want_sim = want_sim;
  g_want_global = want_global;
}

static bool ends_with_no_case(const std::string& s, const char* tail) {
  const size_t n = strlen(tail);
  return s.size() >= n && strncasecmp(s.c_str() + s.size() - n, tail, n) == 0;
}

int is_global_scenery_f(const std::string& path) {
  const bool in_folder = path.find("Global Scenery/") != std::string::npos ||
                         path.find("/-global overlays-/") != std::string::npos ||
                         path.find("/-global terrain-/") != std::string::npos ||
                         path.find("/default scenery/DSF 820") != std::string::npos;
  return (in_folder && path.size() > 4 && ends_with_no_case(path, ".dsf")) ? 1 : 0;
}

int find_sector(int& lon_cell, int& lat_cell, const std::string& path) {
  std::string name = path;
  if (!name.empty() && name.back() == '/') name.pop_back();
  const size_t slash = name.rfind('/');
  if (slash != std::string::npos) name.erase(0, slash + 1);
  lat_cell = (str_to_int(name.substr(0, 3)) + 90) / 10;
  lon_cell = (str_to_int(name.substr(std::min<size_t>(3, name.size()), 4)) + 180) / 10;
  return (lat_cell >= 0 && lat_cell <= 17 && lon_cell >= 0 && lon_cell <= 35) ? 1 : 0;
}

void trim_dest_folder(std::string& path) {
  const size_t slash = path.find('/');
  if (slash != std::string::npos) path.erase(0, slash + 1);
}

std::string suffix_for_file(int i) {
  return current_version(i).path.find("Global Scenery") != std::string::npos ? ".7z" : ".zip";
}

int str_to_int(const std::string& s) {
  if (s.empty()) return -1;
  for (char c : s)
    if (!(c >= '0' && c <= '9') && c != '+' && c != '-') return -1;
  size_t start = 0;
  int sign = 1;
  if (s[0] == '+' || s[0] == '-') {
    sign = s[0] == '-' ? -1 : 1;
    start = 1;
  }
  const size_t digits = s.size() - start;
  if (digits < 1 || digits > 9) return -1;
  // A sign after the first place is read as a digit of +1 or -1 in that place.
  int value = 0;
  for (size_t k = start; k < s.size(); ++k) {
    const int d = s[k] == '+' ? 1 : s[k] == '-' ? -1 : s[k] - '0';
    value = value * 10 + d;
  }
  return sign * value;
}

int path_has_no_file(const std::string& path) { return (!path.empty() && path.back() == '/') ? 1 : 0; }

int path_stays_inside(const std::string& path) {
  if (path.empty() || path[0] == '/') return 0;
  if (path.find('\\') != std::string::npos || path.find('\0') != std::string::npos) return 0;
  size_t begin = 0;
  for (;;) {
    const size_t end = path.find('/', begin);
    const std::string part = path.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    if (end == std::string::npos) {
      // The last component may be empty only for a folder path ("a/b/").
      if (part == "." || part == "..") return 0;
      return 1;
    }
    if (part.empty() || part == "." || part == "..") return 0;
    begin = end + 1;
  }
}

std::string installed_path(int i) {
  std::string rel = current_version(i).path;
  trim_dest_folder(rel);
  return dest_dir_path + rel;
}

int inside_installation(std::string& path, int use) {
  set_path_to_full(path);
  return inside_check(dest_dir_path, path, use);
}

static std::mutex g_swept_lock;
static std::set<std::string> g_swept;

void sweep_stale_temporaries(const std::string& installed_file) {
  std::string folder;
  get_path_with_path(folder, installed_file);
  if (folder.empty() || inside_installation(folder, inside_through)) return;
  {
    std::lock_guard<std::mutex> l(g_swept_lock);
    if (!g_swept.insert(folder).second) return;
  }
  ARC_remove_stale_temporaries(folder);
}

void sweep_stale_reset() {
  std::lock_guard<std::mutex> l(g_swept_lock);
  g_swept.clear();
}
