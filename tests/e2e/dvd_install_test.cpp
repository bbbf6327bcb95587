// A user installs the sample set across both discs with the real program,
// started from the build tree with disc 1 in a drive of a private mount
// namespace, on an X server of the test's own.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include "e2e_user.h"
#include "files/test_child.h"
#include "support/private_xvfb.h"

namespace {

// The longest a frame may take while the install runs, whatever the pointer
// and the drives do. Alone a frame takes under 80 ms, but the suite runs
// eight programs like this one at once on software OpenGL, under ASan too,
// where frames reach 400 ms, and 850 ms on a machine busy besides; a pump
// held open by a moving pointer keeps frames of seconds, over one even on
// that machine.
constexpr double k_frame_bound_ms = 1000;

std::string frame_report(const char* what, const frame_span& f) {
  char line[200];
  snprintf(line, sizeof line, "%s: %d frames in %.1f s, %.1f a second, longest %.1f ms at %.1f s", what, f.frames,
           f.seconds, f.fps(), f.longest_ms, f.longest_at_s);
  return line;
}

class DiscInstall : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(x_.ok()) << x_.error(); }
  // Runs body with a user in a mount namespace of its own; with finish, the
  // user has installed both discs and the finish screen shows.
  void as_user(const std::string& stem, bool finish, const std::function<void(installer_user&)>& body,
               bool damaged = false) {
    const std::string dir = test_scratch_dir(stem);
    const int result = test_in_private_mounts([&] {
      installer_user u(dir);
      if (damaged) u.disc2_ = damaged_disc2(dir);
      if (finish) {
        u.install_both_discs();
        if (testing::Test::HasFatalFailure()) return;
        ASSERT_TRUE(u.wait_step(k_finish)) << log_of(u.home());
      }
      body(u);
    });
    EXPECT_EQ(result, 0);
  }
  private_xvfb x_{1024, 768};
};

