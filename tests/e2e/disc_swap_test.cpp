// A user swaps discs in the drive while the real program runs: whatever disc
// is in at the start, taking it out and putting disc 1 in brings the welcome
// without a click, and the install goes on from there; and a program started
// from a copy of disc 1 that is not the first mounted disc still hands over
// to a copy of itself, freeing the disc it came from.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <chrono>
#include <thread>
#include "e2e_user.h"
#include "files/test_child.h"
#include "support/private_xvfb.h"

namespace {

// The wizard's text below the title, down to where choices would go.
std::string text_area(installer_user& u) { return u.area(215, 350, 570, 110); }
// The step list at the left; a modal alert hides it.
std::string step_list(installer_user& u) { return u.area(22, 377, 178, 116); }

// The text once the program has drawn a frame and holds still: the window
// shows more than one colour, and two pictures of it in a row agree. "" when
// it never settled.
std::string settled_text(installer_user& u) {
  std::string last, now, text;
  const bool settled = wait_until(
      [&] {
        last = now;
        const std::string png = u.shot();
        const std::string whole = test_capture("convert '" + png + "' -format '%k %#' info:");
        now = atoi(whole.c_str()) > 1 ? whole : std::string();
        text = installer_user::crop(png, 215, 350, 570, 110);
        return !now.empty() && now == last;
      },
      30);
  return settled ? text : std::string();
}

// Whether the process still runs (a zombie has ended).
bool running(pid_t pid) {
  const std::string stat = test_read_file("/proc/" + std::to_string(pid) + "/stat");
  const size_t end = stat.rfind(')');
  return end != std::string::npos && end + 2 < stat.size() && stat[end + 2] != 'Z';
}

// Takes the disc at point out as a user's eject would; the program may be
// reading it in the moment, so a busy unmount is tried again.
bool take_out(const std::string& point) {
  for (int i = 0; i < 50; ++i) {
    if (test_run("fusermount -u '" + point + "' 2>/dev/null") == 0) return !mounted(point);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

// A disc of another product in the same format: disc 1's version file with
// another type word, and nothing else.
std::string foreign_disc(const std::string& dir) {
  const std::string folder = dir + "foreign/";
  EXPECT_EQ(test_run("mkdir -p '" + folder + "'"), 0);
  std::string version = test_read_file(k_samples + "disk_0/dvd_version.txt");
  const size_t at = version.find("\nDVD\n");
  EXPECT_NE(at, std::string::npos) << version;
  if (at != std::string::npos) version.replace(at + 1, 3, "MAP");
  EXPECT_TRUE(test_write_file(folder + "dvd_version.txt", version));
  const std::string iso = dir + "foreign.iso";
  EXPECT_EQ(test_run("genisoimage -quiet -r -o '" + iso + "' '" + folder + "'"), 0);
  return iso;
}

std::string sample_disc2(const std::string&) { return k_samples + "disc2.iso"; }

// Disc 2 of the set as a maker that puts the version file on every disc
// presses it: the set's folder, without the directory, under disc 1's
// version file.
std::string disc2_with_version(const std::string& dir) {
  const std::string iso = dir + "disc2-version.iso";
  EXPECT_EQ(test_run("genisoimage -quiet -r -D -graft-points -o '" + iso + "' '/=" + k_samples + "disk_1' " +
                     "'dvd_version.txt=" + k_samples + "disk_0/dvd_version.txt'"),
            0);
  return iso;
}

class DiscSwap : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(x_.ok()) << x_.error(); }
  private_xvfb x_{1024, 768};
};

// The disc in the drive when the program starts, and whether the start
// screen calls it a disc of another product (else it asks for disc 1, as
// with no disc at all).
struct first_disc {
  const char* name;
  std::string (*image)(const std::string& dir);
  bool foreign;
};
void PrintTo(const first_disc& c, std::ostream* os) { *os << c.name; }

class DiscSwapAtStart : public DiscSwap, public testing::WithParamInterface<first_disc> {};

TEST_P(DiscSwapAtStart, TakenOutForDiscOneTheWelcomeShowsWithoutAClick) {
  const first_disc& c = GetParam();
  const std::string dir = test_scratch_dir("disc_swap");
  const std::string iso = c.image(dir);
  ASSERT_FALSE(testing::Test::HasFailure());
  const int result = test_in_private_mounts([&] {
    // What the start screen shows with no disc in, from a run of its own.
    std::string no_disc, steps;
    {
      installer_user ref(dir + "no_disc/");
      ASSERT_TRUE(ref.start()) << log_of(ref.home());
      no_disc = settled_text(ref);
      ASSERT_NE(no_disc, "");
      steps = step_list(ref);
    }

    installer_user u(dir + "user/");
    ASSERT_TRUE(insert_disc(iso, u.drive2()));
    ASSERT_TRUE(u.start()) << log_of(u.home());
    const std::string first = settled_text(u);
    ASSERT_NE(first, "");
    if (c.foreign)
      EXPECT_NE(first, no_disc);
    else
      EXPECT_EQ(first, no_disc);
    // No quit alert holds the window or ended the program: the wizard's
    // start screen stands.
    EXPECT_EQ(step_list(u), steps);
    EXPECT_TRUE(running(u.app().pid()));
    EXPECT_NE(trimmed(test_capture("xdotool search --pid " + std::to_string(u.app().pid()))), "");
    EXPECT_EQ(u.log_count("cannot extract"), 0) << log_of(u.home());

    // Out with it and in with disc 1, and no click: the screen follows the
    // drive by itself.
    ASSERT_TRUE(take_out(u.drive2()));
    if (c.foreign) {
      EXPECT_TRUE(wait_until([&] { return text_area(u) != first; }, 15));
      EXPECT_EQ(settled_text(u), no_disc);
    }
    ASSERT_TRUE(insert_disc(k_samples + "disc1.iso", u.drive1()));
    ASSERT_TRUE(wait_until([&] { return !u.run_temp().empty() && test_read_file(u.run_temp() + "directory.txt") != ""; },
                           15))
        << log_of(u.home());
    ASSERT_TRUE(wait_until([&] { return text_area(u) != no_disc; }, 15));
    const std::string welcome = settled_text(u);
    EXPECT_NE(welcome, first);
    EXPECT_TRUE(running(u.app().pid()));

    // The install goes on from the welcome: the destination, then the
    // licence.
    u.learn_rows(0);
    u.click_next();
    ASSERT_TRUE(wait_until([&] { return !u.at_step(0); }, 30));
    u.learn_rows(1);
    ASSERT_TRUE(u.wait_step(1));
    u.click_next();
    ASSERT_TRUE(u.wait_step(2)) << log_of(u.home());
    EXPECT_EQ(u.log_count("cannot extract"), 0) << log_of(u.home());
  });
  EXPECT_EQ(result, 0);
}

INSTANTIATE_TEST_SUITE_P(DiscSwap, DiscSwapAtStart,
                         testing::Values(first_disc{"ForeignDisc", foreign_disc, true},
                                         first_disc{"SampleDisc2", sample_disc2, false},
                                         first_disc{"Disc2WithTheVersionFile", disc2_with_version, false}),
                         [](const testing::TestParamInfo<first_disc>& i) { return std::string(i.param.name); });

TEST_F(DiscSwap, StartedFromTheLaterOfTwoCopiesOfDiscOneTheProgramHandsOver) {
  const std::string dir = test_scratch_dir("handover2");
  const std::string home = dir + "home/", tmp = dir + "tmp/";
  ASSERT_EQ(test_run("mkdir -p '" + home + "' '" + tmp + "'"), 0);
  const int result = test_in_private_mounts([&] {
    // A copy a failed check leaves running ends with the test.
    struct end_copy {
      std::string pid, tmp;
      ~end_copy() {
        if (!pid.empty() && running(atoi(pid.c_str())) &&
            trimmed(test_capture("readlink /proc/" + pid + "/exe")).rfind(tmp, 0) == 0)
          kill(atoi(pid.c_str()), SIGKILL);
      }
    } copy{"", tmp};
    const std::string first = dir + "drive1", later = dir + "drive2";
    disc_in_drive disc1(k_samples + "disc1.iso", first);
    disc_in_drive copy1(k_samples + "disc1.iso", later);
    // The mount table lists the copy the program starts from after the other.
    const std::string table = test_read_file("/proc/self/mountinfo");
    const size_t at_first = table.find(" " + first + " "), at_later = table.find(" " + later + " ");
    ASSERT_NE(at_first, std::string::npos) << table;
    ASSERT_NE(at_later, std::string::npos) << table;
    ASSERT_LT(at_first, at_later) << table;

    const std::string env =
        "HOME='" + home + "' XDG_CONFIG_HOME='" + home + ".config' TMPDIR='" + tmp + "' LANG=C.UTF-8 ";
    // The program on the disc copies itself and ends; one that kept running
    // from the disc is ended by the time-out.
    ASSERT_EQ(test_run("cd '" + home + "' && " + env + "timeout 60 '" + later +
                       "/Duvizo Installer.app/Contents/MacOS/Duvizo Installer' >/dev/null"),
              1);
    // The copy runs from the temporary folder, writable by its owner.
    std::string& pid = copy.pid;
    for (int i = 0; i < 600 && pid.empty(); ++i) {
      pid = trimmed(test_capture("pgrep -n -f '^" + tmp + "Duvizo-.*/Duvizo Installer$'"));
      if (pid.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ASSERT_FALSE(pid.empty()) << log_of(home);
    const std::string exe = trimmed(test_capture("readlink /proc/" + pid + "/exe"));
    EXPECT_EQ(exe.rfind(tmp + "Duvizo-", 0), 0u) << exe;
    const std::string bundle = exe.substr(0, exe.find("/Contents/MacOS/"));
    struct stat st;
    ASSERT_EQ(stat(bundle.c_str(), &st), 0) << bundle;
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    ASSERT_EQ(test_run("xdotool search --sync --pid " + pid + " >/dev/null"), 0);
    // The disc it was started from is free to go while the copy runs, and
    // the copy reads the set from the other.
    EXPECT_TRUE(take_out(later));
    EXPECT_TRUE(mounted(first));
    EXPECT_TRUE(wait_until([&] { return first_match(tmp + "Duvizo-*/directory.txt") != ""; }, 30)) << log_of(home);
    // Its log names where it runs from once start-up is through, and no
    // failed hand-over.
    std::string log;
    for (int i = 0; i < 400 && log.find("os_dir_prefs") == std::string::npos; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      log = log_of(home);
    }
    const size_t at = log.find("os_dir_this_app\t\t=");
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_EQ(log.compare(at + 18, tmp.size() + 7, tmp + "Duvizo-"), 0) << log.substr(at, 200);
    EXPECT_EQ(log.find("Running from the disc."), std::string::npos) << log;
    EXPECT_TRUE(running(atoi(pid.c_str())));
    // Closed, it leaves nothing in the temporary folder.
    const std::string wid = trimmed(test_capture("xdotool search --pid " + pid + " | head -1"));
    EXPECT_EQ(test_run(std::string(DUV_SEND_WM_DELETE) + " " + wid), 0);
    for (int i = 0; i < 600 && running(atoi(pid.c_str())); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(running(atoi(pid.c_str())));
    EXPECT_EQ(test_list_folder(tmp), std::vector<std::string>{});
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
