#include <cstdio>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "engine/make_installer.h"
#include "engine/make_installer_int.h"
#include "engine/utils_dir.h"
#include "engine/utils_table.h"
#include "files/file_compress.h"
#include "files/file_ops.h"
#include "files/xmap.h"

// Reads the previous directory file into sim_info and indexes it by platform
// key; every history starts as not yet matched (the first version's
// do_install set).
static void read_old_directory() {
  if (build_type != 0) {
    old_dir_path.clear();
    return;
  }
  // Anything but a loaded file would build a set without its change log.
  if (read_directory(old_dir_path, "Scanning old directory text file to get change log!") != dir_loaded)
    build_crash(__LINE__, "I could not read the old directory!",
                "This means that this installer will not delete old files (needed even for the Duvizo / USA scenery install).",
                "It also means I will forget to fix this, and release without an old directory, and think that older versions of stuff is all user-modified cause I don't recognize it!",
                "So fix this.");
  for (int i = 0; i < (int)sim_info.size(); ++i) {
    file_version_struct& first = sim_info[i].versions.front();
    const std::string key = chop_platform(first.path, first.platform);
    if (!sim_info_index.emplace(key, i).second)
      build_crash(__LINE__, "WARNING: you appear to have a file TWICE in an old directory file.", first.path);
    first.do_install = 1;
    // A set built here holds version 100001, and the next build reads it as
    // its old directory, so that version is allowed.
    for (const file_version_struct& v : sim_info[i].versions)
      if (v.version > k_new_version) {
        char text[64];
        std::snprintf(text, sizeof text, "version_number %f", (double)v.version);
        build_crash(__LINE__, "You idiot! Version numbers must always go up!  I already have a version:", text,
                    "in file ", v.path);
      }
  }
}

static void make_output_folder(const std::string& folder, const char* what) {
  if (show_make_dir_err(make_folder(folder)))
    build_crash(__LINE__, what, folder, "THIS MAY SIMPLY BE BECAUSE THE FOLDER ALREADY EXISTS THOUGH!");
}

// Old histories the new master no longer has: their lines stay, closed by a
// "GONE" line, unless the filter would leave them out of a set anyway.
static void write_gone_files() {
  for (const file_history_struct& h : sim_info) {
    const file_version_struct& first = h.versions.front();
    if (!first.do_install || !is_good_file(src_fold + first.path, 0, 0)) continue;
    const size_t slash = first.path.rfind('/');
    const std::string name = first.path.substr(slash + 1);
    if (name.empty())
      build_crash(__LINE__, "0-size filename!", "Now how am I supposed to deal with this?", "This is in the OLD file list.");
    const std::string folder = first.path.substr(0, slash + 1);
    write_dir_line(folder);
    for (const file_version_struct& v : h.versions)
      write_file_line(v.platform, v.version, (long long)v.compressed_kb, (long long)v.expanded_kb, v.sig_want, name);
    const file_version_struct& last = h.versions.back();
    if (last.sig_want != "GONE") write_file_line(last.platform, k_new_version, 0, 0, "GONE", name);
  }
}

static void close_ouf(const std::string& path) {
  ouf.close();
  if (ouf.fail()) build_crash(__LINE__, "I could not write a file!", path);
}

void sub_install() {
  for (int k = 0; kRequiredPaths[k]; ++k) {
    found_needed.push_back(0);
    const std::string entry = kRequiredPaths[k];
    controlled_folders.insert(entry.substr(0, entry.rfind('/') + 1));
  }
  // Earlier runs leave their flags behind; only this run's count.
  for (int& f : found_needed) f = 0;
  set_build_paths();

  dst_folder = dst_fold_base;
  set_dest_dvd(0);
  const std::string set_folder = dst_folder + sim_name + "/";
  const std::string dir_txt = set_folder + "directory.txt";
  const std::string dir_zip = set_folder + "directory.txt.zip";
  const std::string version_file = dst_folder + "dvd_version.txt";

  zip_size_ins = zip_size_dvd = 0;
  dvd_now = 0;
  prev_dir = "---";
  num_files_rec = num_files_use = num_files_com = 0;
  comp_paths.clear();
  comp_files.clear();
  sim_info.clear();
  sim_info_index.clear();

  read_old_directory();

  make_output_folder(dst_folder.substr(0, dst_folder.size() - 1), "Could not make the dst_folder!");
  make_output_folder(set_folder.substr(0, set_folder.size() - 1), "Could not make the target_folder!");

  if (!ouf_open(dir_txt, xmap_text, 900, "no-copyright-string"))
    build_crash(__LINE__, "I could not write a file!", dir_txt);
  ouf << "INSTALLER\n\n";

  pref_level(src_fold);
  check_found_flags();

  set_dest_dvd(dvd_now);
  for (const std::string& folder : comp_paths) make_folder(folder);
  for (const std::string& path : comp_files) comp_file(path);
  write_gone_files();
  close_ouf(dir_txt);

  if (!ouf_open(version_file, xmap_text, 900, "no-copyright-string"))
    build_crash(__LINE__, "I could not write a file!", version_file);
  ouf << "DVD\n\nVERSION " << sim_name << "\n";
  close_ouf(version_file);

  const int zipped = file_to_zip(dir_txt, dir_zip);
  const int deleted = delete_file(dir_txt);
  if (zipped != 0) build_crash(__LINE__, "zip!=0", dir_txt, dir_zip);
  if (deleted != 0) build_crash(__LINE__, "del!=0", dir_txt);
}

void build_install() {
  if (build_type == 0) {
    reg = 0;
    sim_name = version_string;
    sub_install();
  } else if (build_type == 1) {
    reg = 0;
    sim_name = build_name[0];
    sub_install();
  }
  __MACIBM_alert(0, "OK compression is done. Checklist if doing net:",
                 "Copy version_string and its number from hl_paths.h into serverlist9.txt and put it on the web host.",
                 "Upload the -NET uploads- folder stuff.",
                 "Extract directory.txt.zip to the next previous directory file for use next time.", t_warning,
                 "Installer-f/make_installer", __LINE__);
}
