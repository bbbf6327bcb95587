#include "platform/plat_folders.h"
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cctype>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

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

// Each run's folder names its owner, so a later run can tell a folder of a
// run that died from one still in use: the process id and its start time
// (ids are reused), and whether the folder is being handed to a copy of the
// program that will take it over.
const char k_owner_file[] = "owner";
const char k_handing_over[] = "handing-over";
// A folder being handed over belongs to no running process for a moment.
constexpr time_t k_hand_over_grace_s = 30;

// The process's start time in clock ticks since boot, or "" when it is gone.
std::string start_time_of(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The command name is in parentheses and may hold anything: the fields
  // follow the last ')'. The start time is the 20th of them.
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return std::string();
  size_t at = close + 2;
  for (int field = 0; field < 19 && at != std::string::npos; ++field) {
    at = stat.find(' ', at);
    if (at != std::string::npos) ++at;
  }
  if (at == std::string::npos) return std::string();
  return stat.substr(at, stat.find(' ', at) - at);
}

void write_owner(const std::string& folder, bool handing_over) {
  if (folder.empty()) return;
  const pid_t pid = getpid();
  std::string line = std::to_string(pid) + " " + start_time_of(pid);
  if (handing_over) line += std::string(" ") + k_handing_over;
  line += "\n";
  const std::string path = folder + "/" + k_owner_file, part = path + ".new";
  const int fd = open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const bool written = write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  close(fd);
  // Renamed into place whole: a sweeping run never reads half a record.
  if (!written || rename(part.c_str(), path.c_str()) != 0) unlink(part.c_str());
}

// Whether a private folder's owner is gone: its record names a process that
// no longer runs (or another one under a reused id). A folder with no
// record is being made, or is not ours to judge: it is kept.
bool owner_gone(const std::string& folder) {
  const std::string path = folder + "/" + k_owner_file;
  std::ifstream in(path);
  long pid = 0;
  std::string started, mark;
  if (!(in >> pid >> started) || pid <= 0) return false;
  in >> mark;
  if (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) {
    if (start_time_of(static_cast<pid_t>(pid)) == started) return false;
  }
  if (mark == k_handing_over) {
    struct stat st;
    if (stat(path.c_str(), &st) == 0 && time(nullptr) - st.st_mtime < k_hand_over_grace_s) return false;
  }
  return true;
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
  write_owner(g_temp, false);
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
  write_owner(g_adopted, false);
  return 1;
}

void PLAT_hand_over_temp_folder() {
  std::lock_guard<std::mutex> l(g_lock);
  write_owner(g_temp, true);
}

int PLAT_sweep_stale_temp_folders() {
  const std::string prefix = temp_prefix();
  const size_t cut = prefix.rfind('/');
  const std::string parent = cut == 0 ? "/" : prefix.substr(0, cut), stem = prefix.substr(cut + 1);
  DIR* d = opendir(parent.c_str());
  if (!d) return 0;
  std::vector<std::string> stale;
  {
    std::lock_guard<std::mutex> l(g_lock);
    while (const dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name.size() != stem.size() + 6 || name.compare(0, stem.size(), stem) != 0) continue;
      const std::string folder = prefix.substr(0, cut + 1) + name;
      if (folder == g_temp || folder == g_adopted) continue;
      // Only private folders of this user, as mkdtemp makes them.
      struct stat st;
      if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
          (st.st_mode & 07777) != 0700)
        continue;
      if (owner_gone(folder)) stale.push_back(folder);
    }
  }
  closedir(d);
  for (const std::string& folder : stale) remove_tree(folder);
  return static_cast<int>(stale.size());
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
