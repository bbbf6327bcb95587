#include "shell/hl_event.h"
#include <cstdio>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_thread.h"
#include "core/xtim.h"
#include "ogl/ogl_view.h"
#include "platform/plat_endings.h"
#include "platform/plat_video.h"
#include "shell/cons.h"
#include "shell/mbar.h"
#include "shell/qtim.h"
#include "shell/wins.h"
#include "tex/tman.h"
#include "widgets/butn.h"
#include "widgets/focus.h"
#include "widgets/help.h"
#include "widgets/keys.h"

void (*APP_update)() = nullptr;
void (*APP_handlemenu)(int command) = nullptr;
void (*MACIBM_frame_start_hook)() = nullptr;
int (*MACIBM_fetch_event)(PLAT_event* out, int wait_ms) = PLAT_next_event;
int quit_request = 0;

namespace {
// What the frames keep between them.
struct frame_memory {
  int win_started = 0;
  int smooth_remainder = 0;    // quarter steps of smooth scrolling not yet whole
  int mouse_console = 0;       // the last position the events carried, in
  int mouse_px = 0, mouse_py = 0;  // that console's window pixels
  int front = 0;               // the console in front
  unsigned mods = 0;           // plat_mod_ bits of the last event
  int resizing = 0;
  int press_in_pump = 0;       // a press came in the pump under way
};
frame_memory fm;

int console_of(const PLAT_event& e) {
  const int c = cons.console_of(e.window);
  return c < 0 ? 0 : c;
}

bool has_position(int kind) {
  return kind == plat_ev_mouse_down || kind == plat_ev_mouse_up || kind == plat_ev_mouse_moved ||
         kind == plat_ev_wheel || kind == plat_ev_smooth_wheel;
}

// With two consoles, the mouse picks the window in front: the one it is
// over, when it is over exactly one. The position moves into that window's
// pixels.
void bring_mouse_window_front() {
  if (cons.num_cons(-1) != 2 || !cons.window(0) || !cons.window(1)) return;
  PLAT_rect b[2];
  for (int c = 0; c < 2; ++c) PLAT_video().window_get_bounds(cons.window(c), &b[c]);
  const int gx = b[fm.mouse_console].x + fm.mouse_px, gy = b[fm.mouse_console].y + fm.mouse_py;
  int inside = 0, which = -1;
  for (int c = 0; c < 2; ++c) {
    const int x = gx - b[c].x, y = gy - b[c].y;
    if (x >= 0 && x <= b[c].width && y >= -20 && y <= b[c].height) {
      ++inside;
      which = c;
    }
  }
  if (inside != 1) return;
  if (which != fm.front) {
    PLAT_video().window_raise(cons.window(which));
    fm.front = which;
  }
  fm.mouse_console = which;
  fm.mouse_px = gx - b[which].x;
  fm.mouse_py = gy - b[which].y;
}

// Seconds on the clock's real-time scale now, between two frames' updates.
struct clock_mark {
  uint64_t us = 0;
  float real_time = 0;
};
clock_mark last_update;

float real_time_now() {
  return last_update.real_time + (float)((double)(xtim_class::microsecs() - last_update.us) / 1e6);
}
}  // namespace

void MACIBM_forget_frames() { fm = frame_memory(); last_update = clock_mark(); }

void MACIBM_load_mxy(int c, int x, int y) {
  fm.mouse_console = c;
  fm.mouse_px = x;
  fm.mouse_py = y;
  const float scale = wins.ui_scale > 0 ? wins.ui_scale : 1;
  float mx = x / scale;
  const float my = (wins.y_pix - y) / scale;
  if (c == 1 && cons.num_cons(-1) == 2) mx += wins.x_pix / scale;
  mnw.mouse_x = mx - wins.win_x;
  mnw.mouse_y = my - wins.win_y;
}

void MACIBM_movemouse(int x, int y, int c) {
  MACIBM_load_mxy(c, x, y);
  if (PLAT_window w = cons.window(c)) {
    PLAT_rect b;
    PLAT_video().window_get_bounds(w, &b);
    PLAT_video().mouse_warp_global(b.x + x, b.y + y);
  }
  if (cons.window(0) && cons.context(0)) PLAT_video().gl_make_current(cons.window(0), cons.context(0));
}

int has_optionkey() { return (fm.mods & plat_mod_option) ? 1 : 0; }
int has_shiftkey() { return (fm.mods & plat_mod_shift) ? 1 : 0; }
int has_controlkey() { return (fm.mods & (plat_mod_command | plat_mod_control)) ? 1 : 0; }
int has_capslock() { return (fm.mods & plat_mod_caps_lock) ? 1 : 0; }

