// The flows over an installed copy in the real installer, end to end: run,
// add or remove scenery, and repair. The sample discs are mounted in a
// private mount namespace, the copy is made from the sample master as
// installed.md5 lists it, xdotool clicks on an X server of the test's own,
// and screen_probe (the installer from its first screen) reports its
// screens, texts and questions, so each step waits for what it needs.
#include <gtest/gtest.h>
#include <chrono>
#include <memory>
#include <thread>
#include "e2e_discs.h"
#include "e2e_run.h"
#include "files/test_child.h"
#include "support/private_xvfb.h"

namespace {

// The disc is ejected beside the frames: the screen that asks for the next
// disc may show before the eject is through. Waits at most 30 s.
bool taken_out(const std::string& drive) {
  for (int i = 0; i < 600 && mounted(drive); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return !mounted(drive);
}

std::string sh(const std::string& text) { return "'" + text + "'"; }

// Copies into folder what an install for the Mac with every cell puts
// there: each file installed.md5 lists, from the master, with cp -a.
bool make_installed_copy(const std::string& folder) {
  const std::string all = k_samples + "master/All", mac = k_samples + "master/Macintosh";
  return test_run("set -e; mkdir -p " + sh(folder) + "; grep -v '^#' " + sh(k_samples + "installed.md5") +
                  " | sed 's/^[0-9a-f]*  //' | while IFS= read -r p; do"
                  " if [ -e " + sh(all) + "/\"$p\" ]; then src=" + sh(all) + "; else src=" + sh(mac) + "; fi;"
                  " (cd \"$src\" && cp -a --parents \"$p\" " + sh(folder) + "); done") == 0;
}

// The md5sum -c lines of installed.md5 for the files whose path holds part.
std::string md5_lines(const std::string& part) {
  return test_capture("grep -F " + sh(part) + " " + sh(k_samples + "installed.md5") + " | grep -v '^#'");
}

// Every file and link of folder outside "Global Scenery", with its digest.
std::string all_but_scenery(const std::string& folder) {
  return test_capture("cd " + sh(folder) +
                      " && find . \\( -type f -o -type l \\) ! -path './Global Scenery/*' -print0 | sort -z |"
                      " xargs -0 md5sum");
}

// A world-map cell in a screenshot: its inside, in pixels from the top.
std::string cell_in(const std::string& png, int lon, int lat) {
  return crop_signature(png, 248 + 14 * lon + 1, 600 - (150 + 14 * lat + 14) + 1, 12, 12);
}

// The installer with its home, the registry naming copies, and the
// sample disc 1 in the drive; runs inside test_in_private_mounts.
class installer_run {
 public:
  installer_run(const std::string& home, const std::vector<std::string>& copies) : home_(home) {
    EXPECT_EQ(test_run("mkdir -p " + sh(home + ".config") + " " + sh(home + "tmp")), 0);
    std::string registry;
    for (const std::string& c : copies) registry += c + "\n";
    EXPECT_TRUE(test_write_file(home + ".config/velora_install.txt", registry));
    app = std::make_unique<background_run>(home, std::vector<std::string>{DUV_SCREEN_PROBE, k_bundle},
                                           std::vector<std::pair<std::string, std::string>>{
                                               {"TMPDIR", home + "tmp/"}, {"LANG", "C.UTF-8"}});
    win_ = trimmed(test_capture("timeout 30 xdotool search --sync --pid " + std::to_string(app->pid()) +
                                " | head -1"));
    EXPECT_FALSE(win_.empty());
  }
  // Waits (at most a minute) for the line, after the last line waited for;
  // with prefix, for a line that begins so.
  bool wait(const std::string& line, bool prefix = false) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
      const std::string out = "\n" + app->out();
      const std::string want = "\n" + line + (prefix ? "" : "\n");
      const size_t at = out.find(want, seen_);
      if (at != std::string::npos) {
        seen_ = at + want.size() - (prefix ? 0 : 1);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "no line " << line << " in:\n" << app->out();
    return false;
  }
  // The text of the next line that begins with what, after the last waited for.
  std::string next(const std::string& what) {
    if (!wait(what + " ", true)) return "";
    const std::string out = "\n" + app->out();
    return out.substr(seen_, out.find('\n', seen_) - seen_);
  }
  // A click at (x, y) of the 800 by 600 window, y up, held for a few
  // frames as a hand holds it (the world map acts while the button is
  // held); then a few frames more.
  void click(int x, int y) {
    EXPECT_EQ(test_run("xdotool mousemove --window " + win_ + " " + std::to_string(x) + " " +
                       std::to_string(600 - y) + " mousedown 1 sleep 0.15 mouseup 1 sleep 0.4"),
              0);
  }
  // In the engine's two-button question (sub-window 997, 700 by 206,
  // centred): its first and second button.
  void click_question(int button) { click(50 + 96, 197 + (button == 1 ? 56 : 31)); }
  std::string shot(const std::string& name) {
    const std::string png = home_ + name + ".png";
    EXPECT_EQ(test_run("xdotool mousemove --window " + win_ + " 795 595 sleep 0.4"), 0);
    EXPECT_EQ(test_run("import -window " + win_ + " " + sh(png)), 0);
    return png;
  }
  std::string log() const { return log_of(home_); }

  std::unique_ptr<background_run> app;

 private:
  std::string home_, win_;
  size_t seen_ = 0;
};

// The wizard's buttons: the start menu's choices, Next and Back (English).
constexpr int k_next_x = 720, k_back_x = 600, k_button_y = 20;
int choice_y(int j) { return 350 - 25 * j; }

// Waits (at most 30 s) for a file to appear.
bool appears(const std::string& path) {
  for (int i = 0; i < 1500; ++i) {
    if (!test_read_file(path).empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

TEST(CopyFlows, RunStartsTheOnlyCopyAtOnceOrTheOneTicked) {
  private_xvfb x(1024, 768);
  ASSERT_TRUE(x.ok()) << x.error();
  const std::string dir = test_scratch_dir("run");
  const std::string first = dir + "Duvizo 10/", second = dir + "Second Copy/";
  ASSERT_TRUE(make_installed_copy(first));
  ASSERT_TRUE(make_installed_copy(second));
  const std::string launched = "Duvizo.app/Contents/MacOS/Duvizo\n0\n";
  const int result = test_in_private_mounts([&] {
    disc_in_drive disc1(k_samples + "disc1.iso", dir + "drive1");
    {
      installer_run run(dir + "home1/", {first});
      ASSERT_TRUE(run.wait("stage 3"));
      run.click(500, choice_y(0));  // Run Duvizo Now
      EXPECT_EQ(run.app->wait_exit(), 1);
      ASSERT_TRUE(appears(first + "duvizo-ran.txt"));
      EXPECT_EQ(test_read_file(first + "duvizo-ran.txt"), first + launched);
      EXPECT_NE(run.log().find("Launching: " + first + "Duvizo.app/Contents/MacOS/Duvizo"), std::string::npos)
          << run.log();
    }
    remove((first + "duvizo-ran.txt").c_str());
    {
      installer_run run(dir + "home2/", {first, second});
      ASSERT_TRUE(run.wait("stage 3"));
      run.click(500, choice_y(0));
      ASSERT_TRUE(run.wait("screen dvd_pick_run_sim"));
      EXPECT_EQ(run.next("text"),
                "You have more than one copy of Duvizo 9 installed on this computer.  Please pick which copy of "
                "Duvizo 9 you would like to run.");
      run.click(250, 379);  // the second box
      run.click(k_next_x, k_button_y);
      EXPECT_EQ(run.app->wait_exit(), 1);
      ASSERT_TRUE(appears(second + "duvizo-ran.txt"));
      EXPECT_EQ(test_read_file(second + "duvizo-ran.txt"), second + launched);
      EXPECT_EQ(test_read_file(first + "duvizo-ran.txt"), "");
    }
  });
  EXPECT_EQ(result, 0);
}

// Cells of the sample set: A holds "+40-130/+47-123", B "+30+010/+35+012".
constexpr int k_a_lon = 5, k_a_lat = 13, k_b_lon = 19, k_b_lat = 12;
const std::string k_a_tile = "Global Scenery/-global terrain-/+40-130/+47-123.dsf";
const std::string k_b_tile = "Global Scenery/-global terrain-/+30+010/+35+012.dsf";
const std::string k_c_tile = "Global Scenery/-global terrain-/-40+170/-34+174.dsf";

class SceneryFlow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    dir_ = test_scratch_dir("scenery");
    copy_ = dir_ + "Duvizo 10/";
    ASSERT_TRUE(make_installed_copy(copy_));
    // The copy holds the tiles of cell A only.
    for (const std::string& tile : {k_b_tile, k_c_tile}) {
      std::string folder = copy_ + tile;
      folder.resize(folder.rfind('/'));
      ASSERT_EQ(test_run("rm -r " + sh(folder)), 0);
    }
    others_ = all_but_scenery(copy_);
    ASSERT_FALSE(others_.empty());
  }
  // From the start menu to the disc-change screen: A taken away, B added,
  // disc 1 ejected by the installer. Returns the map as it was entered.
  std::string to_the_disc_change(installer_run& run, const std::string& drive1) {
    EXPECT_TRUE(run.wait("stage 3"));
    run.click(500, choice_y(1));  // Add Or Remove Scenery
    EXPECT_TRUE(run.wait("screen dvd_pick_scenery"));
    EXPECT_EQ(run.next("text"), "Please pick which copy of Duvizo 9 you would like to add scenery to.");
    run.click(k_next_x, k_button_y);
    EXPECT_TRUE(run.wait("screen dvd_scan_scenery"));
    EXPECT_TRUE(run.wait("screen dvd_edit_scenery"));
    EXPECT_TRUE(run.wait("title Select Scenery"));
    const std::string entered = run.shot("map_entered");
    run.click(248 + 14 * k_a_lon + 7, 150 + 14 * k_a_lat + 7);
    run.click(248 + 14 * k_b_lon + 7, 150 + 14 * k_b_lat + 7);
    run.shot("map_chosen");
    run.click(k_next_x, k_button_y);
    EXPECT_TRUE(run.wait("screen dvd_install_scenery"));
    EXPECT_TRUE(run.wait("screen dvd_verify_disk_scenery"));
    EXPECT_TRUE(run.wait("screen dvd_switch_disk_scenery"));
    EXPECT_TRUE(run.wait("text Please insert DVD number 2 and click continue."));
    EXPECT_TRUE(taken_out(drive1));
    return entered;
  }

  private_xvfb x_{1024, 768};
  std::string dir_, copy_, others_;
};

TEST_F(SceneryFlow, ASecondDiscAndContinueAfterTheStopQuestion) {
  const int result = test_in_private_mounts([&] {
    const std::string drive1 = dir_ + "drive1";
    auto disc1 = std::make_unique<disc_in_drive>(k_samples + "disc1.iso", drive1);
    installer_run run(dir_ + "home/", {copy_});
    to_the_disc_change(run, drive1);
    // A's tile went before anything was installed.
    EXPECT_NE(test_run("test -e " + sh(copy_ + k_a_tile)), 0);

    // Back while the install runs asks whether to stop; Continue goes on.
    run.click(k_back_x, k_button_y);
    EXPECT_TRUE(run.wait("screen dvd_edit_scenery"));
    EXPECT_TRUE(run.wait("window 997"));
    EXPECT_EQ(run.next("ask"),
              "Are you sure you want to stop scenery installation?  You can add or remove more scenery later.");
    run.shot("stop_question");
    run.click_question(2);
    EXPECT_TRUE(run.wait("screen dvd_install_scenery"));
    EXPECT_TRUE(run.wait("screen dvd_switch_disk_scenery"));

    disc1.reset();
    disc_in_drive disc2(k_samples + "disc2.iso", dir_ + "drive2");
    run.click(k_next_x, k_button_y);
    EXPECT_TRUE(run.wait("screen dvd_done_scenery"));
    EXPECT_EQ(run.next("text"), "I have successfully added and removed scenery to match your choices on the map.");
    run.shot("scenery_done");
    run.click(k_next_x, k_button_y);  // Quit in Next's place
    EXPECT_EQ(run.app->wait_exit(), 0);

    const std::string log = run.log();
    EXPECT_EQ(log.find("Starting install at "), log.rfind("Starting install at ")) << log;
    EXPECT_NE(log.find("Starting install at "), std::string::npos) << log;
  });
  EXPECT_EQ(result, 0);
  // A's tile and its emptied folder are gone, B's tile is whole, nothing
  // else changed.
  std::string a_folder = copy_ + k_a_tile;
  a_folder.resize(a_folder.rfind('/'));
  EXPECT_FALSE(test_run("test -e " + sh(a_folder)) == 0);
  EXPECT_EQ(test_run("cd " + sh(copy_) + " && printf '%s' " + sh(md5_lines("+35+012.dsf")) + " | md5sum --quiet -c"),
            0);
  EXPECT_EQ(all_but_scenery(copy_), others_);
}

TEST_F(SceneryFlow, StopEndsTheInstallAndTheMapShowsWhatIsInstalled) {
  const int result = test_in_private_mounts([&] {
    const std::string drive1 = dir_ + "drive1";
    disc_in_drive disc1(k_samples + "disc1.iso", drive1);
    installer_run run(dir_ + "home/", {copy_});
    const std::string entered = to_the_disc_change(run, drive1);
    run.click(k_back_x, k_button_y);
    EXPECT_TRUE(run.wait("screen dvd_edit_scenery"));
    EXPECT_TRUE(run.wait("window 997"));
    run.click_question(1);  // Stop
    EXPECT_TRUE(run.wait("title Select Scenery"));
    const std::string stopped = run.shot("map_after_stop");
    // A was installed when the map was entered and is gone now; B was never
    // installed: both show as available and not chosen.
    EXPECT_NE(cell_in(stopped, k_a_lon, k_a_lat), cell_in(entered, k_a_lon, k_a_lat));
    EXPECT_EQ(cell_in(stopped, k_b_lon, k_b_lat), cell_in(entered, k_b_lon, k_b_lat));
    run.app->close_window();
    EXPECT_EQ(run.app->wait_exit(), 0);
  });
  EXPECT_EQ(result, 0);
  EXPECT_NE(test_run("test -e " + sh(copy_ + k_b_tile)), 0);
  EXPECT_EQ(all_but_scenery(copy_), others_);
}

TEST(RepairFlow, MissingAndChangedFilesComeBackAcrossBothDiscs) {
  private_xvfb x(1024, 768);
  ASSERT_TRUE(x.ok()) << x.error();
  const std::string dir = test_scratch_dir("repair");
  const std::string copy = dir + "Duvizo 10/";
  ASSERT_TRUE(make_installed_copy(copy));
  // One file of each disc deleted, one file and one scenery tile changed.
  ASSERT_EQ(remove((copy + "Airfoils/NACA-0012.afl").c_str()), 0);
  ASSERT_EQ(remove((copy + "Weapons/missile.wpn").c_str()), 0);
  ASSERT_EQ(test_run("echo 'my notes' >> " + sh(copy + "Instructions/Manual.txt")), 0);
  ASSERT_EQ(test_run("echo 'edited' >> " + sh(copy + k_b_tile)), 0);
  const std::string edited_tile = test_md5sum(copy + k_b_tile);
  const int result = test_in_private_mounts([&] {
    const std::string drive1 = dir + "drive1";
    auto disc1 = std::make_unique<disc_in_drive>(k_samples + "disc1.iso", drive1);
    installer_run run(dir + "home/", {copy});
    ASSERT_TRUE(run.wait("stage 3"));
    run.click(500, choice_y(2));  // Repair Duvizo
    ASSERT_TRUE(run.wait("screen dvd_pick_repair"));
    run.click(k_next_x, k_button_y);
    ASSERT_TRUE(run.wait("screen dvd_scan_repair"));
    ASSERT_TRUE(run.wait("screen dvd_confirm_repair"));
    EXPECT_EQ(run.next("text"), "I need to install approximately 3 files to repair " + copy +
                                    ".\\n\\nClick continue to begin repairing Duvizo.");
    run.shot("confirm");
    run.click(k_next_x, k_button_y);
    ASSERT_TRUE(run.wait("screen dvd_install_repair"));
    ASSERT_TRUE(run.wait("window 996"));
    EXPECT_NE(run.next("ask").find(copy + "Instructions/Manual.txt"), std::string::npos);
    run.shot("changed_file_question");
    // "OVERWRITE THE OLD FILE": the first button of sub-window 996 (750 by
    // 146, centred).
    run.click(25 + 96, 227 + 53);
    ASSERT_TRUE(run.wait("window 0"));
    ASSERT_TRUE(run.wait("screen dvd_switch_disk_repair"));
    EXPECT_TRUE(taken_out(drive1));
    disc1.reset();
    disc_in_drive disc2(k_samples + "disc2.iso", dir + "drive2");
    run.click(k_next_x, k_button_y);
    ASSERT_TRUE(run.wait("screen dvd_done_repair"));
    EXPECT_EQ(run.next("text"),
              "I have finished repairing " + copy + " - click Go Back to return to the main menu.");
    run.shot("repair_done");
    run.click(k_next_x, k_button_y);
    EXPECT_EQ(run.app->wait_exit(), 0);
  });
  EXPECT_EQ(result, 0);
  // Every file checks but the changed tile, which repair leaves alone.
  const std::string report =
      test_capture("cd " + sh(copy) + " && md5sum -c " + sh(k_samples + "installed.md5") + " 2>/dev/null | grep -v ': OK$'");
  EXPECT_EQ(report, k_b_tile + ": FAILED\n");
  EXPECT_EQ(test_md5sum(copy + k_b_tile), edited_tile);
}

}  // namespace
