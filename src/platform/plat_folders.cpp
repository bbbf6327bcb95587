#include "platform/plat_folders.h"
#include <ftw.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace {

std::string strip_slash(std::string s) {
  while (s.size() > 1 && s.back() == '/') s.pop_back();
  return s;
}

bool is_dir(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Makes a folder and its missing parents; true when it stands afterwards.
bool make_dirs(const std::string& p, mode_t mode) {
  if (p.empty()) return false;
  if (is_dir(p)) return true;
  std::string::size_type cut = p.find_last_of('/');
  if (cut != std::string::npos && cut > 0) make_dirs(p.substr(0, cut), mode);
  return mkdir(p.c_str(), mode) == 0 || is_dir(p);
}

// The value of XDG_DESKTOP_DIR in a user-dirs.dirs file: "$HOME/..." or an
// absolute path in double quotes; anything else does not count.
std::string read_user_dirs_desktop(const std::string& file, const std::string& home) {
  FILE* f = fopen(file.c_str(), "r");
  if (!f) return std::string();
  std::string result;
  char line[4096];
  while (fgets(line, sizeof line, f)) {
    const char* p = line;
    while (*p == ' ' || *p == '\t') ++p;
    static const char key[] = "XDG_DESKTOP_DIR=\"";
    if (strncmp(p, key, sizeof key - 1) != 0) continue;
    p += sizeof key - 1;
    const char* q = strchr(p, '"');
    if (!q) continue;
    std::string v(p, q);
    if (v.compare(0, 5, "$HOME") == 0 && (v.size() == 5 || v[5] == '/'))
      v = home + v.substr(5);
    else if (v.empty() || v[0] != '/')
      continue;
    result = strip_slash(v);
  }
  fclose(f);
  return result;
}

std::mutex g_lock;
std::string g_temp;
std::string g_adopted;

// Where private temporary folders go, and their name before the random part.
std::string temp_prefix() {
  const char* t = getenv("TMPDIR");
  std::string base = (t && t[0] == '/' && is_dir(t)) ? strip_slash(t) : std::string("/tmp");
  if (base == "/") base.clear();
  return base + "/Duvizo-";
}

int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
  remove(path);
  return 0;
}

// Deletes a folder tree without following links out of it.
void remove_tree(const std::string& dir) {
  if (!dir.empty()) nftw(dir.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}

}  // namespace

std::string PLAT_home_folder() {
  const char* h = getenv("HOME");
  if (h && h[0] == '/') return strip_slash(h);
  struct passwd pw, *res = nullptr;
  char buf[4096];
  if (getpwuid_r(getuid(), &pw, buf, sizeof buf, &res) == 0 && res && res->pw_dir && res->pw_dir[0] == '/')
    return strip_slash(res->pw_dir);
  return std::string();
}

std::string PLAT_config_folder() {
  std::string dir;
  const char* x = getenv("XDG_CONFIG_HOME");
  if (x && x[0] == '/') {
    dir = strip_slash(x);
  } else {
    std::string home = PLAT_home_folder();
    if (home.empty()) return std::string();
    dir = home + "/.config";
  }
  return make_dirs(dir, 0700) ? dir : std::string();
}

std::string PLAT_desktop_folder() {
  std::string home = PLAT_home_folder();
  if (home.empty()) return std::string();
  std::string dir;
  std::string config = PLAT_config_folder();
  if (!config.empty()) dir = read_user_dirs_desktop(config + "/user-dirs.dirs", home);
  if (dir.empty()) dir = (home == "/" ? "" : home) + "/Desktop";
  return make_dirs(dir, 0755) ? dir : std::string();
}

std::string PLAT_temp_folder() {
  std::lock_guard<std::mutex> l(g_lock);
  if (!g_temp.empty() && is_dir(g_temp)) return g_temp;
  // mkdtemp makes the folder with mode 0700 under a name nobody can predict.
  std::string tmpl = temp_prefix() + "XXXXXX";
  if (!mkdtemp(tmpl.data())) return std::string();
  g_temp = tmpl;
  return g_temp;
}

int PLAT_adopt_temp_folder(const std::string& folder) {
  const std::string prefix = temp_prefix();
  if (folder.size() != prefix.size() + 6 || folder.compare(0, prefix.size(), prefix) != 0) return 0;
  if (folder.find('/', prefix.size()) != std::string::npos) return 0;
  struct stat st;
  if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return 0;
  if (st.st_uid != getuid() || (st.st_mode & 07777) != 0700) return 0;
  std::lock_guard<std::mutex> l(g_lock);
  g_adopted = folder;
  return 1;
}

void PLAT_remove_temp_folders() {
  std::lock_guard<std::mutex> l(g_lock);
  remove_tree(g_temp);
  remove_tree(g_adopted);
  g_temp.clear();
  g_adopted.clear();
}


int PLAT_volume_case_sensitive(const std::string& path) {
  struct stat orig;
  if (path.empty() || stat(path.c_str(), &orig) != 0) return -1;
  // Spell the deepest name that holds a letter with its letters' case swapped:
  // a volume that ignores case finds the same file under the other spelling.
  std::string other = strip_slash(path);
  size_t end = other.size();
  while (end > 0) {
    size_t beg = other.rfind('/', end - 1);
    beg = (beg == std::string::npos) ? 0 : beg + 1;
    bool letter = false;
    for (size_t i = beg; i < end; ++i) {
      unsigned char c = other[i];
      if (isalpha(c)) {
        other[i] = islower(c) ? toupper(c) : tolower(c);
        letter = true;
      }
    }
    if (letter) {
      struct stat st;
      if (stat(other.c_str(), &st) != 0) return 1;
      return (st.st_dev == orig.st_dev && st.st_ino == orig.st_ino) ? 0 : 1;
    }
    if (beg == 0) break;
    end = beg - 1;
  }
  return -1;
}
