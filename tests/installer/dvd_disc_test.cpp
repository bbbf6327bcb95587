// Reading the disc set from disc folders that a mount table of the test's
// own names: the version file's rules, the directory read once per run, a
// damaged directory archive, the disc switch and check, and what the start
// screen and the switch tell the log.
#include <gtest/gtest.h>
#include <algorithm>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "engine/utils_table.h"
#include "installer/dvd_disc.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "support/test_env.h"
#include "support/xer_capture.h"

namespace {

const std::string k_md5 = "0123456789abcdef0123456789abcdef";

class DiscSet : public testing::Test {
 protected:
  void SetUp() override {
    root_ = test_scratch_dir("discs");
    temp_path = root_ + "temp/";
    ASSERT_EQ(test_run("mkdir -p '" + temp_path + "'"), 0);
    reset();
  }
  void TearDown() override {
    UTIL_end_eject();
    reset();
    UTIL_set_mount_table("/proc/self/mountinfo");
  }
  void reset() {
    dvd_path.clear();
    install_name = no_install_name;
    stg = settings_record();
    sim_info.clear();
    want_file_disk = 0;
    current_disk = 0;
  }
  // A disc folder named name (made when missing); returns its path with '/'.
  std::string disc(const std::string& name) {
    const std::string d = root_ + name + "/";
    EXPECT_EQ(test_run("mkdir -p '" + d + "'"), 0);
    return d;
  }
  // Mount table lines, each disc an iso9660 volume at its folder.
  void mount(const std::vector<std::string>& discs) {
    std::string table;
    int id = 40;
    for (const std::string& d : discs) {
      table += std::to_string(id) + " 25 0:" + std::to_string(id) + " / " + d.substr(0, d.size() - 1) +
               " ro,relatime - iso9660 /dev/sr0 ro\n";
      ++id;
    }
    const std::string path = root_ + "mountinfo" + std::to_string(tables_++);
    ASSERT_TRUE(test_write_file(path, table));
    UTIL_set_mount_table(path);
  }
  // A set on disc d: its version file, and a zipped directory listing a.txt
  // on the first disc and b.txt on the second.
  void make_set(const std::string& d, const std::string& name) {
    ASSERT_TRUE(test_write_file(d + "dvd_version.txt", "I\n900 version\nDVD\n\nVERSION " + name + "\n"));
    const std::string set = d + name + "/";
    ASSERT_EQ(test_run("mkdir -p '" + set + "'"), 0);
    ASSERT_TRUE(test_write_file(root_ + "directory.txt", "I\n900 version\nINSTALLER\n\nDISK 0\nFILE 0 0 1 12 34 " +
                                                             k_md5 + " Top/a.txt\nDISK 1\nFILE 0 0 1 12 34 " + k_md5 +
                                                             " Top/b.txt\n"));
    ASSERT_EQ(test_run("cd '" + root_ + "' && zip -q '" + set + "directory.txt.zip' directory.txt"), 0);
  }
  std::string root_;
  int tables_ = 0;
};

TEST_F(DiscSet, TheVersionFileNamesTheSet) {
  const struct {
    const char* what;
    std::string body;
    std::string want;
  } cases[] = {
      {"one line", "I\n900 version\nDVD\nVERSION Duvizo 10\n", "Duvizo 10"},
      {"the last line wins", "I\n900 version\nDVD\nVERSION First\nVERSION Second\n", "Second"},
      {"a longer word", "I\n900 version\nDVD\nVERSIONX Other\n", no_install_name},
      {"a tab", "I\n900 version\nDVD\nVERSION\t \tDuvizo 10\n", "Duvizo 10"},
      {"trailing blanks kept", "I\n900 version\nDVD\nVERSION Duvizo 10  \n", "Duvizo 10  "},
      {"CR LF", "I\r\n900 version\r\nDVD\r\nVERSION Duvizo 10\r\n", "Duvizo 10"},
      {"no line end", "I\n900 version\nDVD\n  VERSION Duvizo 10", "Duvizo 10"},
      {"version 899", "I\n899 version\nDVD\nVERSION Duvizo 10\n", no_install_name},
      {"another type", "I\n900 version\nINSTALLER\nVERSION Duvizo 10\n", no_install_name},
      {"an empty value", "I\n900 version\nDVD\nVERSION\n", no_install_name},
      {"a path", "I\n900 version\nDVD\nVERSION ../x\n", no_install_name},
      {"a dot", "I\n900 version\nDVD\nVERSION .\n", no_install_name},
  };
  const std::string d = disc("version");
  mount({d});
  for (const auto& c : cases) {
    reset();
    stg.stage = 3;  // the directory is not the question here
    ASSERT_TRUE(test_write_file(d + "dvd_version.txt", c.body));
    UTIL_scan_dvd();
    EXPECT_EQ(dvd_path, d) << c.what;
    EXPECT_EQ(install_name, c.want) << c.what;
  }
}

TEST_F(DiscSet, TheDirectoryIsReadOncePerRun) {
  // No disc yet: nothing happens.
  mount({});
  UTIL_scan_dvd();
  EXPECT_EQ(dvd_path, "");
  EXPECT_EQ(install_name, no_install_name);
  EXPECT_EQ(stg.stage, 0);

  const std::string d = disc("disc1");
  make_set(d, "Duvizo 10");
  mount({disc("usb-stick-without-a-set"), d});
  UTIL_scan_dvd();
  EXPECT_EQ(dvd_path, d);
  EXPECT_EQ(install_name, "Duvizo 10");
  EXPECT_EQ(stg.stage, 3);
  ASSERT_EQ(sim_info.size(), 2u);
  EXPECT_EQ(test_read_file(temp_path + "directory.txt").substr(0, 2), "I\n");

  // Another set put in afterwards changes nothing in this run.
  const std::string other = disc("other");
  make_set(other, "Other Set");
  dvd_path.clear();
  mount({other});
  UTIL_scan_dvd();
  EXPECT_EQ(dvd_path, other);
  EXPECT_EQ(install_name, "Duvizo 10");
  EXPECT_EQ(sim_info.size(), 2u);
}

// The start screen scans every frame, so each step below is one frame as
// the user swaps discs.
TEST_F(DiscSet, DiscsAreReadAsTheyCome) {
  const std::string foreign = disc("foreign"), later = disc("disc2"), first = disc("disc1");
  ASSERT_TRUE(test_write_file(foreign + "dvd_version.txt", "I\n900 version\nINSTALLER\nVERSION Duvizo 10\n"));
  make_set(first, "Duvizo 10");
  // A later disc of the box: the set's version file and folder, no directory.
  ASSERT_TRUE(test_write_file(later + "dvd_version.txt", test_read_file(first + "dvd_version.txt")));
  ASSERT_EQ(test_run("mkdir -p '" + later + "Duvizo 10/Top'"), 0);
  // A later disc of another set: once the first set's disc is out, the
  // next disc is read for its own set.
  const std::string other = disc("other");
  ASSERT_TRUE(test_write_file(other + "dvd_version.txt", "I\n900 version\nDVD\nVERSION Other Set\n"));
  ASSERT_EQ(test_run("mkdir -p '" + other + "Other Set'"), 0);
  const struct {
    const char* what;
    std::vector<std::string> mounted;
    std::string dvd, name;
    int stage, later;
  } frames[] = {
      {"a foreign disc", {foreign}, foreign, no_install_name, 0, 0},
      {"taken out", {}, "", no_install_name, 0, 0},
      {"a later disc", {later}, later, "Duvizo 10", 0, 1},
      {"taken out", {}, "", no_install_name, 0, 0},
      {"another set's later disc", {other}, other, "Other Set", 0, 1},
      {"taken out", {}, "", no_install_name, 0, 0},
      {"the later disc again", {later}, later, "Duvizo 10", 0, 1},
      {"disc 1 beside it", {later, first}, first, "Duvizo 10", 3, 0},
      {"disc 1 taken out", {later}, later, "Duvizo 10", 3, 0},
  };
  for (const auto& f : frames) {
    mount(f.mounted);
    UTIL_scan_dvd();
    EXPECT_EQ(dvd_path, f.dvd) << f.what;
    EXPECT_EQ(install_name, f.name) << f.what;
    EXPECT_EQ(stg.stage, f.stage) << f.what;
    EXPECT_EQ(UTIL_later_disc_in(), f.later) << f.what;
  }
  EXPECT_EQ(sim_info.size(), 2u);
}

// The start screen looks in every frame; the log hears of the disc in the
// drive once each time it changes.
TEST_F(DiscSet, TheStartScreenLogsEachDiscOnce) {
  const std::string foreign = disc("foreign"), later = disc("disc2"), first = disc("disc1");
  ASSERT_TRUE(test_write_file(foreign + "dvd_version.txt", "I\n900 version\nINSTALLER\nVERSION Duvizo 10\n"));
  make_set(first, "Duvizo 10");
  ASSERT_TRUE(test_write_file(later + "dvd_version.txt", test_read_file(first + "dvd_version.txt")));
  ASSERT_EQ(test_run("mkdir -p '" + later + "Duvizo 10/Top'"), 0);
  const std::string none = "No installer disc in any drive: disc 1 is asked for.\n";
  const struct {
    const char* what;
    std::vector<std::string> mounted;
    std::string logged;
  } frames[] = {
      {"a foreign disc", {foreign}, "The disc at " + foreign + " is not a disc of this installer: refused.\n"},
      {"still in", {foreign}, ""},
      {"taken out", {}, none},
      {"a later disc", {later}, "The disc at " + later + " is a later disc of Duvizo 10, not disc 1: refused.\n"},
      {"disc 1 beside it", {later, first}, "Disc of Duvizo 10 found at " + first + ".\n"},
      {"still in", {later, first}, ""},
      {"disc 1 taken out, the directory read", {later}, "Disc of Duvizo 10 found at " + later + ".\n"},
      {"taken out", {}, none},
      {"still out", {}, ""},
  };
  int first_frame = 1;
  for (const auto& f : frames) {
    mount(f.mounted);
    xer_capture log;
    wizard_screen s;
    dvd_start(first_frame, s);
    first_frame = 0;
    EXPECT_EQ(log.text(), f.logged) << f.what;
  }
}

TEST_F(DiscSet, SwitchingEjectsOnceAndTheCheckNamesTheDiscFound) {
  const std::string d1 = disc("disc1"), d2 = disc("disc2");
  make_set(d1, "Duvizo 10");
  mount({d1});
  UTIL_scan_dvd();
  ASSERT_EQ(stg.stage, 3);
  want_file_disk = 1;  // b.txt, on the second disc
  xer_capture log;
  EXPECT_EQ(UTIL_switch_disk(0), 1);
  EXPECT_EQ(dvd_path, d1);
  // The first frame ejects and forgets the disc. (A disc that went away
  // meanwhile: the failed eject is ignored. Real ejecting is tested on a
  // mounted image; a test folder's own volume is never to be ejected.)
  dvd_path = root_ + "gone/";
  EXPECT_EQ(UTIL_switch_disk(1), 1);
  EXPECT_EQ(dvd_path, "");

  // Disc 1 still in: its set's folder is there but not the archive.
  EXPECT_EQ(UTIL_verify_disk(), 0);
  EXPECT_EQ(dvd_path, d1);
  EXPECT_EQ(current_disk, 0);

  ASSERT_EQ(test_run("mkdir -p '" + d2 + "Duvizo 10/Top'"), 0);
  ASSERT_TRUE(test_write_file(d2 + "Duvizo 10/Top/b.txt.zip", "zip"));
  mount({d2});
  EXPECT_EQ(UTIL_verify_disk(), 1);
  EXPECT_EQ(dvd_path, d2);
  EXPECT_EQ(current_disk, 1);

  // Nothing mounted: no disc, no answer.
  mount({});
  EXPECT_EQ(UTIL_verify_disk(), 0);
  EXPECT_EQ(dvd_path, "");

  // The log tells each step once; the eject's outcome comes from beside.
  UTIL_end_eject();
  EXPECT_EQ(log.missing_in_order({"Ejecting the disc at " + root_ + "gone/.",
                                  "Asked for disc 2, which holds Duvizo 10/Top/b.txt.zip.",
                                  "The disc at " + d1 + " is not disc 2: refused.", "Disc 2 found at " + d2 + ".",
                                  "Disc 2 is not in any drive."}),
            "")
      << log.text();
  const std::string text = log.text();
  EXPECT_NE(text.find("Could not eject the disc at " + root_ + "gone/: error 2 (No such file or directory).\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << text;
}

TEST(DiscSetDeathTest, ADamagedDirectoryArchiveEndsTheProgram) {
  const std::string root = test_scratch_dir("damaged");
  EXPECT_EXIT(
      {
        xer.open("/dev/stderr", std::ios::app);
        ogl_inited = 0;
        const std::string d = root + "disc/";
        if (test_run("mkdir -p '" + d + "Set' '" + root + "temp'") != 0) _exit(3);
        test_write_file(d + "dvd_version.txt", "I\n900 version\nDVD\nVERSION Set\n");
        test_write_file(d + "Set/directory.txt.zip", "PK\x03\x04 not really a zip");
        test_write_file(root + "mountinfo",
                        "40 25 0:40 / " + d.substr(0, d.size() - 1) + " ro - iso9660 /dev/sr0 ro\n");
        UTIL_set_mount_table(root + "mountinfo");
        temp_path = root + "temp/";
        install_name = no_install_name;
        stg = settings_record();
        UTIL_scan_dvd();
      },
      ::testing::ExitedWithCode(1), "DVD scan: The installer cannot extract a file\\.");
}

}  // namespace
