// The wizard's screens, flow by flow. Every screen is a screen_func
// (wizard.h): it fills the record for this frame and never sets g_wizard.
#pragma once
#include <string>
#include "installer/wizard.h"

// The disc install: start menu, destination, licence, scenery, install, finish.
int dvd_start(int first, wizard_screen& s);
int dvd_pick_install(int first, wizard_screen& s);
int see_eula(int first, wizard_screen& s);
int dvd_scenery_install(int first, wizard_screen& s);
int dvd_run_install(int first, wizard_screen& s);
int dvd_switch_disk_install(int first, wizard_screen& s);
int dvd_verify_disk_install(int first, wizard_screen& s);
int dvd_done_install(int first, wizard_screen& s);
// The error question the install screens of every flow share, about the
// engine's last failure, which it logs with its code: 1 the first button, 0
// the second, 3 the window was closed.
int UTIL_cancel_install(std::string title, std::string advice, std::string label1, std::string text1,
                        std::string label2, std::string text2);

// Choosing an installed copy and running it.
int dvd_pick_run_sim(int first, wizard_screen& s);
int dvd_do_run_sim(int first, wizard_screen& s);

// Adding or removing scenery of an installed copy.
int dvd_pick_scenery(int first, wizard_screen& s);
int dvd_scan_scenery(int first, wizard_screen& s);
int dvd_edit_scenery(int first, wizard_screen& s);
int dvd_install_scenery(int first, wizard_screen& s);
int dvd_switch_disk_scenery(int first, wizard_screen& s);
int dvd_verify_disk_scenery(int first, wizard_screen& s);
int dvd_done_scenery(int first, wizard_screen& s);

// Repairing an installed copy.
int dvd_pick_repair(int first, wizard_screen& s);
int dvd_scan_repair(int first, wizard_screen& s);
int dvd_confirm_repair(int first, wizard_screen& s);
int dvd_install_repair(int first, wizard_screen& s);
int dvd_switch_disk_repair(int first, wizard_screen& s);
int dvd_verify_disk_repair(int first, wizard_screen& s);
int dvd_done_repair(int first, wizard_screen& s);

// The web updater; nothing in the installer leads to it.
int net_start(int first, wizard_screen& s);
int net_pick_dest(int first, wizard_screen& s);
int net_get_updates(int first, wizard_screen& s);
int net_check_disk(int first, wizard_screen& s);
int net_run_patch(int first, wizard_screen& s);
int net_done(int first, wizard_screen& s);
// Quit while the update runs: asks, and 1 (end) only for "Stop".
int net_run_quit_func();

// The web demo; nothing in the installer leads to it.
int demo_start(int first, wizard_screen& s);
int demo_get_updates(int first, wizard_screen& s);
int demo_pick_dest(int first, wizard_screen& s);
int demo_run_patch(int first, wizard_screen& s);
int demo_done(int first, wizard_screen& s);
// Quit while the demo installs: asks; "Cancel" or closing the question
// deletes the partial copy and gives 1 (end), "Continue" 0.
int demo_run_quit_func();
