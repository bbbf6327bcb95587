// The window system over SDL2 on X11 (or the driver SDL_VIDEODRIVER names).
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>
#include <GL/glxext.h>
#include <SDL2/SDL.h>
#include <stdlib.h>
#include <string>
#include "platform/plat_bundle.h"
#include "platform/plat_sdl.h"
#include "platform/plat_video.h"

struct PLAT_window_rec {
  SDL_Window* sdl = nullptr;
};

// SDL's contexts do not know the window they were made for; sharing needs it.
struct sdl_context {
  SDL_GLContext gl = nullptr;
  SDL_Window* window = nullptr;
};

static SDL_Cursor* g_arrow = nullptr;

static int sdl_available() {
  const char* display = getenv("DISPLAY");
  const char* driver = getenv("SDL_VIDEODRIVER");
  return (display && *display) || (driver && *driver) ? 1 : 0;
}

int PLAT_sdl_video_ready() {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return 1;
  if (!sdl_available()) return 0;
  // A named X display means X11, even where a Wayland session is also
  // around; SDL_VIDEODRIVER in the environment still wins over this hint.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  // SIGINT and SIGTERM keep ending the program as they do without a window;
  // SDL would turn them into quit events.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
  // Typed text arrives as text events only while text input is on.
  SDL_StartTextInput();
  return 1;
}

void PLAT_video_end() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  if (g_arrow) SDL_FreeCursor(g_arrow);
  g_arrow = nullptr;
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

static int sdl_display_count() {
  if (!PLAT_sdl_video_ready()) return 0;
  int n = SDL_GetNumVideoDisplays();
  return n > 0 ? n : 0;
}

static int sdl_display_bounds(int n, PLAT_rect* out) {
  SDL_Rect r;
  if (!PLAT_sdl_video_ready() || SDL_GetDisplayBounds(n, &r) != 0) return -1;
  *out = PLAT_rect{r.x, r.y, r.w, r.h};
  return 0;
}

static PLAT_mode mode_of(const SDL_DisplayMode& m) {
  return PLAT_mode{m.w, m.h, (int)SDL_BITSPERPIXEL(m.format), m.refresh_rate};
}

static int sdl_display_mode(int n, PLAT_mode* out) {
  SDL_DisplayMode m;
  if (!PLAT_sdl_video_ready() || SDL_GetCurrentDisplayMode(n, &m) != 0) return -1;
  *out = mode_of(m);
  return 0;
}

static int sdl_display_modes(int n, std::vector<PLAT_mode>* out) {
  out->clear();
  if (!PLAT_sdl_video_ready()) return -1;
  int count = SDL_GetNumDisplayModes(n);
  if (count < 1) return -1;
  for (int i = 0; i < count; i++) {
    SDL_DisplayMode m;
    if (SDL_GetDisplayMode(n, i, &m) == 0) out->push_back(mode_of(m));
  }
  return 0;
}

static long long sdl_video_memory() {
  if (!SDL_WasInit(SDL_INIT_VIDEO) || !SDL_GL_GetCurrentContext()) return 0;
  typedef Bool (*query_fn)(int attribute, unsigned int* value);
  auto query = (query_fn)glXGetProcAddressARB((const GLubyte*)"glXQueryCurrentRendererIntegerMESA");
  unsigned int mb = 0;
  if (query && query(GLX_RENDERER_VIDEO_MEMORY_MESA, &mb) && mb) return (long long)mb << 20;
  if (SDL_GL_ExtensionSupported("GL_NVX_gpu_memory_info")) {
    GLint kb = 0;
    glGetIntegerv(GL_GPU_MEMORY_INFO_DEDICATED_VIDMEM_NVX, &kb);
    if (kb > 0) return (long long)kb << 10;
  }
  return 0;
}

// The desktop's task bar and switcher name a window by its title: the
// program's name, as its bundle is named.
static std::string window_title() {
  std::string name = PLAT_bundle_path();
  name = name.substr(name.find_last_of('/') + 1);
  const std::string suffix = ".app";
  if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
    name.resize(name.size() - suffix.size());
  return name;
}

