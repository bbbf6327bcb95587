// The web demo: installs a new demo copy from the download servers into a
// folder the user names. Welcome, License, Check Servers (server list and
// directory), Pick Destination, Install (the download pass), Finish. Nothing
// in the installer leads here: it runs when demo_start is made the first
// screen.
#include "core/globs.h"
#include "engine/next.h"
#include "engine/utils_alerts.h"
#include "engine/utils_table.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "files/translate.h"
#include "installer/dest_fields.h"
#include "installer/disk_panel.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"
#include "installer/velora.h"
#include "installer/web_screens.h"
#include "widgets/butn.h"

static std::string tr(const char* text) { return UTL_translate_string(text); }

int demo_start(int first, wizard_screen& s) {
  if (first)
    web_flow_begin({{"Welcome", demo_start},
                    {"License", see_eula},
                    {"Check Servers", demo_get_updates},
                    {"Pick Destination", demo_pick_dest},
                    {"Install", demo_run_patch},
                    {"Finish", demo_done}},
                   nullptr);
  s.title = tr("Welcome");
  s.flag = 1;
  s.text = tr("I will guide you through the process of installing the web demo of Duvizo 9.");
  if (!all_velroots.empty())
    s.text += "\n\n" + tr("Warning: you already have Duvizo 9 installed on this computer.  Are you sure you want to "
                          "install a new demo copy of Duvizo 9?");
  s.next_screen = see_eula;
  BTN_bool(250, 270, &stg.get_beta,
           tr("|Get the new beta as a demo if available. Leave this off unless you want to participate in the "
              "Duvizo beta program!"),
           0);
  return 0;
}

int demo_get_updates(int first, wizard_screen& s) {
  if (first && stg.stage == 3) stg.stage = 1;
  s.title = tr("Check Servers");
  s.back = see_eula;
  static const web_search_texts texts = {" to find a demo server.",
                                         "I am processing information about the available demo.",
                                         "I am downloading demo info from %1:server name%."};
  if (web_search_frame(s, texts)) return 0;
  s.back = nullptr;
  s.next_screen = demo_pick_dest;
  return 1;
}

// Cancelling the demo's install: 1 when the user chose "Cancel" or closed the
// question, after the partial copy is gone; 0 for "Continue".
static int cancel_demo_install() {
  const int answer =
      abort_alert(tr("Are you sure you want to cancel the installation? This will delete the partially installed copy "
                     "of the Duvizo 9 demo."),
                  tr("Cancel"), tr("the demo installation and delete partial installation."), tr("Continue"),
                  tr("the demo installation process."));
  if (answer == 0) return 0;
  RUN_pass_ended(k_pass_cancelled);
  // The destination screen refuses a folder that exists, so the whole
  // folder is this install's; a path that names no such folder is left be.
  if (!dest_dir_path.empty() && dest_dir_path != "/")
    RUN_log_partial_copy_deleted(dest_dir_path, recursive_delete_folder(dest_dir_path));
  return 1;
}

int demo_pick_dest(int first, wizard_screen& s) {
  static std::string desktop_f, parent_dir, install_folder;
  // The destination the file table was last prepared for.
  static std::string prepared_for;
  int changed = 0;
  if (first) {
    if (demo_install_is_running) {
      if (!cancel_demo_install()) {
        s.next_screen = demo_run_patch;
        return 1;
      }
      demo_install_is_running = 0;
    }
    next.reset_all_streams();
    get_OS_abs_path(os_dir_desktop, desktop_f);
    changed = 1;
  }
  if (parent_dir.empty()) {
    get_OS_abs_path(os_dir_default_apps, parent_dir);
    install_folder = UTL_string_sub(tr("%1:install name% Demo"), "Duvizo 9");
    changed = 1;
  }
  s.title = UTL_string_sub(tr("Pick Install Destination for %1:install%."), install_name);
  s.back = see_eula;
  s.next_screen = demo_run_patch;

  if (UTIL_destination_fields(parent_dir, install_folder, "Pick a folder to install the Duvizo 9 demo into."))
    changed = 1;

  if (install_folder.empty()) {
    dest_dir_path = parent_dir;
    s.next_screen = nullptr;
    s.text = tr("Please pick a name for your Duvizo 9 installation...");
    return 0;
  }
  dest_dir_path = parent_dir + install_folder + "/";
  if (dir_exists(dest_dir_path)) {
    s.next_screen = nullptr;
    s.text = UTL_string_sub(tr("The folder '%1:install name%' already exists inside the folder '%2:parent folder%'."),
                            install_folder, parent_dir) +
             "\n\n" + tr("Please change the install name or destination.");
    return 0;
  }
  s.text = UTL_string_sub(tr("I will create the folder '%1:install name%' inside the folder '%2:parent folder%'."),
                          install_folder, parent_dir);
  if (parent_dir == desktop_f)
    s.text += "\n\n" + UTL_string_sub(tr("(The folder %1:install name% will appear on your desktop.)"), install_folder);
  UTIL_prepare_new_install(changed, prepared_for);
  if (!UTIL_disk_space(tr("You have enough free disk space to install the Duvizo 9 demo at this location."),
                       tr("You do not have enough free disk space to install the Duvizo 9 demo at this location. You "
                          "can install to a different location, or save disk space by installing only some of the "
                          "global scenery.")))
    s.next_screen = nullptr;
  return 0;
}

int demo_run_patch(int, wizard_screen& s) {
  static float totl_inst_rat = 0;
  if (!demo_install_is_running) {
    if (!web_install_setup(s, demo_pick_dest, totl_inst_rat, run_demo)) return 1;
    demo_install_is_running = 1;
    register_new_velora();
  }
  s.title = tr("Installing");
  s.back = demo_pick_dest;
  s.quit = demo_run_quit_func;
  if (web_download_slice(s, totl_inst_rat, 0)) {
    RUN_pass_ended(k_pass_ended);
    s.back = nullptr;
    s.next_screen = demo_done;
    demo_install_is_running = 0;
    return 1;
  }
  return 0;
}

int demo_run_quit_func() { return cancel_demo_install(); }

int demo_done(int, wizard_screen& s) {
  s.title = tr("Finshed Web Demo Install");
  s.next_screen = wizard_quit;
  if (stg.extract_problem) {
    s.text = tr("There were problem installing the Duvizo 9 web demo - it may not be usable.");
    return 0;
  }
  s.text = UTL_string_sub(tr("I have finished installing the Duvizo 9 web demo at: %1:file path%."), dest_dir_path);
  s.choice_names.push_back(tr("Fly Duvizo 9 Now"));
  s.choice_funcs.push_back(dvd_do_run_sim);
  return 0;
}