TEST_F(DiscInstall, ANewUserInstallsAcrossBothDiscsAndRunsIt) {
  as_user("dvd_install", true, [](installer_user& u) {
    EXPECT_NE(u.choice_area(), u.no_choice_);
    // Every wanted file as the set's list has it, links as links, the
    // simulator runnable, and no tile of the cell left out.
    EXPECT_EQ(u.md5_check(wanted_md5_lines()), 0);
    EXPECT_EQ(test_run("test -L '" + u.dest() + "Resources/bitmaps/logo link.png'"), 0);
    EXPECT_EQ(test_run("test -L '" + u.dest() + "Resources/sounds/idle link.wav'"), 0);
    struct stat st;
    ASSERT_EQ(stat((u.dest() + "Duvizo.app/Contents/MacOS/Duvizo").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_EQ(test_capture("cd '" + u.dest() + "' && find 'Global Scenery' -name '*.dsf' | sort"),
              "Global Scenery/-global terrain-/+30+010/+35+012.dsf\n"
              "Global Scenery/-global terrain-/+40-130/+47-123.dsf\n");
    EXPECT_EQ(u.registry(), u.dest() + "\n");
    EXPECT_EQ(test_capture("find '" + u.run_temp() + "' -name '*.zip' -o -name '*.7z'"), "");

    // "Run Duvizo Now": the installer ends and the simulator runs without
    // arguments.
    u.click(500, 353);
    EXPECT_EQ(u.app().wait_exit(), 1);
    EXPECT_TRUE(wait_until([&] { return test_read_file(u.dest() + "duvizo-ran.txt") != ""; }, 30));
    const std::string ran = test_read_file(u.dest() + "duvizo-ran.txt");
    EXPECT_EQ(ran.substr(ran.find('\n') + 1), "0\n") << ran;
    EXPECT_EQ(u.log_count("Starting install at "), 1);
    EXPECT_NE(test_read_file(u.home() + ".config/Duvizo Installer.prf"), "");
  });
}

TEST_F(DiscInstall, ASimulatorThatWillNotStartIsReportedAndTheWelcomeFollows) {
  as_user("dvd_no_sim", true, [](installer_user& u) {
    ASSERT_EQ(remove((u.dest() + "Duvizo.app/Contents/MacOS/Duvizo").c_str()), 0);
    u.click(500, 353);
    // The warning takes the window; Return dismisses it, and the log keeps
    // what it said.
    ASSERT_TRUE(wait_until([&] { return u.wizard_hidden(); }, 30));
    u.key("Return");
    ASSERT_TRUE(u.wait_step(0));
    EXPECT_NE(log_of(u.home()).find("Duvizo could not be started:\n" + u.dest() + "Duvizo.app\n"), std::string::npos)
        << log_of(u.home());
    EXPECT_TRUE(u.app().close_window());
    EXPECT_EQ(u.app().wait_exit(), 0);
    EXPECT_EQ(test_read_file(u.dest() + "duvizo-ran.txt"), "");
  });
}

TEST_F(DiscInstall, QuitWhileWaitingForADiscKeepsThePartialCopy) {
  as_user("dvd_quit", false, [](installer_user& u) {
    u.start_install();
    if (testing::Test::HasFatalFailure()) return;
    ASSERT_TRUE(wait_until([&] { return !mounted(u.drive1()); }));
    ASSERT_TRUE(u.wait_step(k_no_step));
    u.click(50, 20);
    EXPECT_EQ(u.app().wait_exit(), 0);
    EXPECT_EQ(test_run("test -f '" + u.dest() + "Duvizo.app/Contents/MacOS/Duvizo'"), 0);
    EXPECT_EQ(u.registry(), u.dest() + "\n");
    EXPECT_EQ(next_start_knows(u.home()), u.dest() + "\n");
  });
}

TEST_F(DiscInstall, ADamagedArchiveAnsweredContinueEndsOnTheErrorFinish) {
  as_user("dvd_damaged", false, [](installer_user& u) {
    u.install_both_discs();
    if (testing::Test::HasFatalFailure()) return;
    ASSERT_TRUE(wait_until([&] { return u.wizard_hidden(); })) << log_of(u.home());
    u.click_question(2);
    ASSERT_TRUE(u.wait_step(k_finish)) << log_of(u.home());
    // The error text and no "Run Duvizo Now"; every other file in place.
    EXPECT_EQ(u.choice_area(), u.no_choice_);
    EXPECT_EQ(u.md5_check(wanted_md5_lines(k_damaged)), 0);
    EXPECT_NE(u.md5_check(test_md5sum(k_samples + "master/All/" + k_damaged) + "  " + k_damaged + "\n"), 0);
    u.click(740, 20);
    EXPECT_EQ(u.app().wait_exit(), 0);
  }, true);
}

TEST_F(DiscInstall, ADamagedArchiveAnsweredCancelDeletesThePartialCopy) {
  as_user("dvd_cancel", false, [](installer_user& u) {
    u.install_both_discs();
    if (testing::Test::HasFatalFailure()) return;
    ASSERT_TRUE(wait_until([&] { return u.wizard_hidden(); })) << log_of(u.home());
    const std::string asked_first = u.area(180, 150, 440, 300);
    u.click_question(1);
    // The scenery screen asks whether to delete the partial copy; Escape
    // answers nothing, only the button deletes it.
    ASSERT_TRUE(wait_until([&] { return u.wizard_hidden() && u.area(180, 150, 440, 300) != asked_first; }));
    ASSERT_EQ(test_run("test -d '" + u.dest() + "'"), 0);
    const std::string cancel_question = u.area(180, 150, 440, 300);
    u.key("Escape Escape Return");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(u.wizard_hidden());
    EXPECT_EQ(u.area(180, 150, 440, 300), cancel_question);
    ASSERT_EQ(test_run("test -d '" + u.dest() + "'"), 0) << "a key deleted the partial copy";
    u.click_question(1);
    ASSERT_TRUE(u.wait_step(3));
    EXPECT_NE(test_run("test -e '" + u.dest() + "'"), 0);
    EXPECT_EQ(u.registry(), u.dest() + "\n");
    EXPECT_TRUE(u.app().close_window());
    EXPECT_EQ(u.app().wait_exit(), 0);
    // The next start passes over the line of the folder that went.
    EXPECT_EQ(next_start_knows(u.home()), "");
  }, true);
}

// The pointer moves every 8 ms, as a 125 Hz mouse reports, over the map and
// the buttons from the first screen to the finish; the user's clicks and the
// held press on the map come between its moves. The install goes on with
// every frame short, and the copy is whole.
TEST_F(DiscInstall, APointerMovingThroughoutNeverStallsTheInstall) {
  as_user("dvd_restless", false, [](installer_user& u) {
    u.frame_log = u.dir() + "frames.txt";
    u.pointer_period_ms = 8;
    u.install_both_discs();
    if (testing::Test::HasFatalFailure()) {
      // A pump the pointer holds open stalls the flow too: the frames tell.
      const frame_span so_far = frames_between(u.frame_log, u.pointer_since(), monotonic_ns());
      printf("%s\n", frame_report("pointer moving", so_far).c_str());
      return;
    }
    ASSERT_TRUE(u.wait_step(k_finish)) << log_of(u.home());
    const long long finished = monotonic_ns();
    EXPECT_TRUE(u.pointer_ok());
    const long long since = u.pointer_since();
    const int moves = u.stop_pointer();
    // From the welcome screen on: before it the program starts up (the
    // window and its context, the first pictures, the disc's directory read),
    // which no event holds up.
    const frame_span moving = frames_between(u.frame_log, u.welcome_at(), finished);
    EXPECT_LE(moving.longest_ms, k_frame_bound_ms) << frame_report("pointer moving", moving);
    EXPECT_EQ(u.md5_check(wanted_md5_lines()), 0);

    // For the record: the frame rate with the pointer at rest.
    const long long rest_from = monotonic_ns();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const frame_span resting = frames_between(u.frame_log, rest_from, monotonic_ns());
    printf("%s; %d moves, %.1f a second; %s\n", frame_report("pointer moving", moving).c_str(), moves,
           moves / ((finished - since) / 1e9), frame_report("at rest", resting).c_str());
  });
}

// The tool that takes disc 1 out hangs for seconds: the frames go on, and the
// screen asking for disc 2 shows while it still runs. Once disc 1 is out,
// disc 2 finishes the install. Only the program's path finds the slow tool;
// the test's own unmounts take the real one.
TEST_F(DiscInstall, AnEjectToolThatHangsLeavesTheWindowRunning) {
  as_user("dvd_slow_eject", false, [](installer_user& u) {
    const std::string bin = u.dir() + "slow-bin/", began = u.dir() + "eject-began", ended = u.dir() + "eject-ended";
    ASSERT_EQ(test_run("mkdir -p '" + bin + "'"), 0);
    const std::string slow =
        "#!/bin/sh\n"
        ": > '" + began + "'\n"
        "sleep 8\n"
        "/usr/bin/fusermount \"$@\"\n"
        "status=$?\n"
        ": > '" + ended + "'\n"
        "exit $status\n";
    for (const char* tool : {"fusermount", "fusermount3"}) {
      ASSERT_TRUE(test_write_file(bin + tool, slow));
      ASSERT_EQ(chmod((bin + tool).c_str(), 0755), 0);
    }
    const char* path = getenv("PATH");
    u.env.push_back({"PATH", bin + ":" + (path ? path : "/usr/bin:/bin")});
    u.frame_log = u.dir() + "frames.txt";

    u.start_install();
    if (testing::Test::HasFatalFailure()) return;
    ASSERT_TRUE(wait_until([&] { return test_run("test -e '" + began + "'") == 0; })) << log_of(u.home());
    const long long hang_from = monotonic_ns();
    ASSERT_TRUE(u.wait_step(k_no_step, 30));
    // The wizard's text below the title: the request for disc 2 as it
    // stands once the eject is over.
    const std::string asked = u.area(215, 350, 570, 110);
    EXPECT_TRUE(mounted(u.drive1())) << "the screen waited for the eject";
    EXPECT_NE(test_run("test -e '" + ended + "'"), 0) << "the screen waited for the eject";
    ASSERT_TRUE(wait_until([&] { return !mounted(u.drive1()); }, 30)) << log_of(u.home());
    const frame_span hung = frames_between(u.frame_log, hang_from, monotonic_ns());
    EXPECT_EQ(u.area(215, 350, 570, 110), asked) << "the request for disc 2 waited for the eject";
    EXPECT_LE(hung.longest_ms, k_frame_bound_ms) << frame_report("eject hanging", hung);
    printf("%s\n", frame_report("eject hanging", hung).c_str());

    ASSERT_TRUE(insert_disc(u.disc2_, u.drive2()));
    u.click_next();
    ASSERT_TRUE(u.wait_step(k_finish)) << log_of(u.home());
    EXPECT_EQ(u.md5_check(wanted_md5_lines()), 0);
  });
}

}  // namespace
