// The install screen through the wizard's real frames, with two disc
// folders the mount table names and archives made by zip: the disc switch
// resumes the same install, an error answered "Continue" ends on the error
// finish, and "Cancel" twice deletes the partial copy; a Quit or the
// window's close between discs leaves it. The log tells each of them.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <deque>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "engine/utils_alerts.h"
#include "engine/utils_install.h"
#include "engine/utils_table.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "installer/dvd_disc.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"
#include "installer/velora.h"
#include "shell/hl_event.h"
#include "support/gl_console.h"
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "tex/tman.h"
#include "widgets/click_fixture.h"

namespace {

const bool gl_ready = gl_console_register();

// The questions' answers, in order, and what was asked.
std::deque<int> answers;
std::vector<std::string> asked;

int scripted_abort(const std::string& message, const std::string&, const std::string&, const std::string&,
                   const std::string&) {
  asked.push_back(message);
  if (answers.empty()) return 3;
  const int a = answers.front();
  answers.pop_front();
  return a;
}

class RunInstall : public Clicks {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_ready);
    Clicks::SetUp();
    ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 364, 0x48241, tex_load_now,
                                    DUV_BINARY_DIR "/Duvizo Installer.app/Contents/Resources/background.png"),
              364);
    root_ = test_scratch_dir("run_install");
    get_OS_abs_path(os_dir_prefs, prefs_);
    remove((prefs_ + "velora_install.txt").c_str());
    answers.clear();
    asked.clear();
    g_engine_questions.abort_alert = scripted_abort;
    temp_path = root_ + "temp/";
    dest_dir_path = root_ + "Duvizo/";
    install_name = "Set";
    ASSERT_EQ(test_run("mkdir -p '" + temp_path + "'"), 0);
    stg = settings_record();
    stg.platform = plat_mac;
    set_install_filter(1, 1);
    dvd_install_is_running = 0;
    num_install_errors = 0;
    current_disk = 0;
    app_done = 0;
    wizard_forget_last();
  }
  void TearDown() override {
    install_files_kill();
    RUN_pass_ended(k_pass_stopped);
    UTIL_end_eject();
    g_engine_questions = engine_questions();
    remove((prefs_ + "velora_install.txt").c_str());
    UTIL_set_mount_table("/proc/self/mountinfo");
    dvd_path.clear();
    install_name = no_install_name;
    sim_info.clear();
    g_wizard = nullptr;
    dvd_install_is_running = 0;
    tman.unload_texture(364);
    Clicks::TearDown();
  }
  // A file of the set on disc: its archive made by zip unless missing.
  void add_file(const std::string& path, int disk, bool archived) {
    const std::string content = "content of " + path + "\n";
    const std::string master = root_ + "master/" + path;
    ASSERT_EQ(test_run("mkdir -p \"$(dirname '" + master + "')\""), 0);
    ASSERT_TRUE(test_write_file(master, content));
    const std::string on_disc = disc(disk) + install_name + "/" + path + ".zip";
    ASSERT_EQ(test_run("mkdir -p \"$(dirname '" + on_disc + "')\""), 0);
    if (archived) {
      ASSERT_EQ(test_run("cd \"$(dirname '" + master + "')\" && zip -q '" + on_disc + "' \"$(basename '" + master +
                         "')\""),
                0);
    }
    file_version_struct v;
    v.path = path;
    v.platform = plat_all;
    v.disk = disk;
    v.sig_want = test_md5sum(master);
    v.sig_have = "NONE";  // as the scenery screen's pass finds a new destination
    v.expanded_kb = 1;
    v.compressed_kb = 1;
    sim_info.push_back({{v}});
  }
  std::string disc(int n) { return root_ + "disc" + std::to_string(n) + "/"; }
  // The mount table holds these discs of the set as iso9660 volumes.
  void mount(const std::vector<int>& discs) {
    std::string table;
    for (int n : discs) {
      ASSERT_TRUE(test_write_file(disc(n) + "dvd_version.txt", "I\n900 version\nDVD\nVERSION Set\n"));
      table += std::to_string(40 + n) + " 25 0:" + std::to_string(40 + n) + " / " +
               disc(n).substr(0, disc(n).size() - 1) + " ro - iso9660 /dev/sr" + std::to_string(n) + " ro\n";
    }
    const std::string path = root_ + "mountinfo" + std::to_string(tables_++);
    ASSERT_TRUE(test_write_file(path, table));
    UTIL_set_mount_table(path);
    dvd_path.clear();
    UTIL_locate_dvd();
  }
  // Frames until the wizard shows screen (at most 2000).
  bool frames_until(screen_func screen) {
    for (int i = 0; i < 2000 && g_wizard != screen; ++i) d->frame(APP_update_wizard);
    return g_wizard == screen;
  }
  void click_next() {
    d->press(720, 20);
    d->frame(APP_update_wizard);
    d->release(720, 20);
  }
  int registry_lines() {
    const std::string r = test_read_file(prefs_ + "velora_install.txt");
    return static_cast<int>(std::count(r.begin(), r.end(), '\n'));
  }
  std::string root_, prefs_;
  int tables_ = 0;
};

