// Repairing an installed copy: choose the copy, digest every installed file
// but the global scenery, say how many need reinstalling, then reinstall
// them disc after disc.
#include <string>
#include "engine/utils_choose.h"
#include "engine/utils_table.h"
#include "files/translate.h"
#include "installer/copy_flow.h"
#include "installer/disk_panel.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"

static const copy_flow k_repair = {
    &repair_is_running,
    &run_repair,
    dvd_pick_repair,
    dvd_scan_repair,
    dvd_confirm_repair,
    dvd_install_repair,
    dvd_switch_disk_repair,
    dvd_verify_disk_repair,
    dvd_done_repair,
    {"Welcome", "Select Duvizo", "Scan For Problems", "Confirm Repairs", "Repair Duvizo", "Finish"},
    "Repair Duvizo 9",
    "Please pick which copy of Duvizo 9 you would like to repair.",
    1,
    0,
    0,
    "Scanning Duvizo for Problems",
    "I am scanning %1:folder% for missing or damaged files.\n\nNote: if you have updated this copy of Duvizo from "
    "the Internet, the repair operation will remove the updates.  Once the repair has finished, you should reapply "
    "the updates from the web.",
    "Are you sure you want to stop the repair operation?  Duvizo may not be usable until repairs are complete.  You "
    "can run the repair operation on Duvizo again later to complete repairs.",
    "the repair operation.",
    "Repairing Duvizo",
    "I am repairing %1:file path%.",
    "Repairing: %1:file path%",
    "Finishing up...",
    "An error occurred during the repair:",
    "Duvizo may not be usable until you are able to repair the sim without errors.",
    "the repair.",
    "Repairing Duvizo - Please Change DVDs",
    "Repairing Duvizo - Checking DVD",
};

int dvd_pick_repair(int first, wizard_screen& s) { return copy_flow_pick(k_repair, first, s); }

int dvd_scan_repair(int first, wizard_screen& s) {
  static int ctr = 0;
  return copy_flow_scan(k_repair, ctr, first, s);
}

// Files the scan did not find intact among those the repair takes.
static int files_to_reinstall() {
  int count = 0;
  for (int i = 0; i < static_cast<int>(sim_info.size()); ++i)
    if (!current_version(i).up_to_date && want_this_f(i, static_cast<int>(sim_info[i].versions.size()) - 1)) ++count;
  return count;
}

int dvd_confirm_repair(int first, wizard_screen& s) {
  static int num_file_install = 0;
  if (first) {
    if (copy_flow_ask_stop(k_repair, s)) return 1;
    recalc_disk_sizes();
    num_file_install = files_to_reinstall();
  }
  s.title = UTL_translate_string("Confirm Repairs");
  s.text = UTL_string_sub(UTL_translate_plural(num_file_install,
                                               "I need to install approximately %1:count% file to repair %2:path%.",
                                               "I need to install approximately %1:count% files to repair %2:path%."),
                          std::to_string(num_file_install), dest_dir_path);
  s.back = dvd_pick_repair;
  s.next_screen = dvd_install_repair;
  if (!UTIL_disk_space(UTL_translate_string("You have enough free disk space to repair this copy of Duvizo."),
                       UTL_translate_string("You do not have enough free disk space to repair this copy of Duvizo.")))
    s.next_screen = nullptr;
  if (s.next_screen) s.text += UTL_translate_string("\n\nClick continue to begin repairing Duvizo.");
  return 0;
}

int dvd_install_repair(int, wizard_screen& s) {
  static int f = 0;
  return copy_flow_install(k_repair, f, s);
}

int dvd_switch_disk_repair(int first, wizard_screen& s) { return copy_flow_switch_disk(k_repair, first, s); }

int dvd_verify_disk_repair(int, wizard_screen& s) { return copy_flow_verify_disk(k_repair, s); }

int dvd_done_repair(int, wizard_screen& s) {
  s.title = UTL_translate_string("Finished Repairing Duvizo.");
  if (num_install_errors <= 0) {
    s.text = UTL_string_sub(
        UTL_translate_string(
            "I have finished repairing %1:install path% - click Go Back to return to the main menu."),
        dest_dir_path);
    s.choice_names.push_back(UTL_translate_string("Run Duvizo Now"));
    s.choice_funcs.push_back(dvd_do_run_sim);
  } else {
    s.text = UTL_translate_string(
        "There were errors during the repair; your copy of Duvizo may not be usable.\n\nYou can click Go Back and "
        "use the repair and add-remove scenery functions to try to reinstall any missing or damaged files.");
  }
  s.back = dvd_start;
  s.next_screen = wizard_quit;
  return 0;
}
