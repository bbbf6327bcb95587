#include "support/frame_driver.h"
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cstring>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/xtim.h"
#include "ogl/OGL_font_info.h"
#include "ogl/ogl_state.h"
#include "ogl/ogl_view.h"
#include "platform/plat_bundle.h"
#include "platform/plat_clock.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "support/atlas_probe.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"
#include "widgets/atlas_layout.h"

namespace {
frame_driver* g_driver = nullptr;
constexpr int k_width = 800, k_height = 600;
// Thrown by the alert handler so the widget call that raised it unwinds.
struct alert_unwind {};
}  // namespace

uint32_t frame_capture::pixel(int x, int y) const {
  const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
  return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

frame_driver::frame_driver() {
  g_driver = this;
  now_us_ = PLAT_microseconds();
  mnw = mnw_struct();
  return_hit = escape_hit = delete_hit = 0;
  wins.x_pix = k_width;
  wins.y_pix = k_height;
  wins.ui_scale = 1;
  wins.cur_win = wins.last_win = 0;
  MACIBM_forget_frames();
  xtim_forget_frames();
  xtim_set_clock(clock);
  PLAT_flush_events();
  OGL_setstate_forget();
  OGL_pix_specs(0);
  wins.start_win(0);
  MACIBM_fetch_event = fetch;
  MACIBM_frame_start_hook = start_hook;
  OGL_sbuff_hook = swap_hook;
  OGL_record_quad = on_quad;
  OGL_record_string = on_string;
  g_alert_handler = on_alert;
}

frame_driver::~frame_driver() {
  g_alert_handler = nullptr;
  OGL_record_quad = nullptr;
  OGL_record_string = nullptr;
  OGL_sbuff_hook = nullptr;
  MACIBM_frame_start_hook = nullptr;
  MACIBM_fetch_event = PLAT_next_event;
  APP_update = nullptr;
  xtim_set_clock(nullptr);
  PLAT_flush_events();
  wins.start_win(0);
  g_driver = nullptr;
}

PLAT_event frame_driver::at_mouse(int kind) {
  PLAT_event e;
  e.kind = kind;
  e.x = mouse_px_;
  e.y = mouse_py_;
  return e;
}

void frame_driver::move(int x, int y) {
  mouse_px_ = x;
  mouse_py_ = k_height - y;
  pending_.push_back(at_mouse(plat_ev_mouse_moved));
}

void frame_driver::press(int x, int y, int button) {
  move(x, y);
  pending_.back().kind = plat_ev_mouse_down;
  pending_.back().button = button;
}

void frame_driver::release(int x, int y, int button) {
  move(x, y);
  pending_.back().kind = plat_ev_mouse_up;
  pending_.back().button = button;
}

void frame_driver::wheel(int steps) {
  PLAT_event e = at_mouse(plat_ev_wheel);
  e.wheel = steps;
  pending_.push_back(e);
}

void frame_driver::key(int scancode, const std::string& typed, unsigned mods) {
  PLAT_event e = at_mouse(plat_ev_key_down);
  e.key_code = PLAT_mac_key_code(scancode);
  e.modifiers = mods;
  std::strncpy(e.text, typed.c_str(), sizeof e.text - 1);
  pending_.push_back(e);
}

void frame_driver::key_up(int scancode, unsigned mods) {
  PLAT_event e = at_mouse(plat_ev_key_up);
  e.key_code = PLAT_mac_key_code(scancode);
  e.modifiers = mods;
  pending_.push_back(e);
}

void frame_driver::text(const std::string& typed) {
  PLAT_event e = at_mouse(plat_ev_text);
  std::strncpy(e.text, typed.c_str(), sizeof e.text - 1);
  pending_.push_back(e);
}

void frame_driver::record(const PLAT_event& e) { pending_.push_back(e); }

void frame_driver::advance(double s) { now_us_ += static_cast<uint64_t>(s * 1e6); }

uint64_t frame_driver::clock() { return g_driver->now_us_; }

void frame_driver::start_hook() {
  frame_driver& d = *g_driver;
  d.now_us_ += 1000000 / 60;
  for (const PLAT_event& e : d.pending_) PLAT_push_event(e);
  d.pushed_ += static_cast<int>(d.pending_.size());
  d.pending_.clear();
}

int frame_driver::fetch(PLAT_event* out, int) {
  // Only what the test pushed, which the platform hands out first: the
  // shared display's own records (another test warping the pointer, windows
  // appearing) would move the mouse. Nothing is waited for.
  frame_driver& d = *g_driver;
  if (d.pushed_ > 0 && PLAT_next_event(out, 0)) {
    --d.pushed_;
    return 1;
  }
  d.pushed_ = 0;
  while (PLAT_next_event(out, 0)) {
  }
  return 0;
}

void frame_driver::swap_hook() {
  frame_capture c;
  c.width = k_width;
  c.height = k_height;
  c.rgba.resize(static_cast<size_t>(k_width) * k_height * 4);
  glReadBuffer(GL_BACK);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, k_width, k_height, GL_RGBA, GL_UNSIGNED_BYTE, c.rgba.data());
  g_driver->captures_.push_back(std::move(c));
  // The next picture starts from black, as the wizard's background would.
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

void frame_driver::run_app() {
  if (g_driver->app_) g_driver->app_();
}

void frame_driver::on_alert(int kind, const std::string* lines, const char* file, int line) {
  g_driver->alerts_.push_back({kind, {lines[0], lines[1], lines[2], lines[3]}, file ? file : "", line});
  throw alert_unwind();
}

void frame_driver::on_quad(const OGL_quad_call& call) { g_driver->trace_.quads.push_back(call); }
void frame_driver::on_string(const OGL_string_call& call) { g_driver->trace_.strings.push_back(call); }

void frame_driver::begin_frame() {
  captures_.clear();
  trace_ = frame_trace();
  alerts_.clear();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
}

void frame_driver::run(const std::function<void()>& body) {
  try {
    body();
  } catch (const alert_unwind&) {
    // The alert is recorded; the frame ends where it was raised.
  }
}

void frame_driver::frame(const std::function<void()>& fn) {
  begin_frame();
  app_ = fn;
  APP_update = run_app;
  run([] { MACIBM_event_proc(); });
  APP_update = nullptr;
  app_ = nullptr;
}

void frame_driver::modal_frame(const std::function<void()>& fn) {
  begin_frame();
  APP_update = nullptr;
  run(fn);
  run([] { MACIBM_event_proc(); });
}

void frame_driver::load_pictures(bool real, int lang) {
  if (real)
    PLAT_set_bundle_path(std::string(DUV_BINARY_DIR) + "/Duvizo Installer.app");
  else
    probe_use_test_bundle();
  TEX_reset_bind();
  ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 359, 0x40242, tex_load_now, "RESOURCE:interface.png"), 359);
  if (lang >= 0) {
    ASSERT_EQ(tman.load_texture_idx(tex_fail_silent, 362, 0x48242, tex_load_now,
                                    std::string("RESOURCE:elements_") + k_language_names[lang] + ".png"),
              362);
  }
  // The text always comes from the fonts the program ships.
  PLAT_set_bundle_path(std::string(DUV_BINARY_DIR) + "/Duvizo Installer.app");
  TT_reset_font(tt_both);
  PLAT_set_bundle_path("");
}

void frame_driver::unload_pictures() {
  tman.unload_texture(359);
  tman.unload_texture(362);
}
