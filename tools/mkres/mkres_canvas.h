// A picture being painted: RGBA texels, rows bottom-up as the program
// decodes them, and the few flat shapes the interface's art is made of.
// Every painter clips to the picture.
#pragma once
#include <cstdint>
#include <vector>
#include "widgets/atlas_layout.h"

struct mkres_rgba {
  uint8_t r, g, b, a;
};
constexpr mkres_rgba mkres_opaque(int r, int g, int b) {
  return {static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b), 255};
}

struct mkres_canvas {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;  // all transparent black at the start
};

// A transparent canvas of the given size.
mkres_canvas MKRES_canvas(int width, int height);
// Sets one texel; outside the canvas does nothing.
void MKRES_set(mkres_canvas& c, int u, int v, mkres_rgba colour);
// The texel at (u, v); transparent black outside.
mkres_rgba MKRES_get(const mkres_canvas& c, int u, int v);
// Fills a rectangle.
void MKRES_fill(mkres_canvas& c, atlas_rect r, mkres_rgba colour);
// Paints the one-texel border of a rectangle.
void MKRES_outline(mkres_canvas& c, atlas_rect r, mkres_rgba colour);
// Directions of MKRES_triangle.
enum mkres_dir { dir_up, dir_down, dir_left, dir_right };
// Fills an isosceles triangle inside r (inset by margin) pointing dir.
void MKRES_triangle(mkres_canvas& c, atlas_rect r, int margin, mkres_dir dir, mkres_rgba colour);
// Fills the texels whose centres lie within radius of (cu, cv).
void MKRES_disc(mkres_canvas& c, float cu, float cv, float radius, mkres_rgba colour);
// Fills a rectangle with its coordinate code for element (atlas_code_texel).
void MKRES_fill_coded(mkres_canvas& c, atlas_rect r, int element);
// A line two texels thick from (u0, v0) to (u1, v1), texel centres.
void MKRES_line(mkres_canvas& c, float u0, float v0, float u1, float v1, mkres_rgba colour);
