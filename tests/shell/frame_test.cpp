// One frame of the application on a scripted platform: each frame's records
// come from a table, the clock moves only when the test moves it, and the
// pump's waits are recorded.
#include <gtest/gtest.h>
#include <algorithm>
#include <deque>
#include <vector>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/xtim.h"
#include "platform/plat_clock.h"
#include "shell/cons.h"
#include "shell/fake_video.h"
#include "shell/hl_event.h"
#include "shell/hl_init.h"
#include "shell/qtim.h"
#include "shell/wins.h"
#include "tex/tman.h"

namespace {
uint64_t g_now_us = 0;
uint64_t fake_clock() { return g_now_us; }

std::vector<std::vector<PLAT_event>> g_script;  // one batch of records per frame
size_t g_frame = 0;
std::deque<PLAT_event> g_pending;
std::vector<int> g_waits;
int g_app_updates = 0;
int g_counter_at_update = -1;

void push_batch() {
  if (g_frame < g_script.size())
    for (const PLAT_event& e : g_script[g_frame]) g_pending.push_back(e);
  ++g_frame;
}

int scripted_fetch(PLAT_event* out, int wait_ms) {
  g_waits.push_back(wait_ms);
  if (g_pending.empty()) return 0;
  *out = g_pending.front();
  g_pending.pop_front();
  return 1;
}

PLAT_event ev(int kind, int x = 0, int y = 0, int button = 1) {
  PLAT_event e;
  e.kind = kind;
  e.x = x;
  e.y = y;
  e.button = button;
  return e;
}

struct Frame : testing::Test {
  void SetUp() override {
    wins = wins_class();
    wins.x_pix = 1024;
    wins.y_pix = 768;
    mnw = mnw_struct();
    qtim = qtim_class();
    quit_request = 0;
    MACIBM_forget_frames();
    xtim_forget_frames();
    g_now_us = PLAT_microseconds();
    xtim_set_clock(fake_clock);
    g_script.clear();
    g_pending.clear();
    g_waits.clear();
    g_frame = 0;
    g_app_updates = 0;
    g_counter_at_update = -1;
    MACIBM_fetch_event = scripted_fetch;
    MACIBM_frame_start_hook = push_batch;
    APP_update = [] {
      ++g_app_updates;
      g_counter_at_update = xtim.update_count;
    };
  }
  void TearDown() override {
    MACIBM_fetch_event = PLAT_next_event;
    MACIBM_frame_start_hook = nullptr;
    APP_update = nullptr;
    xtim_set_clock(nullptr);
    wins = wins_class();
  }
  // Console 0 of width by height on the fake window system in force.
  static void console(int width, int height) {
    wins.x_res_wind = width;
    wins.y_res_wind = height;
    ASSERT_EQ(cons.cons_make(0), 1);
  }
  // The close boxes are drawn from the interface atlas, which start-up
  // always loads; a grey stand-in picture under its number will do here.
  static void atlas() {
    tman.load_texture_idx(tex_fail_silent, 359, 0x201, tex_load_now, "scratch_array-blank_gray");
  }
  void frames(int n, float seconds_each = 0.02f) {
    for (int i = 0; i < n; ++i) {
      MACIBM_event_proc();
      g_now_us += (uint64_t)(seconds_each * 1e6);
    }
  }
};
}  // namespace

// A release is a click when it comes under a second after the press and under
// 3 units from it on both axes; anything else is the menu bar's.
TEST_F(Frame, ReleaseRule) {
  const struct {
    float seconds;
    int dx, dy;
    int click;
  } cases[] = {{0.5f, 2, 2, 1}, {0.5f, 3, 0, 0}, {0.5f, 0, -3, 0}, {1.0f, 0, 0, 0}, {0.99f, -2, 0, 1}};
  for (const auto& c : cases) {
    SetUp();
    g_script = {{ev(plat_ev_mouse_down, 500, 400)}};
    MACIBM_event_proc();
    g_now_us += (uint64_t)(c.seconds * 1e6);
    MACIBM_load_mxy(0, 500 + c.dx, 400 - c.dy);
    EXPECT_EQ(MACIBM_handle_release() != 0, c.click != 0) << c.seconds << " s, " << c.dx << ", " << c.dy;
  }
}

