// The window code on a window system with the displays and modes each case
// asks for: where the window goes and how large, the pixel-format ladder,
// the display-mode menu and the full-screen switch.
#include <gtest/gtest.h>
#include <algorithm>
#include "core/utl_cmdline.h"
#include "shell/cons.h"
#include "shell/fake_video.h"
#include "shell/hl_init.h"
#include "shell/hl_monitor.h"
#include "shell/wins.h"
#include "support/xer_capture.h"
#include "widgets/reno.h"

namespace {
struct ConsFake : testing::Test {
  void SetUp() override {
    wins = wins_class();
    wins.x_res_wind = 800;
    wins.y_res_wind = 600;
    reno = reno_class();
    g_res_vec.clear();
    UTL_forget_monitor_modes();
    cmdline.options.clear();
  }
  void TearDown() override {
    UTL_forget_monitor_modes();
    wins = wins_class();
  }
};

PLAT_mode mode(int w, int h, int bpp = 32, int hz = 60) {
  PLAT_mode m;
  m.width = w;
  m.height = h;
  m.bpp = bpp;
  m.refresh = hz;
  return m;
}
}  // namespace

TEST_F(ConsFake, WindowSizeAndFrameFollowTheDisplay) {
  struct Case {
    int disp_w, disp_h, stored_w, stored_h, full, full_w, full_h;
    int want_w, want_h, want_framed;
    bool logged;
  } cases[] = {
      {1280, 1024, 1600, 1200, 0, 0, 0, 1024, 768, 1, true},   // too large: 1024x768, logged
      {1280, 1024, 800, 600, 0, 0, 0, 800, 600, 1, false},     // fits: as stored
      {1024, 768, 1024, 768, 0, 0, 0, 1024, 768, 0, false},    // display no taller: no frame
      {1280, 1024, 800, 600, 1, 0, 0, 1280, 1024, 0, false},   // full screen: the display's size
      {1280, 1024, 800, 600, 1, 1024, 0, 1024, 1024, 0, false},// a wanted width, the display's height
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.stored_w << "x" << c.stored_h << " on " << c.disp_w << "x" << c.disp_h
                                    << " full " << c.full);
    fake_video fake(c.disp_w, c.disp_h);
    xer_capture cap;
    wins.x_res_wind = c.stored_w;
    wins.y_res_wind = c.stored_h;
    wins.full_screen = c.full;
    wins.x_res_full = c.full_w;
    wins.y_res_full = c.full_h;
    ASSERT_EQ(cons.cons_make(0), 1);
    fake_window* w = fake.windows.back();
    EXPECT_EQ(w->bounds.width, c.want_w);
    EXPECT_EQ(w->bounds.height, c.want_h);
    EXPECT_EQ(w->framed, c.want_framed);
    const std::string line = "The window was last: 1600,1200 and my monitor is 1280,1024.  Setting window to "
                             "1024x768 it fits on screen.\n";
    EXPECT_EQ(cap.text().find(line) != std::string::npos, c.logged);
    if (c.logged) {
      EXPECT_EQ(wins.x_res_wind * 10000 + wins.y_res_wind, 1024 * 10000 + 768);
    }
  }
}

TEST_F(ConsFake, OffsetsPlaceTheWindow) {
  fake_video fake;
  cmdline.options["--monitor_offset_x"] = "40";
  cmdline.options["--monitor_offset_y"] = "30";
  ASSERT_EQ(cons.cons_make(0), 1);
  EXPECT_EQ(fake.windows.back()->bounds.x, 40);
  EXPECT_EQ(fake.windows.back()->bounds.y, 30);
}

TEST_F(ConsFake, AntiAliasingLadderTriesEachRungDown) {
  struct Case {
    int asked, max_samples, max_depth;
    std::vector<std::pair<int, int>> tried;  // samples, depth
    int got;
  } cases[] = {
      {0, 16, 32, {{0, 32}}, 0},
      {4, 4, 32, {{16, 32}, {16, 24}, {8, 32}, {8, 24}, {4, 32}}, 2},
      {2, 16, 24, {{4, 32}, {4, 24}}, 2},
      {1, 0, 32, {{2, 32}, {2, 24}, {0, 32}}, 0},
      {0, 16, 16, {{0, 32}, {0, 24}}, -1},  // no format at all
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "asked " << c.asked);
    fake_video fake;
    fake.max_samples = c.max_samples;
    fake.max_depth = c.max_depth;
    reno.alias_req = c.asked;
    reno.alias_got = -1;
    EXPECT_EQ(cons.cons_make(0), c.got >= 0 ? 1 : 0);
    std::vector<std::pair<int, int>> tried;
    for (const PLAT_gl_format& f : fake.tried) {
      tried.push_back({f.samples, f.depth});
      EXPECT_EQ(f.sample_buffers, f.samples > 0 ? 1 : 0);
    }
    EXPECT_EQ(tried, c.tried);
    EXPECT_EQ(reno.alias_got, c.got);
  }
}

