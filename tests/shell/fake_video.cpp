#include "shell/fake_video.h"
#include <algorithm>
#include <cstdlib>
#include "shell/cons.h"

fake_video* g_fake_video = nullptr;

namespace {
fake_window* fw(PLAT_window w) { return reinterpret_cast<fake_window*>(w); }
fake_display& main_display() { return g_fake_video->displays[0]; }

int available() { return 1; }
int display_count() { return (int)g_fake_video->displays.size(); }
int display_bounds(int n, PLAT_rect* out) {
  if (n < 0 || n >= display_count()) return -1;
  fake_display& d = g_fake_video->displays[n];
  *out = d.bounds;
  out->width = d.now.width;
  out->height = d.now.height;
  return 0;
}
int display_mode(int n, PLAT_mode* out) {
  if (n < 0 || n >= display_count()) return -1;
  *out = g_fake_video->displays[n].now;
  return 0;
}
int display_modes(int n, std::vector<PLAT_mode>* out) {
  if (n < 0 || n >= display_count()) return -1;
  *out = g_fake_video->displays[n].modes;
  return 0;
}
long long video_memory() { return 256ll << 20; }

PLAT_window window_make(const PLAT_rect& b, int framed, const PLAT_gl_format& f, int hidden) {
  g_fake_video->tried.push_back(f);
  if (f.samples > g_fake_video->max_samples || f.depth > g_fake_video->max_depth) return nullptr;
  fake_window* w = new fake_window;
  w->bounds = b;
  w->framed = framed;
  w->hidden = hidden;
  w->format = f;
  g_fake_video->windows.push_back(w);
  return reinterpret_cast<PLAT_window>(w);
}
void window_free(PLAT_window w) { fw(w)->hidden = -1; }  // kept for the test to read
void window_set_framed(PLAT_window w, int framed) {
  fw(w)->framed = framed;
  g_fake_video->calls.push_back("framed " + std::to_string(framed));
}
void window_set_bounds(PLAT_window w, const PLAT_rect& b) {
  fw(w)->bounds = b;
  g_fake_video->calls.push_back("bounds " + std::to_string(b.x) + "," + std::to_string(b.y) + " " +
                                std::to_string(b.width) + "x" + std::to_string(b.height));
}
unsigned window_id(PLAT_window w) {
  auto& v = g_fake_video->windows;
  return (unsigned)(std::find(v.begin(), v.end(), fw(w)) - v.begin()) + 1;
}
void window_get_bounds(PLAT_window w, PLAT_rect* out) { *out = fw(w)->bounds; }
void window_raise(PLAT_window w) { g_fake_video->calls.push_back("raise " + std::to_string(window_id(w))); }
// Full screen takes the closest mode of the list: the smallest one at least
// as large as asked, else the largest.
int window_set_fullscreen(PLAT_window w, const PLAT_mode* m) {
  fake_display& d = main_display();
  if (!m) {
    fw(w)->fullscreen = 0;
    d.now = d.desktop;
    g_fake_video->calls.push_back("leave");
    return 0;
  }
  const PLAT_mode* best = nullptr;
  for (const PLAT_mode& c : d.modes)
    if (c.width >= m->width && c.height >= m->height &&
        (!best || c.width * c.height < best->width * best->height))
      best = &c;
  if (!best) return -1;
  d.now = *best;
  fw(w)->fullscreen = 1;
  g_fake_video->calls.push_back("fullscreen " + std::to_string(best->width) + "x" + std::to_string(best->height));
  return 0;
}
int s_context_tag;
PLAT_gl_context gl_make_context(PLAT_window, PLAT_gl_context) { return &s_context_tag; }
void gl_free_context(PLAT_gl_context) {}
int gl_make_current(PLAT_window w, PLAT_gl_context c) {
  g_fake_video->current = c ? w : nullptr;
  return 0;
}
void gl_get_format(PLAT_gl_format* out) {
  *out = g_fake_video->windows.empty() ? PLAT_gl_format() : g_fake_video->windows.back()->format;
}
int gl_set_swap_interval(int) { return g_fake_video->swap_result; }
void gl_swap(PLAT_window) { ++g_fake_video->swaps; }
PLAT_window gl_current_window() { return g_fake_video->current; }
void* gl_proc_address(const char*) { return nullptr; }
void mouse_global(int* x, int* y) { *x = *y = 0; }
void mouse_warp_global(int x, int y) {
  g_fake_video->calls.push_back("warp " + std::to_string(x) + "," + std::to_string(y));
}
void cursor_arrow() {}
void cursor_hide() {}
void cursor_show() {}

const PLAT_video_backend s_fake = {
    .available = available,
    .display_count = display_count,
    .display_bounds = display_bounds,
    .display_mode = display_mode,
    .display_modes = display_modes,
    .video_memory = video_memory,
    .window_make = window_make,
    .window_free = window_free,
    .window_set_framed = window_set_framed,
    .window_set_bounds = window_set_bounds,
    .window_get_bounds = window_get_bounds,
    .window_raise = window_raise,
    .window_set_fullscreen = window_set_fullscreen,
    .window_id = window_id,
    .gl_make_context = gl_make_context,
    .gl_free_context = gl_free_context,
    .gl_make_current = gl_make_current,
    .gl_get_format = gl_get_format,
    .gl_set_swap_interval = gl_set_swap_interval,
    .gl_swap = gl_swap,
    .gl_current_window = gl_current_window,
    .gl_proc_address = gl_proc_address,
    .mouse_global = mouse_global,
    .mouse_warp_global = mouse_warp_global,
    .cursor_arrow = cursor_arrow,
    .cursor_hide = cursor_hide,
    .cursor_show = cursor_show,
};
}  // namespace

fake_video::fake_video(int w, int h, std::vector<PLAT_mode> m) {
  fake_display d;
  d.bounds.width = w;
  d.bounds.height = h;
  d.desktop.width = w;
  d.desktop.height = h;
  d.desktop.bpp = 32;
  d.desktop.refresh = 60;
  d.now = d.desktop;
  d.modes = m.empty() ? std::vector<PLAT_mode>{d.desktop} : m;
  displays.push_back(d);
  g_fake_video = this;
  PLAT_video_use(&s_fake);
}

fake_video::~fake_video() {
  // The consoles made on the fake go with it.
  cons.cons_close_all();
  cons.have_format = 0;
  PLAT_video_use(nullptr);
  for (fake_window* w : windows) delete w;
  g_fake_video = nullptr;
}
