// The event source: the key code table, and the records that real input
// becomes, driven by xdotool on an X server of the test's own.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <stdio.h>
#include <sys/wait.h>
#include <string>
#include <vector>
#include "platform/plat_events.h"
#include "platform/plat_video.h"
#include "support/private_xvfb.h"
#include "support/test_env.h"

namespace {

const PLAT_video_backend& video() { return PLAT_video(); }

// One record as a line: its kind and the fields that kind carries.
std::string line(const PLAT_event& e) {
  std::string mods;
  const struct {
    unsigned bit;
    const char* name;
  } names[] = {{plat_mod_shift, " shift"},         {plat_mod_control, " ctrl"}, {plat_mod_option, " option"},
               {plat_mod_command, " cmd"},         {plat_mod_caps_lock, " caps"}, {plat_mod_activate, " active"}};
  for (const auto& n : names)
    if (e.modifiers & n.bit) mods += n.name;
  char b[160];
  switch (e.kind) {
    case plat_ev_mouse_down:
    case plat_ev_mouse_up:
      snprintf(b, sizeof b, "mouse %s %d at %d,%d%s", e.kind == plat_ev_mouse_down ? "down" : "up", e.button, e.x, e.y,
               mods.c_str());
      break;
    case plat_ev_mouse_moved: snprintf(b, sizeof b, "moved to %d,%d", e.x, e.y); break;
    case plat_ev_wheel: snprintf(b, sizeof b, "wheel %d at %d,%d%s", e.wheel, e.x, e.y, mods.c_str()); break;
    case plat_ev_smooth_wheel: snprintf(b, sizeof b, "smooth wheel %d quarters", e.wheel); break;
    case plat_ev_key_down:
    case plat_ev_key_up:
    case plat_ev_auto_key:
      snprintf(b, sizeof b, "key %s 0x%02X%s%s%s%s",
               e.kind == plat_ev_key_down ? "down" : e.kind == plat_ev_key_up ? "up" : "repeat", e.key_code,
               mods.c_str(), *e.text ? " '" : "", e.text, *e.text ? "'" : "");
      break;
    case plat_ev_text: snprintf(b, sizeof b, "text '%s'", e.text); break;
    case plat_ev_update: snprintf(b, sizeof b, "update"); break;
    case plat_ev_activate: snprintf(b, sizeof b, "activate%s", mods.c_str()); break;
    case plat_ev_resized: snprintf(b, sizeof b, "resized %dx%d", e.width, e.height); break;
    case plat_ev_quit: snprintf(b, sizeof b, "quit"); break;
    default: snprintf(b, sizeof b, "kind %d", e.kind); break;
  }
  return b;
}

bool is_input(const PLAT_event& e) {
  return e.kind != plat_ev_update && e.kind != plat_ev_activate && e.kind != plat_ev_resized &&
         e.kind != plat_ev_mouse_moved;
}

// Drains records until want of them (input only, or all) came or a generous
// number of drain calls passed; each call waits on real events.
std::vector<std::string> drain(size_t want, bool input_only, unsigned window,
                               std::vector<PLAT_event>* raw = nullptr, int only_kind = 0) {
  std::vector<std::string> got;
  for (int calls = 0; calls < 100 && got.size() < want; calls++) {
    PLAT_event e;
    if (!PLAT_next_event(&e, 100)) continue;
    if (input_only && !is_input(e)) continue;
    if (window && e.window != window) continue;
    if (only_kind && e.kind != only_kind) continue;
    got.push_back(line(e));
    if (raw) raw->push_back(e);
  }
  return got;
}

std::vector<std::string> lines(std::initializer_list<const char*> l) { return {l.begin(), l.end()}; }

unsigned long x_window_of(PLAT_window w) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(SDL_GetWindowFromID(video().window_id(w)), &info)) return 0;
  return (unsigned long)info.info.x11.window;
}

}  // namespace

