#include "engine/utils_dir.h"
#include "core/globs.h"
#include "files/file_ops.h"
#include "files/xmap.h"
#include "engine/utils_download.h"
#include "engine/utils_table.h"
#include "core/hl_alert.h"

static int clamp_platform(int p) { return p < 0 ? 0 : p > 6 ? 6 : p; }

// The directory's MD5 words name temporary files, so only the two shapes the
// writer makes are taken.
static bool md5_word_ok(const std::string& w) {
  if (w == "GONE") return true;
  if (w.size() != 32) return false;
  for (char c : w)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

static void count_scenery() {
  int global = 0, other = 0;
  for (int lon = 0; lon < stg_lon_cells; ++lon)
    for (int lat = 0; lat < stg_lat_cells; ++lat) stg.have_cells[lon][lat] = 0;
  for (const file_history_struct& h : sim_info) {
    const file_version_struct& v = h.versions.back();
    if (v.is_global_scenery) {
      stg.have_cells[v.lon_cell][v.lat_cell] = 1;
      ++global;
    } else {
      ++other;
    }
  }
  stg.has_global_scenery = global > 0;
  stg.has_other_files = other > 0;
}

int scan_directory_file(xmap_class& m, std::string& refused) {
  deleted_files.clear();
  stg.total_comp_kb = 0;
  stg.total_exp_kb = 0;
  stg.files_to_install = 0;
  stg.files_to_delete = 0;
  sim_info.clear();
  static const int versions[] = {840, 900, 0};
  if (!m.check_file(10001, versions, "INSTALLER", nullptr)) return dir_bad_header;

  std::string prefix, previous;
  int disk = 0;
  while (m.mem_cur && m.mem_cur < m.mem_end) {
    if (m.TXT_str_scan_match("DIR", 0, 0)) {
      m.TXT_str_scan_eoln(&prefix);
      continue;
    }
    if (m.TXT_str_scan_match("DISK", 0, 0)) {
      disk = m.TXT_int_scan();
      m.TXT_str_scan_eoln(nullptr);
      continue;
    }
    if (!m.TXT_str_scan_match("FILE", 0, 0)) {
      m.TXT_str_scan_eoln(nullptr);
      continue;
    }
    file_version_struct v;
    m.TXT_int_scan();  // always 0
    v.platform = clamp_platform(m.TXT_int_scan());
    v.version = m.TXT_int_scan();
    v.compressed_kb = (float)m.TXT_int_scan();
    v.expanded_kb = (float)m.TXT_int_scan();
    m.TXT_str_scan_space(&v.sig_want);
    std::string name;
    m.TXT_str_scan_eoln(&name);
    v.path = prefix + name;
    v.disk = disk;
    v.is_global_scenery = is_global_scenery_f(v.path) && find_sector(v.lon_cell, v.lat_cell, v.path);

    int refusal = 0;
    if (path_has_no_file(v.path))
      refusal = dir_refused_no_file;
    else if (!path_stays_inside(v.path))
      refusal = dir_refused_outside;
    else if (!md5_word_ok(v.sig_want))
      refusal = dir_refused_md5;
    if (refusal) {
      refused = v.path;
      sim_info.clear();
      return refusal;
    }
    if (v.path != previous || sim_info.empty()) sim_info.emplace_back();
    previous = v.path;
    sim_info.back().versions.push_back(v);
  }
  count_scenery();
  return dir_loaded;
}

int read_directory(const std::string& path, const std::string& /*message*/) {
  xmap_class m(path, 0, 0);
  if (!m.mem_beg && !file_exists(path)) {
    sim_info.clear();
    __MACIBM_alert(0, "I tried to read a directory file that does not exist!", "The file is:", path, "", t_quit,
                   "Installer-f/utils", __LINE__);
    return dir_bad_header;  // only when the alert could not end the program
  }
  std::string refused;
  const int result = scan_directory_file(m, refused);
  switch (result) {
    case dir_refused_no_file:
      __MACIBM_alert(0, "I am reading the directory text file and found a path that has no file!",
                     "This is impossible to download or delete!", "It is:", refused, t_quit, "Installer-f/utils",
                     __LINE__);
      return dir_bad_header;
    case dir_refused_outside:
      __MACIBM_alert(0, "I am reading the directory text file and found a path that leads out of its folder!",
                     "This is impossible to install or delete safely!", "It is:", refused, t_quit,
                     "Installer-f/utils", __LINE__);
      return dir_bad_header;
    case dir_refused_md5:
      __MACIBM_alert(0, "I am reading the directory text file and found a file without a proper MD5!",
                     "This is impossible to check or install!", "It is:", refused, t_quit, "Installer-f/utils",
                     __LINE__);
      return dir_bad_header;
  }
  return result;
}
