// Adding or removing scenery of an installed copy: choose the copy, look
// quickly which scenery it holds, show that on the world map, then install
// the cells the user added and delete the ones taken away.
#include "core/globs.h"
#include "engine/utils_choose.h"
#include "files/translate.h"
#include "installer/copy_flow.h"
#include "installer/disk_panel.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"
#include "installer/world_map.h"

static const copy_flow k_scenery = {
    &scenery_install_is_running,
    &run_scenery,
    dvd_pick_scenery,
    dvd_scan_scenery,
    dvd_edit_scenery,
    dvd_install_scenery,
    dvd_switch_disk_scenery,
    dvd_verify_disk_scenery,
    dvd_done_scenery,
    {"Welcome", "Select Duvizo", "Scan Existing Scenery", "Select New Scenery", "Install Scenery", "Finish"},
    "Select Duvizo 9 to Add or Remove Scenery",
    "Please pick which copy of Duvizo 9 you would like to add scenery to.",
    0,
    1,
    1,
    "Scanning Duvizo 9 for Installed Scenery",
    "I am scanning %1:install folder% to see what scenery you already have installed.\n\nNote: I am only checking "
    "for the scenery already installed from your DVDs.  This scan will not show any custom scenery downloaded from "
    "the internet.",
    "Are you sure you want to stop scenery installation?  You can add or remove more scenery later.",
    "the scenery install.",
    "Installing New Scenery",
    "I am installing new scenery for %1:install path%,",
    "Installing: %1:file%",
    "Finishing Up...",
    "An error occurred during scenery installation:",
    "You can continue with the installation and attempt to reinstall the damaged files later, or you can stop the "
    "installation",
    "the scenery install.",
    "Installing Scenery - Please change DVDs",
    "Installing Scenery - Verifying DVD",
};

int dvd_pick_scenery(int first, wizard_screen& s) { return copy_flow_pick(k_scenery, first, s); }

int dvd_scan_scenery(int first, wizard_screen& s) {
  static int ctr = 0;
  return copy_flow_scan(k_scenery, ctr, first, s);
}

int dvd_edit_scenery(int first, wizard_screen& s) {
  if (first) {
    if (copy_flow_ask_stop(k_scenery, s)) return 1;
    // The map starts from what the copy holds now.
    scenery_from_install();
    recalc_disk_sizes();
  }
  UTIL_world_map();
  s.text = UTL_translate_string(
      "Click on the world map to select what scenery you would like to install.  Scenery that you deselect will be "
      "removed; scenery that you select will be installed.  If you fly into an area with no scenery installed, you "
      "will see only ocean.");
  s.title = UTL_translate_string("Select Scenery");
  s.back = dvd_pick_scenery;
  s.next_screen = dvd_install_scenery;
  if (!UTIL_disk_space(UTL_translate_string("You have enough free disk space to install this scenery."),
                       UTL_translate_string("You do not have enough free disk space to install this scenery.")))
    s.next_screen = nullptr;
  return 0;
}

int dvd_install_scenery(int, wizard_screen& s) {
  static int f = 0;
  return copy_flow_install(k_scenery, f, s);
}

int dvd_switch_disk_scenery(int first, wizard_screen& s) { return copy_flow_switch_disk(k_scenery, first, s); }

int dvd_verify_disk_scenery(int, wizard_screen& s) { return copy_flow_verify_disk(k_scenery, s); }

// The finish text by what this install had to do: {install only, both,
// delete only, neither}.
static const char* scenery_outcome(const char* const (&texts)[4]) {
  const bool adds = stg.files_to_install > 0, removes = stg.files_to_delete > 0;
  return adds ? texts[removes ? 1 : 0] : texts[removes ? 2 : 3];
}

int dvd_done_scenery(int, wizard_screen& s) {
  s.title = UTL_translate_string("Finished With Add/Remove Scenery");
  if (num_install_errors <= 0) {
    static const char* const k_done[4] = {
        "I have successfully installed more scenery to match your choices on the map.",
        "I have successfully added and removed scenery to match your choices on the map.",
        "I have successfully removed scenery to match your choices on the map.",
        "I have successfully updated scenery to match your choices on the map.",
    };
    s.text = UTL_translate_string(scenery_outcome(k_done));
    s.choice_names.push_back(UTL_translate_string("Run Duvizo Now"));
    s.choice_funcs.push_back(dvd_do_run_sim);
  } else {
    static const char* const k_failed[4] = {
        "There were errors while installing your scenery.",
        "There were errors while adding and removing your scenery.",
        "There were errors while removing your scenery.",
        "There were errors while updating your scenery.",
    };
    s.text = UTL_translate_string(scenery_outcome(k_failed)) +
             UTL_translate_string(
                 "  Your copy of Duvizo may not be usable.\n\nYou can click Go Back and use the repair and add-remove "
                 "scenery functions to try to reinstall any missing or damaged files.");
  }
  s.back = dvd_start;
  s.next_screen = wizard_quit;
  return 0;
}
