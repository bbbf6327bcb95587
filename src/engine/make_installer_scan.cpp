#include <algorithm>
#include "core/hl_alert.h"
#include "engine/make_installer.h"
#include "engine/make_installer_int.h"
#include "files/file_list.h"
#include "files/file_ops.h"
#include "files/xmap.h"

std::string str_all_fold, str_apl_fold, str_win_fold, str_LIN_fold, str_ins_fold, str_wpn_fold, str_afl_fold,
    str_acf_fold, str_pfc_fold, str_res_fold, str_out_fold, str_cus_fold, str_glo_fold, str_plug, str_redt,
    str_orbt, str_erth1, str_erth2, str_mars, str_moon, str_com_file, str_apl_app, str_ibm_app, str_lin_app;
int found_all_fold, found_apl_fold, found_win_fold, found_LIN_fold, found_ins_fold, found_wpn_fold,
    found_afl_fold, found_acf_fold, found_pfc_fold, found_res_fold, found_out_fold, found_cus_fold,
    found_glo_fold, found_plug, found_redt, found_orbt, found_erth1, found_erth2, found_mars, found_moon,
    found_com_file, found_apl_app, found_ibm_app, found_lin_app;

const char* const kRequiredPaths[17] = {"Resources/plugins/Commands.txt",
                                        "Resources/plugins/DataRefs.txt",
                                        "Resources/plugins/PluginAdmin",
                                        "Resources/plugins/PluginAdmin/lin.vpi",
                                        "Resources/plugins/PluginAdmin/mac.vpi",
                                        "Resources/plugins/PluginAdmin/win.vpi",
                                        "Resources/plugins/Tessel.dll",
                                        "Resources/plugins/Tessel.framework",
                                        "Resources/plugins/Tessel.framework/Tessel",
                                        "Resources/plugins/Tessel.shlb",
                                        "Resources/plugins/Tessel.so",
                                        "Resources/plugins/Tesselkit.dll",
                                        "Resources/plugins/Tesselkit.framework",
                                        "Resources/plugins/Tesselkit.framework/Tesselkit",
                                        "Resources/plugins/Tesselkit.shlb",
                                        "Resources/plugins/Tesselkit.so",
                                        nullptr};
std::vector<int> found_needed;
std::set<std::string> controlled_folders;

