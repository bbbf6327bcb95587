// The disc install's screens through real frames: the start menu by disc
// state and known installations, the destination screen's choices and what
// it prepares, the licence box, the error question's text, and the run
// screen's failed start.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cerrno>
#include <thread>
#include "core/globs.h"
#include "core/hl_paths.h"
#include "core/hl_version.h"
#include "engine/utils_alerts.h"
#include "engine/utils_install.h"
#include "engine/utils_table.h"
#include "files/file_errors.h"
#include "files/file_paths.h"
#include "installer/dvd_disc.h"
#include "installer/dvd_flows.h"
#include "installer/inst_state.h"
#include "installer/velora.h"
#include "support/fake_dialog.h"
#include "support/gl_console.h"
#include "support/test_env.h"
#include "widgets/butn_enterstring.h"
#include "widgets/click_fixture.h"
#include "widgets/focus.h"

namespace {

const bool gl_ready = gl_console_register();

enum { sc_delete = 76 };

// What a screen filled in one frame, and its result.
struct shown {
  int result = 0;
  wizard_screen s;
};

class DvdInstall : public Clicks {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gl_ready);
    Clicks::SetUp();
    BTN_begin_focus_ring();
    BTN_unfocus_any();
    root_ = test_scratch_dir("dvd_install");
    // No disc in the drive unless a test says so.
    ASSERT_TRUE(test_write_file(root_ + "mountinfo", ""));
    UTIL_set_mount_table(root_ + "mountinfo");
    get_OS_abs_path(os_dir_prefs, prefs_);
    remove((prefs_ + "velora_install.txt").c_str());
    reset();
  }
  void TearDown() override {
    reset();
    g_engine_questions = engine_questions();
    remove((prefs_ + "velora_install.txt").c_str());
    UTIL_set_mount_table("/proc/self/mountinfo");
    BTN_begin_focus_ring();
    BTN_unfocus_any();
    Clicks::TearDown();
  }
  void reset() {
    dvd_path.clear();
    install_name = no_install_name;
    stg = settings_record();
    sim_info.clear();
    all_velroots.clear();
    step_names.clear();
    step_funcs.clear();
    accept_eula = 0;
    dvd_install_is_running = 0;
    num_install_errors = 0;
  }
  shown run(screen_func f, int first) {
    shown out;
    d->frame([&] { out.result = f(first, out.s); });
    return out;
  }
  void click(int x, int y) {
    d->press(x, y);
    d->release(x, y);
  }
  // A table of three files: the simulator's program and two tiles.
  static void small_table() {
    sim_info.clear();
    const char* paths[] = {"Macintosh/Duvizo.app/Contents/MacOS/Duvizo", "All/Global Scenery/+40-130/+47-123.dsf",
                           "All/Global Scenery/+30+010/+35+012.dsf"};
    for (const char* p : paths) {
      file_version_struct v;
      v.path = p;
      v.platform = plat_mac;
      v.sig_want = "0123456789abcdef0123456789abcdef";
      v.expanded_kb = 100;
      v.compressed_kb = 50;
      v.is_global_scenery = std::string(p).find("Global") != std::string::npos;
      sim_info.push_back({{v}});
    }
  }
  std::string root_, prefs_;
};