TEST_F(Frame, PressAndReleaseInOneFrameAreAClick) {
  g_script = {{ev(plat_ev_mouse_down, 500, 400), ev(plat_ev_mouse_up, 501, 400)}};
  g_now_us += 5000000;  // long after any earlier press
  MACIBM_event_proc();
  EXPECT_EQ(mnw.mouse_down, 1);
  EXPECT_EQ(mnw.mouse_up, 1);
  EXPECT_EQ(MACIBM_handle_release(), 1);
}

// The close boxes are 18 by 18 units, 7 in from the top corners of the
// sub-window and one below its top, edges included; the alert and the save
// question have none.
TEST_F(Frame, CloseBoxes) {
  const struct {
    int win;
    float ux, uy;  // sub-window units
    int closes;
  } cases[] = {{2, 700 - 10, 380 - 5, 1}, {2, 10, 380 - 5, 1},   {2, 25, 361, 1},         {2, 26, 375, 0},
               {2, 350, 375, 0},          {2, 690, 360, 0},      {1, 500 - 7, 300 - 1, 1}, {994, 410, 255, 0},
               {995, 290, 160, 0},        {998, 550, 470, 0},    {999, 320, 470, 0}};
  for (const auto& c : cases) {
    SetUp();
    atlas();
    wins.start_win(c.win);
    const int px = (int)(wins.win_x + c.ux), py = (int)(wins.y_pix - (wins.win_y + c.uy));
    g_script = {{ev(plat_ev_mouse_down, px, py)}};
    MACIBM_event_proc();
    EXPECT_EQ(wins.cur_win, c.closes ? 0 : c.win) << c.win << " at " << c.ux << "," << c.uy;
    EXPECT_EQ(wins.win_open, c.closes ? 0 : 1);
  }
}

TEST_F(Frame, MouseMapping) {
  fake_video fake(2048, 768);
  console(1024, 768);
  const struct {
    int consoles;
    int win;  // sub-window started
    int console, px, py;
    float mx, my;
  } cases[] = {
      {1, 0, 0, 0, 0, 0, 768},        {1, 0, 0, 100, 700, 100, 68},
      {1, 994, 0, 302, 768 - 254, 0, 0}, {1, 994, 0, 402, 400, 100, 114},
      {2, 0, 1, 10, 20, 1034, 748},   {2, 0, 0, 10, 20, 10, 748},
  };
  for (const auto& c : cases) {
    cons.num_cons(c.consoles);
    ASSERT_EQ(cons.num_cons(-1), c.consoles);
    wins.x_pix = 1024;
    wins.y_pix = 768;
    wins.start_win(c.win);
    PLAT_event e = ev(plat_ev_mouse_moved, c.px, c.py);
    e.window = PLAT_video().window_id(cons.window(c.console));
    g_script = {{e}};
    g_frame = 0;
    MACIBM_event_proc();
    EXPECT_FLOAT_EQ(mnw.mouse_x, c.mx) << c.consoles << " " << c.win << " " << c.px << "," << c.py;
    EXPECT_FLOAT_EQ(mnw.mouse_y, c.my) << c.consoles << " " << c.win << " " << c.px << "," << c.py;
    // The next frame maps the same place from what the events left.
    g_script.clear();
    MACIBM_event_proc();
    EXPECT_FLOAT_EQ(mnw.mouse_x, c.mx);
  }
  cons.num_cons(1);
}

TEST_F(Frame, TheMouseOverTheOtherConsoleBringsItToTheFront) {
  fake_video fake(2048, 768);
  console(1024, 768);
  cons.num_cons(2);
  ASSERT_EQ(cons.num_cons(-1), 2);
  // Side by side, as the full-screen switch places them.
  PLAT_video().window_set_bounds(cons.window(0), PLAT_rect{0, 0, 1024, 768});
  PLAT_video().window_set_bounds(cons.window(1), PLAT_rect{1024, 0, 1024, 768});
  // Reported in console 0's pixels but lying over console 1.
  PLAT_event e = ev(plat_ev_mouse_moved, 1024 + 50, 30);
  e.window = PLAT_video().window_id(cons.window(0));
  g_script = {{e}, {}};
  MACIBM_event_proc();
  fake.calls.clear();
  MACIBM_event_proc();
  EXPECT_EQ(fake.calls, std::vector<std::string>{"raise 2"});
  EXPECT_FLOAT_EQ(mnw.mouse_x, 1024 + 50);
  cons.num_cons(1);
}

