// Running an installed copy of the simulator from the finish screens and the
// run flow.
#include "core/globs.h"
#include "core/hl_alert.h"
#include "engine/utils_table.h"
#include "files/file_errors.h"
#include "files/file_launch.h"
#include "files/translate.h"
#include "installer/dvd_flows.h"

int dvd_do_run_sim(int, wizard_screen& s) {
  const std::string app = dest_dir_path + "Duvizo.app";
  // Started, the simulator takes over: the installer finishes up and ends,
  // with nothing more to say.
  xer_group() << "Starting the simulator " << app << ": the installer ends once it runs.\n";
  const int err = launch_app(app, "", 1);
  // It could not be started. Trying again every frame would only fail again:
  // say why once and go back to the start.
  __MACIBM_alert(0, UTL_translate_string("Duvizo could not be started:"), app, error_str(err), "", t_warning,
                 "Installer-f/run_sim", __LINE__);
  s.next_screen = dvd_start;
  return 1;
}