TEST_F(DvdInstall, StartMenuByDiscStateAndKnownInstallations) {
  const std::string disc = test_scratch_dir("disc");
  const std::string installed = test_scratch_dir("installed");
  const std::string welcome =
      "Welcome to the Duvizo 9 Installer.  I will guide you through the process of installing Duvizo 10.";
  const std::string scenery_only =
      "This DVD (Duvizo 10) contains global scenery.  You must install the sim before you install the global "
      "scenery.";
  const std::string menu = "You already have Duvizo 9 installed on this computer.  What would you like to do?";
  const std::string foreign = "This DVD does not appear to be an Duvizo 9 DVD.";
  const struct {
    const char* what;
    bool disc, named;
    int stage, global, other;
    bool registered;
    std::string text;
    screen_func next;
    std::vector<std::string> choices;
    std::vector<screen_func> targets;
  } cases[] = {
      {"no disc", false, false, 0, 0, 0, false, "Please insert Duvizo 9 DVD number one to begin.", nullptr, {}, {}},
      {"foreign disc", true, false, 0, 0, 0, false, foreign, nullptr, {}, {}},
      {"bad directory", true, true, 2, 1, 1, true, foreign, nullptr, {}, {}},
      {"new, with the sim", true, true, 3, 1, 1, false, welcome, dvd_pick_install, {}, {}},
      {"new, scenery only", true, true, 3, 1, 0, false, scenery_only, nullptr, {}, {}},
      {"installed, both kinds", true, true, 3, 1, 1, true, menu, nullptr,
       {"Run Duvizo Now", "Add Or Remove Scenery", "Repair Duvizo", "Install A Second Copy of Duvizo"},
       {dvd_pick_run_sim, dvd_pick_scenery, dvd_pick_repair, dvd_pick_install}},
      {"installed, scenery only", true, true, 3, 1, 0, true, menu, nullptr,
       {"Run Duvizo Now", "Add Or Remove Scenery"}, {dvd_pick_run_sim, dvd_pick_scenery}},
      {"installed, sim only", true, true, 3, 0, 1, true, menu, nullptr,
       {"Run Duvizo Now", "Repair Duvizo", "Install A Second Copy of Duvizo"},
       {dvd_pick_run_sim, dvd_pick_repair, dvd_pick_install}},
      {"installed, neither", true, true, 3, 0, 0, true, menu, nullptr, {"Run Duvizo Now"}, {dvd_pick_run_sim}},
  };
  for (const auto& c : cases) {
    reset();
    if (c.disc) dvd_path = disc;
    if (c.named) install_name = "Duvizo 10";
    stg.stage = c.stage;
    stg.has_global_scenery = c.global;
    stg.has_other_files = c.other;
    ASSERT_TRUE(test_write_file(prefs_ + "velora_install.txt", c.registered ? installed + "\n" : ""));
    shown f = run(dvd_start, 1);
    EXPECT_EQ(f.result, 0) << c.what;
    EXPECT_EQ(f.s.title, "Duvizo 9 Installer") << c.what;
    EXPECT_EQ(f.s.text, c.text) << c.what;
    EXPECT_EQ(f.s.back, nullptr) << c.what;
    EXPECT_EQ(f.s.next_screen, c.next) << c.what;
    EXPECT_EQ(f.s.choice_names, c.choices) << c.what;
    EXPECT_EQ(f.s.choice_funcs, c.targets) << c.what;
    EXPECT_EQ(step_names, (std::vector<std::string>{"Welcome", "Pick Destination", "License", "Select Scenery",
                                                     "Install", "Finish"}))
        << c.what;
    ASSERT_EQ(step_funcs.size(), 6u);
    EXPECT_EQ(step_funcs[0], dvd_start);
    EXPECT_EQ(step_funcs[5], dvd_done_install);
  }
}

