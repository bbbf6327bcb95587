// The sentences the log tells a pass with: its start, each outcome with the
// engine's counts, a scan's findings, the copy a Quit or a close leaves, a
// partial copy deleted or not, and questions put on one line.
#include <gtest/gtest.h>
#include <errno.h>
#include "engine/engine_support.h"
#include "engine/utils_counts.h"
#include "installer/run_log.h"
#include "support/xer_capture.h"

namespace {

const std::string k_copy = "/home/u/Desktop/My Duvizo/";

class RunLogLines : public testing::Test {
 protected:
  void SetUp() override {
    RUN_pass_ended(k_pass_stopped);
    reset_engine_state();
  }
  void TearDown() override {
    RUN_pass_ended(k_pass_stopped);
    reset_engine_state();
  }
  // Counts as a pass that installed, failed, kept and deleted that many.
  static void count(int installed, int failed, int kept, int deleted) {
    for (int i = 0; i < installed; ++i) pass_count_install(0);
    for (int i = 0; i < failed; ++i) pass_count_install(EIO);
    for (int i = 0; i < kept; ++i) pass_count_kept();
    for (int i = 0; i < deleted; ++i) pass_count_delete(0);
  }
};

TEST_F(RunLogLines, APassFromItsStartToEachOutcome) {
  const struct {
    const run_pass_kind* kind;
    const char* how;
    int installed, failed, kept, deleted;
    const char* ended;
  } cases[] = {
      {&run_install, k_pass_ended, 412, 1, 0, 3, "Install of %s ended: 412 files installed, 1 failed, 0 kept, 3 deleted."},
      {&run_install, k_pass_cancelled, 1, 2, 1, 0, "Install of %s cancelled: 1 file installed, 2 failed, 1 kept, 0 deleted."},
      {&run_repair, k_pass_stopped, 0, 0, 0, 0, "Repair of %s stopped: 0 files installed, 0 failed, 0 kept, 0 deleted."},
      {&run_scenery, k_pass_no_folder, 0, 0, 2, 0,
       "Scenery install of %s stopped because a folder could not be made: 0 files installed, 0 failed, 2 kept, 0 deleted."},
      {&run_update, k_pass_ended, 5, 0, 0, 1, "Update of %s ended: 5 files installed, 0 failed, 0 kept, 1 deleted."},
      {&run_demo, k_pass_cancelled, 2, 0, 0, 0, "Demo install of %s cancelled: 2 files installed, 0 failed, 0 kept, 0 deleted."},
  };
  for (const auto& c : cases) {
    xer_capture log;
    count(9, 9, 9, 9);  // what came before the pass is not its own
    RUN_pass_started(*c.kind, k_copy);
    EXPECT_EQ(RUN_pass_running(*c.kind), 1);
    count(c.installed, c.failed, c.kept, c.deleted);
    RUN_pass_ended(c.how);
    EXPECT_EQ(RUN_pass_running(*c.kind), 0);
    RUN_pass_ended(k_pass_stopped);  // no pass, no line
    std::string ended = c.ended;
    ended.replace(ended.find("%s"), 2, k_copy);
    EXPECT_EQ(log.text(), std::string(c.kind->name) + " of " + k_copy + " started.\n" + ended + "\n");
  }
}

TEST_F(RunLogLines, APassStartedOverAnotherEndsThatOneFirst) {
  xer_capture log;
  RUN_pass_started(run_scan, k_copy);
  RUN_pass_started(run_repair, k_copy);
  EXPECT_EQ(RUN_pass_running(run_scan), 0);
  EXPECT_EQ(RUN_pass_running(run_repair), 1);
  EXPECT_EQ(log.text(), "Scan of " + k_copy + " started.\nScan of " + k_copy + " stopped.\nRepair of " + k_copy +
                            " started.\n");
}

// A scan that ended tells what it found among the files the filter takes;
// a file the set dropped is none of them.
TEST_F(RunLogLines, AScanTellsWhatItFound) {
  add_file("All/a.txt", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");  // intact
  add_file("All/b.txt", "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");                                       // missing
  add_file("All/gone.txt", "GONE");
  add_file("All/Global Scenery/+40-130/+47-123.dsf", "cccccccccccccccccccccccccccccccc");          // filtered out
  set_install_filter(1, 0);
  xer_capture log;
  RUN_pass_started(run_scan, k_copy);
  RUN_pass_ended(k_pass_ended);
  RUN_pass_started(run_scan, k_copy);
  RUN_pass_ended(k_pass_stopped);
  EXPECT_EQ(log.text(), "Scan of " + k_copy + " started.\nScan of " + k_copy +
                            " ended: 2 files checked, 1 found intact.\nScan of " + k_copy + " started.\nScan of " +
                            k_copy + " stopped.\n");
}

TEST_F(RunLogLines, AQuitOrACloseNamesTheCopyItLeaves) {
  const struct {
    const run_pass_kind* kind;  // null: none runs
    int by_window;
    std::string logged;
  } cases[] = {
      {nullptr, 0, "The user clicked Quit.\n"},
      {nullptr, 1, "The user closed the window.\n"},
      {&run_install, 0,
       "Install of " + k_copy + " left incomplete when the user clicked Quit: 3 files installed, 0 failed, 0 kept, 0 "
       "deleted. A repair of that copy finishes it.\n"},
      {&run_scenery, 1,
       "Scenery install of " + k_copy + " left incomplete when the user closed the window: 3 files installed, 0 "
       "failed, 0 kept, 0 deleted. Adding or removing scenery again finishes it.\n"},
      {&run_repair, 0,
       "Repair of " + k_copy + " left incomplete when the user clicked Quit: 3 files installed, 0 failed, 0 kept, 0 "
       "deleted. Running the repair again finishes it.\n"},
      {&run_update, 1,
       "Update of " + k_copy + " left incomplete when the user closed the window: 3 files installed, 0 failed, 0 "
       "kept, 0 deleted. Running the web updater again finishes it.\n"},
      {&run_scan, 0, "Scan of " + k_copy + " stopped when the user clicked Quit.\n"},
  };
  for (const auto& c : cases) {
    if (c.kind) RUN_pass_started(*c.kind, k_copy);
    count(3, 0, 0, 0);
    xer_capture log;
    RUN_log_quit(c.by_window);
    EXPECT_EQ(log.text(), c.logged);
    if (c.kind) {
      EXPECT_EQ(RUN_pass_running(*c.kind), 0);
    }
  }
}

TEST_F(RunLogLines, APartialCopyDeletedOrNot) {
  xer_capture log;
  RUN_log_partial_copy_deleted(k_copy, 0);
  RUN_log_partial_copy_deleted(k_copy, EACCES);
  EXPECT_EQ(log.text(), "Deleted the partial copy " + k_copy + ".\nCould not delete all of the partial copy " + k_copy +
                            ": error 13 (Permission denied. Perhaps you do not have access to a directory or file system).\n");
}

TEST(RunLogOneLine, LineBreaksBecomeOneSpace) {
  const struct {
    const char* text;
    const char* line;
  } cases[] = {
      {"one line", "one line"},
      {"title:\n\nmessage (error)\n\nadvice.", "title: message (error) advice."},
      {"a\r\nb", "a b"},
      {"\nleading and trailing\n", "leading and trailing"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RUN_one_line(c.text), c.line) << c.text;
}

}  // namespace