TEST_F(Frame, MinusOneBecomesNoneAndTheFirstFrameStartsTheSubWindowOnce) {
  wins.cur_win = 2;
  frames(1);
  EXPECT_EQ(wins.win_open, 1);
  EXPECT_EQ(wins.win_x, 162);
  wins.win_x = 5;  // a second start would centre it again
  frames(2);
  EXPECT_EQ(wins.win_x, 5);
  wins.cur_win = -1;
  frames(1);
  EXPECT_EQ(wins.cur_win, 0);
}

TEST_F(Frame, AppUpdateOnlyWithoutASubWindowAndTheCounterResetAfterIt) {
  frames(3);
  EXPECT_EQ(g_app_updates, 3);
  EXPECT_EQ(g_counter_at_update, 1);  // the clock counted this frame, then the frame reset it
  EXPECT_EQ(xtim.update_count, 0);
  wins.start_win(1);
  frames(3);
  EXPECT_EQ(g_app_updates, 3);
  EXPECT_EQ(xtim.update_count, 3);
  MACIBM_close_win();
  frames(1);
  EXPECT_EQ(g_app_updates, 4);
}

// Only a frame's first fetch may wait; a motion ends the pump, and what the
// burst held behind it comes in order over the next frames.
TEST_F(Frame, AMotionEndsThePumpAndOnlyTheFirstFetchWaits) {
  // A click, the pointer moving on, the release there and a key, in one
  // burst: the frame that takes the click reads it where it was pressed.
  g_script = {{ev(plat_ev_mouse_moved, 1, 1), ev(plat_ev_mouse_moved, 2, 2), ev(plat_ev_mouse_down, 10, 10),
               ev(plat_ev_mouse_moved, 30, 30), ev(plat_ev_mouse_up, 30, 30), ev(plat_ev_key_down)}};
  const struct {
    std::vector<int> waits;
    int down, up, key;
    int x;
  } frames_seen[] = {{{k_pump_wait_ms}, 0, 0, 0, 1},       {{k_pump_wait_ms}, 0, 0, 0, 2},
                     {{k_pump_wait_ms, 0}, 1, 0, 0, 10},   {{}, 0, 0, 0, 30},
                     {{k_pump_wait_ms, 0, 0}, 0, 1, 1, 30}, {{k_pump_wait_ms}, 0, 0, 0, 30}};
  int n = 0;
  for (const auto& f : frames_seen) {
    g_waits.clear();
    frames(1);
    EXPECT_EQ(g_waits, f.waits) << "frame " << n;
    EXPECT_EQ(mnw.mouse_down, f.down) << "frame " << n;
    EXPECT_EQ(mnw.mouse_up, f.up) << "frame " << n;
    EXPECT_EQ(mnw.key_down, f.key) << "frame " << n;
    EXPECT_EQ(mnw.mouse_x, f.x) << "frame " << n;
    ++n;
  }
}

// A mouse reporting every 8 ms for 2 s, on the frame's own clock: a fetch
// that waits lets that time pass. The frames go on at the pace of an idle
// screen, each within a tick, and the application runs in every one.
TEST_F(Frame, AMovingMouseNeverHoldsAFrameOpen) {
  const uint64_t start = g_now_us, end = start + 2000000;
  static uint64_t s_next_motion, s_end;
  s_next_motion = start;
  s_end = end;
  MACIBM_fetch_event = [](PLAT_event* out, int wait_ms) {
    const uint64_t until = g_now_us + (uint64_t)wait_ms * 1000;
    if (s_next_motion < s_end && s_next_motion <= until) {
      g_now_us = std::max(g_now_us, s_next_motion);
      s_next_motion += 8000;
      *out = ev(plat_ev_mouse_moved, 5, 5);
      return 1;
    }
    g_now_us = until;
    return 0;
  };
  int n = 0;
  uint64_t longest = 0;
  while (g_now_us < end && n < 100000) {
    const uint64_t t = g_now_us;
    MACIBM_event_proc();
    g_now_us += 1000;  // the frame's own work
    longest = std::max(longest, g_now_us - t);
    ++n;
  }
  EXPECT_GE(n, 2000 / 18);
  EXPECT_EQ(g_app_updates, n);
  EXPECT_LE(longest, (uint64_t)(k_pump_wait_ms + 1) * 1000);
}