// The destination's statics live for the whole run, so one test walks
// through every case in the order a user could.
TEST_F(DvdInstall, DestinationChoicesAndWhatTheyPrepare) {
  install_name = "Duvizo 10";
  small_table();
  std::string desktop;
  get_OS_abs_path(os_dir_desktop, desktop);
  ASSERT_FALSE(desktop.empty());

  // The first visit: the Desktop and the set's name; the licence is reset.
  accept_eula = 1;
  shown f = run(dvd_pick_install, 1);
  EXPECT_EQ(accept_eula, 0);
  EXPECT_EQ(f.s.title, "Pick Install Destination for Duvizo 10.");
  EXPECT_EQ(dest_dir_path, desktop + "Duvizo 10/");
  EXPECT_EQ(f.s.text, "I will create the folder 'Duvizo 10' inside the folder '" + desktop +
                          "'.\n\n(The folder Duvizo 10 will appear on your desktop.)");
  EXPECT_EQ(f.s.back, dvd_start);
  EXPECT_EQ(f.s.next_screen, see_eula);
  EXPECT_EQ(step_names.size(), 6u);
  // The table was prepared: nothing installed, the whole simulator wanted.
  EXPECT_EQ(current_version(0).sig_have, "NONE");
  EXPECT_EQ(stg.total_exp_kb, 100);

  // The preparation runs once per change: a frame without one keeps what
  // was set since (a scenery choice, a digest).
  current_version(0).sig_have = "kept";
  stg.want_cells[3][4] = 1;
  run(dvd_pick_install, 0);
  EXPECT_EQ(current_version(0).sig_have, "kept");
  EXPECT_EQ(stg.want_cells[3][4], 1);

  // The field holds the name; a typed letter is a change.
  const int w1 = static_cast<int>(OGL_measure_string("Change Destination") + 21);
  const int field_x = static_cast<int>(w1 * 0.5f + 310 + static_cast<int>(OGL_measure_string("Install Name:")));
  d->press(field_x + 100, 203);
  run(dvd_pick_install, 0);
  d->release(field_x + 100, 203);
  ASSERT_NE(ogle, nullptr);
  OGLE_SetSelection(ogle, 9, 9);
  d->text("X");
  f = run(dvd_pick_install, 0);
  EXPECT_EQ(dest_dir_path, desktop + "Duvizo 10X/");
  EXPECT_EQ(current_version(0).sig_have, "NONE");
  EXPECT_EQ(stg.want_cells[3][4], 0);

  // An empty name: the parent itself, and no way on.
  OGLE_SetSelection(ogle, 0, 10);
  d->key(sc_delete, "");
  f = run(dvd_pick_install, 0);
  EXPECT_EQ(dest_dir_path, desktop);
  EXPECT_EQ(f.s.next_screen, nullptr);
  EXPECT_EQ(f.s.text, "Please pick a name for your Duvizo 9 installation...");

  // A folder that exists already.
  d->text("Taken");
  ASSERT_EQ(mkdir((desktop + "Taken").c_str(), 0755), 0);
  current_version(0).sig_have = "kept";
  f = run(dvd_pick_install, 0);
  EXPECT_EQ(dest_dir_path, desktop + "Taken/");
  EXPECT_EQ(f.s.next_screen, nullptr);
  EXPECT_EQ(f.s.text, "The folder 'Taken' already exists inside the folder '" + desktop +
                          "'.\n\nPlease change the install name or destination.");
  EXPECT_EQ(current_version(0).sig_have, "kept");
  // Removed behind the screen's back: the destination is now new and is
  // prepared, though the user changed nothing.
  ASSERT_EQ(rmdir((desktop + "Taken").c_str()), 0);
  f = run(dvd_pick_install, 0);
  EXPECT_EQ(f.s.next_screen, see_eula);
  EXPECT_EQ(current_version(0).sig_have, "NONE");

  // The root as the parent: no doubled '/'; no desktop sentence.
  {
    fake_dialog z("/", 0);
    click(290, 203);
    f = run(dvd_pick_install, 0);
  }
  EXPECT_EQ(dest_dir_path, "/Taken/");
  EXPECT_EQ(f.s.text, "I will create the folder 'Taken' inside the folder '/'.");
  // A chosen folder gets its '/'.
  const std::string parent = test_scratch_dir("parent");
  {
    fake_dialog z(parent.substr(0, parent.size() - 1), 0);
    click(290, 203);
    run(dvd_pick_install, 0);
  }
  EXPECT_EQ(dest_dir_path, parent + "Taken/");
  // A cancelled chooser keeps the parent.
  {
    fake_dialog z("", 1);
    click(290, 203);
    run(dvd_pick_install, 0);
  }
  EXPECT_EQ(dest_dir_path, parent + "Taken/");

  // Leaving and coming back keeps both values, resets the licence and the
  // scenery choice again.
  run(see_eula, 1);
  accept_eula = 1;
  stg.want_cells[3][4] = 1;
  f = run(dvd_pick_install, 1);
  EXPECT_EQ(dest_dir_path, parent + "Taken/");
  EXPECT_EQ(f.s.text, "I will create the folder 'Taken' inside the folder '" + parent + "'.");
  EXPECT_EQ(accept_eula, 0);
  EXPECT_EQ(stg.want_cells[3][4], 0);
}

