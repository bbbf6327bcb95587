#include "shell/cons.h"
#include <GL/gl.h>
#include <pthread.h>
#include <cstdlib>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"
#include "ogl/OGL_back_tex.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_state.h"
#include "shell/hl_init.h"
#include "shell/wins.h"
#include "tex/TEX_bind.h"
#include "widgets/reno.h"

cons_class cons;

int cons_class::console_of(unsigned window_id) const {
  for (int c = 0; c < 2; ++c)
    if (win[c] && PLAT_video().window_id(win[c]) == window_id) return c;
  return -1;
}

PLAT_window APL_make_window(int left, int top, int width, int height, int framed) {
  PLAT_rect r;
  r.x = left;
  r.y = top;
  r.width = width;
  r.height = height;
  return PLAT_video().window_make(r, framed, cons.pix_format, 0);
}

// The anti-aliasing ladder: the level asked for tries its sample count first,
// then every lower rung down to the base format. Each rung makes the window
// anew, since a window's format is fixed when it is made; a display without a
// 32-bit depth buffer gets 24 bits on the same rung.
int cons_class::choose_format_and_window(const PLAT_rect& b, int framed) {
  static const int rung_samples[5] = {0, 2, 4, 8, 16};
  const int asked = reno.alias_req;
  for (int level = 4; level >= 0; --level) {
    if (level > 0 && asked < level) continue;
    for (int depth : {32, 24}) {
      PLAT_gl_format f;
      f.depth = depth;
      f.sample_buffers = level > 0 ? 1 : 0;
      f.samples = rung_samples[level];
      pix_format = f;
      win[0] = APL_make_window(b.x, b.y, b.width, b.height, framed);
      if (win[0]) {
        have_format = 1;
        reno.alias_got = level;
        return 1;
      }
    }
  }
  return 0;
}

// What the window code believes of every context it makes: fog, textures,
// lighting, blending and depth all off.
static void reset_state_cache() { OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off); }

// The context's starting state: what every drawing call then assumes, held
// in the state cache from the first frame on.
static void set_default_state() {
  glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
  glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glAlphaFunc(GL_GREATER, 0.0f);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDepthFunc(GL_LEQUAL);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
  glHint(GL_FOG_HINT, GL_NICEST);
  glCullFace(GL_BACK);
  glFrontFace(GL_CCW);
  glDisable(GL_CULL_FACE);
  glShadeModel(GL_SMOOTH);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glDepthMask(GL_FALSE);
  glEnableClientState(GL_VERTEX_ARRAY);
  reset_state_cache();
  // Texture names bound on the old context mean nothing on this one.
  TEX_reset_bind();
}