static PLAT_window sdl_window_make(const PLAT_rect& bounds, int framed, const PLAT_gl_format& format,
                                   int hidden) {
  if (!PLAT_sdl_video_ready()) return nullptr;
  // SDL picks the window's visual from these when it makes the window, and
  // every context of the window is made with that visual.
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, format.red);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, format.green);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, format.blue);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.alpha);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depth);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, format.double_buffer);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, format.sample_buffers);
  SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, format.samples);
  Uint32 flags = SDL_WINDOW_OPENGL | (framed ? 0 : SDL_WINDOW_BORDERLESS) |
                 (hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
  SDL_Window* sdl = SDL_CreateWindow(window_title().c_str(), bounds.x, bounds.y, bounds.width, bounds.height, flags);
  if (!sdl) return nullptr;
  PLAT_window w = new PLAT_window_rec;
  w->sdl = sdl;
  // Lets the current context's SDL window lead back to its record.
  SDL_SetWindowData(sdl, "plat_window", w);
  return w;
}

static void sdl_window_free(PLAT_window w) {
  if (!w) return;
  SDL_DestroyWindow(w->sdl);
  delete w;
}

static void sdl_window_set_framed(PLAT_window w, int framed) {
  SDL_SetWindowBordered(w->sdl, framed ? SDL_TRUE : SDL_FALSE);
}

static void sdl_window_set_bounds(PLAT_window w, const PLAT_rect& bounds) {
  SDL_SetWindowPosition(w->sdl, bounds.x, bounds.y);
  SDL_SetWindowSize(w->sdl, bounds.width, bounds.height);
}

static void sdl_window_get_bounds(PLAT_window w, PLAT_rect* out) {
  SDL_GetWindowPosition(w->sdl, &out->x, &out->y);
  SDL_GetWindowSize(w->sdl, &out->width, &out->height);
}

static void sdl_window_raise(PLAT_window w) { SDL_RaiseWindow(w->sdl); }

static int sdl_window_set_fullscreen(PLAT_window w, const PLAT_mode* mode) {
  if (!mode) return SDL_SetWindowFullscreen(w->sdl, 0) == 0 ? 0 : -1;
  // On X11 a display mode belongs to a full-screen window: SDL switches the
  // display to it while that window is full screen, and back after.
  SDL_DisplayMode want = {SDL_PIXELFORMAT_UNKNOWN, mode->width, mode->height, mode->refresh, nullptr};
  SDL_DisplayMode closest;
  int display = SDL_GetWindowDisplayIndex(w->sdl);
  if (display < 0 || !SDL_GetClosestDisplayMode(display, &want, &closest)) return -1;
  if (SDL_SetWindowDisplayMode(w->sdl, &closest) != 0) return -1;
  return SDL_SetWindowFullscreen(w->sdl, SDL_WINDOW_FULLSCREEN) == 0 ? 0 : -1;
}

static unsigned sdl_window_id(PLAT_window w) { return w ? SDL_GetWindowID(w->sdl) : 0; }

static PLAT_gl_context sdl_gl_make_context(PLAT_window w, PLAT_gl_context share) {
  sdl_context* from = (sdl_context*)share;
  if (from) {
    // SDL shares with whatever context is current when it makes the new one.
    if (SDL_GL_MakeCurrent(from->window, from->gl) != 0) return nullptr;
    SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
  }
  SDL_GLContext gl = SDL_GL_CreateContext(w->sdl);
  if (from) SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  if (!gl) return nullptr;
  sdl_context* c = new sdl_context;
  c->gl = gl;
  c->window = w->sdl;
  return c;
}

static void sdl_gl_free_context(PLAT_gl_context c) {
  sdl_context* ctx = (sdl_context*)c;
  if (!ctx) return;
  SDL_GL_DeleteContext(ctx->gl);
  delete ctx;
}

static int sdl_gl_make_current(PLAT_window w, PLAT_gl_context c) {
  sdl_context* ctx = (sdl_context*)c;
  return SDL_GL_MakeCurrent(w ? w->sdl : nullptr, ctx ? ctx->gl : nullptr) == 0 ? 0 : -1;
}

