// The web updater: brings an installed copy up to date from the download
// servers. Welcome, Pick Destination (left out with "-path"), Search for
// Updates (server list, directory, checksum pass), Check Disk Space, Install
// Updates (the download pass), Finish. Nothing in the installer leads here:
// it runs when net_start is made the first screen.
#include "core/globs.h"
#include "engine/next.h"
#include "engine/utils_alerts.h"
#include "engine/utils_checksum.h"
#include "engine/utils_choose.h"
#include "engine/utils_table.h"
#include "files/translate.h"
#include "installer/disk_panel.h"
#include "installer/dvd_flows.h"
#include "installer/dvd_pick.h"
#include "installer/inst_text.h"
#include "installer/run_log.h"
#include "installer/velora.h"
#include "installer/web_screens.h"
#include "widgets/butn.h"

static std::string tr(const char* text) { return UTL_translate_string(text); }

// Set by the disk screen, read by the finish screen: the finish screen comes
// after the install, when the checksums no longer tell what there was to do.
static int s_nothing_to_do = 0;

int net_start(int first, wizard_screen& s) {
  if (first)
    web_flow_begin({{"Welcome", net_start},
                    {"Pick Destination", net_pick_dest},
                    {"Search for Updates", net_get_updates},
                    {"Check Disk Space", net_check_disk},
                    {"Install Updates", net_run_patch},
                    {"Finish", net_done}},
                   cmd_line_path.empty() ? nullptr : net_pick_dest);
  if (!cmd_line_path.empty()) {
    dest_dir_path = cmd_line_path;
    if (dest_dir_path.back() != '/') dest_dir_path += '/';
  } else {
    dest_dir_path = all_velroots.size() == 1 ? all_velroots[0] : std::string();
  }
  s.title = tr("Duvizo 9 Web Updater");
  s.text = tr("I will guide you through the process of updating your copy of Duvizo 9 to the latest version.");
  s.flag = 1;
  s.next_screen = cmd_line_path.empty() ? net_pick_dest : net_get_updates;
  BTN_bool(250, 400, &stg.get_beta,
           tr("|Check for new betas as well as updates. Leave this off unless you want to participate in the Duvizo "
              "beta program!"),
           0);
  return 0;
}

int net_pick_dest(int first, wizard_screen& s) {
  if (first) {
    // A checksum pass left by going Back reads dest_dir_path on its workers.
    checksum_directory_kill();
    if (RUN_pass_running(run_scan)) RUN_pass_ended(k_pass_stopped);
    next.reset_all_streams();
  }
  s.title = tr("Pick Destination");
  s.flag = 1;
  s.text = UTIL_pick_install_text("Please select which copy of Duvizo 9 you would like to update.");
  UTIL_pick_install();
  s.back = net_start;
  s.next_screen = dest_dir_path.empty() ? nullptr : net_get_updates;
  return 0;
}

int net_get_updates(int first, wizard_screen& s) {
  static int ctr = 0;
  if (first) {
    // Reading the directory again replaces the table that the workers of
    // a pass left running by going Back would still write into.
    checksum_directory_kill();
    if (RUN_pass_running(run_scan)) RUN_pass_ended(k_pass_stopped);
    if (stg.stage == 3) {
      stg.stage = 1;
      ctr = 0;
    }
  }
  s.title = tr("Search for Updates");
  s.back = net_pick_dest;
  static const web_search_texts texts = {" to find an update server.",
                                         "I am processing information about the available patches.",
                                         "I am downloading patch info from %1:server name%."};
  if (web_search_frame(s, texts)) return 0;

  s.quit = checksum_directory_kill;
  // The scan starts once the directory is in.
  if (!RUN_pass_running(run_scan)) RUN_pass_started(run_scan, dest_dir_path);
  float progress = 0;
  if (checksum_directory(ctr, 0, progress)) {
    RUN_pass_ended(k_pass_ended);
    s.back = nullptr;
    s.next_screen = net_check_disk;
    recalc_disk_sizes();
    return 1;
  }
  s.text = UTL_string_sub(tr("I am scanning %1:folder path% to see what files need updating."), dest_dir_path);
  s.status = UTL_string_sub(tr("Scanning %1:number% of %2:total% files."), int_str(ctr),
                            int_str(static_cast<int>(sim_info.size())));
  s.progress = progress;
  return 0;
}

int net_check_disk(int first, wizard_screen& s) {
  if (first) {
    // An update left by going Back ends here, as far as it came.
    if (RUN_pass_running(run_update)) RUN_pass_ended(k_pass_stopped);
    next.reset_all_streams();
  }
  s.title = tr("Check Disk Space");
  s.back = net_get_updates;
  s.next_screen = net_run_patch;
  s_nothing_to_do = web_nothing_to_do();
  if (s_nothing_to_do) {
    s.next_screen = net_done;
    return 1;
  }
  if (UTIL_disk_space(tr("You have enough free disk space to update Duvizo 9"),
                      tr("You do not have enough free disk space to update Duvizo 9."))) {
    s.text = UTL_string_sub(
        tr("You are about to download %1:download size% of compressed data to update to %2:install name%."),
        size_string(stg.total_comp_kb), install_name);
  } else {
    s.next_screen = nullptr;
    s.text = tr("There is a newer version of Duvizo 9 available, but you do not have enough free disk space to "
                "download and install the update.") +
             "\n\n" + tr("Please free some space on your hard drive.");
  }
  return 0;
}

int net_run_patch(int first, wizard_screen& s) {
  static float totl_inst_rat = 0;
  if (first && !web_install_setup(s, net_check_disk, totl_inst_rat, run_update)) return 1;
  s.title = tr("Installing");
  s.back = net_check_disk;
  s.quit = net_run_quit_func;
  if (web_download_slice(s, totl_inst_rat, 1)) {
    RUN_pass_ended(k_pass_ended);
    s.back = nullptr;
    s.next_screen = net_done;
    return 1;
  }
  return 0;
}

int net_run_quit_func() {
  const int answer = abort_alert(tr("Are you sure you want to stop the update? Duvizo 9 will not be usable until the "
                                    "update is finished.  You can resume the update later."),
                                 tr("Stop"), tr("the update."), tr("Continue"), tr("the update process."));
  return answer == 1;
}

int net_done(int, wizard_screen& s) {
  s.title = tr("Finshed Web Update");
  s.next_screen = wizard_quit;
  if (s_nothing_to_do) {
    s.text = UTL_string_sub(tr("This copy of Duvizo (%1:install path%) is already up to date."), dest_dir_path);
  } else if (stg.extract_problem) {
    s.text = tr("There were problems updating Duvizo.  You can try this updater again using a different server.");
    return 0;
  } else {
    s.text = UTL_string_sub(tr("I have finished updating %1:install path%."), dest_dir_path);
  }
  s.choice_names.push_back(tr("Fly Duvizo Now"));
  s.choice_funcs.push_back(dvd_do_run_sim);
  return 0;
}