TEST(PlatKeyCodes, ScancodesToMacKeyCodes) {
  struct Case {
    int scancode, mac;
  };
  const Case cases[] = {
      {SDL_SCANCODE_A, 0x00},      {SDL_SCANCODE_Z, 0x06},        {SDL_SCANCODE_Q, 0x0C},
      {SDL_SCANCODE_1, 0x12},      {SDL_SCANCODE_0, 0x1D},        {SDL_SCANCODE_SLASH, 0x2C},
      {SDL_SCANCODE_GRAVE, 0x32},  {SDL_SCANCODE_RETURN, 0x24},   {SDL_SCANCODE_TAB, 0x30},
      {SDL_SCANCODE_SPACE, 0x31},  {SDL_SCANCODE_BACKSPACE, 0x33}, {SDL_SCANCODE_ESCAPE, 0x35},
      {SDL_SCANCODE_DELETE, 0x75}, {SDL_SCANCODE_HOME, 0x73},     {SDL_SCANCODE_END, 0x77},
      {SDL_SCANCODE_PAGEUP, 0x74}, {SDL_SCANCODE_PAGEDOWN, 0x79}, {SDL_SCANCODE_LEFT, 0x7B},
      {SDL_SCANCODE_RIGHT, 0x7C},  {SDL_SCANCODE_DOWN, 0x7D},     {SDL_SCANCODE_UP, 0x7E},
      {SDL_SCANCODE_F1, 0x7A},     {SDL_SCANCODE_F5, 0x60},       {SDL_SCANCODE_F12, 0x6F},
      {SDL_SCANCODE_KP_0, 0x52},   {SDL_SCANCODE_KP_8, 0x5B},     {SDL_SCANCODE_KP_ENTER, 0x4C},
      {SDL_SCANCODE_LSHIFT, 0x38}, {SDL_SCANCODE_LCTRL, 0x3B},    {SDL_SCANCODE_LALT, 0x3A},
      {SDL_SCANCODE_LGUI, 0x37},   {SDL_SCANCODE_CAPSLOCK, 0x39},
      // Unnamed: above every Mac code, one apart from each other.
      {SDL_SCANCODE_UNKNOWN, 128}, {SDL_SCANCODE_POWER, 128 + 102}, {SDL_SCANCODE_AC_BACK, 128 + 270},
  };
  for (const Case& c : cases) EXPECT_EQ(c.mac, PLAT_mac_key_code(c.scancode)) << "scancode " << c.scancode;
  // A named key never takes a code the unnamed ones could give.
  for (int sc = 0; sc < SDL_NUM_SCANCODES; sc++) {
    const int mac = PLAT_mac_key_code(sc);
    EXPECT_TRUE(mac < 128 || mac == 128 + sc) << "scancode " << sc << " gives " << mac;
  }
}

// What X cannot be made to send (key repeat, a flipped wheel, a quit, events
// the program ignores), put in SDL's queue as its own driver would.
TEST(PlatEvents, QueueRecordsAndSkips) {
  PLAT_gl_format f;
  f.depth = 24;
  PLAT_window w = video().window_make({0, 0, 16, 16}, 1, f, 1);
  ASSERT_NE(nullptr, w);
  const unsigned id = video().window_id(w);
  PLAT_event e;
  while (PLAT_next_event(&e, 0)) {
  }
  auto key = [&](Uint32 type, SDL_Scancode sc, Uint16 mod, Uint8 repeat) {
    SDL_Event k = {};
    k.type = type;
    k.key.windowID = id;
    k.key.repeat = repeat;
    k.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    k.key.keysym.scancode = sc;
    k.key.keysym.mod = mod;
    return k;
  };
  auto text = [&](const char* t) {
    SDL_Event k = {};
    k.type = SDL_TEXTINPUT;
    k.text.windowID = id;
    snprintf(k.text.text, sizeof k.text.text, "%s", t);
    return k;
  };
  SDL_Event wheel = {};
  wheel.type = SDL_MOUSEWHEEL;
  wheel.wheel.windowID = id;
  wheel.wheel.y = 2;
  wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
  wheel.wheel.mouseX = 5;
  wheel.wheel.mouseY = 6;
  SDL_Event smooth = wheel;  // a touchpad's three quarters of a step toward the user
  smooth.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
  smooth.wheel.y = 0;
  smooth.wheel.preciseY = -0.75f;
  SDL_Event sideways = wheel;
  sideways.wheel.y = 0;
  sideways.wheel.x = 1;
  SDL_Event user = {};
  user.type = SDL_USEREVENT;
  SDL_Event quit = {};
  quit.type = SDL_QUIT;
  // Text behind a modifier key came from a key SDL could not name, so it
  // stands alone; text of the longest size SDL sends fits a record whole.
  const SDL_Event queue[] = {
      key(SDL_KEYDOWN, SDL_SCANCODE_B, KMOD_LGUI | KMOD_LALT | KMOD_CAPS, 1),
      text("b"),
      wheel,
      smooth,
      sideways,
      user,
      key(SDL_KEYDOWN, SDL_SCANCODE_RALT, KMOD_RALT, 0),
      text("€"),
      key(SDL_KEYUP, SDL_SCANCODE_RALT, KMOD_NONE, 0),
      text("0123456789012345678901234567890"),
      quit,
  };
  for (SDL_Event q : queue) ASSERT_EQ(1, SDL_PushEvent(&q));
  EXPECT_EQ(lines({"key repeat 0x0B option cmd caps 'b'", "wheel -2 at 5,6 option cmd caps", "smooth wheel -3 quarters",
                   "key down 0x3D option", "text '€'", "key up 0x3D", "text '0123456789012345678901234567890'",
                   "quit"}),
            drain(8, false, 0));
  EXPECT_EQ(0, PLAT_next_event(&e, 0));
  video().window_free(w);
}

