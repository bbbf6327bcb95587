// The installer screens' tests: screens run one frame at a time through the
// frame driver, with a registry of installations, installed copies made as
// folders, and the engine's questions answered from a script.
#pragma once
#include <sys/stat.h>
#include <string>
#include <vector>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "engine/utils_checksum.h"
#include "engine/utils_install.h"
#include "engine/utils_table.h"
#include "files/file_paths.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"
#include "installer/velora.h"
#include "installer/wizard.h"
#include "support/test_env.h"
#include "widgets/click_fixture.h"

class Screens : public Clicks {
 protected:
  void SetUp() override {
    // The program's window is registered once, by wizard_test.cpp.
    Clicks::SetUp();
    get_OS_abs_path(os_dir_prefs, prefs_);
    ASSERT_FALSE(prefs_.empty());
    registry_ = prefs_ + "velora_install.txt";
    remove(registry_.c_str());
    reset_engine_state();
    all_velroots.clear();
    dest_dir_path.clear();
    scenery_install_is_running = repair_is_running = 0;
    num_install_errors = 0;
    step_names.clear();
    step_funcs.clear();
  }
  void TearDown() override {
    install_files_kill();
    checksum_directory_kill();
    RUN_pass_ended(k_pass_stopped);  // no pass of this test is the next one's
    remove(registry_.c_str());
    all_velroots.clear();
    dest_dir_path.clear();
    scenery_install_is_running = repair_is_running = 0;
    reset_engine_state();
    Clicks::TearDown();
  }
  // One frame of screen: first tells it whether it is new; returns its result.
  int run(screen_func screen, int first) {
    int result = 0;
    s = wizard_screen();
    d->frame([&] { result = screen(first, s); });
    return result;
  }
  // A press and release at (x, y) in the frame that runs screen.
  int click(screen_func screen, int x, int y) {
    d->press(x, y);
    const int result = run(screen, 0);
    d->release(x, y);
    return result;
  }
  // A folder that path_is_to_a_sim takes for an installed copy, ending in '/'.
  static std::string make_copy(const std::string& stem) {
    const std::string copy = test_scratch_dir(stem);
    for (const char* f : {"Airfoils", "Instructions", "Output", "Resources", "Resources/plugins"})
      mkdir((copy + f).c_str(), 0755);
    return copy;
  }
  // Writes the registry with these folders and reads it back.
  void register_copies(const std::vector<std::string>& copies) {
    std::string text;
    for (const std::string& c : copies) text += c + "\n";
    ASSERT_TRUE(test_write_file(registry_, text));
    locate_all_veloras();
  }
  // The texts of the last frame in colour col.
  std::vector<std::string> texts_in(int col) const {
    std::vector<std::string> out;
    for (const OGL_string_call& c : strings_in(col)) out.push_back(c.text);
    return out;
  }

  wizard_screen s;
  std::string prefs_, registry_;
};