TEST_F(ConsFake, LogsTheFormatAndARefusedSwapInterval) {
  fake_video fake;
  xer_capture cap;
  reno.use_vsync1 = 1;
  ASSERT_EQ(cons.cons_make(0), 1);
  const std::string log = cap.text();
  for (const char* line : {"AGL_RGBA         : 1\n", "AGL_DOUBLEBUFFER : 1\n", "AGL_RED_SIZE     : 8\n",
                           "AGL_ALPHA_SIZE   : 8\n", "AGL_DEPTH_SIZE   : 32\n", "VRAM             : 268435456\n",
                           "WARNING: I could not set vertical sync to 1; the driver returned error -1.\n"})
    EXPECT_NE(log.find(line), std::string::npos) << line << log;
}

TEST_F(ConsFake, SecondConsoleStandsBesideTheFirstAndGoes) {
  fake_video fake;
  ASSERT_EQ(cons.cons_make(0), 1);
  cons.num_cons(1);
  EXPECT_EQ(cons.num_cons(-1), 1);
  cons.num_cons(2);
  EXPECT_EQ(cons.num_cons(-1), 2);
  EXPECT_NE(cons.window(1), nullptr);
  cons.num_cons(1);
  EXPECT_EQ(cons.num_cons(-1), 1);
  EXPECT_EQ(cons.window(1), nullptr);
}

TEST_F(ConsFake, DisplayModesMenu) {
  // The system's order, with modes the menu must refuse.
  fake_video fake(1280, 1024,
                  {mode(1024, 768, 16, 59), mode(1024, 768, 16, 60), mode(1024, 768, 16, 0), mode(800, 600, 32, 60),
                   mode(1280, 1024, 8, 60), mode(1280, 1024, 32, 75), mode(1280, 1024, 32, 75),
                   mode(1280, 1024, 32, 1), mode(1280, 1024, 32, -1)});
  MACIBM_find_monitor_modes();
  std::vector<std::string> labels;
  for (const monitor_res_struct& m : g_res_vec) labels.push_back(m.label);
  EXPECT_EQ(labels, (std::vector<std::string>{"Default Monitor Settings", "1024 x 768, 16 bit color (60 hz)",
                                              "1024 x 768, 16 bit color", "1280 x 1024, 32 bit color (75 hz)"}));
  // The refresh-1 mode shares its label with nothing listed but is refused
  // by its rate; the -1 one likewise.
  EXPECT_EQ(g_res_vec[2].refresh, 0);

  // Picking: the wanted mode's entry, else the list's size.
  wins.x_res_full = 1280;
  wins.y_res_full = 1024;
  wins.bpp_full = 32;
  wins.hz_full = 75;
  EXPECT_EQ(MACIBM_get_picked_mode(), 3);
  EXPECT_EQ(MACIBM_set_picked_mode(3), 0);  // already wanted
  EXPECT_EQ(MACIBM_set_picked_mode(1), 1);
  EXPECT_EQ(wins.hz_full, 60);
  EXPECT_EQ(MACIBM_set_picked_mode((int)g_res_vec.size()), 0);  // past the end changes nothing
  EXPECT_EQ(wins.x_res_full, 1024);
  EXPECT_EQ(MACIBM_set_picked_mode(0), 1);  // the display's own mode: all zeros
  EXPECT_EQ(wins.x_res_full + wins.y_res_full + wins.bpp_full + wins.hz_full, 0);
  wins.hz_full = 85;
  EXPECT_EQ(MACIBM_get_picked_mode(), (int)g_res_vec.size());
}

