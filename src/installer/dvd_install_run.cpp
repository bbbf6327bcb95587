// The disc install's copy: the install screen that drives the engine disc
// after disc, the disc switch and check, the error question and the finish.
#include "core/globs.h"
#include "core/xtim.h"
#include "engine/utils_alerts.h"
#include "engine/utils_choose.h"
#include "engine/utils_dirs.h"
#include "engine/utils_install.h"
#include "engine/utils_table.h"
#include "files/file_errors.h"
#include "files/translate.h"
#include "installer/dvd_disc.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"
#include "installer/velora.h"

static std::string tr(const char* text) { return UTL_translate_string(text); }

// The busy install's text, progress and status line; f is the next file to
// be queued, so the bar stands still while one large archive is copied.
static void show_install_progress(int f, wizard_screen& s) {
  const int n = static_cast<int>(sim_info.size());
  s.back = dvd_scenery_install;
  s.next_screen = nullptr;
  s.text = UTL_string_sub(tr("I am installing Duvizo in %1:file path%."), dest_dir_path);
  if (f < 0)
    s.progress = 0;
  else if (f < n)
    s.progress = current_version(f).progress;
  else
    s.progress = 1;
  s.status = f >= 0 && f < n ? UTL_string_sub(tr("Installing: %1:file%"), current_version(f).path)
                             : tr("Finishing up...");
}

int dvd_run_install(int, wizard_screen& s) {
  // The engine's cursor; it survives leaving the screen, so a disc switch or
  // a "Continue" resumes where the install stopped.
  static int f = 0;
  if (!dvd_install_is_running) {
    f = 0;
    xer_group() << "Starting install at " << xtim_class::microsecs() / 1000000.0 << "\n";
    RUN_pass_started(run_install, dest_dir_path);
    if (!choose_files()) {
      RUN_pass_ended(k_pass_cancelled);
      s.next_screen = dvd_scenery_install;
      return 1;
    }
    if (make_dirs()) {
      RUN_pass_ended(k_pass_no_folder);
      s.next_screen = dvd_pick_install;
      return 1;
    }
    register_new_velora();
    delete_files();
    dvd_install_is_running = 1;
    num_install_errors = 0;
  }
  s.title = tr("Installing Duvizo");
  s.quit = install_files_kill;
  switch (install_files(f, current_disk)) {
    case 0:
      show_install_progress(f, s);
      return 0;
    case 1:
      s.back = nullptr;
      s.next_screen = dvd_done_install;
      dvd_install_is_running = 0;
      RUN_pass_ended(k_pass_ended);
      return 1;
    case 2:
      want_file_disk = f;
      s.next_screen = dvd_verify_disk_install;
      return 1;
    case 3:
      ++num_install_errors;
      if (UTIL_cancel_install(tr("An error occurred during installation:"),
                              tr("You can continue with the installation and attempt to repair the damaged files "
                                 "later, or you can cancel the installation."),
                              tr("Cancel"), tr("the install."), tr("Continue"), tr("the install.")) == 0) {
        // The next frame asks the engine again and the install goes on.
        show_install_progress(f, s);
        return 0;
      }
      // The scenery screen's first frame asks whether to delete the partial copy.
      s.next_screen = dvd_scenery_install;
      return 1;
    default:
      return 0;
  }
}

int UTIL_cancel_install(std::string title, std::string advice, std::string label1, std::string text1,
                        std::string label2, std::string text2) {
  std::string message;
  const int code = install_files_get_error(message);
  xer_group() << "Install error " << code << " (" << error_str(code) << "): " << message << "\n";
  const std::string question = title + "\n\n" + message + " (" + error_str(code) + ")" + "\n\n" + advice;
  return abort_alert(question, label1, text1, label2, text2);
}

int dvd_switch_disk_install(int first, wizard_screen& s) {
  const int disk = UTIL_switch_disk(first);
  s.title = tr("Installing Duvizo - Please Change DVDs");
  s.text = UTL_string_sub(tr("Please insert DVD number %1:disk number% and click continue."), std::to_string(disk + 1));
  s.back = dvd_scenery_install;
  s.next_screen = dvd_verify_disk_install;
  return 0;
}

int dvd_verify_disk_install(int, wizard_screen& s) {
  s.title = tr("Installing Duvizo - Checking DVD...");
  s.next_screen = UTIL_verify_disk() ? dvd_run_install : dvd_switch_disk_install;
  return 1;
}

int dvd_done_install(int, wizard_screen& s) {
  s.title = tr("Finished Installing Duvizo");
  if (num_install_errors <= 0) {
    s.text = tr("Installation was successful.");
    s.choice_names.push_back(tr("Run Duvizo Now"));
    s.choice_funcs.push_back(dvd_do_run_sim);
  } else {
    s.text = tr("There were errors during the install; your copy of Duvizo may not be usable.\n\nYou can click Go "
                "Back and use the repair and add-remove scenery functions to try to reinstall any missing or damaged "
                "files.");
  }
  s.back = dvd_start;
  s.next_screen = wizard_quit;
  return 0;
}
