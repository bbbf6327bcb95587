#include "engine/make_installer.h"
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "engine/make_installer_int.h"
#include "engine/utils_dir.h"
#include "engine/utils_table.h"
#include "files/file_compress.h"
#include "files/file_errors.h"
#include "files/file_ops.h"
#include "files/xmap.h"

std::string src_fold = "/VOLUMES/DUVIZO9/9xx/Vodovaz Reference/";
std::string dst_fold_base = "/VOLUMES/DUVIZO9/9xx/-upload-/";
std::string old_dir_path = "/VOLUMES/DUVIZO9/9xx/directory940rc11.txt";
int build_type = 0;
long long disc_limit_kb = 7670000;

std::string dst_folder;
std::string sim_name = "-";
const std::string build_name[3] = {"Duvizo 10", "Mars", "Moon"};
const char ALL_str[] = "All", APL_str[] = "Macintosh", WIN_str[] = "Windows", LIN_str[] = "Linux";
std::vector<std::string> comp_files;
std::set<std::string> comp_paths;
std::map<std::string, int> sim_info_index;
std::string prev_dir;
int dvd_now = 0;
double zip_size_dvd = 0, zip_size_ins = 0;
int num_files_rec = 0, num_files_use = 0, num_files_com = 0;
int reg = 0;
build_screen g_build_screen;

void build_crash(int line, const std::string& s1, const std::string& s2, const std::string& s3,
                 const std::string& s4) {
  __MACIBM_alert(0, s1, s2, s3, s4, t_crash, "Installer-f/make_installer", line);
}

std::string under_master(const std::string& path) {
  return path.compare(0, src_fold.size(), src_fold) == 0 ? path.substr(src_fold.size()) : path;
}

void build_progress(const std::string& line1, const std::string& line2) {
  if (g_build_screen.show_progress) g_build_screen.show_progress(line1, line2);
  if (g_build_screen.q_pressed && g_build_screen.q_pressed()) build_crash(__LINE__, "You hit Q dumbass!");
}

std::string chop_platform(const std::string& path, int platform) {
  const size_t slash = path.find('/');
  if (slash == std::string::npos) {
    build_crash(__LINE__, "Could not find the dir char!", path);
    return path;
  }
  static const char* const prefixes[] = {"ALL_os", "APL_os", "IBM_os", "LIN_os"};
  const std::string prefix = platform >= 0 && platform <= 3 ? prefixes[platform] : "";
  return prefix + path.substr(slash);
}

void set_dest_dvd(int n) {
  if (build_type != 0) dst_folder = dst_fold_base + "disk_" + std::to_string(n) + "/";
}

