#include "engine/utils_dirs.h"
#include <errno.h>
#include <set>
#include "core/globs.h"
#include "files/file_errors.h"
#include "files/file_inside.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "files/translate.h"
#include "engine/utils_counts.h"
#include "engine/utils_table.h"
#include "core/hl_alert.h"

// A folder that is already there is fine; a file in its place is not.
static int make_one_folder(const std::string& folder) {
  const int code = make_folder(folder);
  return (code == EEXIST && dir_exists(folder)) ? 0 : code;
}

static int make_or_warn(const std::string& folder) {
  const int code = make_one_folder(folder);
  if (code) make_dir_error(folder, code);
  return code;
}

// A folder below the installation. One that leads out of it, through a link
// the set made, is neither made nor taken as there; each file to install in
// it then fails on its own, with the install's error.
static int make_inner_folder(const std::string& folder) {
  std::string full = folder;
  if (int refused = inside_installation(full, inside_through)) {
    xer_group() << "Not making the folder " << full << ": it leads out of the installation (error " << refused
                << ").\n";
    return 0;
  }
  return make_or_warn(full);
}

// Renames folder + name to folder + "_" + name unless it is a link, and only
// inside the installation.
static void move_aside_unless_link(const std::string& folder, const std::string& name) {
  std::string full = folder + name;
  if (inside_installation(full, inside_entry) || is_sim_link(full, nullptr)) return;
  rename_file(folder, name, "_" + name);
}

int make_dirs() {
  // The destination and each of its parents.
  const std::string dest = dest_dir_path.substr(0, dest_dir_path.size() - 1);
  for (size_t slash = dest.find('/', 1); slash != std::string::npos; slash = dest.find('/', slash + 1))
    if (int code = make_or_warn(dest.substr(0, slash))) return code;
  if (int code = make_or_warn(dest)) return code;

  // Every folder a file to install needs; the sorted set puts parents first.
  std::set<std::string> folders;
  for (int i = 0; i < (int)sim_info.size(); ++i) {
    const file_version_struct& v = current_version(i);
    if (!v.do_install || !want_this_f(i, (int)sim_info[i].versions.size() - 1)) continue;
    std::string rel = v.path;
    trim_dest_folder(rel);
    for (size_t slash = rel.find('/'); slash != std::string::npos; slash = rel.find('/', slash + 1))
      folders.insert(rel.substr(0, slash + 1));
  }
  for (const std::string& f : folders)
    if (int code = make_inner_folder(dest_dir_path + f)) return code;

  const std::string out = dest_dir_path + "Output/";
  const std::string fixed[] = {out,
                               out + "FMS plans",
                               out + "logbooks",
                               out + "replays",
                               out + "situations",
                               dest_dir_path + "Resources/",
                               out + "preferences"};
  for (const std::string& f : fixed)
    if (int code = make_inner_folder(f)) return code;

  // Older installs left real folders where the frameworks want links; move
  // them aside so the frameworks' own links can be unpacked in their place.
  const std::string res = dest_dir_path + "Resources/";
  for (const char* fw : {"plugins/Tessel.framework/Versions/", "plugins/Tesselkit.framework/Versions/"})
    move_aside_unless_link(res + fw, "Current");
  for (const char* fw : {"plugins/Tessel.framework/", "plugins/Tesselkit.framework/"})
    move_aside_unless_link(res + fw, "Resources");
  return 0;
}

void make_dir_error(const std::string& folder, int code) {
  __MACIBM_alert(0,
                 UTL_translate_string("I am unable to install or update Duvizo. An error occurred while creating new "
                                      "folders. Make sure you are installing to a directory that you have access to!",
                                      0),
                 UTL_translate_string("Error: ", 0) + error_str(code),
                 UTL_translate_string("Install Location: ", 0) + dest_dir_path,
                 UTL_translate_string("Install Path:", 0) + folder, t_warning, "Installer-f/utils", __LINE__);
}

void delete_files() {
  std::set<std::string> emptied;
  for (int i = 0; i < (int)sim_info.size(); ++i) {
    file_version_struct& v = current_version(i);
    if (!v.do_delete || !path_stays_inside(v.path)) continue;
    const std::string p = installed_path(i);
    std::string full = p;
    if (int refused = inside_installation(full, inside_entry)) {
      xer_group() << "Not DELETING file " << full << ": it leads out of the installation (error " << refused << ").\n";
      pass_count_delete(refused);
      continue;
    }
    const int code = delete_file(full);
    pass_count_delete(code);
    if (stg.log_actions) xer_group() << "DELETING  file " << p << ", with result=" << code << ".\n";
    note_emptied_folders(p, emptied);
    v.up_to_date = 0;
    v.sig_have = "NONE";
  }
  delete_emptied_folders(emptied);
}

void note_emptied_folders(const std::string& path, std::set<std::string>& folders) {
  std::string folder = path;
  for (;;) {
    get_path_with_path(folder, folder);
    if (folder.size() <= dest_dir_path.size() || folder.compare(0, dest_dir_path.size(), dest_dir_path) != 0)
      break;
    folders.insert(folder);
  }
}

void delete_emptied_folders(const std::set<std::string>& folders) {
  // Greatest first: a folder's sub-folders sort after it.
  for (auto f = folders.rbegin(); f != folders.rend(); ++f) {
    std::string full = *f;
    if (inside_installation(full, inside_entry) || !dir_exists(full)) continue;
    const int code = delete_file(full);  // goes only when empty
    if (stg.log_actions) xer_group() << "cleanup: DELETING  file " << *f << ", with result=" << code << ".\n";
  }
}