void APL_handlewin(const PLAT_event& e) {
  switch (e.kind) {
    case plat_ev_quit:
      // The close request: the application's Quit decides, so an install
      // under way can stop its work first.
      quit_request = 1;
      break;
    case plat_ev_key_down:
    case plat_ev_auto_key:
      mnw.key_held = 1;
      mnw.key_down = 1;
      keys.handle_key_raw(&e);
      break;
    case plat_ev_key_up:
      mnw.key_held = 0;
      keys.handle_key_raw(&e);
      break;
    case plat_ev_text: keys.handle_key_raw(&e); break;
    case plat_ev_mouse_down:
      mnw.mouse_down = 1;
      fm.press_in_pump = 1;
      mnw.press_x = mnw.mouse_x;
      mnw.press_y = mnw.mouse_y;
      MACIBM_handle_click();
      break;
    case plat_ev_mouse_up:
      mnw.mouse_up = 1;
      MACIBM_handle_release();
      break;
    case plat_ev_update: wins.start_win(wins.cur_win); break;
    case plat_ev_activate:
      if (!(e.modifiers & plat_mod_activate)) break;
      fm.front = console_of(e);
      if (cons.window(0) && cons.context(0)) PLAT_video().gl_make_current(cons.window(0), cons.context(0));
      printf("Activate evt.\n");
      fflush(stdout);
      break;
    default: break;
  }
}

int APL_HandleCarbonEvent(const PLAT_event& e) {
  switch (e.kind) {
    case plat_ev_wheel: mnw.wheel += e.wheel; return 0;
    case plat_ev_smooth_wheel:
      fm.smooth_remainder += e.wheel;
      mnw.wheel += fm.smooth_remainder / 4;
      fm.smooth_remainder %= 4;
      return 0;
    case plat_ev_mouse_down:
      mnw.right_button = e.button == 2;
      APL_handlewin(e);
      return 0;
    case plat_ev_key_down: APL_handlewin(e); return 0;
    case plat_ev_resized: {
      if (wins.full_screen || resize_recurse > 0 || fm.resizing) return 0;
      fm.resizing = 1;
      if ((e.width != wins.x_pix || e.height != wins.y_pix) && cons.num_cons(-1) == 2) {
        const int other = console_of(e) == 0 ? 1 : 0;
        if (PLAT_window w = cons.window(other)) {
          PLAT_rect b;
          PLAT_video().window_get_bounds(w, &b);
          b.width = e.width;
          b.height = e.height;
          PLAT_video().window_set_bounds(w, b);
        }
      }
      MACIBM_live_resize(e.width, e.height);
      fm.resizing = 0;
      return 0;
    }
    default: return -9874;
  }
}

// One record from the pump: its position and modifiers first, then the
// per-window handler for what it takes, the router for the rest.
static void route(const PLAT_event& e) {
  if (e.kind != plat_ev_activate) fm.mods = e.modifiers;
  if (has_position(e.kind)) MACIBM_load_mxy(console_of(e), e.x, e.y);
  if (APL_HandleCarbonEvent(e) != 0) APL_handlewin(e);
}

void standard_gui() {
  if (wins.cur_win == 0) {
    THREAD_check_exception(1);
    // Each kind of texture-load failure is told once a run, then muted.
    constexpr char src[] = "RUvozuz/GenC/hl_event";
    const char* see_log = "Please see the log.txt file for a detailed list of missing files.";
    if (tman.has_scene_load_fail()) {
      __MACIBM_alert(0, "Some scenery textures could not be loaded.",
                     "This may be an installation problem or you may have a damaged add-on scenery package.", see_log,
                     "", t_warning, src, 101);
      tman.mute_scene_load_fail();
    }
    if (tman.has_plane_load_fail()) {
      __MACIBM_alert(0, "Some textures for the aircraft you selected could not be loaded.",
                     "This may be an installation problem or you may have a damaged add-on aircraft package.",
                     see_log, "", t_warning, src, 102);
      tman.mute_plane_load_fail();
    }
    if (tman.has_instl_load_fail()) {
      __MACIBM_alert(0, "Some textures could not be loaded.",
                     "This may be an installation problem.  Run the installer/updater again to get these missing "
                     "textures.",
                     see_log, "", t_warning, src, 103);
      tman.mute_instl_load_fail();
    }
  }
  // The menus lie on top of the hover help.
  help.mouse_help_per_wind(wins.cur_win);
  mbar.mbar_draw_menu_bar();
  mbar.mbar_draw_menus();
}

