#include "installer/dvd_disc.h"
#include <atomic>
#include <memory>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "core/utl_thread.h"
#include "engine/next.h"
#include "engine/utils_dir.h"
#include "engine/utils_table.h"
#include "files/file_compress.h"
#include "files/file_errors.h"
#include "files/file_launch.h"
#include "files/file_ops.h"
#include "files/translate.h"
#include "files/xmap.h"
#include "installer/inst_state.h"
#include "platform/plat_volumes.h"

static std::unique_ptr<PLAT_disc_locator> g_locator;

static PLAT_disc_locator& locator() {
  if (!g_locator) g_locator = std::make_unique<PLAT_disc_locator>();
  return *g_locator;
}

void UTIL_set_mount_table(const std::string& mountinfo_path) {
  g_locator = std::make_unique<PLAT_disc_locator>(mountinfo_path);
}

void UTIL_locate_dvd(const std::string& wanted) {
  PLAT_disc_locator& l = locator();
  // A disc taken out behind our back: forget it, so the next one is found.
  if (l.refresh() && !dvd_path.empty() && !l.is_mounted(dvd_path)) dvd_path.clear();
  if (!wanted.empty())
    dvd_path = l.find(wanted, install_name);
  else if (dvd_path.empty())
    dvd_path = l.find(std::string(), install_name);
}

// A set's name becomes a folder name on the disc and of the installation: one
// name, never a path.
static bool is_folder_name(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

static void read_version_file() {
  xmap_class f(dvd_path + "dvd_version.txt");
  if (!f.mem_beg) return;
  static const int versions[] = {900, 0};
  if (f.check_file(xmap_text, versions, "DVD", nullptr) != 900) return;
  servers.clear();
  std::string name = no_install_name;
  while (f.mem_cur < f.mem_end) {
    if (f.TXT_str_scan_match("VERSION", 1, 0))
      f.TXT_str_scan_eoln(&name);
    else
      f.TXT_str_scan_eoln(nullptr);
  }
  if (is_folder_name(name)) install_name = name;
}

void UTIL_locate_dvd_of(const std::string& path) {
  dvd_path = locator().find_holding(path);
  if (dvd_path.empty()) UTIL_locate_dvd();
}

// The disc in is one of the set but not its first: its set folder holds no
// directory file.
static bool g_later_disc = false;

int UTIL_later_disc_in() { return g_later_disc && !dvd_path.empty(); }

void UTIL_scan_dvd() {
  // Asked in every frame, so a disc taken out is forgotten and the next one
  // read as it comes; the locator reads the mount table again only when it
  // changed.
  const std::string directory = install_name + "/directory.txt.zip";
  const bool want_directory = install_name != no_install_name && stg.stage == 0;
  // While the directory is still to be read, the disc that holds it is the
  // one wanted, whichever drive it is in.
  UTIL_locate_dvd(want_directory ? directory : std::string());
  // Till the directory is read, the set's name belongs to the disc it came
  // from: with that disc gone, the next disc may be of another set.
  if (dvd_path.empty() && stg.stage == 0) install_name = no_install_name;
  if (!dvd_path.empty() && install_name == no_install_name) read_version_file();
  g_later_disc = false;
  if (install_name == no_install_name || stg.stage != 0 || dvd_path.empty()) return;
  // Named again: reading the version file may just have set install_name.
  const std::string zip = dvd_path + install_name + "/directory.txt.zip";
  if (!file_exists(zip)) {
    // A later disc of the box: the user is asked for the first one.
    g_later_disc = true;
    return;
  }
  if (int err = zip_to_file(zip, temp_path, nullptr, 0)) {
    __MACIBM_alert(0, UTL_translate_string("DVD scan: The installer cannot extract a file."),
                   UTL_string_sub(UTL_translate_string("Error: %1:message%."), error_str(err)),
                   UTL_string_sub(UTL_translate_string("Compressed File: %1:file%."), zip),
                   UTL_string_sub(UTL_translate_string("Destination Path: %1:file%."), temp_path), t_quit,
                   "Installer-f/utils_dvd", __LINE__);
    return;
  }
  stg.stage = read_directory(temp_path + "directory.txt", "");
}

// Whether want_file_disk names a file of the table.
static bool wanted_file_known() { return want_file_disk >= 0 && want_file_disk < static_cast<int>(sim_info.size()); }

// The eject runs beside the frames: a drive or tool that hangs costs its
// time-outs, never the window.
namespace {
struct eject_job {
  std::string path;
  std::atomic<int> done{1};
  bool started = false;  // a thread to join
  UTL_thread_handle thread{};
};
eject_job g_eject;

void* eject_thread(void*) {
  // A failure shows as the disc still in; the log says why.
  if (int err = eject_dvd(g_eject.path))
    xer_group() << "Could not eject the disc at " << g_eject.path << ": error " << err << " (" << error_str(err)
                << ").\n";
  else
    xer_group() << "Ejected the disc at " << g_eject.path << ".\n";
  g_eject.done = 1;
  return nullptr;
}

void start_eject(const std::string& path) {
  // One at a time: a disc left in by it is ejected on the next switch.
  if (UTIL_disc_ejecting()) return;
  UTIL_end_eject();
  g_eject.path = path;
  xer_group() << "Ejecting the disc at " << path << ".\n";
  g_eject.done = 0;
  g_eject.started = true;
  UTL_thread_create(eject_thread, nullptr, &g_eject.thread, nullptr, nullptr);
}
}  // namespace

int UTIL_disc_ejecting() { return g_eject.started && !g_eject.done; }

void UTIL_end_eject() {
  if (!g_eject.started) return;
  UTL_thread_join(&g_eject.thread, nullptr);
  g_eject.started = false;
}

// The archive of file want_file_disk below the disc's root.
static std::string wanted_below_root() {
  const file_version_struct& v = current_version(want_file_disk);
  return install_name + "/" + v.path + suffix_for_file(want_file_disk);
}

int UTIL_switch_disk(int first) {
  if (first && !dvd_path.empty()) {
    start_eject(dvd_path);
    dvd_path.clear();
  }
  if (!wanted_file_known()) return 0;
  const int disk = current_version(want_file_disk).disk;
  if (first) xer_group() << "Asked for disc " << disk + 1 << ", which holds " << wanted_below_root() << ".\n";
  return disk;
}

int UTIL_verify_disk() {
  if (!wanted_file_known()) return 0;
  const file_version_struct& v = current_version(want_file_disk);
  const std::string below_root = wanted_below_root();
  UTIL_locate_dvd(below_root);
  if (dvd_path.empty()) {
    xer_group() << "Disc " << v.disk + 1 << " is not in any drive.\n";
    return 0;
  }
  if (!file_exists(dvd_path + below_root)) {
    xer_group() << "The disc at " << dvd_path << " is not disc " << v.disk + 1 << ": refused.\n";
    return 0;
  }
  current_disk = v.disk;
  xer_group() << "Disc " << v.disk + 1 << " found at " << dvd_path << ".\n";
  return 1;
}