TEST_F(ConsFake, SwitchingTwiceThenRestoringBringsBackTheFirstMode) {
  fake_video fake(1280, 1024, {mode(1024, 768), mode(1280, 1024), mode(1600, 1200)});
  // Restoring a display never switched does nothing.
  ASSERT_EQ(cons.cons_make(0), 1);
  UTL_restore_monitor_res(0);
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(UTL_count_monitors(), 1);
  EXPECT_EQ(get_nth_display(0), 0);

  EXPECT_EQ(UTL_set_monitor_res(0, 1024, 768, 32, 60), 1);
  EXPECT_EQ(UTL_set_monitor_res(0, 1600, 1200, 32, 60), 1);
  EXPECT_EQ(fake.displays[0].now.width, 1600);
  EXPECT_EQ(UTL_set_monitor_res(0, 4000, 3000, 32, 60), 0);  // no mode that large
  UTL_restore_monitor_res(0);
  EXPECT_EQ(fake.displays[0].now.width, 1280);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"fullscreen 1024x768", "fullscreen 1600x1200", "leave"}));
  int x, y, w, h, bpp, hz;
  UTL_get_monitor_res(0, &x, &y, &w, &h, &bpp, &hz);
  EXPECT_EQ(w * 10000 + h, 1280 * 10000 + 1024);
  EXPECT_EQ(bpp, 32);
  EXPECT_EQ(hz, 60);
  UTL_get_monitor_res(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);  // every pointer may be null
}

TEST_F(ConsFake, FullScreenSwitch) {
  fake_video fake(1280, 1024, {mode(1024, 768), mode(1280, 1024)});
  ASSERT_EQ(cons.cons_make(0), 1);
  fake.calls.clear();

  // Already full screen: 1 only prints the displays, 2 switches again.
  wins.full_screen = 1;
  wins.x_res_full = 1024;
  wins.y_res_full = 768;
  testing::internal::CaptureStdout();
  MACIBM_go_full_screen(1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Display 0: 0.000000,0.000000,1280.000000,1024.000000\n");
  EXPECT_TRUE(fake.calls.empty());

  testing::internal::CaptureStdout();
  MACIBM_go_full_screen(2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Display 0: 0.000000,0.000000,1024.000000,768.000000\n");
  EXPECT_EQ(wins.full_screen, 1);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"framed 0", "fullscreen 1024x768", "bounds 0,0 1024x768"}));
  EXPECT_EQ(resize_recurse, 0);

  // Back to a window: the display's mode again, the window centred and framed.
  fake.calls.clear();
  testing::internal::CaptureStdout();
  MACIBM_go_full_screen(0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(wins.full_screen, 0);
  EXPECT_EQ(wins.bpp_now, 32);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"leave", "framed 1", "bounds 240,212 800x600"}));
}

TEST_F(ConsFake, ASmallDisplayGoesFullScreenAtLeast1024By768AndFinishUpPutsItBack) {
  const struct {
    int w, h;
    int full_screen;
    int x_full, y_full;
  } cases[] = {{800, 600, 1, 1024, 768}, {1280, 1024, 0, 0, 0}, {1024, 600, 1, 1024, 768}};
  for (const auto& c : cases) {
    SetUp();
    fake_video fake(c.w, c.h, {mode(800, 600, 24, 75), mode(1024, 768, 24, 75), mode(1280, 1024, 24, 75)});
    MACIBM_setres(1);
    ASSERT_EQ(cons.cons_make(0), 1);
    EXPECT_EQ(wins.full_screen, c.full_screen) << c.w;
    EXPECT_EQ(wins.x_res_full, c.x_full) << c.w;
    EXPECT_EQ(wins.y_res_full, c.y_full) << c.w;
    if (c.full_screen) {
      // The depth and rate come from the display's mode.
      EXPECT_EQ(wins.bpp_full, fake.displays[0].now.bpp);
      EXPECT_EQ(wins.hz_full, fake.displays[0].now.refresh);
      EXPECT_EQ(fake.windows.back()->bounds.width, 1024);
      // The start-up's switch once the window stands.
      MACIBM_go_full_screen(2);
      EXPECT_NE(std::find(fake.calls.begin(), fake.calls.end(), "fullscreen 1024x768"), fake.calls.end());
      fake.calls.clear();
      MACIBM_setres(0);
      EXPECT_EQ(wins.full_screen, 0);
      EXPECT_NE(std::find(fake.calls.begin(), fake.calls.end(), "leave"), fake.calls.end())
          << testing::PrintToString(fake.calls);
    }
    cons.cons_close_all();
  }
}
