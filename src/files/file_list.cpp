#include "files/file_list.h"
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <algorithm>
#include <cctype>
#include <numeric>
#include "core/hl_paths.h"
#include "files/file_paths.h"
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"

namespace {

struct ext_row {
  const char* ext;
  int kind;
};

const ext_row k_extensions[] = {
    {".BMP", 2},  {".PNG", 2},  {".ACF", 3},  {".AFL", 4},  {".WPN", 5},  {".WAV", 6},  {".OBJ", 7},
    {".FDR", 8},  {".SIT", 9},  {".REP", 10}, {".FMS", 11}, {".TRA", 13}, {".CAR", 14}, {".SPA", 15},
    {".REG", 16}, {".DSF", 17}, {".HGT", 18}, {".OZ", 19},  {".TXT", 20}, {".PRO", 21},
};

enum { filter_images = 12, filter_nothing = 22, filter_commands = 23 };

// The panel bitmaps under the bitmaps folder are pieces of cockpits, not
// pictures to offer.
const std::string k_panels_prefix = (std::string(bmp_path) + "cockpit/-panels-/").substr(0, 32);

int signed_lower(char c) {
  int v = static_cast<signed char>(c);
  return v >= 0 ? tolower(v) : v;
}

}  // namespace

int no_case_compare_char(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int d = signed_lower(a[i]) - signed_lower(b[i]);
    if (d) return d;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int opensave_takeit(const std::string& folder, const std::string& name, int filter, int& kind) {
  const std::string joined = folder + name;
  if (name.size() >= 4) {
    std::string ext4 = name.substr(name.size() - 4);
    for (char& c : ext4) c = toupper(static_cast<unsigned char>(c));
    const std::string ext3 = ext4.substr(1);
    for (const ext_row& r : k_extensions) {
      if ((r.ext[3] ? ext4 : ext3) == r.ext) {
        kind = r.kind;
        break;
      }
    }
  }
  if (filter == filter_images) {
    if (joined.size() >= k_panels_prefix.size() &&
        strncasecmp(joined.c_str(), k_panels_prefix.c_str(), k_panels_prefix.size()) == 0)
      return 0;
    if (joined.size() >= 6) {
      const std::string tail = joined.substr(joined.size() - 6, 3);
      for (const char* numbered : {"-1.", "-2.", "-3.", "-4."})
        if (strcasecmp(tail.c_str(), numbered) == 0) return 0;
    }
  }
  if (name.empty() || name[0] == '.') return 0;
  return kind == kind_folder || kind == filter || filter == 0 || (filter == filter_images && kind == kind_image);
}

void opensave_sort(std::vector<std::string>& names, std::vector<int>& kinds) {
  const size_t n = names.size();
  std::vector<size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return no_case_compare_char(names[a], names[b]) < 0; });
  bool ties = false;
  for (size_t i = 1; i < n && !ties; ++i) ties = no_case_compare_char(names[order[i - 1]], names[order[i]]) == 0;
  if (!ties) {
    std::vector<std::string> sn(n);
    std::vector<int> sk(n);
    for (size_t i = 0; i < n; ++i) {
      sn[i] = std::move(names[order[i]]);
      sk[i] = kinds[order[i]];
    }
    names.swap(sn);
    kinds.swap(sk);
    return;
  }
  // Names that differ only in letter case: keep the order that the exchange
  // procedure of earlier releases gave them, so listings read the same.
  for (size_t i = 1; i < n; ++i)
    for (size_t j = 0; j < i; ++j)
      if (no_case_compare_char(names[i], names[j]) < 0) {
        std::swap(names[i], names[j]);
        std::swap(kinds[i], kinds[j]);
      }
}

int opensave_getitems(const std::string& folder, int filter, std::vector<std::string>& names,
                      std::vector<int>& kinds) {
  names.clear();
  kinds.clear();
  if (filter == filter_nothing || filter == filter_commands) {
    if (filter == filter_commands && g_command_registry.in_path) g_command_registry.in_path(folder, names);
    kinds.assign(names.size(), filter);
    for (size_t i = 0; i < names.size(); ++i) {
      if (!names[i].empty() && names[i].back() == '/') {
        names[i].pop_back();
        kinds[i] = kind_folder;
      }
    }
    return static_cast<int>(names.size());
  }
  std::string full = folder;
  set_path_to_full(full);
  if (full.size() > 1 && full.back() != '/')
    __MACIBM_alert(0, "Working path does not appear to be a directory!",
                   "This is not consistent with my labelling practices!",
                   "I need to end all paths with the directory indicator!", folder, t_crash,
                   "RUvozuz/Files/FILE_ops", __LINE__);
  if (full.empty()) return 0;
  DIR* d = opendir(full.c_str());
  if (!d) return 0;
  while (struct dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    // The entry itself decides: a link to a folder is not a folder.
    bool is_folder = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN) {
      struct stat st;
      is_folder = lstat((full + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    int kind = is_folder ? kind_folder : kind_file;
    if (opensave_takeit(folder, name, filter, kind)) {
      names.push_back(name);
      kinds.push_back(kind);
    }
  }
  closedir(d);
  opensave_sort(names, kinds);
  return static_cast<int>(names.size());
}
