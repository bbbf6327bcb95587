// The disc install's screens up to the start of the copy: the start menu,
// the destination, the licence and the scenery.
#include "core/globs.h"
#include "core/hl_paths.h"
#include "core/hl_version.h"
#include "engine/utils_choose.h"
#include "engine/utils_install.h"
#include "engine/utils_alerts.h"
#include "engine/utils_table.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "files/translate.h"
#include "installer/dest_fields.h"
#include "installer/disk_panel.h"
#include "installer/dvd_disc.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"
#include "installer/velora.h"
#include "installer/world_map.h"
#include "widgets/butn.h"

static std::string tr(const char* text) { return UTL_translate_string(text); }

static void fill_install_steps() {
  static const struct {
    const char* name;
    screen_func screen;
  } k_steps[] = {{"Welcome", dvd_start},
                 {"Pick Destination", dvd_pick_install},
                 {"License", see_eula},
                 {"Select Scenery", dvd_scenery_install},
                 {"Install", dvd_run_install},
                 {"Finish", dvd_done_install}};
  step_names.clear();
  step_funcs.clear();
  for (const auto& st : k_steps) {
    step_names.push_back(tr(st.name));
    step_funcs.push_back(st.screen);
  }
}

// What the start screen finds in the drives after its scan: no disc of the
// set, a later disc while the directory is still to be read, a disc of no
// set of ours, a disc of the set once the directory is read, or the first
// disc still being read.
enum start_disc { sd_none, sd_later, sd_foreign, sd_found, sd_reading };

static start_disc disc_in_drive() {
  if (dvd_path.empty()) return sd_none;
  if (UTIL_later_disc_in()) return sd_later;
  if (install_name == no_install_name || stg.stage == 2) return sd_foreign;
  return stg.stage == 3 ? sd_found : sd_reading;
}

// The screen looks in every frame; the log hears of it only when it changes.
static void log_start_disc(start_disc found) {
  static start_disc last = sd_reading;
  static std::string last_path;
  if (found == sd_reading || (found == last && dvd_path == last_path)) return;
  last = found;
  last_path = dvd_path;
  xer_group g;
  switch (found) {
    case sd_none: g << "No installer disc in any drive: disc 1 is asked for.\n"; break;
    case sd_later:
      g << "The disc at " << dvd_path << " is a later disc of " << install_name << ", not disc 1: refused.\n";
      break;
    case sd_foreign: g << "The disc at " << dvd_path << " is not a disc of this installer: refused.\n"; break;
    case sd_found: g << "Disc of " << install_name << " found at " << dvd_path << ".\n"; break;
    case sd_reading: break;
  }
}

int dvd_start(int first, wizard_screen& s) {
  if (first) {
    locate_all_veloras();
    fill_install_steps();
  }
  s.title = tr("Duvizo 9 Installer");
  UTIL_scan_dvd();
  const start_disc found = disc_in_drive();
  log_start_disc(found);
  if (found == sd_none || found == sd_later) {
    s.text = tr("Please insert Duvizo 9 DVD number one to begin.");
  } else if (found == sd_foreign) {
    s.text = tr("This DVD does not appear to be an Duvizo 9 DVD.");
  } else if (stg.stage == 3 && all_velroots.empty()) {
    if (stg.has_other_files) {
      s.text = UTL_string_sub(
          tr("Welcome to the Duvizo 9 Installer.  I will guide you through the process of installing %1:install name%."),
          install_name);
      s.next_screen = dvd_pick_install;
    } else {
      s.text = UTL_string_sub(tr("This DVD (%1:dvd name%) contains global scenery.  You must install the sim before "
                                 "you install the global scenery."),
                              install_name);
    }
  } else if (stg.stage == 3) {
    s.text = tr("You already have Duvizo 9 installed on this computer.  What would you like to do?");
    auto choice = [&s](const char* name, screen_func to) {
      s.choice_names.push_back(tr(name));
      s.choice_funcs.push_back(to);
    };
    choice("Run Duvizo Now", dvd_pick_run_sim);
    if (stg.has_global_scenery) choice("Add Or Remove Scenery", dvd_pick_scenery);
    if (stg.has_other_files) {
      choice("Repair Duvizo", dvd_pick_repair);
      choice("Install A Second Copy of Duvizo", dvd_pick_install);
    }
  }
  return 0;
}

