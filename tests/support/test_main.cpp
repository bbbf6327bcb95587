// Entry of every test program. Each run gets its own home folder, so nothing
// a test does (Desktop log, preferences, temporary folder) touches the user's;
// the folder goes when the run passes and stays, named, when it fails.
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include "core/hl_alert.h"
#include "core/utl_localtime.h"
#include "shell/hl_init.h"
#include "support/test_env.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Death tests re-run the program rather than fork a threaded process.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // The re-run child works in the home of the run that started it, which
  // removes it; the child never removes anything.
  const bool death_child = !GTEST_FLAG_GET(internal_run_death_test).empty();
  test_env_isolate_home(death_child);
  // The tests run the layers as the program does, connected.
  MACIBM_connect_layers();
  // A real message box would wait for a click no test gives: the system
  // box's texts go to standard error instead. The box's own test puts the
  // real one back.
  g_alert_screens.show_system_box = [](const std::string& message, const std::string& detail) {
    fprintf(stderr, "%s\n%s\n", message.c_str(), detail.c_str());
  };
  UTL_local_time_init();
  const int result = RUN_ALL_TESTS();
  if (!death_child) test_env_finish_home(result == 0);
  return result;
}
