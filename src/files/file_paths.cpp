#include "files/file_paths.h"
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <cstdint>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>
#include "core/globs.h"
#include "platform/plat_dialogs.h"
#include "platform/plat_folders.h"
#include "platform/plat_bundle.h"

int g_case_sensitive = 0;

namespace {

// Index of the separator before the last component, by the splitting rule:
// a '/' that ends a folder path of three or more characters is passed over.
size_t split_pos(const std::string& in) {
  size_t pos = in.size() - 1;
  if (in.size() >= 3 && in[pos] == '/') --pos;
  while (pos > 0 && in[pos] != '/') --pos;
  return pos;
}

// The entries of a folder, kept while the folder's modification time stays
// the same, so repeated repairs below one folder list it once.
struct folder_listing {
  struct timespec mtime;
  std::vector<std::string> names;
};

std::mutex g_listing_lock;
std::map<std::string, folder_listing> g_listings;
const size_t k_max_listings = 256;

// Reads a folder's entries into the kept listings; false when it cannot be opened.
bool read_listing(const std::string& folder, const struct stat& st) {
  DIR* d = opendir(folder.c_str());
  if (!d) return false;
  if (g_listings.size() >= k_max_listings) g_listings.clear();
  folder_listing& fl = g_listings[folder];
  fl.mtime = st.st_mtim;
  fl.names.clear();
  while (struct dirent* e = readdir(d)) fl.names.push_back(e->d_name);
  closedir(d);
  return true;
}

bool copy_spelling(const folder_listing& fl, char* name, size_t len) {
  const std::string wanted(name, len);
  for (const std::string& n : fl.names) {
    if (n.size() == len && strcasecmp(n.c_str(), wanted.c_str()) == 0) {
      memcpy(name, n.data(), len);
      return true;
    }
  }
  return false;
}

// Copies the spelling on disk of the entry of folder whose name equals
// name[0..len) ignoring case over those bytes. True when one matched.
bool match_in_folder(const std::string& folder, char* name, size_t len) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  std::lock_guard<std::mutex> l(g_listing_lock);
  auto it = g_listings.find(folder);
  if (it != g_listings.end() && it->second.mtime.tv_sec == st.st_mtim.tv_sec &&
      it->second.mtime.tv_nsec == st.st_mtim.tv_nsec && copy_spelling(it->second, name, len))
    return true;
  // New or changed folder, or a name made within the clock's resolution after
  // the folder was read: read it afresh.
  if (!read_listing(folder, st)) return false;
  return copy_spelling(g_listings[folder], name, len);
}

// Unicode of the MacRoman bytes 0x80 to 0xFF.
const uint16_t k_mac_roman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5,
    0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4,
    0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6,
    0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265,
    0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF,
    0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5,
    0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044,
    0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1,
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9,
    0x0131, 0x02C6, 0x02DC, 0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

std::string mac_roman_to_utf8(const std::string& s) {
  std::string out;
  for (unsigned char c : s) {
    if (c == 0) break;
    uint32_t u = c < 0x80 ? c : k_mac_roman[c - 0x80];
    if (u < 0x80) {
      out += char(u);
    } else if (u < 0x800) {
      out += char(0xC0 | (u >> 6));
      out += char(0x80 | (u & 0x3F));
    } else {
      out += char(0xE0 | (u >> 12));
      out += char(0x80 | ((u >> 6) & 0x3F));
      out += char(0x80 | (u & 0x3F));
    }
  }
  return out;
}

}  // namespace

void get_path_with_path(std::string& out, const std::string& in) {
  if (in.empty()) {
    out.clear();
    return;
  }
  size_t pos = split_pos(in);
  size_t last_len = in[pos] == '/' ? in.size() - pos - 1 : in.size();
  out = in.substr(0, in.size() - last_len);
}

void get_file_with_path(std::string& out, const std::string& in) {
  if (in.empty()) {
    out.clear();
    return;
  }
  size_t pos = split_pos(in);
  out = in[pos] == '/' ? in.substr(pos + 1) : std::string(in);
}

