#include "installer/app_main.h"
#include <ftw.h>
#include <sys/stat.h>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "core/utl_cmdline.h"
#include "engine/utils_install.h"
#include "engine/utils_table.h"
#include "files/file_errors.h"
#include "files/file_launch.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "files/pref.h"
#include "installer/dvd_disc.h"
#include "installer/inst_questions.h"
#include "installer/run_log.h"
#include "installer/velora.h"
#include "installer/wizard.h"
#include "platform/plat_folders.h"
#include "shell/hl_event.h"
#include "shell/hl_init.h"
#include "tex/tman.h"

int APP_runs_from_disc(const std::string& bundle, const std::string& disc_root) {
  const size_t n = std::min(bundle.size(), disc_root.size());
  return bundle.compare(0, n, disc_root, 0, n) == 0;
}

std::string APP_bundle_name(const std::string& bundle) {
  size_t end = bundle.size();
  if (end > 2 && bundle[end - 1] == '/') --end;
  const size_t cut = bundle.rfind('/', end - 1);
  return cut == std::string::npos ? std::string() : bundle.substr(cut + 1);
}

static int add_owner_write(const char* path, const struct stat* st, int, struct FTW*) {
  if (!S_ISLNK(st->st_mode)) chmod(path, (st->st_mode & 07777) | S_IWUSR);
  return 0;
}

// Runs from the disc: copies the bundle into the temporary folder and starts
// the copy, which frees the disc for the next one. Returns only when the
// copy could not be made or started; *problem then says why, for the log.
static void hand_over(const std::string& bundle, const std::string& temp, std::string* problem) {
  const std::string copy = temp + APP_bundle_name(bundle);
  if (int err = copy_file_recursive(bundle, copy)) {
    // A partial copy would start and fail later, far from the cause.
    recursive_delete_folder(copy);
    *problem = "Could not copy " + bundle + " to " + copy + ": " + error_str(err) + "\n";
    return;
  }
  // The disc gives read-only modes; the copy is the user's own.
  nftw(copy.c_str(), add_owner_write, 16, FTW_PHYS);
  // The copy adopts the folder once it runs; till then no sweep may take it.
  PLAT_hand_over_temp_folder();
  int err = launch_app(copy, "", 0);
  *problem = "Could not start " + copy + ": " + error_str(err) + "\n";
}

static const char* const k_elements[6] = {
    "RESOURCE:elements_English.png", "RESOURCE:elements_French.png",  "RESOURCE:elements_German.png",
    "RESOURCE:elements_Russian.png", "RESOURCE:elements_Italian.png", "RESOURCE:elements_Spanish.png",
};

static void log_folders() {
  static const struct {
    const char* label;
    int which;
  } k_folders[] = {{"os_dir_this_app\t\t=", os_dir_this_app},
                   {"os_dir_desktop\t\t=", os_dir_desktop},
                   {"os_dir_default_apps\t=", os_dir_default_apps},
                   {"os_dir_temp\t\t\t=", os_dir_temp},
                   {"os_dir_prefs\t\t\t=", os_dir_prefs}};
  xer_group g;
  for (const auto& f : k_folders) {
    std::string dir;
    get_OS_abs_path(f.which, dir);
    g << f.label << dir << (f.which == os_dir_prefs ? "\n\n" : "\n");
  }
}

static void reset_settings() {
  stg.new_format_mark = 0;
  stg.extract_problem = 0;
  stg.server = 0;
  stg.stage = 0;
  stg.crnt_file_state = 3;
  stg.crnt_file_progress = 0;
  stg.stream_count = 0;
  stg.total_comp_kb = 0;
  stg.total_exp_kb = 0;
  stg.platform = plat_mac;
}

static void read_target_platform() {
  if (!cmdline.has_option("--os")) return;
  const std::string os = cmdline.get_option("--os");
  if (os == "ALL") stg.platform = plat_all;
  if (os == "APL") stg.platform = plat_mac;
  if (os == "IBM") stg.platform = plat_win;
  if (os == "LIN") stg.platform = plat_lin;
}

int APP_main(int argc, char** argv) {
  std::string hand_over_problem;
  int swept = 0;
  // "--version" and the like print and end in MACIBM_init: they need no
  // temporary folder, and must not hand over.
  if (!UTL_cmdline::answers_and_exits(argc, argv)) {
    std::string temp, bundle, holder;
    get_OS_abs_path(os_dir_temp, temp);
    get_OS_abs_path(os_dir_this_bundle, bundle);
    // A copy started from the disc lives in a temporary folder of an earlier
    // run: it takes that folder as its own to remove, and never hands over.
    get_path_with_path(holder, bundle);
    if (holder.size() > 1) holder.pop_back();
    const bool is_copy = PLAT_adopt_temp_folder(holder);
    // Folders of runs that were killed or crashed hold copies of archives.
    swept = PLAT_sweep_stale_temp_folders();
    UTIL_locate_dvd_of(bundle);
    if (!is_copy && !dvd_path.empty() && !temp.empty() && APP_runs_from_disc(bundle, dvd_path))
      hand_over(bundle, temp, &hand_over_problem);
  }

  // A run ended from outside (a signal, the display gone) first stops the
  // copy pass's pools and an eject under way.
  g_finishup_hooks.stop_work = [] {
    install_files_kill();
    UTIL_end_eject();
    RUN_log_pass_left("the run was ended from outside");
  };
  MACIBM_init(argc, argv);
  // The engine asks its questions through the toolkit, which stands now.
  install_engine_questions();
  if (!hand_over_problem.empty()) xer_group() << "Running from the disc. " << hand_over_problem;
  if (swept) xer_group() << "Removed " << swept << " temporary folder(s) left by runs that did not end cleanly.\n";
  const int lang = mnw.lang >= 0 && mnw.lang < 6 ? mnw.lang : 0;
  tman.load_texture(tex_fail_quit, 362, 0x48242, tex_load_now, k_elements[lang]);
  log_folders();
  get_OS_abs_path(os_dir_temp, temp_path);
  install_name = no_install_name;
  reset_settings();
  read_target_platform();
  pref.IO_set(11, 0);
  if (argc > 2 && std::string(argv[1]) == "-path") cmd_line_path = argv[2];
  locate_all_veloras();

  APP_update = APP_update_wizard;
  APP_handlemenu = APP_handlemenu_wizard;
  while (!app_done) MACIBM_event_proc();
  // A Quit between discs leaves the install pass's pools standing: their
  // threads must end before the program does.
  install_files_kill();
  UTIL_end_eject();
  xer_group() << "The installer ends normally.\n";
  MACIBM_finishup(1);
  return 0;
}