TEST_F(DvdInstall, LicenceNextOnlyOnceTicked) {
  step_funcs = {dvd_start};
  shown f = run(see_eula, 1);
  EXPECT_EQ(f.s.title, "End User License Agreement");
  EXPECT_EQ(f.s.text, std::string("\n\nSee ") + app_web_site + "commercial.html for commercial use of Duvizo.\n\n\n\n");
  EXPECT_EQ(f.s.back, dvd_pick_install);
  EXPECT_EQ(f.s.next_screen, nullptr);
  // The box at (250, 300): the click ticks it, Next follows in the next frame.
  d->press(250, 300);
  f = run(see_eula, 0);
  d->release(250, 300);
  EXPECT_EQ(accept_eula, 1);
  EXPECT_EQ(f.s.next_screen, nullptr);
  f = run(see_eula, 0);
  EXPECT_EQ(f.s.next_screen, dvd_scenery_install);
  // In the web demo's flow its way back and on are that flow's.
  step_funcs = {demo_start};
  f = run(see_eula, 0);
  EXPECT_EQ(f.s.back, demo_start);
  EXPECT_EQ(f.s.next_screen, demo_get_updates);
  accept_eula = 0;
  f = run(see_eula, 0);
  EXPECT_EQ(f.s.next_screen, nullptr);
}

struct asked {
  std::string message, label1, text1, label2, text2;
  int answer = 0;
};
asked question;

int scripted_abort(const std::string& message, const std::string& label1, const std::string& text1,
                   const std::string& label2, const std::string& text2) {
  question.message = message;
  question.label1 = label1;
  question.text1 = text1;
  question.label2 = label2;
  question.text2 = text2;
  return question.answer;
}

TEST_F(DvdInstall, TheErrorQuestionNamesTheMissingArchive) {
  dvd_path = test_scratch_dir("disc");
  install_name = "Set";
  temp_path = test_scratch_dir("temp");
  dest_dir_path = test_scratch_dir("dest");
  small_table();
  current_version(0).do_install = 1;
  int f = 0, r = 0;
  while ((r = install_files(f, 0)) == 0) std::this_thread::yield();
  ASSERT_EQ(r, 3);
  question = asked();
  question.answer = 0;
  g_engine_questions.abort_alert = scripted_abort;
  EXPECT_EQ(UTIL_cancel_install("An error occurred during installation:", "You can continue.", "Cancel",
                                "the install.", "Continue", "the install."),
            0);
  EXPECT_EQ(question.message, "An error occurred during installation:\n\nI was unable to copy the file " + dvd_path +
                                  "Set/Macintosh/Duvizo.app/Contents/MacOS/Duvizo.zip from the DVD to the hard "
                                  "drive. (" +
                                  error_str(ENOENT) + ")\n\nYou can continue.");
  EXPECT_EQ(question.label1, "Cancel");
  EXPECT_EQ(question.text1, "the install.");
  EXPECT_EQ(question.label2, "Continue");
  EXPECT_EQ(question.text2, "the install.");
  // A closed window is the first button's way out: 3 passes through.
  question.answer = 3;
  EXPECT_EQ(UTIL_cancel_install("t", "a", "1", "x", "2", "y"), 3);
  EXPECT_EQ(install_files_kill(), 1);
}

TEST_F(DvdInstall, ASimulatorThatCannotStartIsAWarning) {
  dest_dir_path = test_scratch_dir("no_sim");
  run(dvd_do_run_sim, 1);
  ASSERT_EQ(d->alerts().size(), 1u);
  const frame_alert& a = d->alerts()[0];
  EXPECT_EQ(a.kind, 1);
  EXPECT_EQ(a.lines[1], dest_dir_path + "Duvizo.app");
  EXPECT_EQ(a.lines[2], error_str(ENOENT));
}

}  // namespace