TEST_F(RunInstall, ADiscSwitchResumesTheSameInstall) {
  add_file("All/one.txt", 0, true);
  add_file("All/two.txt", 1, true);
  mount({0});
  xer_capture log;
  g_wizard = dvd_run_install;
  ASSERT_TRUE(frames_until(dvd_switch_disk_install));
  EXPECT_EQ(dvd_install_is_running, 1);
  EXPECT_EQ(want_file_disk, 1);
  EXPECT_EQ(test_read_file(dest_dir_path + "one.txt"), "content of All/one.txt\n");
  // A disc folder's own volume is never to be ejected: the disc went.
  dvd_path = root_ + "gone/";
  // The switch screen asks for the disc by its number on the label.
  d->frame(APP_update_wizard);
  bool asks = false;
  for (const OGL_string_call& s : d->trace().strings) asks |= s.text == "Please insert DVD number 2 and click continue.";
  EXPECT_TRUE(asks);
  EXPECT_EQ(dvd_path, "");
  mount({1});
  click_next();
  ASSERT_TRUE(frames_until(dvd_done_install));
  EXPECT_EQ(current_disk, 1);
  EXPECT_EQ(dvd_install_is_running, 0);
  EXPECT_EQ(test_read_file(dest_dir_path + "two.txt"), "content of All/two.txt\n");
  EXPECT_EQ(registry_lines(), 1);
  EXPECT_TRUE(asked.empty());
  UTIL_end_eject();
  EXPECT_EQ(log.missing_in_order({"Install of " + dest_dir_path + " started.",
                                  "The disc at " + disc(0) + " is not disc 2: refused.",
                                  "Ejecting the disc at " + root_ + "gone/.",
                                  "Asked for disc 2, which holds Set/All/two.txt.zip.",
                                  "Disc 2 found at " + disc(1) + ".",
                                  "Install of " + dest_dir_path + " ended: 2 files installed, 0 failed, 0 kept, 0 deleted."}),
            "")
      << log.text();
  EXPECT_NE(log.text().find("Could not eject the disc at " + root_ + "gone/: error 2 (No such file or directory).\n"),
            std::string::npos)
      << log.text();
}

TEST_F(RunInstall, AnErrorAnsweredContinueEndsOnTheErrorFinish) {
  add_file("All/one.txt", 0, true);
  add_file("All/lost.txt", 0, false);
  add_file("All/three.txt", 0, true);
  mount({0});
  answers = {0};
  xer_capture log;
  g_wizard = dvd_run_install;
  ASSERT_TRUE(frames_until(dvd_done_install));
  EXPECT_EQ(log.missing_in_order({"Install of " + dest_dir_path + " started.",
                                  "Install error 2 (No such file or directory): I was unable to copy the file " +
                                      disc(0) + "Set/All/lost.txt.zip from the DVD to the hard drive.",
                                  "Install of " + dest_dir_path + " ended: 2 files installed, 1 failed, 0 kept, 0 deleted."}),
            "")
      << log.text();
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].rfind("An error occurred during installation:\n\nI was unable to copy the file ", 0), 0u);
  EXPECT_EQ(num_install_errors, 1);
  EXPECT_EQ(test_read_file(dest_dir_path + "three.txt"), "content of All/three.txt\n");
  wizard_screen s;
  d->frame([&] { dvd_done_install(1, s); });
  EXPECT_EQ(s.text.rfind("There were errors during the install; your copy of Duvizo may not be usable.", 0), 0u);
  EXPECT_TRUE(s.choice_names.empty());
  EXPECT_EQ(s.next_screen, wizard_quit);
  EXPECT_EQ(s.back, dvd_start);
}

