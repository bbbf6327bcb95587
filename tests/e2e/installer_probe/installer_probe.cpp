// The installer's start-up with a first screen that reports what start-up
// set and then ends the run, for the end-to-end tests.
//   installer_probe <bundle> [program arguments...]
// Prints one "name value" line per fact, then the program finishes up.
#include <cstdio>
#include <string>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "engine/utils_table.h"
#include "installer/velora.h"
#include "installer/wizard.h"
#include "e2e/probe_main.h"

namespace {

int report(int, wizard_screen&) {
  printf("platform %d\n", stg.platform);
  printf("log_actions %d\n", stg.log_actions);
  printf("stream_count %d\n", stg.stream_count);
  printf("crnt_file_state %d\n", stg.crnt_file_state);
  printf("cmd_line_path %s\n", cmd_line_path.c_str());
  printf("install_name %s\n", install_name.c_str());
  printf("dvd_path %s\n", dvd_path.c_str());
  printf("temp_path %s\n", temp_path.c_str());
  for (const std::string& v : all_velroots) printf("velroot %s\n", v.c_str());
  fflush(stdout);
  app_done = 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return probe_main(argc, argv, "installer_probe", report);
}
