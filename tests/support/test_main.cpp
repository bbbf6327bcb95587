// Entry of every test program. Each run gets its own home folder, so nothing
// a test does (Desktop log, preferences, temporary folder) touches the user's.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include "support/test_env.h"

#ifdef DUV_TSAN
// The unpack threads set file times with mktime. With TZ unset, glibc renames
// its time zone on every call under a lock of its own that the race detector
// cannot see, so it reports the free and strdup inside as a race.
extern "C" const char* __tsan_default_suppressions() { return "race:tzset_internal\n"; }
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  // Death tests re-run the program rather than fork a threaded process.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  test_env_isolate_home();
  return RUN_ALL_TESTS();
}