TEST_F(Frame, PerFrameFlagsClear) {
  PLAT_event key = ev(plat_ev_key_down);
  g_script = {{ev(plat_ev_mouse_down, 10, 10), ev(plat_ev_mouse_up, 10, 10), key, ev(plat_ev_wheel)}, {}};
  g_script[0][3].wheel = 2;
  frames(1);
  EXPECT_EQ(mnw.mouse_down, 1);
  EXPECT_EQ(mnw.mouse_up, 1);
  EXPECT_EQ(mnw.key_down, 1);
  EXPECT_EQ(mnw.wheel, 2);
  return_hit = escape_hit = delete_hit = 1;
  mnw.cursor = 3;
  frames(1);
  EXPECT_EQ(mnw.mouse_down + mnw.mouse_up + mnw.key_down + mnw.wheel + mnw.cursor, 0);
  EXPECT_EQ(return_hit + escape_hit + delete_hit, 0);
  EXPECT_EQ(mnw.key_held, 1);  // no key came up
}

TEST_F(Frame, SmoothScrollingKeepsTheRemainder) {
  PLAT_event s = ev(plat_ev_smooth_wheel);
  s.wheel = 3;
  g_script = {{s, s, s}, {s}};
  frames(1);
  EXPECT_EQ(mnw.wheel, 2);
  frames(1);
  EXPECT_EQ(mnw.wheel, 1);  // the kept quarter and three more
}

TEST_F(Frame, RightButtonFlag) {
  g_script = {{ev(plat_ev_mouse_down, 1, 1, 2)}, {ev(plat_ev_mouse_down, 1, 1, 1)}};
  frames(1);
  EXPECT_EQ(mnw.right_button, 1);
  frames(1);
  EXPECT_EQ(mnw.right_button, 0);
}

// Alt is option, Control or Super is control, as the last event carried them.
TEST_F(Frame, ModifierTable) {
  const struct {
    unsigned mods;
    int option, shift, control, caps;
  } cases[] = {{0, 0, 0, 0, 0},
               {plat_mod_option, 1, 0, 0, 0},
               {plat_mod_shift, 0, 1, 0, 0},
               {plat_mod_control, 0, 0, 1, 0},
               {plat_mod_command, 0, 0, 1, 0},
               {plat_mod_caps_lock, 0, 0, 0, 1},
               {plat_mod_shift | plat_mod_option | plat_mod_command, 1, 1, 1, 0}};
  for (const auto& c : cases) {
    PLAT_event e = ev(plat_ev_mouse_moved, 5, 5);
    e.modifiers = c.mods;
    g_script = {{e}};
    g_frame = 0;
    frames(1);
    EXPECT_EQ(has_optionkey(), c.option) << c.mods;
    EXPECT_EQ(has_shiftkey(), c.shift) << c.mods;
    EXPECT_EQ(has_controlkey(), c.control) << c.mods;
    EXPECT_EQ(has_capslock(), c.caps) << c.mods;
  }
}

TEST_F(Frame, ExposureStartsTheSubWindowAgainAndCloseRequestsQuit) {
  wins.start_win(2);
  frames(1);
  wins.win_x = 5;
  g_script = {{}, {ev(plat_ev_update)}, {ev(plat_ev_quit)}};
  frames(1);
  EXPECT_EQ(wins.win_x, 162);
  EXPECT_EQ(quit_request, 0);
  frames(1);
  EXPECT_EQ(quit_request, 1);
}