static void sdl_gl_get_format(PLAT_gl_format* out) {
  struct {
    SDL_GLattr attr;
    int* field;
  } const rows[] = {
      {SDL_GL_RED_SIZE, &out->red},           {SDL_GL_GREEN_SIZE, &out->green},
      {SDL_GL_BLUE_SIZE, &out->blue},         {SDL_GL_ALPHA_SIZE, &out->alpha},
      {SDL_GL_DEPTH_SIZE, &out->depth},       {SDL_GL_DOUBLEBUFFER, &out->double_buffer},
      {SDL_GL_MULTISAMPLEBUFFERS, &out->sample_buffers}, {SDL_GL_MULTISAMPLESAMPLES, &out->samples},
  };
  for (const auto& row : rows) {
    int value = 0;
    *row.field = SDL_GL_GetAttribute(row.attr, &value) == 0 ? value : 0;
  }
}

static int sdl_gl_set_swap_interval(int interval) { return SDL_GL_SetSwapInterval(interval) == 0 ? 0 : -1; }

static void sdl_gl_swap(PLAT_window w) { SDL_GL_SwapWindow(w->sdl); }

static PLAT_window sdl_gl_current_window() {
  SDL_Window* sdl = SDL_WasInit(SDL_INIT_VIDEO) ? SDL_GL_GetCurrentWindow() : nullptr;
  return sdl ? (PLAT_window)SDL_GetWindowData(sdl, "plat_window") : nullptr;
}

static void* sdl_gl_proc_address(const char* name) { return SDL_GL_GetProcAddress(name); }

static void sdl_mouse_global(int* x, int* y) {
  *x = *y = 0;
  if (PLAT_sdl_video_ready()) SDL_GetGlobalMouseState(x, y);
}

static void sdl_mouse_warp_global(int x, int y) {
  if (PLAT_sdl_video_ready()) SDL_WarpMouseGlobal(x, y);
}

static void sdl_cursor_arrow() {
  if (!PLAT_sdl_video_ready()) return;
  // Kept while the video runs: SDL goes on using a cursor after it is set.
  if (!g_arrow) g_arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
  if (g_arrow) SDL_SetCursor(g_arrow);
  SDL_ShowCursor(SDL_ENABLE);
}

static void sdl_cursor_hide() {
  if (PLAT_sdl_video_ready()) SDL_ShowCursor(SDL_DISABLE);
}

static void sdl_cursor_show() {
  if (PLAT_sdl_video_ready()) SDL_ShowCursor(SDL_ENABLE);
}

const PLAT_video_backend& PLAT_video_sdl() {
  static const PLAT_video_backend backend = {
      .available = sdl_available,
      .display_count = sdl_display_count,
      .display_bounds = sdl_display_bounds,
      .display_mode = sdl_display_mode,
      .display_modes = sdl_display_modes,
      .video_memory = sdl_video_memory,
      .window_make = sdl_window_make,
      .window_free = sdl_window_free,
      .window_set_framed = sdl_window_set_framed,
      .window_set_bounds = sdl_window_set_bounds,
      .window_get_bounds = sdl_window_get_bounds,
      .window_raise = sdl_window_raise,
      .window_set_fullscreen = sdl_window_set_fullscreen,
      .window_id = sdl_window_id,
      .gl_make_context = sdl_gl_make_context,
      .gl_free_context = sdl_gl_free_context,
      .gl_make_current = sdl_gl_make_current,
      .gl_get_format = sdl_gl_get_format,
      .gl_set_swap_interval = sdl_gl_set_swap_interval,
      .gl_swap = sdl_gl_swap,
      .gl_current_window = sdl_gl_current_window,
      .gl_proc_address = sdl_gl_proc_address,
      .mouse_global = sdl_mouse_global,
      .mouse_warp_global = sdl_mouse_warp_global,
      .cursor_arrow = sdl_cursor_arrow,
      .cursor_hide = sdl_cursor_hide,
      .cursor_show = sdl_cursor_show,
  };
  return backend;
}
