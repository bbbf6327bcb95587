// The window the drawing benchmarks draw in: the program's console 0 with
// its OpenGL context, made as the installer makes it, on the X server of
// DISPLAY.
#pragma once
#include <GL/gl.h>
#include <chrono>
#include <cstdio>
#include "core/globs.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_view.h"
#include "shell/cons.h"
#include "shell/hl_init.h"
#include "shell/wins.h"

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
