// A frame of the interface's shapes (2,000 rectangles, frames and lines)
// drawn through the OGL_ calls, against the same geometry sent to the driver
// straight, with the colour already resolved and the state set once: what
// the state cache and the colour rule cost. 1024 by 768, on the window's real
// context (Mesa under the X server of DISPLAY). Prints milliseconds per
// frame and the ratio (above 1: the OGL_ calls are slower).
#include <GL/gl.h>
#include <chrono>
#include <cstdio>
#include "bench_gl.h"
#include "core/globs.h"
#include "ogl/ogl_draw.h"
#include "ogl/ogl_state.h"
#include "ogl/ogl_trig.h"
#include "ogl/ogl_view.h"
#include "shell/cons.h"
#include "shell/wins.h"
#include "widgets/colr.h"

namespace {

const int shapes = 2000;

struct shape {
  int kind;  // 0 rectangle, 1 frame, 2 line
  int col;
  float x, y, w, h;
};
shape s_shapes[shapes];

void make_shapes() {
  unsigned seed = 12345;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xffff;
  };
  for (shape& s : s_shapes) {
    s.kind = (int)(next() % 3);
    s.col = (int)(next() % 60);
    s.x = (float)(next() % 1000);
    s.y = (float)(next() % 740);
    s.w = (float)(1 + next() % 60);
    s.h = (float)(1 + next() % 30);
  }
}

void frame_ogl() {
  for (const shape& s : s_shapes) {
    if (s.kind == 0)
      OGL_fillrect(s.col, 1, s.x, s.y, s.w, s.h);
    else if (s.kind == 1)
      OGL_framerect(s.col, 1, s.x, s.y, s.w, s.h);
    else
      OGL_line(s.col, 1, s.x, s.y, s.x + s.w, s.y + s.h);
  }
}

void frame_raw() {
  glDisable(GL_FOG);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
  for (const shape& s : s_shapes) {
    const float* c = colr.col[s.col];
    glColor3f(c[0], c[1], c[2]);
    if (s.kind == 0) {
      glBegin(GL_QUADS);
      glVertex2f(s.x, s.y);
      glVertex2f(s.x, s.y + s.h);
      glVertex2f(s.x + s.w, s.y + s.h);
      glVertex2f(s.x + s.w, s.y);
      glEnd();
    } else if (s.kind == 1) {
      const float l = s.x + 0.5f, b = s.y + 0.5f;
      glBegin(GL_LINE_LOOP);
      glVertex2f(l, b);
      glVertex2f(l, b + s.h);
      glVertex2f(l + s.w, b + s.h);
      glVertex2f(l + s.w, b);
      glEnd();
    } else {
      glBegin(GL_LINES);
      glVertex2f(s.x + 0.5f, s.y + 0.5f);
      glVertex2f(s.x + s.w + 0.5f, s.y + s.h + 0.5f);
      glEnd();
    }
  }
}

}  // namespace

int main() {
  if (!bench_gl_window("ogl_draw", 1024, 768)) return 1;
  fill_trig_tables();
  for (int i = 0; i < 60; ++i) colr.col[i][0] = (i % 7) / 6.0f, colr.col[i][1] = (i % 5) / 4.0f, colr.col[i][2] = 0.5f;
  wins.last_win = 0;
  OGL_pix_specs(0);
  make_shapes();
  const int frames = 100;
  bench_ms_per_frame(frame_raw, 10);  // warm both paths
  bench_ms_per_frame(frame_ogl, 10);
  double raw = 0, ogl = 0;
  for (int round = 0; round < 3; ++round) {  // interleaved, so drift hits both alike
    raw += bench_ms_per_frame(frame_raw, frames);
    ogl += bench_ms_per_frame(frame_ogl, frames);
  }
  raw /= 3;
  ogl /= 3;
  // The part that is ours alone: the cache and the rule without the driver.
  const auto t0 = std::chrono::steady_clock::now();
  float rgba[4];
  volatile float sink = 0;
  for (int i = 0; i < frames; ++i)
    for (const shape& s : s_shapes) {
      OGL_setstate(fog_off, 0, lit_off, al_blend, deR_off, deW_off);
      OGL_colour_rule(s.col, 1, rgba);
      sink = sink + rgba[0];
    }
  const double own = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count() / frames;
  printf("frame of %d shapes at 1024x768: OGL_ calls %.2f ms, raw driver calls %.2f ms, ratio %.3f\n", shapes, ogl, raw,
         ogl / raw);
  printf("of which the state cache and the colour rule alone: %.3f ms a frame\n", own);
  cons.cons_close_all();
  return 0;
}
