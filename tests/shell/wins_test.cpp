// Sub-windows: where each panel sits in the window, its title, and what a
// change of the window's size does to it.
#include <gtest/gtest.h>
#include "core/globs.h"
#include "files/translate.h"
#include "platform/plat_folders.h"
#include "shell/cons.h"
#include "shell/hl_init.h"
#include "shell/wins.h"
#include "support/test_env.h"

namespace {
struct Wins : testing::Test {
  void SetUp() override {
    wins = wins_class();
    mnw = mnw_struct();
    stls.s[4].clear();
    plot_init_lights = 0;
  }
  void TearDown() override { wins = wins_class(); }
  void window(int w, int h, float scale = 1) {
    wins.x_pix = w;
    wins.y_pix = h;
    wins.ui_scale = scale;
  }
};
}  // namespace

TEST_F(Wins, Centring) {
  const struct {
    int w, h;
    float scale;
    int n;
    float x, y;
  } cases[] = {
      {1024, 768, 1, 994, 302, 254},  // the alert
      {2048, 768, 1, 1, 262, 234},    // two screens side by side: the left one
      {2304, 768, 1, 1, 902, 234},    // three times as wide as high is not two screens
      {800, 600, 1, 992, 0, 0},       // larger than the window
      {1025, 768, 1.5f, 1, 92, 106},  // (1025 - 750) / 2 = 137.5 px, rounded to 138, is 92 units
      {1024, 768, 1.5f, 1, 91, 106},  // 137 px is 91.3 units
      {1023, 767, 1, 999, 347, 147},  // 346.5 and 146.5 px round away from zero
  };
  for (const auto& c : cases) {
    window(c.w, c.h, c.scale);
    wins.start_win(c.n);
    EXPECT_EQ(wins.win_x, c.x) << c.w << "x" << c.h << " " << c.n;
    EXPECT_EQ(wins.win_y, c.y) << c.w << "x" << c.h << " " << c.n;
    EXPECT_EQ(wins.win_open, 1);
    EXPECT_EQ(wins.cur_win, c.n);
    EXPECT_EQ(wins.last_win, c.n);
  }
}

TEST_F(Wins, TableSizesAndTitles) {
  window(1024, 768);
  const struct {
    int n;
    const char* title;
    float w, h;
  } table[] = {{1, "EULA", 500, 300},          {2, "Prefs", 700, 380},
               {992, "Livery", 900, 760},      {993, "Version and Updates", 600, 300},
               {994, "BE ADVISED", 420, 260},  {995, "SAY INTENTIONS", 300, 166},
               {996, "SAY INTENTIONS", 750, 146}, {997, "SAY INTENTIONS", 700, 206},
               {998, "Open", 561, 474},        {999, "Save", 330, 474}};
  for (const auto& t : table) {
    wins.start_win(t.n);
    EXPECT_EQ(stls.s[4], t.title);
    EXPECT_EQ(wins.win_dx, t.w);
    EXPECT_EQ(wins.win_dy, t.h);
  }
}

TEST_F(Wins, ANumberNotInTheTableKeepsTheTitleAndTakesTheWindow) {
  for (int n : {0, -1, 3, 1000}) {
    window(1024, 768);
    wins.start_win(2);
    wins.start_win(n);
    EXPECT_EQ(stls.s[4], "Prefs") << n;
    EXPECT_EQ(wins.win_open, 0) << n;
    EXPECT_EQ(wins.win_dx, 1024) << n;
    EXPECT_EQ(wins.win_dy, 768) << n;
    EXPECT_EQ(wins.win_x, 0) << n;
    EXPECT_EQ(wins.win_y, 0) << n;
    EXPECT_EQ(wins.cur_win, n);
  }
}

TEST_F(Wins, StartingClearsThePressAndSetsTheLights) {
  window(1024, 768);
  mnw.mouse_down = mnw.short_click = mnw.double_click = mnw.mouse_held = 1;
  mnw.held_quarter = mnw.held_second = 1;
  mnw.wheel = 4;
  wins.start_win(1);
  EXPECT_EQ(plot_init_lights, 1);
  EXPECT_EQ(mnw.mouse_down + mnw.short_click + mnw.double_click + mnw.mouse_held + mnw.held_quarter +
                mnw.held_second + mnw.wheel,
            0);
}

TEST_F(Wins, TheTitleIsTranslated) {
  const std::string old_bundle = PLAT_bundle_path();
  const std::string bundle = test_scratch_dir("bundle") + "Installer.app";
  const std::string resources = bundle + "/Contents/Resources/";
  ASSERT_EQ(test_run("mkdir -p '" + resources + "'"), 0);
  ASSERT_TRUE(test_write_file(resources + "German.txt",
                              "I\n900 version\nTRANSLATION\nSTRING Prefs====Einstellungen\n"));
  PLAT_set_bundle_path(bundle);
  UTL_translate_load(lang_german);
  window(1024, 768);
  wins.start_win(2);
  EXPECT_EQ(stls.s[4], "Einstellungen");
  UTL_translate_clear();
  PLAT_set_bundle_path(old_bundle);
}

TEST_F(Wins, LiveResize) {
  window(1024, 600);
  wins.x_res_wind = 1024;
  wins.y_res_wind = 600;
  wins.start_win(2);
  EXPECT_EQ(wins.win_y, 110);
  wins.view_top = 0;
  wins.ui_scale = 2;
  MACIBM_live_resize(0, 700);
  MACIBM_live_resize(1024, 0);
  EXPECT_EQ(wins.y_pix, 600);
  EXPECT_EQ(wins.y_res_wind, 600);
  EXPECT_EQ(wins.win_y, 110);
  EXPECT_EQ(wins.view_top, 0);

  MACIBM_live_resize(1024, 700);
  EXPECT_EQ(wins.y_pix, 700);
  EXPECT_EQ(wins.y_res_wind, 700);
  EXPECT_EQ(wins.view_top, 700);  // the pixel layout redone
  EXPECT_EQ(wins.ui_scale, 1);
  EXPECT_EQ(wins.win_y, 160);  // the sub-window started again
  EXPECT_EQ(wins.cur_win, 2);

  // In full screen the wanted window size stays.
  wins.full_screen = 1;
  MACIBM_live_resize(1280, 1024);
  EXPECT_EQ(wins.x_pix, 1280);
  EXPECT_EQ(wins.x_res_wind, 1024);
  EXPECT_EQ(wins.y_res_wind, 700);
}
