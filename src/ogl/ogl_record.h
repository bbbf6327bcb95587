// What the drawing calls were asked to draw, for tests that check a frame by
// its calls rather than by its pixels. Each hook is null in the program; a
// test sets it and the primitive hands it every call, in sub-window
// coordinates, before drawing. Main thread only.
#pragma once
#include <string>

// One textured quad of OGL_2dquad: its texture number, colour id and the four
// corners in the order drawn, each x, y, s, t.
struct OGL_quad_call {
  int tex = 0;
  int col = 0;
  float corner[4][4] = {};
};
// One text of OGL_string: the text, its position, colour id, font and
// justification.
struct OGL_string_call {
  std::string text;
  float x = 0, y = 0;
  int col = 0;
  int font = 0;
  int just = 0;
};

extern void (*OGL_record_quad)(const OGL_quad_call& call);
extern void (*OGL_record_string)(const OGL_string_call& call);
