#include "engine/utils_choose.h"
#include <string>
#include <vector>
#include "core/globs.h"
#include "files/file_paths.h"
#include "engine/utils_alerts.h"
#include "engine/utils_counts.h"
#include "engine/utils_table.h"

static int cell_wanted(const file_version_struct& v) { return stg.want_cells[v.lon_cell][v.lat_cell]; }

static bool listed(const std::vector<std::string>& folders, const std::string& f) {
  for (const std::string& g : folders)
    if (g == f) return true;
  return false;
}

// 1 when the installed digest is one this file has shipped with at some time.
static bool is_official(int i, const std::string& sig_have) {
  for (const file_version_struct& v : sim_info[i].versions)
    if (v.sig_want == sig_have) return true;
  return false;
}

int choose_files() {
  // Folders whose changed files the user answered for all at once; this run only.
  std::vector<std::string> act_on_all, keep_all;
  const int n = (int)sim_info.size();
  for (int i = 0; i < n; ++i) {
    file_version_struct& v = current_version(i);
    v.do_install = 0;
    v.do_delete = 0;
    if (!want_this_f(i, (int)sim_info[i].versions.size() - 1)) continue;
    const std::string p = installed_path(i);
    bool gone = v.sig_want == "GONE";
    const bool present = v.sig_have != "NONE";
    // A quick scan copies "GONE" into sig_have of a present file; such a
    // file is still to be deleted, so it never counts as current.
    bool current = present && v.sig_have == v.sig_want && !gone;
    if (v.is_global_scenery && !cell_wanted(v)) {
      gone = true;
      current = false;
    }
    bool act = !(current || (gone && !present));
    if (present && !current && !is_official(i, v.sig_have)) {
      std::string folder;
      get_path_with_path(folder, p);
      if (listed(act_on_all, folder)) {
        act = true;
      } else if (listed(keep_all, folder)) {
        act = false;
        pass_count_kept();
      } else {
        xer_group() << "File: " << p << "  sig_want=" << v.sig_want << "  sig_have=" << v.sig_have << "\n";
        switch (select_alert(p, gone ? 1 : 0)) {
          case sel_act: act = true; break;
          case sel_keep: act = false; pass_count_kept(); break;
          case sel_act_all: act_on_all.push_back(folder); act = true; break;
          case sel_keep_all: keep_all.push_back(folder); act = false; pass_count_kept(); break;
          default: return 0;
        }
      }
    }
    v.do_install = (act && !gone) ? 1 : 0;
    v.do_delete = (act && gone) ? 1 : 0;
  }

  float total = 0;
  for (int i = 0; i < n; ++i)
    if (current_version(i).do_install) total += current_version(i).expanded_kb;
  float before = 0;
  for (int i = 0; i < n; ++i) {
    file_version_struct& v = current_version(i);
    if (total <= 0) {
      v.progress = 0.5f;
      continue;
    }
    v.progress = before / total;
    if (v.do_install) before += v.expanded_kb;
  }
  return 1;
}

void recalc_disk_sizes() {
  stg.total_comp_kb = 0;
  stg.total_exp_kb = 0;
  stg.files_to_install = 0;
  stg.files_to_delete = 0;
  const int n = (int)sim_info.size();
  for (int i = 0; i < n; ++i) {
    const file_version_struct& v = current_version(i);
    if (!want_this_f(i, (int)sim_info[i].versions.size() - 1)) continue;
    const bool gone = v.sig_want == "GONE";
    if (!gone && !v.up_to_date && (!v.is_global_scenery || cell_wanted(v))) {
      stg.total_comp_kb += v.compressed_kb;
      stg.total_exp_kb += v.expanded_kb;
      ++stg.files_to_install;
    }
    if (gone && v.up_to_date) ++stg.files_to_delete;
    if (v.is_global_scenery && !cell_wanted(v) && v.up_to_date) ++stg.files_to_delete;
  }
}

void scenery_take_all() {
  for (int lon = 0; lon < stg_lon_cells; ++lon)
    for (int lat = 0; lat < stg_lat_cells; ++lat) stg.want_cells[lon][lat] = stg.have_cells[lon][lat];
}

void scenery_take_none() {
  for (int lon = 0; lon < stg_lon_cells; ++lon)
    for (int lat = 0; lat < stg_lat_cells; ++lat) stg.want_cells[lon][lat] = 0;
}

int scenery_from_install() {
  scenery_take_none();
  int count = 0;
  for (const file_history_struct& h : sim_info) {
    const file_version_struct& v = h.versions.back();
    if (!v.is_global_scenery || v.sig_have == "NONE") continue;
    stg.want_cells[v.lon_cell][v.lat_cell] = 1;
    ++count;
  }
  return count;
}

int scenery_from_install_wrap() { return scenery_from_install(); }