// A mouse reports faster than the frames take records: a run of motions
// comes as its last position, and whatever stands between runs keeps its
// place; another window's motion ends a run.
TEST(PlatEvents, AMotionRunComesAsItsLastPosition) {
  PLAT_gl_format f;
  f.depth = 24;
  PLAT_window w = video().window_make({0, 0, 16, 16}, 1, f, 1);
  ASSERT_NE(nullptr, w);
  const unsigned id = video().window_id(w);
  PLAT_event e;
  while (PLAT_next_event(&e, 0)) {
  }
  auto motion = [&](int x, int y, unsigned window) {
    SDL_Event m = {};
    m.type = SDL_MOUSEMOTION;
    m.motion.windowID = window;
    m.motion.x = x;
    m.motion.y = y;
    return m;
  };
  auto button = [&](Uint32 type, int x, int y) {
    SDL_Event b = {};
    b.type = type;
    b.button.windowID = id;
    b.button.button = SDL_BUTTON_LEFT;
    b.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    b.button.x = x;
    b.button.y = y;
    return b;
  };
  const SDL_Event queue[] = {
      motion(1, 1, id),  motion(2, 2, id),  motion(3, 3, id),  button(SDL_MOUSEBUTTONDOWN, 3, 3),
      motion(4, 4, id),  motion(5, 5, id),  motion(6, 6, id + 1), motion(7, 7, id + 1),
      button(SDL_MOUSEBUTTONUP, 7, 7), motion(8, 8, id),
  };
  for (SDL_Event q : queue) ASSERT_EQ(1, SDL_PushEvent(&q));
  std::vector<std::string> got;
  while (PLAT_next_event(&e, 0))
    if (e.kind == plat_ev_mouse_moved || e.kind == plat_ev_mouse_down || e.kind == plat_ev_mouse_up)
      got.push_back(line(e) + (e.kind == plat_ev_mouse_moved && e.window != id ? " elsewhere" : ""));
  EXPECT_EQ(lines({"moved to 3,3", "mouse down 1 at 3,3", "moved to 5,5", "moved to 7,7 elsewhere",
                   "mouse up 1 at 7,7", "moved to 8,8"}),
            got);
  video().window_free(w);
}

// Real input on an X server of the test's own, with no window manager: the
// test gives the focus itself.
class PlatEventsX : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    PLAT_gl_format f;
    f.depth = 24;
    w_ = video().window_make({10, 10, 300, 200}, 1, f, 0);
    ASSERT_NE(nullptr, w_);
    id_ = video().window_id(w_);
    xid_ = std::to_string(x_window_of(w_));
    ASSERT_NE("0", xid_);
  }
  void TearDown() override { video().window_free(w_); }
  // xdotool reads its text in the locale's encoding: UTF-8 whatever the
  // machine's own locale is.
  int xdotool(const std::string& args) { return test_run("LC_ALL=C.UTF-8 xdotool " + args + " >/dev/null 2>&1"); }
  // Reads records while xdotool runs, as the program waits on its events
  // while someone types; returns xdotool's exit status in *status.
  std::vector<std::string> drain_while(const std::string& args, size_t want, std::vector<PLAT_event>* raw,
                                       int* status) {
    FILE* p = popen(("LC_ALL=C.UTF-8 xdotool " + args + " >/dev/null 2>&1").c_str(), "r");
    if (!p) {
      *status = -1;
      return {};
    }
    std::vector<std::string> got = drain(want, true, id_, raw);
    const int st = pclose(p);
    *status = st != -1 && WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return got;
  }

  private_xvfb x_{640, 480};
  PLAT_window w_ = nullptr;
  unsigned id_ = 0;
  std::string xid_;
};

