#include "installer/copy_flow.h"
#include <string>
#include "core/globs.h"
#include "core/xtim.h"
#include "engine/utils_alerts.h"
#include "engine/utils_checksum.h"
#include "engine/utils_choose.h"
#include "engine/utils_dirs.h"
#include "engine/utils_install.h"
#include "engine/utils_table.h"
#include "files/translate.h"
#include "installer/dvd_disc.h"
#include "installer/dvd_flows.h"
#include "installer/dvd_pick.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"
#include "installer/velora.h"

static std::string tr(const char* text) { return UTL_translate_string(text); }

int copy_flow_pick(const copy_flow& flow, int first, wizard_screen& s) {
  if (first) {
    checksum_directory_kill();
    // A scan left by going back ends here.
    if (RUN_pass_running(run_scan)) RUN_pass_ended(k_pass_stopped);
    step_names.clear();
    step_funcs.clear();
    const screen_func funcs[6] = {dvd_start, flow.pick, flow.scan, flow.review, flow.install, flow.done};
    for (int i = 0; i < 6; ++i) {
      step_names.push_back(tr(flow.steps[i]));
      step_funcs.push_back(funcs[i]);
    }
    UTIL_forget_unlisted_dest();
  }
  s.title = tr(flow.pick_title);
  s.back = dvd_start;
  s.next_screen = flow.scan;
  if (all_velroots.size() == 1) dest_dir_path = all_velroots[0];
  UTIL_pick_install();
  if (dest_dir_path.empty()) s.next_screen = nullptr;
  s.text = UTIL_pick_install_text(flow.pick_request);
  return 0;
}

int copy_flow_scan(const copy_flow& flow, int& ctr, int first, wizard_screen& s) {
  if (first) {
    ctr = 0;
    set_install_filter(flow.want_sim, flow.want_global);
    RUN_pass_started(run_scan, dest_dir_path);
  }
  s.title = tr(flow.scan_title);
  s.text = UTL_string_sub(tr(flow.scan_text), dest_dir_path);
  s.quit = checksum_directory_kill;
  float progress = 0;
  if (checksum_directory(ctr, flow.quick, progress)) {
    RUN_pass_ended(k_pass_ended);
    s.back = nullptr;
    s.next_screen = flow.review;
    return 1;
  }
  s.status = UTL_string_sub(tr("Scanning %1:number% of %2:total% files."), std::to_string(ctr),
                            std::to_string(sim_info.size()));
  s.progress = progress;
  s.back = flow.pick;
  s.next_screen = nullptr;
  return 0;
}

int copy_flow_ask_stop(const copy_flow& flow, wizard_screen& s) {
  if (!*flow.running) return 0;
  const std::string beside = tr(flow.stop_button_text);
  if (abort_alert(tr(flow.stop_question), tr("Stop"), beside, tr("Continue"), beside) == 0) {
    s.next_screen = flow.install;
    return 1;
  }
  install_files_kill();
  *flow.running = 0;
  RUN_pass_ended(k_pass_stopped);
  return 0;
}

// The busy frame's text, progress and status for the file at the cursor.
static void show_progress(const copy_flow& flow, int f, wizard_screen& s) {
  s.back = flow.review;
  s.next_screen = nullptr;
  s.text = UTL_string_sub(tr(flow.install_text), dest_dir_path);
  const int n = static_cast<int>(sim_info.size());
  if (f < 0) {
    s.progress = 0;
  } else if (f < n) {
    s.progress = current_version(f).progress;
    s.status = UTL_string_sub(tr(flow.install_status), current_version(f).path);
  } else {
    s.progress = 1;
    s.status = tr(flow.finishing);
  }
}

int copy_flow_install(const copy_flow& flow, int& f, wizard_screen& s) {
  if (!*flow.running) {
    f = 0;
    xer_group() << "Starting install at " << static_cast<double>(xtim_class::microsecs()) / 1000000.0 << "\n";
    RUN_pass_started(*flow.pass, dest_dir_path);
    const int chosen = choose_files();
    if (!chosen || make_dirs() != 0) {
      RUN_pass_ended(chosen ? k_pass_no_folder : k_pass_cancelled);
      s.next_screen = flow.review;
      return 1;
    }
    // What the user no longer wants goes before anything new comes.
    delete_files();
    *flow.running = 1;
    num_install_errors = 0;
  }
  s.title = tr(flow.install_title);
  s.quit = install_files_kill;
  switch (install_files(f, current_disk)) {
    case 0:
      show_progress(flow, f, s);
      return 0;
    case 1:
      s.back = nullptr;
      s.next_screen = flow.done;
      *flow.running = 0;
      RUN_pass_ended(k_pass_ended);
      return 1;
    case 2:
      want_file_disk = f;
      s.next_screen = flow.verify_disk;
      return 1;
    case 3: {
      ++num_install_errors;
      const std::string beside = tr(flow.error_button_text);
      if (UTIL_cancel_install(tr(flow.error_title), tr(flow.error_advice), tr("Stop"), beside, tr("Continue"),
                              beside) == 0) {
        // The next frame asks the engine again and the install goes on.
        show_progress(flow, f, s);
        return 0;
      }
      install_files_kill();
      *flow.running = 0;
      RUN_pass_ended(k_pass_stopped);
      s.next_screen = flow.done;
      return 1;
    }
    default:
      return 0;
  }
}

int copy_flow_switch_disk(const copy_flow& flow, int first, wizard_screen& s) {
  const int disk = UTIL_switch_disk(first);
  s.title = tr(flow.switch_title);
  s.text = UTL_string_sub(tr("Please insert DVD number %1:disk number% and click continue."), std::to_string(disk + 1));
  s.back = flow.review;
  s.next_screen = flow.verify_disk;
  return 0;
}

int copy_flow_verify_disk(const copy_flow& flow, wizard_screen& s) {
  s.title = tr(flow.verify_title);
  s.next_screen = UTIL_verify_disk() ? flow.install : flow.switch_disk;
  return 1;
}
