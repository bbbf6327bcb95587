// Entry of every test program. Each run gets its own home folder, so nothing
// a test does (Desktop log, preferences, temporary folder) touches the user's.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include "support/test_env.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Death tests re-run the program rather than fork a threaded process.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  test_env_isolate_home();
  return RUN_ALL_TESTS();
}