namespace {
// Each folder constant, the path it names under the master copy, and its flag.
struct fold_entry {
  std::string* str;
  const char* under;
  int* found;
};
const fold_entry k_folds[] = {
    {&str_all_fold, "All/", &found_all_fold},
    {&str_apl_fold, "Macintosh/", &found_apl_fold},
    {&str_win_fold, "Windows/", &found_win_fold},
    {&str_LIN_fold, "Linux/", &found_LIN_fold},
    {&str_ins_fold, "All/Instructions/", &found_ins_fold},
    {&str_wpn_fold, "All/Weapons/", &found_wpn_fold},
    {&str_afl_fold, "All/Airfoils/", &found_afl_fold},
    {&str_acf_fold, "All/Aircraft/", &found_acf_fold},
    {&str_pfc_fold, "All/install_pfc Aircraft/", &found_pfc_fold},
    {&str_res_fold, "All/Resources/", &found_res_fold},
    {&str_out_fold, "All/Output/", &found_out_fold},
    {&str_cus_fold, "All/Custom Scenery/", &found_cus_fold},
    {&str_glo_fold, "All/Global Scenery/", &found_glo_fold},
    {&str_plug, "All/Resources/plugins/", &found_plug},
    {&str_redt, "All/Resources/default scenery/900 red terrain/", &found_redt},
    {&str_orbt, "All/Resources/bitmaps/Earth Orbit Textures/", &found_orbt},
    {&str_erth1, "All/Global Scenery/-global overlays-", &found_erth1},
    {&str_erth2, "All/Global Scenery/-global terrain-", &found_erth2},
    {&str_mars, "All/Custom Scenery/DSF 900 Mars World-Wide", &found_mars},
    {&str_moon, "All/Custom Scenery/DSF 900 Moon World-Wide", &found_moon},
    {&str_com_file, "All/Resources-UAH/ac_threat.dat", &found_com_file},
    {&str_apl_app, "Macintosh/Duvizo.app/", &found_apl_app},
    {&str_ibm_app, "Windows/Duvizo.exe", &found_ibm_app},
    {&str_lin_app, "Linux/Duvizo-i686", &found_lin_app},
};

// The only folders "All/" may hold.
const char* const k_all_folders[] = {"Aircraft/", "Airfoils/", "Instructions/", "Output/", "install_pfc Aircraft/",
                                     "Resources/", "Weapons/", "Custom Scenery/", "Global Scenery/"};

// Moves the entry named name to the end of the listing; it must be a folder.
void move_to_end(std::vector<std::string>& names, std::vector<int>& kinds, const char* name) {
  for (size_t n = 0; n < names.size(); ++n) {
    if (names[n] != name) continue;
    if (kinds[n] != kind_folder)
      build_crash(__LINE__, "rel_assert Error! Possibly an out of range vector! Attach the debugger and see who called this!",
                  "dir_file_types[n] == tFOL", "pref_level", "Please report this to Corvane Research.");
    names.push_back(names[n]);
    kinds.push_back(kinds[n]);
    names.erase(names.begin() + n);
    kinds.erase(kinds.begin() + n);
    return;
  }
}

// Inside a controlled folder only the required entries may lie.
void check_controlled(const std::string& folder, const std::vector<std::string>& names) {
  if (folder.compare(0, str_all_fold.size(), str_all_fold) != 0) return;
  const std::string rel_folder = folder.substr(str_all_fold.size());
  if (!controlled_folders.count(rel_folder)) return;
  for (const std::string& name : names) {
    const std::string rel = rel_folder + name;
    bool known = false;
    for (int k = 0; kRequiredPaths[k]; ++k)
      if (rel == kRequiredPaths[k]) {
        if (k < (int)found_needed.size()) found_needed[k] = 1;
        known = true;
      }
    if (!known && !(name.size() > 2 && name.compare(0, 3, "CVS") == 0))
      build_crash(__LINE__, "ERROR: I found a file in a restricted folder, and it should not be there.",
                  "Either this is a NEW file and the installer maker must be modified, OR perhaps this file should be nuked!",
                  folder + name);
  }
}

// The checks every entry passes, folder or file.
void check_entry(const std::string& full, const std::string& name, bool is_folder) {
  const std::string rel = under_master(full);
  if (!name.empty() && name.back() == ' ')
    build_crash(__LINE__, "YOU IDIOT!", "You tried to include a file or directory with a space at the end!",
                "Microsoft does not like that, even if Apple does not mind!", full);
  if (has(rel, ":")) build_crash(__LINE__, "YOU IDIOT!", "found a  : in the path!", full);
  if (has(rel, "\\")) build_crash(__LINE__, "YOU IDIOT!", "found a \\ in the path!", full);
  if (full == str_com_file) found_com_file = 1;
  if (full == str_ibm_app) found_ibm_app = 1;
  if (full == str_lin_app) found_lin_app = 1;
  if (is_folder && full == str_apl_app) found_apl_app = 1;
  if (has(rel, "copy") && !has(rel, "bitmaps/interface/copy.png"))
    build_crash(__LINE__, "YOU IDIOT!", "found a copy file!", full);
  if (has(rel, ".cpp")) build_crash(__LINE__, "YOU IDIOT!", "found a .cpp file!", full);
  if (has(rel, ".CPP")) build_crash(__LINE__, "YOU IDIOT!", "found a .CPP file!", full);
  if (!is_folder && full == str_all_fold + name)
    build_crash(__LINE__, "YOU IDIOT!", "I FOUND A FILE INSIDE THE 'ALL' FOLDER! WE SHOULD ONLY HAVE FOLDERS THERE!",
                full);
}

void scan_file(const std::string& full) {
  ++num_files_rec;
  if (is_good_file(full, 0, 1)) {
    if (has("/" + under_master(full), "/All/Output/preferences/"))
      build_crash(__LINE__, "YOU IDIOT!", "I found this preferences file!", "And is_good_file says I should keep it!!!!",
                  full);
    ++num_files_use;
    comp_files.push_back(full);
    const std::string rel = full.substr(src_fold.size());
    for (int d = 0; d < 6; ++d) {
      const std::string out = build_type != 0 ? dst_fold_base + "disk_" + std::to_string(d) + "/" : dst_fold_base;
      const std::string archive = out + sim_name + "/" + rel;
      for (size_t slash = archive.find('/'); slash != std::string::npos; slash = archive.find('/', slash + 1))
        if (slash >= dst_fold_base.size()) comp_paths.insert(archive.substr(0, slash));
    }
  }
  if (num_files_rec % 500 == 0)
    build_progress("reg: " + std::to_string(reg) + ": total files recursed: " + std::to_string(num_files_rec) +
                       ". will compress: " + std::to_string(num_files_use) + ".",
                   full);
}

void scan_folder_entry(const std::string& folder, const std::string& full) {
  for (const fold_entry& f : k_folds)
    if (full == *f.str) *f.found = 1;
  if (folder == str_all_fold) {
    const std::string name = full.substr(folder.size());
    if (std::find_if(std::begin(k_all_folders), std::end(k_all_folders),
                     [&](const char* ok) { return name == ok; }) == std::end(k_all_folders))
      build_crash(__LINE__, "What the hell is THIS doing in here!?!?!?", full);
  }
  pref_level(full);
}
}  // namespace

void set_build_paths() {
  for (const fold_entry& f : k_folds) {
    *f.str = src_fold + f.under;
    *f.found = 0;
  }
}