int dvd_pick_install(int first, wizard_screen& s) {
  static std::string desktop_f, parent_dir, install_folder;
  // The destination the file table was last prepared for: a folder that was
  // in the way and has since gone needs the preparation too, changed or not.
  static std::string prepared_for;
  int changed = 0;
  if (first) {
    get_OS_abs_path(os_dir_desktop, desktop_f);
    accept_eula = 0;
    fill_install_steps();
    changed = 1;
  }
  if (parent_dir.empty()) {
    get_OS_abs_path(os_dir_default_apps, parent_dir);
    install_folder = install_name;
    changed = 1;
  }
  s.title = UTL_string_sub(tr("Pick Install Destination for %1:install%."), install_name);
  s.back = dvd_start;
  s.next_screen = see_eula;

  if (UTIL_destination_fields(parent_dir, install_folder, "Pick a folder to install Duvizo 9 into.")) changed = 1;

  if (install_folder.empty()) {
    dest_dir_path = parent_dir;
    s.next_screen = nullptr;
    s.text = tr("Please pick a name for your Duvizo 9 installation...");
    return 0;
  }
  dest_dir_path = parent_dir + install_folder + "/";
  if (dir_exists(dest_dir_path)) {
    s.next_screen = nullptr;
    s.text = UTL_string_sub(tr("The folder '%1:install name%' already exists inside the folder '%2:parent folder%'."
                               "\n\nPlease change the install name or destination."),
                            install_folder, parent_dir);
    return 0;
  }
  s.text = UTL_string_sub(tr("I will create the folder '%1:install name%' inside the folder '%2:parent folder%'."),
                          install_folder, parent_dir);
  if (parent_dir == desktop_f)
    s.text += UTL_string_sub(tr("\n\n(The folder %1:install name% will appear on your desktop.)"), install_folder);
  UTIL_prepare_new_install(changed, prepared_for);
  // Only shown here: the scenery screen is the one that insists on the space.
  UTIL_disk_space(tr("You have enough free disk space to install Duvizo 9 at this location."),
                  tr("You do not have enough free disk space to install Duvizo 9 at this location.  You can install "
                     "to a different location, or save disk space by installing only some of the global scenery."));
  return 0;
}

// The licence screen also serves the web demo, whose flow begins with
// demo_start: its way back and on are that flow's.
static bool eula_in_demo_flow() { return !step_funcs.empty() && step_funcs.front() == demo_start; }

int see_eula(int, wizard_screen& s) {
  s.title = tr("End User License Agreement");
  s.text = tr("\n\n");
  s.text += UTL_string_sub(tr("See %1:web address%commercial.html for commercial use of Duvizo.\n\n"), app_web_site);
  s.text += tr("\n\n");
  s.text += tr("");
  const bool demo = eula_in_demo_flow();
  s.back = demo ? demo_start : dvd_pick_install;
  if (accept_eula) s.next_screen = demo ? demo_get_updates : dvd_scenery_install;
  BTN_bool(250, 300, &accept_eula, tr("|-I agree!"), 0);
  return 0;
}

int dvd_scenery_install(int first, wizard_screen& s) {
  if (first) {
    if (dvd_install_is_running) {
      const int answer = abort_alert(
          tr("Are you sure you want to cancel the installation?  This will delete the partially installed copy of "
             "Duvizo 9."),
          tr("Cancel"), tr("the installation and delete partial installation."), tr("Continue"),
          tr("the installation process."));
      if (answer == 0) {
        s.next_screen = dvd_run_install;
        return 1;
      }
      install_files_kill();
      RUN_pass_ended(k_pass_cancelled);
      // The folder did not exist before this install made it (the
      // destination screen refuses one that does): all of it is ours.
      if (!dest_dir_path.empty() && dest_dir_path != "/")
        RUN_log_partial_copy_deleted(dest_dir_path, recursive_delete_folder(dest_dir_path));
      dvd_install_is_running = 0;
    }
    UTIL_checksum_to_done();
    recalc_disk_sizes();
  }
  UTIL_world_map();
  s.text = tr("Please pick the scenery you would like to install now.  You can use this installer to add more "
              "scenery or remove scenery later.  If you fly into an area with no scenery installed, you will see "
              "only ocean.\n\nClick on the world map to pick select regions to install.");
  s.title = tr("Select Scenery");
  s.back = see_eula;
  s.next_screen = dvd_run_install;
  if (!UTIL_disk_space(tr("You have enough free disk space to install Duvizo 9 with the selected scenery."),
                       tr("You do not have enough free disk space to install Duvizo 9 with the selected scenery; "
                          "change the install location to another hard driver or select less scenery.")))
    s.next_screen = nullptr;
  return 0;
}