TEST_F(Frame, FocusGainedSaysSo) {
  PLAT_event gained = ev(plat_ev_activate), lost = ev(plat_ev_activate);
  gained.modifiers = plat_mod_activate;
  g_script = {{lost}, {gained}};
  testing::internal::CaptureStdout();
  frames(1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  testing::internal::CaptureStdout();
  frames(1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Activate evt.\n");
}

// The events pushed through the platform reach the real pump.
TEST_F(Frame, FrameStartHookPushesThroughThePlatform) {
  MACIBM_fetch_event = PLAT_next_event;
  MACIBM_frame_start_hook = [] {
    PLAT_event e;
    e.kind = plat_ev_mouse_down;
    e.x = 40;
    e.y = 700;
    e.button = 1;
    PLAT_push_event(e);
  };
  frames(1);
  EXPECT_EQ(mnw.mouse_down, 1);
  EXPECT_FLOAT_EQ(mnw.press_x, 40);
  EXPECT_FLOAT_EQ(mnw.press_y, 68);
}

TEST_F(Frame, MoveMouseWarpsWithinTheWindow) {
  fake_video fake(1280, 1024);
  console(800, 600);
  wins.x_pix = 800;
  wins.y_pix = 600;
  PLAT_rect b;
  PLAT_video().window_get_bounds(cons.window(0), &b);
  fake.calls.clear();
  MACIBM_movemouse(30, 40, 0);
  EXPECT_EQ(fake.calls, std::vector<std::string>{"warp " + std::to_string(b.x + 30) + "," + std::to_string(b.y + 40)});
  EXPECT_FLOAT_EQ(mnw.mouse_x, 30);
  EXPECT_FLOAT_EQ(mnw.mouse_y, 560);
}

TEST_F(Frame, EachFrameEndsInTheSwapHookOnce) {
  frames(1);
  EXPECT_FLOAT_EQ(qtim.accumulated, xtim.smooth_dt);
  const float before = qtim.accumulated;
  frames(1);
  EXPECT_FLOAT_EQ(qtim.accumulated, before + xtim.smooth_dt);
  EXPECT_EQ(qtim.armed, 0);  // idle: nothing is captured
}

TEST_F(Frame, OneSwapPerFrameAndOneMoreForClosingASubWindow) {
  fake_video fake(1280, 1024);
  console(1024, 768);
  fake.swaps = 0;
  frames(3);
  EXPECT_EQ(fake.swaps, 3);
  wins.start_win(2);
  frames(1);
  EXPECT_EQ(fake.swaps, 4);
  MACIBM_close_win();
  EXPECT_EQ(fake.swaps, 5);
  // Closed by its close box: the frame swaps twice.
  atlas();
  wins.start_win(2);
  g_script.resize(g_frame + 1);
  g_script[g_frame] = {ev(plat_ev_mouse_down, (int)wins.win_x + 10, wins.y_pix - (int)(wins.win_y + wins.win_dy) + 5)};
  frames(1);
  EXPECT_EQ(wins.cur_win, 0);
  EXPECT_EQ(fake.swaps, 7);
}

TEST_F(Frame, TheFinishUpDropsPendingEvents) {
  PLAT_push_event(ev(plat_ev_mouse_down, 1, 1));
  ASSERT_NE(g_finishup_hooks.flush_events, nullptr);
  g_finishup_hooks.flush_events();
  PLAT_event e;
  EXPECT_EQ(PLAT_next_event(&e, 0), 0);
}

namespace {
struct shown_alert {
  int kind;
  std::string first, location;
};
std::vector<shown_alert> g_alerts;
}  // namespace

// A failed installation texture is told in the first frame that has no
// sub-window, and in no frame after it.
TEST_F(Frame, ATextureLoadFailureIsToldOnce) {
  fake_video fake(1280, 1024);
  console(1024, 768);
  g_alerts.clear();
  const alert_screens saved = g_alert_screens;
  const int saved_inited = ogl_inited;
  ogl_inited = 1;  // alerts go to the alert sub-window
  g_alert_screens.show_alert_screen = [](int, const std::string* lines, int kind, const std::string& where) {
    g_alerts.push_back({kind, lines[0], where});
  };
  tman.load_texture(tex_fail_instl, 800, 1, tex_load_now, "no/such/installer_texture.png");
  wins.cur_win = 7;  // a sub-window is in force
  standard_gui();
  EXPECT_TRUE(g_alerts.empty());
  wins.cur_win = 0;
  frames(1);
  ASSERT_EQ(g_alerts.size(), 1u);
  EXPECT_EQ(g_alerts[0].kind, 1);
  EXPECT_EQ(g_alerts[0].first, "Some textures could not be loaded.");
  EXPECT_NE(g_alerts[0].location.find("RUvozuz/GenC/hl_event"), std::string::npos) << g_alerts[0].location;
  EXPECT_NE(g_alerts[0].location.find("103"), std::string::npos) << g_alerts[0].location;
  tman.load_texture(tex_fail_instl, 801, 1, tex_load_now, "no/such/other_texture.png");
  frames(3);
  EXPECT_EQ(g_alerts.size(), 1u);
  g_alert_screens = saved;
  ogl_inited = saved_inited;
}