TEST_F(PlatEventsX, InputBecomesRecords) {
  ASSERT_EQ(0, xdotool("windowfocus --sync " + xid_));
  // SDL swallows a click that comes on the heels of the focus, as the click
  // that gave it; let the focus arrive first.
  ASSERT_EQ(lines({"activate active"}), drain(1, false, id_, nullptr, plat_ev_activate));
  ASSERT_EQ(0, xdotool("mousemove --window " + xid_ + " 10 20"));
  struct Case {
    const char* args;
    std::vector<std::string> want;
    bool while_running = false;  // read the records while xdotool runs, not after
  };
  const Case cases[] = {
      {"click 1", lines({"mouse down 1 at 10,20", "mouse up 1 at 10,20"})},
      {"click 3", lines({"mouse down 2 at 10,20", "mouse up 2 at 10,20"})},
      {"click 2", lines({"mouse down 3 at 10,20", "mouse up 3 at 10,20"})},
      {"click 4", lines({"wheel 1 at 10,20"})},
      {"click 5", lines({"wheel -1 at 10,20"})},
      {"keydown shift click 1 keyup shift",
       lines({"key down 0x38 shift", "mouse down 1 at 10,20 shift", "mouse up 1 at 10,20 shift", "key up 0x38"})},
      {"key shift+a", lines({"key down 0x38 shift", "key down 0x00 shift 'A'", "key up 0x38", "key up 0x00"})},
      {"key ctrl+x", lines({"key down 0x3B ctrl", "key down 0x07 ctrl", "key up 0x3B", "key up 0x07"})},
      {"key Return Tab BackSpace Escape Delete Left F1",
       lines({"key down 0x24", "key up 0x24", "key down 0x30", "key up 0x30", "key down 0x33", "key up 0x33",
              "key down 0x35", "key up 0x35", "key down 0x75", "key up 0x75", "key down 0x7B", "key up 0x7B",
              "key down 0x7A", "key up 0x7A"})},
      {"type 'Hi!'", lines({"key down 0x38 shift", "key down 0x04 shift 'H'", "key up 0x38", "key up 0x04",
                            "key down 0x22 'i'", "key up 0x22", "key down 0x38 shift", "key down 0x12 shift '!'",
                            "key up 0x38", "key up 0x12"})},
      // xdotool types a character the keyboard lacks by binding it to a spare
      // key code for the one stroke and unbinding it before the key comes up.
      // That key code has no scancode, so only its text arrives; the text is
      // looked up as the key's event is read, so it is there only when read
      // while the binding holds, as a program waiting on its events does.
      // Read after xdotool ended, the key would type nothing at all. The
      // binding holds for about a quarter of the delay: 500 ms leaves a
      // sanitizer build on a full machine time to read it.
      {"type --delay 500 'é€' && LC_ALL=C.UTF-8 xdotool type a",
       lines({"text 'é'", "text '€'", "key down 0x00 'a'", "key up 0x00"}), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::vector<PLAT_event> raw;
    std::vector<std::string> got;
    int status = 0;
    // The other cases are read once xdotool is done: read as it goes, the
    // first click can come within the few milliseconds after the focus in
    // which SDL takes a click for the one that gave the focus and drops it.
    if (c.while_running) {
      got = drain_while(c.args, c.want.size(), &raw, &status);
    } else {
      status = xdotool(c.args);
      got = drain(c.want.size(), true, id_, &raw);
    }
    ASSERT_EQ(0, status);
    EXPECT_EQ(c.want, got);
    for (size_t i = 1; i < raw.size(); i++) EXPECT_GE(raw[i].time, raw[i - 1].time);
  }
  PLAT_event e;
  while (PLAT_next_event(&e, 200))
    if (is_input(e)) ADD_FAILURE() << "unexpected " << line(e);
}

TEST_F(PlatEventsX, FocusResizeAndRedraw) {
  // Showing the window asks for its first drawing.
  EXPECT_EQ(lines({"update"}), drain(1, false, id_, nullptr, plat_ev_update));
  ASSERT_EQ(0, xdotool("windowfocus --sync " + xid_));
  EXPECT_EQ(lines({"activate active"}), drain(1, false, id_, nullptr, plat_ev_activate));

  PLAT_gl_format f;
  f.depth = 24;
  PLAT_window other = video().window_make({320, 10, 100, 100}, 1, f, 0);
  ASSERT_NE(nullptr, other);
  const std::string other_xid = std::to_string(x_window_of(other));
  ASSERT_EQ(0, xdotool("windowfocus --sync " + other_xid));
  EXPECT_EQ(lines({"activate"}), drain(1, false, id_, nullptr, plat_ev_activate));
  video().window_free(other);

  video().window_set_bounds(w_, {10, 10, 240, 160});
  EXPECT_EQ(lines({"resized 240x160"}), drain(1, false, id_, nullptr, plat_ev_resized));
}