TEST_F(RunInstall, CancelAndAClosedConfirmationDeleteThePartialCopy) {
  add_file("All/one.txt", 0, true);
  add_file("All/lost.txt", 0, false);
  mount({0});
  answers = {1, 3};
  xer_capture log;
  g_wizard = dvd_run_install;
  ASSERT_TRUE(frames_until(dvd_scenery_install));
  EXPECT_EQ(dvd_install_is_running, 1);
  EXPECT_TRUE(dir_exists(dest_dir_path));
  d->frame(APP_update_wizard);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[1], "Are you sure you want to cancel the installation?  This will delete the partially installed "
                      "copy of Duvizo 9.");
  EXPECT_FALSE(dir_exists(dest_dir_path));
  EXPECT_EQ(dvd_install_is_running, 0);
  EXPECT_EQ(g_wizard, dvd_scenery_install);
  EXPECT_EQ(log.missing_in_order({"Install of " + dest_dir_path + " started.",
                                  "Install error 2 (No such file or directory): I was unable to copy the file " +
                                      disc(0) + "Set/All/lost.txt.zip from the DVD to the hard drive.",
                                  "Install of " + dest_dir_path + " cancelled: 1 file installed, 1 failed, 0 kept, 0 deleted.",
                                  "Deleted the partial copy " + dest_dir_path + "."}),
            "")
      << log.text();
  // The registry keeps its line; the next start skips it.
  EXPECT_EQ(registry_lines(), 1);
  locate_all_veloras();
  EXPECT_TRUE(all_velroots.empty());
}

TEST_F(RunInstall, ContinueOnTheConfirmationResumes) {
  add_file("All/one.txt", 0, true);
  add_file("All/lost.txt", 0, false);
  add_file("All/three.txt", 0, true);
  mount({0});
  answers = {1, 0};
  g_wizard = dvd_run_install;
  ASSERT_TRUE(frames_until(dvd_scenery_install));
  ASSERT_TRUE(frames_until(dvd_done_install));
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(num_install_errors, 1);
  EXPECT_EQ(test_read_file(dest_dir_path + "three.txt"), "content of All/three.txt\n");
  EXPECT_EQ(registry_lines(), 1);
}

// A Quit or the window's close while the install waits for disc 2 leaves
// the copy as it is: the log names it, with what it holds, and says what
// finishes it.
TEST_F(RunInstall, QuitOrACloseBetweenDiscsTellsWhatIsLeft) {
  const struct {
    const char* how;
    bool by_window;
  } cases[] = {{"the user clicked Quit", false}, {"the user closed the window", true}};
  for (const auto& c : cases) {
    sim_info.clear();
    dvd_install_is_running = 0;
    test_run("rm -rf '" + dest_dir_path + "'");
    add_file("All/one.txt", 0, true);
    add_file("All/two.txt", 1, true);
    mount({0});
    app_done = 0;
    g_wizard = dvd_run_install;
    ASSERT_TRUE(frames_until(dvd_switch_disk_install));
    // A disc folder's own volume is never to be ejected: the disc went.
    dvd_path = root_ + "gone/";
    xer_capture log;
    if (c.by_window) {
      quit_request = 1;
      d->frame(APP_update_wizard);
    } else {
      d->press(50, 20);
      d->frame(APP_update_wizard);
      d->release(50, 20);
    }
    EXPECT_EQ(app_done, 1) << c.how;
    EXPECT_EQ(log.missing_in_order({"Install of " + dest_dir_path + " left incomplete when " + c.how +
                                    ": 1 file installed, 0 failed, 0 kept, 0 deleted. A repair of that copy "
                                    "finishes it."}),
              "")
        << log.text();
    UTIL_end_eject();
  }
}

}  // namespace
