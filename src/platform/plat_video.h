// The window system under the shell: displays and their modes, windows that
// carry an OpenGL context, contexts shared between threads, and the cursor.
// Every call goes through the backend in force: SDL2's, or one a test puts in
// place where the real one cannot show what it needs (several displays, many
// modes). Main thread only, except PLAT_gl_make_current.
#pragma once
#include <vector>

struct PLAT_mode {
  int width = 0, height = 0;
  int bpp = 0;      // bits per pixel
  int refresh = 0;  // Hz; 0 when the display does not say
};

struct PLAT_rect {
  int x = 0, y = 0;  // top-left corner in global screen coordinates
  int width = 0, height = 0;
};

// The pixel format a window is made with. The format is fixed when the window
// is made, so trying another means making the window anew.
struct PLAT_gl_format {
  int red = 8, green = 8, blue = 8, alpha = 8;
  int depth = 32;
  int double_buffer = 1;
  int sample_buffers = 0;  // 1 with samples > 0: multisampling
  int samples = 0;
};

typedef struct PLAT_window_rec* PLAT_window;  // opaque; null for none
typedef void* PLAT_gl_context;                // opaque; null for none

struct PLAT_video_backend {
  // 1 when a display can be opened at all: an X display is named, or
  // SDL_VIDEODRIVER names a driver. Without one nothing else is tried.
  int (*available)();

  int (*display_count)();                                   // 0 when the query fails
  int (*display_bounds)(int n, PLAT_rect* out);             // 0 on success
  int (*display_mode)(int n, PLAT_mode* out);               // the current mode; 0 on success
  int (*display_modes)(int n, std::vector<PLAT_mode>* out); // every mode, the system's order; 0 on success
  // Video memory of the renderer whose context is current, in bytes; 0 when
  // the driver does not say.
  long long (*video_memory)();

  // A window with the given content bounds, framed or not, made for OpenGL
  // with the format; null when no visual matches the format.
  PLAT_window (*window_make)(const PLAT_rect& bounds, int framed, const PLAT_gl_format& format, int hidden);
  void (*window_free)(PLAT_window w);
  void (*window_set_framed)(PLAT_window w, int framed);          // in place
  void (*window_set_bounds)(PLAT_window w, const PLAT_rect& bounds);
  void (*window_get_bounds)(PLAT_window w, PLAT_rect* out);
  void (*window_raise)(PLAT_window w);
  // Full screen in the mode closest to mode (null: leave full screen).
  // 0 on success.
  int (*window_set_fullscreen)(PLAT_window w, const PLAT_mode* mode);
  unsigned (*window_id)(PLAT_window w);  // the id events carry; 0 for none

  // A context for the window, sharing objects with share when not null; the
  // new context is current on return. Null when none can be made.
  PLAT_gl_context (*gl_make_context)(PLAT_window w, PLAT_gl_context share);
  void (*gl_free_context)(PLAT_gl_context c);
  // Makes c current on the calling thread, drawing into w; 0 on success. A
  // null c lets go of the thread's context, so another thread can take it.
  int (*gl_make_current)(PLAT_window w, PLAT_gl_context c);
  // What the current context's format achieved.
  void (*gl_get_format)(PLAT_gl_format* out);
  int (*gl_set_swap_interval)(int interval);  // 0 on success, -1 when refused
  void (*gl_swap)(PLAT_window w);
  // The window the calling thread's current context draws into; null when
  // none is current.
  PLAT_window (*gl_current_window)();
  // The window system's look-up. GLX answers any "gl" name, even one the
  // driver lacks: ask for the extension or version first.
  void* (*gl_proc_address)(const char* name);

  void (*mouse_global)(int* x, int* y);        // the cursor in global coordinates
  void (*mouse_warp_global)(int x, int y);
  void (*cursor_arrow)();                      // the plain arrow, shown
  void (*cursor_hide)();                       // the system cursor hidden over the windows
  void (*cursor_show)();                       // and shown again
};

// The backend in force (SDL2's unless a test replaced it).
const PLAT_video_backend& PLAT_video();
// Puts a backend in force; null puts SDL2's back. Returns the one replaced.
const PLAT_video_backend* PLAT_video_use(const PLAT_video_backend* backend);
// SDL2's backend.
const PLAT_video_backend& PLAT_video_sdl();
// Ends SDL2's video once every window and context is gone; the next call that
// needs it starts it again, on the display named then.
void PLAT_video_end();