void pref_level(const std::string& folder) {
  std::vector<std::string> listed;
  std::vector<int> listed_kinds;
  opensave_getitems(folder, 0, listed, listed_kinds);
  // Byte order, so one master copy always gives the same set.
  std::vector<size_t> order(listed.size());
  for (size_t n = 0; n < order.size(); ++n) order[n] = n;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return listed[a] < listed[b]; });
  std::vector<std::string> names;
  std::vector<int> kinds;
  for (size_t n : order) {
    names.push_back(listed[n]);
    // A link is archived as a link, never followed into.
    kinds.push_back(listed_kinds[n] == kind_folder && !is_sim_link(folder + listed[n], nullptr) ? kind_folder
                                                                                                  : kind_file);
  }
  check_controlled(folder, names);
  // The global scenery is compressed last, so it fills the last discs.
  if (folder == str_all_fold) move_to_end(names, kinds, "Global Scenery");
  if (folder == src_fold) move_to_end(names, kinds, ALL_str);

  for (size_t n = 0; n < names.size(); ++n) {
    const bool is_folder = kinds[n] == kind_folder;
    const std::string full = folder + names[n] + (is_folder ? "/" : "");
    check_entry(full, names[n], is_folder);
    if (is_folder)
      scan_folder_entry(folder, full);
    else
      scan_file(full);
  }
}

void check_found_flags() {
  for (int k = 0; kRequiredPaths[k]; ++k)
    if (k < (int)found_needed.size() && !found_needed[k])
      build_crash(__LINE__, "A required file is missing.", "That file is:", kRequiredPaths[k]);
  const struct {
    int flag;
    const char* text;
    const std::string& folder;
  } folds[] = {{found_all_fold, "!found_all_fold", str_all_fold}, {found_apl_fold, "!found_apl_fold", str_apl_fold},
               {found_win_fold, "!found_win_fold", str_win_fold}, {found_LIN_fold, "!found_X86_fold", str_LIN_fold},
               {found_ins_fold, "!found_ins_fold", str_ins_fold}, {found_wpn_fold, "!found_wpn_fold", str_wpn_fold},
               {found_afl_fold, "!found_afl_fold", str_afl_fold}, {found_acf_fold, "!found_acf_fold", str_acf_fold},
               {found_res_fold, "!found_res_fold", str_res_fold}, {found_out_fold, "!found_out_fold", str_out_fold},
               {found_cus_fold, "!found_cus_fold", str_cus_fold}};
  for (const auto& f : folds)
    if (!f.flag) build_crash(__LINE__, "YOU IDIOT!", f.text, f.folder);
  if (build_type == 1 && !found_glo_fold) build_crash(__LINE__, "YOU IDIOT!", "!found_glo_fold", str_glo_fold);
  if (!found_plug) build_crash(__LINE__, "YOU IDIOT!", "!found_plug\t ", str_plug);
  if (build_type == 1 && !found_redt) build_crash(__LINE__, "YOU IDIOT!", "!found_redt", str_redt);
  if (build_type == 1 && !found_orbt) build_crash(__LINE__, "YOU IDIOT!", "!found_orbt  ", str_orbt);
  if (found_com_file) build_crash(__LINE__, "YOU IDIOT!", " found_com_file", str_com_file);
}

int is_good_file(const std::string& path, int flag, int flag2) {
  if (flag == 0 && flag2 != 0 && !is_sim_link(path, nullptr)) {
    xmap_class data(path, 0, 0);
    if (!data.mem_beg || data.mem_end <= data.mem_beg) return 0;
  }
  const std::string p = under_master(path);
  auto ends = [&](const char* tail) {
    const std::string t(tail);
    return p.size() >= t.size() && p.compare(p.size() - t.size(), t.size(), t) == 0;
  };
  for (const char* part : {"MacCVS.", ".7z", "Thumbs.db", "work.", "._", ".DS_Store", ".sandboxinfo", ".xSYM"})
    if (has(p, part)) return 0;
  if (ends(".ovw") || ends(".ac") || has(p, "serverlist.txt") || has(p, "Duvizo Pilot.txt")) return 0;
  for (const char* tail : {".prf", ".fms", ".sit", ".rep", ".bak"})
    if (ends(tail)) return 0;
  for (const char* part : {".dsf.txt", "/Output/preferences/", "iphone", "IPHONE"})
    if (has(p, part)) return 0;
  if (has(path, str_pfc_fold.c_str())) return 0;
  if (build_type == 0) {
    for (const std::string* s : {&str_redt, &str_orbt, &str_erth1, &str_erth2, &str_mars, &str_moon})
      if (has(path, s->c_str())) return 0;
    return 1;
  }
  if (build_type == 1) {
    const bool other_world = has(path, str_mars.c_str()) || has(path, str_moon.c_str());
    const bool earth = has(path, str_erth1.c_str()) || has(path, str_erth2.c_str());
    return other_world && !earth ? 0 : 1;
  }
  build_crash(__LINE__, "I can not tell what type of install this is!");
  return 0;
}
