// The alert entry point on the main thread, and the finish-up.
#include <gtest/gtest.h>
#include <signal.h>
#include "core/globs.h"
#include "core/hl_thread.h"
#include "core/utl_cmdline.h"
#include "core/hl_alert.h"
#include "support/test_env.h"

namespace {
// In death-test children the log goes to the standard error stream.
void log_to_stderr() { xer.open("/dev/stderr"); }
}  // namespace

TEST(Alert, WarningOnTheMainThreadIsLoggedAndReturns) {
  std::string path = test_scratch_dir("alert") + "log.txt";
  xer.open(path);
  __MACIBM_alert(0, "first", "second", "", "fourth", t_warning, "somewhere.cpp", 17);
  EXPECT_EQ(in_alert, 0);
  xer.close();
  xer.clear();
  EXPECT_EQ(test_read_file(path), "\nfirst\nsecond\n\nfourth\n(somewhere.cpp line 17)\n");
}

TEST(AlertDeathTest, QuitEndsWithStatusOne) {
  EXPECT_EXIT(
      {
        log_to_stderr();
        __MACIBM_alert(0, "cannot continue", "", "", "", t_quit, "q.cpp", 3);
      },
      ::testing::ExitedWithCode(1), "cannot continue\n\n\n\n\\(q.cpp line 3\\)");
}

TEST(AlertDeathTest, OverlongTextInTheSystemBoxEndsAsACrash) {
  // Before start-up has finished an alert goes to the system box, which
  // refuses texts of 500 characters or more.
  EXPECT_EXIT(
      {
        log_to_stderr();
        ogl_inited = 0;
        __MACIBM_alert(0, std::string(499, 'x'), "", "", "", t_warning, "long.cpp", 9);
      },
      ::testing::KilledBySignal(SIGABRT), "String too long!");
}

TEST(AlertDeathTest, ScriptedRunsOnlyLogAndEndWithStatusOne) {
  EXPECT_EXIT(
      {
        log_to_stderr();
        cmdline.options["--fps_test"] = "";
        __MACIBM_alert(0, "a warning", "", "", "", t_warning, "w.cpp", 1);  // logs and returns
        __MACIBM_alert(0, "now a crash", "", "", "", t_crash, "c.cpp", 2);
      },
      ::testing::ExitedWithCode(1), "a warning\n(.|\n)*now a crash");
}

TEST(FinishUp, SavingTwiceIsSafe) {
  THREAD_init();
  THREAD_make_workers();
  MACIBM_finishup(1);
  EXPECT_EQ(THREAD_is_inited(), 0);
  MACIBM_finishup(1);  // the main loop's finish-up after a worker's report
  EXPECT_EQ(g_threadpool, nullptr);
}