static std::string float_text(const char* format, double value) {
  char text[64];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

// Sizes come from 64-bit counts, so a file above 2 GB keeps its true size.
static long long size_of(const std::string& path, bool follow) {
  struct stat st;
  if ((follow ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

// Makes folder (no trailing '/') and the parents it lacks.
static int make_folder_tree(const std::string& folder) {
  for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
    if (int code = make_folder(folder.substr(0, slash)); show_make_dir_err(code)) return code;
  const int code = make_folder(folder);
  return show_make_dir_err(code) ? code : 0;
}

// A hard link to a ready-made archive; a copy where the output lies on
// another volume.
static int link_or_copy(const std::string& from, const std::string& to) {
  if (link(from.c_str(), to.c_str()) == 0) return 0;
  const int code = errno;
  return code == EXDEV ? copy_file(from, to) : code;
}

void write_file_line(int platform, int version, long long comp_kb, long long exp_kb, const std::string& md5,
                            const std::string& name) {
  ouf << "FILE 0 " << platform << " " << version << " " << comp_kb << " " << exp_kb << " " << md5 << " " << name
      << "\n";
}

void write_dir_line(const std::string& folder) {
  if (folder == prev_dir) return;
  prev_dir = folder;
  ouf << "\nDIR " << folder << "\n";
}

static int platform_of(const std::string& rel) {
  const std::string top = rel.substr(0, rel.find('/'));
  if (top == ALL_str) {
    if (!has(rel, "All/Resources/plugins/")) return plat_all;
    for (const char* mac : {"Tessel.shlb", "Tesselkit.shlb", "Tessel.framework/Tessel",
                            "Tesselkit.framework/Tesselkit", "PluginAdminMac.vpi"})
      if (has(rel, mac)) return plat_mac;
    for (const char* win : {"Tessel.dll", "Tesselkit.dll", "PluginAdminWin.vpi"})
      if (has(rel, win)) return plat_win;
    for (const char* lin : {"Tessel.so", "Tesselkit.so", "PluginAdminLin.vpi"})
      if (has(rel, lin)) return plat_lin_only;
    return plat_all;
  }
  if (top == APL_str) return plat_mac;
  if (top == WIN_str) return plat_win;
  if (top == LIN_str) return plat_lin;
  build_crash(__LINE__, "I can't tell what type of file this is!", rel);
  return plat_all;
}

// The archive the set holds for a file: a ready-made 7z beside it, else a zip
// made here. The readers ask for ".7z" exactly where a DVD set's path holds
// "Global Scenery" and for ".zip" everywhere in a web set, so a file whose
// ready-made archive says otherwise cannot be shipped.
static std::string make_archive(const std::string& path, const std::string& rel) {
  const std::string base = dst_folder + sim_name + "/" + rel;
  const bool has_7z = file_exists(path + ".7z");
  const bool wants_7z = build_type != 0 && has(rel, "Global Scenery");
  if (has_7z != wants_7z)
    build_crash(__LINE__, wants_7z ? "This file needs a .7z archive beside it, and it has none!"
                                   : "This file has a .7z archive beside it that the installer would never ask for!",
                path);
  const std::string archive = base + (wants_7z ? ".7z" : ".zip");
  std::string folder = archive.substr(0, archive.rfind('/'));
  if (int code = make_folder_tree(folder))
    build_crash(__LINE__, "I could not zip a file!", error_str(code), path, archive);
  if (wants_7z) {
    delete_file(archive);
    if (link_or_copy(path + ".7z", archive) != 0)
      build_crash(__LINE__, "ERROR: could not make hard link!", path + ".7z", archive);
  } else if (int code = file_to_zip(path, archive)) {
    build_crash(__LINE__, "I could not zip a file!", error_str(code), path, archive);
  }
  return archive;
}

void comp_file(const std::string& path) {
  const std::string rel = path.substr(src_fold.size());
  const size_t slash = rel.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : rel.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? rel : rel.substr(slash + 1);

  if (path.compare(0, str_win_fold.size(), str_win_fold) == 0 && has(path, ".exe"))
    if (int code = make_file_large_address_aware(path))
      build_crash(__LINE__, "Oops! We could not make a windows exe file large-address-aware!",
                  float_text("error# %f", code), path);

  const std::string archive = make_archive(path, rel);
  const long long zip_bytes = size_of(archive, true);
  if (zip_bytes < 0) build_crash(__LINE__, "ERROR: could not get file size!", archive);
  const long long src_bytes = size_of(path, false);
  if (src_bytes < 0) build_crash(__LINE__, "ERROR: could not get src file size!", path);
  const long long comp_kb = zip_bytes / 1000, exp_kb = src_bytes / 1000;
  zip_size_dvd += comp_kb;
  zip_size_ins += comp_kb * 0.001 * 0.001;

  // A failed digest must never ship as another file's.
  static std::string md5;
  md5.clear();
  if (calc_file_md5(path, md5) != 0) build_crash(__LINE__, "Could not MD5 file!", path);

  write_dir_line(folder);
  const int platform = platform_of(rel);
  if (name.empty()) build_crash(__LINE__, "0-size filename!", "Now how am I supposed to deal with this?", "This is in the NEW file loop");

  auto old = sim_info_index.find(chop_platform(rel, platform));
  if (old != sim_info_index.end()) {
    file_history_struct& h = sim_info[old->second];
    for (const file_version_struct& v : h.versions) {
      if (v.sig_want == md5 || v.sig_want == "GONE") continue;
      std::string old_name = v.path.substr(v.path.rfind('/') + 1);
      if (old_name.empty())
        build_crash(__LINE__, "0-size filename!", "Now how am I supposed to deal with this?", "This is in the OLD file list.");
      write_file_line(v.platform, v.version, (long long)v.compressed_kb, (long long)v.expanded_kb, v.sig_want, old_name);
    }
    h.versions.front().do_install = 0;
  }
  write_file_line(platform, k_new_version, comp_kb, exp_kb, md5, name);

  if (zip_size_dvd > (double)disc_limit_kb) {
    std::printf("Going to next disk - last file on disk %d was %s\n", dvd_now, name.c_str());
    std::fflush(stdout);
    zip_size_dvd = 0;
    ++dvd_now;
    ouf << "DISK " << dvd_now << "\n";
    set_dest_dvd(dvd_now);
  }

  ++num_files_com;
  if (num_files_com % 20 == 0)
    build_progress("reg: " + std::to_string(reg) + ": total files to compress: " + std::to_string(num_files_use) +
                       ". now doing: " + std::to_string(num_files_com) + ".",
                   archive);
}
