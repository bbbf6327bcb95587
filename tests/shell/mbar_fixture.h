// The menu bar's tests: a fresh table of 1520 empty menus in an 800 by 600
// window with no sub-window, the fonts of the built bundle for measuring,
// and, for the tests that draw, console 0 on the display the suite runs
// under with a frame driver over it.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "ogl/ogl_extensions.h"
#include "platform/plat_bundle.h"
#include "shell/cons.h"
#include "shell/hl_event.h"
#include "shell/mbar.h"
#include "shell/wins.h"
#include "support/frame_driver.h"

class Mbar : public testing::Test {
 protected:
  void SetUp() override {
    PLAT_set_bundle_path(std::string(DUV_BINARY_DIR) + "/Duvizo Installer.app");
    wins = wins_class();
    wins.x_pix = 800;
    wins.y_pix = 600;
    wins.win_dx = 800;
    wins.win_dy = 600;
    mnw = mnw_struct();
    mbar = mbar_class();
    mbar.mbar_nuke_menus(1);
    mbar.open_menu = -1;
  }
  void TearDown() override {
    APP_handlemenu = nullptr;
    PLAT_set_bundle_path("");
  }
  static mbar_class::menu_struct& menu(int i) { return mbar.menus[i]; }
  static mbar_class::item_struct& item(int m, int i) { return mbar.menus[m].items[i]; }
};

// Records the commands the menu hook gets.
inline std::vector<int>& handled_commands() {
  static std::vector<int> seen;
  return seen;
}
inline void record_command(int command) { handled_commands().push_back(command); }

class MbarFrames : public Mbar {
 protected:
  void SetUp() override {
    Mbar::SetUp();
    wins.x_res_wind = 800;
    wins.y_res_wind = 600;
    ASSERT_EQ(cons.cons_make(0), 1) << "no window with an OpenGL context on DISPLAY (run under xvfb-run)";
    cons.num_cons(1);
    glExt.init_extensions();
    frame_driver::load_pictures(true, -1);
    PLAT_set_bundle_path(std::string(DUV_BINARY_DIR) + "/Duvizo Installer.app");
    d = std::make_unique<frame_driver>();
    mbar.open_menu = -1;
    handled_commands().clear();
    APP_handlemenu = record_command;
  }
  void TearDown() override {
    d.reset();
    frame_driver::unload_pictures();
    cons.cons_close_all();
    cons.have_format = 0;
    Mbar::TearDown();
  }
  // One frame with nothing of the application's own.
  void frame() {
    d->frame([] {});
  }
  std::unique_ptr<frame_driver> d;
};
