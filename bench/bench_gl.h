// The window the drawing benchmarks draw in: the program's console 0 with
// its OpenGL context, made as the installer makes it, on the X server of
// DISPLAY.
#pragma once
#include <GL/gl.h>
#include <unistd.h>
#include <chrono>
#include <climits>
#include <cstdio>
#include <string>
#include "core/globs.h"
#include "ogl/OGL_font_info.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_trig.h"
#include "ogl/ogl_view.h"
#include "platform/plat_bundle.h"
#include "shell/cons.h"
#include "shell/hl_init.h"
#include "shell/wins.h"
#include "tex/tman.h"

// Opens a width x height window and probes its driver; false (after saying
// so under the benchmark's name) when there is no display to open it on.
inline bool bench_gl_window(const char* name, int width, int height) {
  MACIBM_connect_layers();
  wins.x_res_wind = width;
  wins.y_res_wind = height;
  if (!cons.cons_make(0)) {
    fprintf(stderr, "%s: no window with an OpenGL context (is DISPLAY set?)\n", name);
    return false;
  }
  glExt.init_extensions();
  return true;
}

// The interface as start-up leaves it, from the bundle built beside the
// benchmarks: the texture manager, the trigonometry tables, the interface
// atlas (359), the fonts, and the whole window as sub-window 0.
inline void bench_gl_interface() {
  char exe[PATH_MAX] = {};
  if (readlink("/proc/self/exe", exe, sizeof exe - 1) > 0) {
    std::string dir = exe;
    dir = dir.substr(0, dir.rfind('/'));
    PLAT_set_bundle_path(dir + "/../Duvizo Installer.app");
  }
  tman.TEX_init();
  fill_trig_tables();
  tman.load_texture_idx(tex_fail_silent, 359, 0x40242, tex_load_now, "RESOURCE:interface.png");
  TT_reset_font(tt_both);
  wins.last_win = 0;
  OGL_pix_specs(0);
  wins.start_win(0);
}

// Milliseconds per frame over frames frames, each cleared, drawn by frame,
// with swap also swapped (OGL_sbuff), and finished.
inline double bench_ms_per_frame(void (*frame)(), int frames, bool swap = false) {
  glFinish();
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) {
    glClear(GL_COLOR_BUFFER_BIT);
    frame();
    if (swap) OGL_sbuff();
    glFinish();
  }
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / frames;
}