// A signal to stop, or a window another client destroyed, ends the run
// between two frames, where no drawing is under way.
static void end_if_told() {
  if (PLAT_display_lost()) MACIBM_end_run("The window or its display went away: the run ends.", 1, 1);
  if (const int sig = PLAT_end_signal())
    MACIBM_end_run(std::string("Told to stop by ") + PLAT_signal_name(sig) + ": the run ends.", 128 + sig, 0);
}

void MACIBM_event_proc() {
  end_if_told();
  if (MACIBM_frame_start_hook) MACIBM_frame_start_hook();
  xtim.profile_chart("init", 0);

  return_hit = escape_hit = delete_hit = 0;
  mnw.mouse_down = mnw.mouse_up = mnw.short_click = mnw.double_click = 0;
  mnw.key_down = 0;
  mnw.cursor = 0;
  mnw.wheel = 0;

  if (wins.cur_win == -1) wins.cur_win = 0;
  if (!fm.win_started) {
    fm.win_started = 1;
    wins.start_win(wins.cur_win);
  }

  bring_mouse_window_front();
  MACIBM_load_mxy(fm.mouse_console, fm.mouse_px, fm.mouse_py);

  // Only the first fetch may wait: it paces an idle frame. Once a record
  // came, the rest of the burst is taken as it stands, and a mouse motion
  // ends the pump, so a moving mouse never holds a frame open; what is left
  // waits in the queue, in order, for the next frames.
  // A motion right behind a click in the same burst would move the place
  // the frame reads the click at: it waits, in order, for the next frame.
  static PLAT_event held_motion;
  static bool motion_held = false;
  bool clicked = false;
  int wait_ms = k_pump_wait_ms;
  for (;;) {
    PLAT_event e;
    if (motion_held) {
      e = held_motion;
      motion_held = false;
    } else if (!MACIBM_fetch_event(&e, wait_ms) || e.kind == plat_ev_null) {
      break;
    }
    if (e.kind == plat_ev_mouse_moved && clicked) {
      held_motion = e;
      motion_held = true;
      break;
    }
    route(e);
    if (e.kind == plat_ev_mouse_moved) break;
    clicked |= e.kind == plat_ev_mouse_down || e.kind == plat_ev_mouse_up;
    wait_ms = 0;
  }

  xtim.profile_chart("event", 0);
  xtim.xtim_update();
  fm.press_in_pump = 0;
  last_update.us = xtim_class::microsecs();
  last_update.real_time = xtim.real_time;
  // Keys of this frame went to the ring the last frame built; this frame's
  // fields register afresh.
  keys.run_repeat_keys();
  BTN_begin_focus_ring();
  // With a menu open, moving onto another title switches to that menu.
  if (mbar.mbar_in_any_menu()) MACIBM_handle_click();

  if (!wins.win_open) {
    if (APP_update) APP_update();
    xtim.update_count = 0;
  }
  standard_gui();
  qtim.mov_per_frame();

  xtim.profile_chart("sbuff", 0);
  // Texture names given up off the main thread may only be deleted here.
  TEX_obj::delete_some_texes();
  xtim.profile_chart("oglwork", 0);
  xtim.profile_chart("finish", 1);
}

void MACIBM_handle_click() {
  mbar.mbar_select_an_item_click();
  // A press anywhere closes the pop-up list; one on its items chose already.
  mbar.popup_owner = 0;
  if (!wins.win_open || wins.cur_win == 994 || (wins.cur_win >= 995 && wins.cur_win <= 999)) return;
  // The boxes show pressed in the frame that closes the sub-window.
  if (BTN_zap_boxes(1)) MACIBM_close_win();
}

int MACIBM_handle_release() {
  // A press of the pump under way is younger than the pump; the clock
  // records it only after.
  const float held = fm.press_in_pump ? 0 : real_time_now() - mnw.last_press_time;
  const float dx = mnw.mouse_x - mnw.press_x, dy = mnw.mouse_y - mnw.press_y;
  if (held < 1.0f && dx > -3 && dx < 3 && dy > -3 && dy < 3) return 1;
  return mbar.mbar_select_an_item_release();
}

void MACIBM_close_win() {
  OGL_sbuff();
  return_hit = escape_hit = 0;
  wins.start_win(0);
}