int cons_class::cons_make(int c) {
  if (c != 0 && c != 1) return 0;
  // Without a display there is nothing to wait for.
  if (!PLAT_video().available()) return 0;

  int left = cmdline.has_option("--monitor_offset_x") ? atoi(cmdline.get_option("--monitor_offset_x").c_str()) : 0;
  int top = cmdline.has_option("--monitor_offset_y") ? atoi(cmdline.get_option("--monitor_offset_y").c_str()) : 0;
  int dw, dh, dd, dr;
  MACIBM_get_res_now(dw, dh, dd, dr);
  if (c == 1 && wins.full_screen) left = dw;

  if (wins.x_res_wind > dw || wins.y_res_wind > dh) {
    xer_group() << "The window was last: " << wins.x_res_wind << "," << wins.y_res_wind << " and my monitor is " << dw
                << "," << dh << ".  Setting window to 1024x768 it fits on screen.\n";
    wins.x_res_wind = 1024;
    wins.y_res_wind = 768;
  }
  int w = wins.x_res_wind, h = wins.y_res_wind;
  if (wins.full_screen) {
    w = wins.x_res_full ? wins.x_res_full : dw;
    h = wins.y_res_full ? wins.y_res_full : dh;
  }
  const int framed = !wins.full_screen && dh > wins.y_res_wind;

  PLAT_rect bounds;
  bounds.x = left;
  bounds.y = top;
  bounds.width = w;
  bounds.height = h;
  if (c == 1) {
    reset_state_cache();
    win[1] = APL_make_window(left, top, w, h, framed);
    if (!win[1]) return 0;
  } else if (!choose_format_and_window(bounds, framed)) {
    return 0;
  }

  ctx[c] = PLAT_video().gl_make_context(win[c], c == 1 ? ctx[0] : nullptr);
  if (!ctx[c] || PLAT_video().gl_make_current(win[c], ctx[c]) != 0) {
    cons_nuke(c);
    return 0;
  }
  if (c == 0) owner = pthread_self();
  wins.x_pix = w;
  wins.y_pix = h;

  PLAT_gl_format got;
  PLAT_video().gl_get_format(&got);
  xer_group() << "AGL_RGBA         : " << 1 << "\n"
              << "AGL_DOUBLEBUFFER : " << got.double_buffer << "\n"
              << "AGL_RED_SIZE     : " << got.red << "\n"
              << "AGL_GREEN_SIZE   : " << got.green << "\n"
              << "AGL_BLUE_SIZE    : " << got.blue << "\n"
              << "AGL_ALPHA_SIZE   : " << got.alpha << "\n"
              << "AGL_DEPTH_SIZE   : " << got.depth << "\n"
              << "VRAM             : " << PLAT_video().video_memory() << "\n";
  xer.flush();

  glExt.init_entry_points();
  if (!aglGetProcAddress("glGetString"))
    __MACIBM_alert(0, "Could not open OpenGL framework", "", "", "", t_quit, "RUvozuz/OOPS_cpp/cons", __LINE__);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  const int interval = reno.use_vsync2 ? 2 : reno.use_vsync1 ? 1 : 0;
  const int err = PLAT_video().gl_set_swap_interval(interval);
  if (err != 0)
    xer_group() << "WARNING: I could not set vertical sync to " << interval << "; the driver returned error " << err
                << ".\n";
  // No multi-threaded engine to switch on here: the driver answers as one
  // that has none.
  if (cmdline.has_option("--use_threaded_ogl")) xer_group() << "Enabling threaded OGL - got " << -1 << "\n";

  // A new main context starts with nothing the cache remembers.
  if (c == 0) OGL_setstate_forget();
  set_default_state();
  return 1;
}

int cons_class::num_cons(int n) {
  if (n < 0) return console_count;
  if (n == 2 && win[0] && !win[1] && cons_make(1)) {
    PLAT_video().gl_make_current(win[0], ctx[0]);
    OGL_make_back_tex();
  }
  if (n == 1 && win[1]) cons_nuke(1);
  console_count = (win[0] ? 1 : 0) + (win[1] ? 1 : 0);
  return 0;
}

void cons_class::cons_nuke(int c) {
  if (c != 0 && c != 1) return;
  if (ctx[c]) PLAT_video().gl_free_context(ctx[c]);
  if (win[c]) PLAT_video().window_free(win[c]);
  ctx[c] = nullptr;
  win[c] = nullptr;
  if (c == 1 && win[0] && ctx[0]) PLAT_video().gl_make_current(win[0], ctx[0]);
}

void* cons_class::cons_make_loader() {
  // Windows belong to the thread that made them: the main thread.
  if (!win[0] || !ctx[0] || !have_format || !pthread_equal(pthread_self(), owner)) {
    xer_group() << "We could not create a context for our worker threads.\n";
    return nullptr;
  }
  // A context can only be current on a drawable, so each loader gets a
  // hidden window of its own.
  PLAT_rect tiny;
  tiny.width = tiny.height = 1;
  PLAT_window hw = PLAT_video().window_make(tiny, 0, pix_format, 1);
  PLAT_gl_context hc = hw ? PLAT_video().gl_make_context(hw, ctx[0]) : nullptr;
  PLAT_video().gl_make_current(win[0], ctx[0]);
  if (!hc) {
    if (hw) PLAT_video().window_free(hw);
    xer_group() << "We could not create a context for our worker threads.\n";
    return nullptr;
  }
  loader_rec* l = new loader_rec{hw, hc};
  loaders.push_back(l);
  return l;
}

void cons_class::cons_close_all() {
  // Worker contexts first: they share the main context's objects.
  for (loader_rec* l : loaders) {
    PLAT_video().gl_free_context(l->c);
    PLAT_video().window_free(l->w);
    delete l;
  }
  loaders.clear();
  cons_nuke(1);
  cons_nuke(0);
  console_count = 0;
}

int MACIBM_set_context_loader(void* context) {
  if (!context) return 0;
  cons_class::loader_rec* l = static_cast<cons_class::loader_rec*>(context);
  return PLAT_video().gl_make_current(l->w, l->c) == 0 ? 1 : 0;
}
