// SDL's events as the frame procedure's records.
#include "platform/plat_events.h"
#include <SDL2/SDL.h>
#include <stdio.h>
#include <cmath>
#include <deque>
#include "platform/plat_sdl.h"

static unsigned mac_modifiers(unsigned mod) {
  unsigned out = 0;
  if (mod & KMOD_SHIFT) out |= plat_mod_shift;
  if (mod & KMOD_CTRL) out |= plat_mod_control;
  if (mod & KMOD_ALT) out |= plat_mod_option;
  if (mod & KMOD_GUI) out |= plat_mod_command;
  if (mod & KMOD_CAPS) out |= plat_mod_caps_lock;
  return out;
}

unsigned PLAT_modifiers_now() {
  return SDL_WasInit(SDL_INIT_VIDEO) ? mac_modifiers(SDL_GetModState()) : 0;
}

// The modifiers as of the last key record handed out. SDL's own state is
// already past every event pumped with it, so a click made with shift held
// and read after the shift came up would otherwise lose its shift.
static unsigned g_mods = 0;

static void copy_text(PLAT_event* out, const char* text) {
  // SDL's text events hold at most as much as a record: nothing is cut.
  snprintf(out->text, sizeof out->text, "%s", text);
}

static bool is_modifier(SDL_Scancode sc) {
  return (sc >= SDL_SCANCODE_LCTRL && sc <= SDL_SCANCODE_RGUI) || sc == SDL_SCANCODE_CAPSLOCK ||
         sc == SDL_SCANCODE_MODE;
}

// The text a key typed comes as its own event right behind the key's; it
// belongs to the key record when nothing came between them. A modifier key
// types nothing: text behind it came from a key SDL has no scancode for.
static void take_key_text(const SDL_Event& key, PLAT_event* out) {
  if (is_modifier(key.key.keysym.scancode)) return;
  SDL_Event next;
  if (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) != 1) return;
  if (next.type != SDL_TEXTINPUT || next.text.windowID != out->window) return;
  SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_TEXTINPUT, SDL_TEXTINPUT);
  copy_text(out, next.text.text);
}

// A frame takes one motion record: a run of motions already queued behind
// it, in the same window, comes as the last position of the run, so a
// mouse that reports faster than the frames never backs the queue up.
// Whatever follows the run keeps its place.
static void take_later_motions(PLAT_event* out) {
  SDL_Event next;
  while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
         next.type == SDL_MOUSEMOTION && next.motion.windowID == out->window) {
    SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_MOUSEMOTION, SDL_MOUSEMOTION);
    out->x = next.motion.x;
    out->y = next.motion.y;
    out->time = next.common.timestamp;
  }
}

static int mouse_button(Uint8 sdl) {
  switch (sdl) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    case SDL_BUTTON_MIDDLE: return 3;
    default: return sdl;
  }
}

// Fills out from e; 0 for the events the program has no use for.
static int translate(const SDL_Event& e, PLAT_event* out) {
  *out = PLAT_event();
  out->time = e.common.timestamp;
  switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      out->kind = e.type == SDL_MOUSEBUTTONDOWN ? plat_ev_mouse_down : plat_ev_mouse_up;
      out->button = mouse_button(e.button.button);
      out->x = e.button.x;
      out->y = e.button.y;
      out->window = e.button.windowID;
      out->modifiers = g_mods;
      return 1;
    case SDL_MOUSEMOTION:
      out->kind = plat_ev_mouse_moved;
      out->x = e.motion.x;
      out->y = e.motion.y;
      out->window = e.motion.windowID;
      out->modifiers = g_mods;
      take_later_motions(out);
      return 1;
    case SDL_MOUSEWHEEL: {
      // Touchpads scroll by fractions of a step: those travel in quarter
      // steps, whole steps as they are.
      // Events pushed from inside the program may carry whole steps only.
      float precise = e.wheel.preciseY != 0 ? e.wheel.preciseY : (float)e.wheel.y;
      if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) precise = -precise;
      if (precise == 0) return 0;
      if (precise != std::trunc(precise)) {
        out->kind = plat_ev_smooth_wheel;
        out->wheel = (int)std::lround(precise * 4);
      } else {
        out->kind = plat_ev_wheel;
        out->wheel = (int)precise;
      }
      out->x = e.wheel.mouseX;
      out->y = e.wheel.mouseY;
      out->window = e.wheel.windowID;
      out->modifiers = g_mods;
      return 1;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      out->kind = e.type == SDL_KEYUP ? plat_ev_key_up : e.key.repeat ? plat_ev_auto_key : plat_ev_key_down;
      out->key_code = PLAT_mac_key_code(e.key.keysym.scancode);
      out->modifiers = g_mods = mac_modifiers(e.key.keysym.mod);
      out->window = e.key.windowID;
      if (e.type == SDL_KEYDOWN) take_key_text(e, out);
      return 1;
    case SDL_TEXTINPUT:
      out->kind = plat_ev_text;
      out->window = e.text.windowID;
      out->modifiers = g_mods;
      copy_text(out, e.text.text);
      return 1;
    case SDL_WINDOWEVENT:
      out->window = e.window.windowID;
      switch (e.window.event) {
        case SDL_WINDOWEVENT_EXPOSED: out->kind = plat_ev_update; return 1;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          // Keys pressed while another program had the focus sent no records.
          g_mods = mac_modifiers(SDL_GetModState());
          out->kind = plat_ev_activate;
          out->modifiers = plat_mod_activate;
          return 1;
        case SDL_WINDOWEVENT_FOCUS_LOST: out->kind = plat_ev_activate; return 1;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          out->kind = plat_ev_resized;
          out->width = e.window.data1;
          out->height = e.window.data2;
          return 1;
        default: return 0;
      }
    case SDL_QUIT: out->kind = plat_ev_quit; return 1;
    default: return 0;
  }
}

static std::deque<PLAT_event> g_pushed;

void PLAT_push_event(const PLAT_event& e) { g_pushed.push_back(e); }

void PLAT_flush_events() {
  g_pushed.clear();
  if (SDL_WasInit(SDL_INIT_VIDEO)) {
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  }
}

int PLAT_next_event(PLAT_event* out, int wait_ms) {
  if (!g_pushed.empty()) {
    *out = g_pushed.front();
    g_pushed.pop_front();
    return 1;
  }
  if (!PLAT_sdl_video_ready()) return 0;
  const Uint64 deadline = SDL_GetTicks64() + (wait_ms > 0 ? wait_ms : 0);
  for (;;) {
    // Events the program skips do not end the wait; once it is over, only
    // what is already pending is looked at.
    const Uint64 now = SDL_GetTicks64();
    SDL_Event e;
    const int got = now < deadline ? SDL_WaitEventTimeout(&e, (int)(deadline - now)) : SDL_PollEvent(&e);
    if (!got) return 0;
    if (translate(e, out)) return 1;
  }
}
