// The state cache against stating the same fixed-function state straight to
// the driver, as drawing code without the cache would, on the window's real
// context (Mesa under the X server of DISPLAY). Prints both rates and the
// ratio (above 1: the cache is faster).
#include <GL/gl.h>
#include <chrono>
#include <cstdio>
#include "bench_gl.h"
#include "ogl/ogl_state.h"
#include "shell/cons.h"
#include "shell/wins.h"

namespace {

double seconds_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// What a frame's 2-D drawing asks for, every call: untextured, no fog, no
// lighting, blending, no depth.
void state_direct() {
  glDisable(GL_FOG);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_LIGHT0);
  glEnable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
}

void state_cached() { OGL_setstate(fog_off, 0, lit_off, al_blend, deR_off, deW_off); }

double calls_per_second(void (*f)(), int n) {
  glFinish();
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < n; ++i) f();
  glFinish();
  return n / seconds_since(t0);
}

}  // namespace

int main() {
  if (!bench_gl_window("ogl_state", 320, 240)) return 1;
  const int n = 2000000;
  calls_per_second(state_direct, n / 10);  // warm both paths
  calls_per_second(state_cached, n / 10);
  const double direct = calls_per_second(state_direct, n);
  const double cached = calls_per_second(state_cached, n);
  printf("state per draw call: cached %.1f M/s, straight to the driver %.1f M/s, ratio %.1f\n", cached / 1e6,
         direct / 1e6, cached / direct);
  cons.cons_close_all();
  return 0;
}
