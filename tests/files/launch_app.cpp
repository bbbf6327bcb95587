// Handing over to another application: launch_app starts the bundle's
// executable and ends this process, so each launch runs in a death test.
// The launched fixture executables report their path and arguments through
// a FIFO that the test reads.
#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include "core/globs.h"
#include "files/archive_support.h"
#include "files/file_launch.h"
#include "core/hl_alert.h"
#include "support/test_env.h"

namespace {

std::string* g_finishup_note = nullptr;

// Stands in for the window's finish-up step, to show that the finish-up ran.
void note_finishup() { test_write_file(*g_finishup_note, "finished"); }

class LaunchApp : public testing::Test {
 protected:
  void SetUp() override {
    bundles_ = cached_fixture("make_bundle.sh");
    ASSERT_NE("", bundles_);
    shared_ = std::make_unique<death_test_dir>("launch");
    fifo_ = shared_->path() + "marker";
    note_ = shared_->path() + "finished";
    if (!shared_->in_child()) {
      ASSERT_EQ(0, mkfifo(fifo_.c_str(), 0600));
      // Opened before the launch: the launched program never waits for a
      // reader, and the FIFO reports nothing until it has written.
      reader_ = open(fifo_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
      ASSERT_GE(reader_, 0);
    }
    setenv("DUV_LAUNCH_MARKER", fifo_.c_str(), 1);
  }
  void TearDown() override {
    if (reader_ >= 0) close(reader_);
    unsetenv("DUV_LAUNCH_MARKER");
  }

  // In the death-test child: log to a file the parent reads, and note the
  // finish-up when it runs.
  void prepare_child() {
    static std::string note;
    note = note_;
    g_finishup_note = &note;
    g_finishup_hooks.restore_display = note_finishup;
    std::lock_guard<std::recursive_mutex> l(xer_mutex());
    xer.open(shared_->path() + "log.txt", std::ios::out | std::ios::trunc);
  }

  // Launches in a death-test child, which launch_app must end with status 1.
  void expect_launch_ends_process(const std::string& app, const std::string& argument, int finish_first) {
    EXPECT_EXIT(
        {
          prepare_child();
          launch_app(app, argument, finish_first);
          _exit(99);
        },
        testing::ExitedWithCode(1), "");
  }

  // What the launched program wrote, waiting at most ten seconds for it.
  std::string report() {
    std::string text;
    char buf[4096];
    const time_t deadline = time(nullptr) + 10;
    while (time(nullptr) <= deadline) {
      struct pollfd p = {reader_, POLLIN, 0};
      if (poll(&p, 1, 1000) <= 0) continue;
      ssize_t n = read(reader_, buf, sizeof buf);
      if (n > 0) text.append(buf, n);
      if (n == 0) break;  // the writer has closed
    }
    return text;
  }

  std::string bundles_, fifo_, note_;
  std::unique_ptr<death_test_dir> shared_;
  int reader_ = -1;
};

TEST_F(LaunchApp, BundleWithArgumentStartsItsExecutableAfterTheFinishUp) {
  expect_launch_ends_process(bundles_ + "Marker.app/", "/some/folder", 1);
  const std::string exe = bundles_ + "Marker.app/Contents/MacOS/marker tool";
  EXPECT_EQ(exe + "\n-path\n/some/folder\n", report());
  EXPECT_EQ("finished", test_read_file(note_));
  EXPECT_EQ("Launching: " + exe + " with /some/folder\n", test_read_file(shared_->path() + "log.txt"));
}

TEST_F(LaunchApp, WithoutInfoPlistOrArgument) {
  expect_launch_ends_process(bundles_ + "Plain.app", "", 0);
  EXPECT_EQ(bundles_ + "Plain.app/Contents/MacOS/Plain\n", report());
  // No finish-up was asked for.
  EXPECT_EQ("", test_read_file(note_));
}

TEST_F(LaunchApp, ExecutableGivenDirectly) {
  const std::string exe = bundles_ + "Plain.app/Contents/MacOS/Plain";
  expect_launch_ends_process(exe, "x", 0);
  EXPECT_EQ(exe + "\n-path\nx\n", report());
}

TEST_F(LaunchApp, ProgramThatCannotStartIsAnErrorNotAnExit) {
  const std::string empty = bundles_ + "Empty.app", missing = bundles_ + "Missing.app";
  // The result comes back as the exit status; 99 would mean launch_app ended
  // the process as if the program ran.
  EXPECT_EXIT(
      {
        prepare_child();
        _exit(launch_app(empty, "", 1) > 0 ? 3 : 4);
      },
      testing::ExitedWithCode(3), "");
  EXPECT_EXIT(
      {
        prepare_child();
        _exit(launch_app(missing, "", 1) == ENOENT ? 3 : 4);
      },
      testing::ExitedWithCode(3), "");
  EXPECT_EQ("", test_read_file(note_));
}

}  // namespace
