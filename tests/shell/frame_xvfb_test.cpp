// The frame with real input: xdotool's clicks, drag and wheel reach the
// frame's mouse record through the real pump, and a window manager's close
// request becomes the quit request, on an X server of the test's own.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <future>
#include <string>
#include "core/globs.h"
#include "shell/cons.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "support/private_xvfb.h"
#include "support/test_env.h"
#include "widgets/reno.h"

namespace {
// What the application saw, frame by frame.
struct seen {
  int presses = 0, releases = 0, wheel = 0, right = 0, activated = 0;
  float press_x = -1, press_y = -1, release_x = -1, release_y = -1;
};
seen g_seen;

int watching_fetch(PLAT_event* out, int wait_ms) {
  const int got = PLAT_next_event(out, wait_ms);
  if (got && out->kind == plat_ev_activate && (out->modifiers & plat_mod_activate)) ++g_seen.activated;
  return got;
}

void app_frame() {
  if (mnw.mouse_down) {
    ++g_seen.presses;
    g_seen.press_x = mnw.press_x;
    g_seen.press_y = mnw.press_y;
    g_seen.right = mnw.right_button;
  }
  if (mnw.mouse_up) {
    ++g_seen.releases;
    g_seen.release_x = mnw.mouse_x;
    g_seen.release_y = mnw.mouse_y;
  }
  g_seen.wheel += mnw.wheel;
}

struct FrameX : testing::Test {
  private_xvfb x{640, 480};
  std::string xid;

  void SetUp() override {
    ASSERT_TRUE(x.ok()) << x.error();
    wins = wins_class();
    wins.x_res_wind = 320;
    wins.y_res_wind = 240;
    reno = reno_class();
    mnw = mnw_struct();
    quit_request = 0;
    g_seen = seen();
    MACIBM_forget_frames();
    ASSERT_EQ(cons.cons_make(0), 1);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    ASSERT_TRUE(SDL_GetWindowWMInfo(SDL_GetWindowFromID(PLAT_video().window_id(cons.window(0))), &info));
    xid = std::to_string(info.info.x11.window);
    MACIBM_fetch_event = watching_fetch;
    APP_update = app_frame;
    // A click on the heels of the focus is taken for the one that gave it.
    ASSERT_EQ(run("windowfocus --sync " + xid), 0);
    ASSERT_TRUE(frames_until([] { return g_seen.activated > 0; }));
  }
  void TearDown() override {
    MACIBM_fetch_event = PLAT_next_event;
    APP_update = nullptr;
    cons.cons_close_all();
    cons.have_format = 0;
    wins = wins_class();
  }
  static int run(const std::string& args) { return test_run("xdotool " + args + " >/dev/null 2>&1"); }
  // Frames until done says so; false after ten seconds' worth of idle frames.
  template <class F>
  static bool frames_until(F done) {
    for (int i = 0; i < 600; ++i) {
      MACIBM_event_proc();
      if (done()) return true;
    }
    return false;
  }
  // Runs a command while the frames go on, as a user acts while the program runs.
  template <class F>
  static bool while_running(const std::string& cmd, F done) {
    auto status = std::async(std::launch::async, [cmd] { return test_run(cmd + " >/dev/null 2>&1"); });
    const bool ok = frames_until(done);
    return status.get() == 0 && ok;
  }
};
}  // namespace

TEST_F(FrameX, ClickDragAndWheelReachTheMouseRecord) {
  ASSERT_EQ(run("mousemove --window " + xid + " 10 20"), 0);
  ASSERT_TRUE(frames_until([] { return mnw.mouse_x == 10 && mnw.mouse_y == 220; })) << mnw.mouse_x << "," << mnw.mouse_y;

  ASSERT_TRUE(while_running("xdotool click 1", [] { return g_seen.releases == 1; }));
  EXPECT_EQ(g_seen.presses, 1);
  EXPECT_EQ(g_seen.right, 0);
  EXPECT_FLOAT_EQ(g_seen.press_x, 10);
  EXPECT_FLOAT_EQ(g_seen.press_y, 220);
  EXPECT_EQ(MACIBM_handle_release(), 1);

  ASSERT_TRUE(while_running("xdotool mousedown 1 mousemove --window " + xid + " 100 120 mouseup 1",
                            [] { return g_seen.releases == 2; }));
  EXPECT_EQ(g_seen.presses, 2);
  EXPECT_FLOAT_EQ(g_seen.press_x, 10);
  EXPECT_FLOAT_EQ(g_seen.press_y, 220);
  EXPECT_FLOAT_EQ(g_seen.release_x, 100);
  EXPECT_FLOAT_EQ(g_seen.release_y, 120);
  EXPECT_EQ(MACIBM_handle_release(), 0);  // dragged away: not a click

  ASSERT_TRUE(while_running("xdotool click 5 click 4 click 4 click 4", [] { return g_seen.wheel == 2; }));
  ASSERT_TRUE(while_running("xdotool click 3", [] { return g_seen.releases == 3; }));
  EXPECT_EQ(g_seen.right, 1);
}

TEST_F(FrameX, TheWindowManagersCloseRequestAsksToQuit) {
  ASSERT_TRUE(while_running(std::string(DUV_SEND_WM_DELETE) + " " + xid, [] { return quit_request == 1; }));
  EXPECT_NE(cons.window(0), nullptr);  // asked, not closed: the application decides
}
