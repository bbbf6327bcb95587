// The scenery and repair flows' screens one frame at a time: the finish
// texts, the repair count, the stop question of the screen before the
// install, the install's start and its status past the last file, the
// disc-change pair, and how the log tells the scan and the install.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include "core/globs.h"
#include "installer/dvd_disc.h"
#include "installer/dvd_flows.h"
#include "screen_fixture.h"
#include "support/xer_capture.h"

namespace {

TEST_F(Screens, SceneryFinishTextsByWhatTheInstallDid) {
  const char* tail =
      "  Your copy of Duvizo may not be usable.\n\nYou can click Go Back and use the repair and add-remove scenery "
      "functions to try to reinstall any missing or damaged files.";
  const struct {
    int install, remove;
    const char* done;
    const char* failed;
  } cases[] = {
      {3, 0, "I have successfully installed more scenery to match your choices on the map.",
       "There were errors while installing your scenery."},
      {3, 2, "I have successfully added and removed scenery to match your choices on the map.",
       "There were errors while adding and removing your scenery."},
      {0, 2, "I have successfully removed scenery to match your choices on the map.",
       "There were errors while removing your scenery."},
      {0, 0, "I have successfully updated scenery to match your choices on the map.",
       "There were errors while updating your scenery."},
  };
  for (const auto& c : cases) {
    stg.files_to_install = c.install;
    stg.files_to_delete = c.remove;
    num_install_errors = 0;
    EXPECT_EQ(run(dvd_done_scenery, 1), 0);
    EXPECT_EQ(s.title, "Finished With Add/Remove Scenery");
    EXPECT_EQ(s.text, c.done);
    EXPECT_EQ(s.choice_names, std::vector<std::string>{"Run Duvizo Now"});
    EXPECT_EQ(s.choice_funcs, std::vector<screen_func>{dvd_do_run_sim});
    EXPECT_EQ(s.back, dvd_start);
    EXPECT_EQ(s.next_screen, wizard_quit);
    num_install_errors = 1;
    run(dvd_done_scenery, 0);
    EXPECT_EQ(s.text, std::string(c.failed) + tail);
    EXPECT_TRUE(s.choice_names.empty());
    EXPECT_EQ(s.next_screen, wizard_quit);
  }
}

TEST_F(Screens, RepairFinishTexts) {
  dest_dir_path = "/Users/pilot/Duvizo 10/";
  run(dvd_done_repair, 1);
  EXPECT_EQ(s.title, "Finished Repairing Duvizo.");
  EXPECT_EQ(s.text, "I have finished repairing /Users/pilot/Duvizo 10/ - click Go Back to return to the main menu.");
  EXPECT_EQ(s.choice_names, std::vector<std::string>{"Run Duvizo Now"});
  EXPECT_EQ(s.choice_funcs, std::vector<screen_func>{dvd_do_run_sim});
  num_install_errors = 2;
  run(dvd_done_repair, 0);
  EXPECT_EQ(s.text,
            "There were errors during the repair; your copy of Duvizo may not be usable.\n\nYou can click Go Back and "
            "use the repair and add-remove scenery functions to try to reinstall any missing or damaged files.");
  EXPECT_TRUE(s.choice_names.empty());
  EXPECT_EQ(s.back, dvd_start);
  EXPECT_EQ(s.next_screen, wizard_quit);
}

// The count covers the files the scan did not find intact among those the
// repair takes, computed when the screen is entered.
TEST_F(Screens, RepairCountAndTheClosingSentence) {
  dest_dir_path = test_scratch_dir("copy");
  stg.platform = plat_mac;
  set_install_filter(1, 0);
  const std::string sentence = "\n\nClick continue to begin repairing Duvizo.";
  add_file("All/Instructions/Manual.txt", "aaa", "aaa");  // intact
  add_file("All/Airfoils/a.afl", "bbb", "NONE");           // missing
  add_file("Windows/Duvizo.exe", "ccc", "NONE", plat_win);  // another platform's
  add_file("All/Global Scenery/-global terrain-/+40-130/+47-123.dsf", "ddd", "NONE");  // scenery
  run(dvd_confirm_repair, 1);
  EXPECT_EQ(s.title, "Confirm Repairs");
  EXPECT_EQ(s.text, "I need to install approximately 1 file to repair " + dest_dir_path + "." + sentence);
  EXPECT_EQ(s.back, dvd_pick_repair);
  EXPECT_EQ(s.next_screen, dvd_install_repair);

  add_file("All/Output/edited.txt", "eee", "fff");  // changed by hand
  run(dvd_confirm_repair, 0);
  EXPECT_NE(s.text.find("approximately 1 file "), std::string::npos) << "counted once per entry";
  run(dvd_confirm_repair, 1);
  EXPECT_EQ(s.text, "I need to install approximately 2 files to repair " + dest_dir_path + "." + sentence);

  // More than the volume holds: Next goes, and the sentence about it.
  current_version(1).expanded_kb = 1e13f;
  run(dvd_confirm_repair, 1);
  EXPECT_EQ(s.next_screen, nullptr);
  EXPECT_EQ(s.text, "I need to install approximately 2 files to repair " + dest_dir_path + ".");
}

// Going back to the map or the confirmation while the install runs asks
// whether to stop it.
TEST_F(Screens, LeavingARunningInstallAsksWhetherToStop) {
  const struct {
    screen_func review, install;
    int* running;
    const char* question;
    const char* beside;
  } flows[] = {
      {dvd_edit_scenery, dvd_install_scenery, &scenery_install_is_running,
       "Are you sure you want to stop scenery installation?  You can add or remove more scenery later.",
       "the scenery install."},
      {dvd_confirm_repair, dvd_install_repair, &repair_is_running,
       "Are you sure you want to stop the repair operation?  Duvizo may not be usable until repairs are complete.  "
       "You can run the repair operation on Duvizo again later to complete repairs.",
       "the repair operation."},
  };
  dest_dir_path = test_scratch_dir("copy");
  for (const auto& f : flows) {
    scripted_questions q;
    q.abort_answers = {0, 1, 3};
    // Continue: straight back to the install, which keeps running.
    *f.running = 1;
    EXPECT_EQ(run(f.review, 1), 1);
    EXPECT_EQ(s.next_screen, f.install);
    EXPECT_EQ(*f.running, 1);
    // Stop, or the question's window closed: the install ends.
    for (int i = 0; i < 2; ++i) {
      *f.running = 1;
      EXPECT_EQ(run(f.review, 1), 0);
      EXPECT_EQ(*f.running, 0);
    }
    EXPECT_EQ(q.aborted, std::vector<std::string>(3, f.question));
    // Nothing running: no question.
    run(f.review, 1);
    EXPECT_EQ(q.aborted.size(), 3u);
  }
}

// A disc folder of one file whose archive is a pipe: the copy waits until
// the test writes it, so the install is busy past the last file for as long
// as the test looks.
class InstallStatus : public Screens {
 protected:
  void SetUp() override {
    Screens::SetUp();
    root_ = test_scratch_dir("held");
    dvd_path = root_ + "disc/";
    install_name = "Set";
    temp_path = root_ + "tmp/";
    dest_dir_path = root_ + "copy/";
    ASSERT_EQ(test_run("mkdir -p '" + dvd_path + "Set/All' '" + temp_path + "' '" + dest_dir_path +
                       "' && cd '" + root_ + "' && printf 'hello\\n' > a.txt && zip -q a.zip a.txt && cp a.zip '" +
                       archive() + "'"),
              0);
    md5_ = test_md5sum(root_ + "a.txt");
    add_file("All/a.txt", md5_, "NONE");
    UTIL_set_mount_table(root_ + "no mounts");
  }
  void TearDown() override {
    release();
    dvd_path.clear();
    install_name = "Not Yet Scanned";
    UTIL_set_mount_table("/proc/self/mountinfo");
    Screens::TearDown();
  }
  void hold() {
    unlink(archive().c_str());
    ASSERT_EQ(mkfifo(archive().c_str(), 0644), 0);
    held_ = true;
  }
  // Lets the copy read the archive.
  void release() {
    if (!held_) return;
    held_ = false;
    const int fd = open(archive().c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const std::string zip = test_read_file(root_ + "a.zip");
    EXPECT_EQ(write(fd, zip.data(), zip.size()), static_cast<ssize_t>(zip.size()));
    close(fd);
  }
  std::string archive() const { return dvd_path + "Set/All/a.txt.zip"; }
  // Runs screen until it moves on; false when it did not within 2000 frames.
  bool run_until_done(screen_func screen) {
    for (int i = 0; i < 2000; ++i) {
      if (run(screen, 0)) return true;
      usleep(1000);
    }
    return false;
  }

  std::string root_, md5_;
  bool held_ = false;
};

TEST_F(InstallStatus, PastTheLastFileEachFlowSaysItsOwnFinishing) {
  const struct {
    screen_func install, review, done;
    int* running;
    const char* title;
    const char* text;
    const char* finishing;
    const char* logged_as;
  } flows[] = {
      {dvd_install_scenery, dvd_edit_scenery, dvd_done_scenery, &scenery_install_is_running,
       "Installing New Scenery", "I am installing new scenery for %s,", "Finishing Up...", "Scenery install"},
      {dvd_install_repair, dvd_confirm_repair, dvd_done_repair, &repair_is_running, "Repairing Duvizo",
       "I am repairing %s.", "Finishing up...", "Repair"},
  };
  for (const auto& f : flows) {
    SCOPED_TRACE(f.title);
    xer_capture log;
    remove((dest_dir_path + "a.txt").c_str());
    current_version(0).sig_have = "NONE";
    current_version(0).up_to_date = 0;
    num_install_errors = 5;
    hold();
    EXPECT_EQ(run(f.install, 1), 0);
    EXPECT_EQ(*f.running, 1);
    EXPECT_EQ(num_install_errors, 0);
    EXPECT_EQ(s.title, f.title);
    std::string text = f.text;
    text.replace(text.find("%s"), 2, dest_dir_path);
    EXPECT_EQ(s.text, text);
    EXPECT_EQ(s.status, f.finishing);
    EXPECT_FLOAT_EQ(s.progress, 1);
    EXPECT_EQ(s.back, f.review);
    EXPECT_EQ(s.next_screen, nullptr);
    EXPECT_EQ(s.quit, install_files_kill);
    release();
    ASSERT_TRUE(run_until_done(f.install));
    EXPECT_EQ(s.next_screen, f.done);
    EXPECT_EQ(*f.running, 0);
    EXPECT_EQ(test_md5sum(dest_dir_path + "a.txt"), md5_);
    const std::string logged = log.text();
    EXPECT_EQ(logged.rfind("Starting install at ", 0), 0u) << logged;
    EXPECT_EQ(logged.find("Starting install at ", 1), std::string::npos) << logged;
    const std::string pass = std::string(f.logged_as) + " of " + dest_dir_path;
    EXPECT_EQ(log.missing_in_order({pass + " started.", pass + " ended: 1 file installed, 0 failed, 0 kept, 0 deleted."}),
              "")
        << logged;
  }
}

// Each flow's scan tells the log its start and what it found among the
// files the flow takes: the repair digests the simulator's files, the
// scenery's quick scan only looks for the tiles.
TEST_F(Screens, EachScanTellsWhatItFound) {
  dest_dir_path = test_scratch_dir("scanned");
  ASSERT_EQ(test_run("mkdir -p '" + dest_dir_path + "Instructions' '" + dest_dir_path +
                     "Global Scenery/-global terrain-/+40-130'"),
            0);
  ASSERT_TRUE(test_write_file(dest_dir_path + "Instructions/Manual.txt", "manual\n"));
  ASSERT_TRUE(test_write_file(dest_dir_path + "Global Scenery/-global terrain-/+40-130/+47-123.dsf", "tile\n"));
  add_file("All/Instructions/Manual.txt", test_md5sum(dest_dir_path + "Instructions/Manual.txt"));  // intact
  add_file("All/Airfoils/a.afl", "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb");                                 // missing
  add_file("All/Global Scenery/-global terrain-/+40-130/+47-123.dsf", "cccccccccccccccccccccccccccccccc");  // present
  const struct {
    screen_func scan, review;
    const char* found;
  } flows[] = {
      {dvd_scan_repair, dvd_confirm_repair, "2 files checked, 1 found intact"},
      {dvd_scan_scenery, dvd_edit_scenery, "1 file checked, 1 found intact"},
  };
  for (const auto& f : flows) {
    for (auto& h : sim_info) h.versions.back().up_to_date = 0;
    xer_capture log;
    int frames = 0;
    for (int first = 1; run(f.scan, first) == 0 && frames < 2000; first = 0, ++frames) usleep(1000);
    EXPECT_EQ(s.next_screen, f.review);
    EXPECT_EQ(log.missing_in_order({"Scan of " + dest_dir_path + " started.",
                                    "Scan of " + dest_dir_path + " ended: " + f.found + "."}),
              "")
        << log.text();
  }
}

TEST_F(InstallStatus, AnotherDiscLeadsThroughTheDiscChangePair) {
  const struct {
    screen_func install, verify, change, review;
    const char* change_title;
    const char* verify_title;
  } flows[] = {
      {dvd_install_scenery, dvd_verify_disk_scenery, dvd_switch_disk_scenery, dvd_edit_scenery,
       "Installing Scenery - Please change DVDs", "Installing Scenery - Verifying DVD"},
      {dvd_install_repair, dvd_verify_disk_repair, dvd_switch_disk_repair, dvd_confirm_repair,
       "Repairing Duvizo - Please Change DVDs", "Repairing Duvizo - Checking DVD"},
  };
  current_version(0).disk = 1;
  const std::string disc = dvd_path;
  for (const auto& f : flows) {
    SCOPED_TRACE(f.change_title);
    scenery_install_is_running = repair_is_running = 0;
    remove((dest_dir_path + "a.txt").c_str());
    current_version(0).sig_have = "NONE";
    current_disk = 0;
    want_file_disk = -1;
    dvd_path = disc;
    ASSERT_TRUE(run_until_done(f.install));
    EXPECT_EQ(s.next_screen, f.verify);
    EXPECT_EQ(want_file_disk, 0);
    // No disc in the drive: the change screen.
    dvd_path.clear();
    EXPECT_EQ(run(f.verify, 1), 1);
    EXPECT_EQ(s.title, f.verify_title);
    EXPECT_EQ(s.next_screen, f.change);
    EXPECT_EQ(run(f.change, 1), 0);
    EXPECT_EQ(s.title, f.change_title);
    EXPECT_EQ(s.text, "Please insert DVD number 2 and click continue.");
    EXPECT_EQ(s.back, f.review);
    EXPECT_EQ(s.next_screen, f.verify);
    // The disc arrives (an iso9660 volume at the disc folder).
    const std::string table = root_ + "mounts";
    ASSERT_TRUE(test_write_file(table, "40 25 0:40 / " + disc.substr(0, disc.size() - 1) + " ro - iso9660 /dev/sr0 ro\n"));
    UTIL_set_mount_table(table);
    EXPECT_EQ(run(f.verify, 1), 1);
    EXPECT_EQ(s.next_screen, f.install);
    EXPECT_EQ(current_disk, 1);
    ASSERT_TRUE(run_until_done(f.install));
    EXPECT_EQ(test_md5sum(dest_dir_path + "a.txt"), md5_);
    UTIL_set_mount_table(root_ + "no mounts");
  }
}

}  // namespace