int UTL_utf8_valid(const std::string& s) {
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = s[i];
    size_t more;
    if (c < 0x80) more = 0;
    else if ((c & 0xE0) == 0xC0) more = 1;
    else if ((c & 0xF0) == 0xE0) more = 2;
    else if ((c & 0xF8) == 0xF0) more = 3;
    else return 0;
    if (more && i + more >= n) return 0;
    for (size_t k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    i += more + 1;
  }
  return 1;
}

int is_path_full(const std::string& path) { return !path.empty() && path[0] == '/'; }

void set_path_to_full(std::string& path) {
  if (path.empty() || path[0] != '/') path = app_path + path;
  if (g_case_sensitive && !path.empty()) {
    // A buffer as long as the path: a long path is repaired whole, never cut.
    std::vector<char> buf(path.begin(), path.end());
    buf.push_back('\0');
    findPath(buf.data());
    path.assign(buf.data());
  }
}

void findPath(char* path) {
  struct stat st;
  if (stat(path, &st) == 0) return;
  const size_t n = strlen(path);
  size_t cur = 0;
  for (;;) {
    std::string folder;
    if (path[cur] == '/') {
      folder = "/";
      ++cur;
    } else if (cur == 0) {
      folder = ".";
    } else {
      folder.assign(path, cur - 1);
      if (folder.empty()) folder = "/";
    }
    size_t end = cur;
    while (end < n && path[end] != '/') ++end;
    // A component that exists as written needs no listing.
    std::string as_written = (folder == "." ? std::string() : folder == "/" ? folder : folder + "/");
    as_written.append(path + cur, end - cur);
    bool matched = end > cur && lstat(as_written.c_str(), &st) == 0;
    if (!matched && end > cur) matched = match_in_folder(folder, path + cur, end - cur);
    if (end >= n || !matched) return;
    cur = end + 1;
    if (cur >= n) return;
  }
}

void set_path_to_right_dirchars(std::string& path) {
  if (!path.empty() && !UTL_utf8_valid(path)) path = mac_roman_to_utf8(path);
  for (char& c : path)
    if (c == '\\' || c == ':') c = '/';
}

void get_OS_abs_path(int which, std::string& out) {
  std::string dir;
  switch (which) {
    case os_dir_this_app:
      MACIBM_set_app_path(out, 0);
      return;
    case os_dir_this_bundle:
      MACIBM_set_app_path(out, 1);
      return;
    case os_dir_desktop:
    case os_dir_default_apps:
      dir = PLAT_desktop_folder();
      break;
    case os_dir_temp:
      dir = PLAT_temp_folder();
      break;
    case os_dir_prefs:
      dir = PLAT_config_folder();
      break;
    default:
      return;
  }
  if (dir.empty()) return;
  if (dir.back() != '/') dir += '/';
  set_path_to_right_dirchars(dir);
  out = dir;
}

int GetFilePathFromUser(int kind, const std::string& message, const std::string& action_label, int pref_key,
                        const std::string& initial_folder, std::string& path) {
  // The desktop dialog remembers nothing per key.
  (void)pref_key;
  if (kind < 0 || kind > 2) return 0;
  std::string start;
  if (!initial_folder.empty()) {
    std::string full = initial_folder;
    set_path_to_full(full);
    struct stat st;
    if (stat(full.c_str(), &st) == 0) start = S_ISDIR(st.st_mode) ? full : std::string();
  }
  return PLAT_choose_path(kind, message, action_label, start, path);
}

void MACIBM_set_app_path(std::string& out, int keep_bundle) {
  std::string bundle = PLAT_bundle_path();
  if (bundle.empty()) return;
  set_path_to_right_dirchars(bundle);
  int sensitive = PLAT_volume_case_sensitive(bundle);
  if (sensitive >= 0) g_case_sensitive = sensitive;
  if (keep_bundle)
    out = bundle;
  else
    get_path_with_path(out, bundle);
}
