// The colour rule and the 2-D primitives.
#include "ogl/ogl_draw.h"
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include "core/globs.h"
#include "ogl/ogl_state.h"
#include "ogl/ogl_trig.h"
#include "shell/wins.h"
#include "widgets/colr.h"

namespace {

float clamp_between(float v, float a, float b) { return std::clamp(v, std::min(a, b), std::max(a, b)); }

void state_2d() { OGL_setstate(fog_off, 0, lit_off, al_blend, deR_off, deW_off); }

void apply(const float* rgba, int n) {
  if (n == 3)
    glColor3f(rgba[0], rgba[1], rgba[2]);
  else
    glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
}

// Whole degrees into the tables' 0..359, whatever the caller passed.
int table_index(int deg) { return ((deg % 360) + 360) % 360; }

}  // namespace

int OGL_colour_rule_rgb(float r, float g, float b, float alpha, float* rgba) {
  const float lum = r + g + b;
  float m = std::min(lum, 1.0f);
  const float d = colr.dim;
  if (d > 0) {
    m = std::max(m, 0.01f);
    const float k = 2 * d;
    const float r2 = clamp_between(r + k * (m - r), r, m);
    const float g2 = clamp_between(g * (1 - k), g, 0);
    const float b2 = clamp_between(b * (1 - k), b, 0);
    r = r2, g = g2, b = b2;
  } else if (colr.green_mono) {
    g = std::clamp(lum, 0.01f, 1.0f);
    r = b = 0;
  }
  rgba[0] = r;
  rgba[1] = g;
  rgba[2] = b;
  rgba[3] = alpha * ren.fade;
  return rgba[3] > 0.99f ? 3 : 4;
}

int OGL_colour_rule(int col, float alpha, float* rgba) {
  float rgb[3] = {0, 0, 0};
  if (col >= 0 && col < colr_class::colour_count)
    for (int i = 0; i < 3; ++i) rgb[i] = colr.col[col][i] * (col <= 38 ? colr.tint[i] : 1.0f);
  return OGL_colour_rule_rgb(rgb[0], rgb[1], rgb[2], alpha, rgba);
}

void OGL_set_colour(int col, float alpha) {
  float rgba[4];
  apply(rgba, OGL_colour_rule(col, alpha, rgba));
}

// The corners of a rectangle as one batch; shift moves them onto pixel
// centres, which outlines need and fills must not have.
static void rect_batch(GLenum mode, int col, float alpha, float l, float b, float w, float h, float shift) {
  state_2d();
  OGL_set_colour(col, alpha);
  l += wins.win_x + shift;
  b += wins.win_y + shift;
  glBegin(mode);
  glVertex2f(l, b);
  glVertex2f(l, b + h);
  glVertex2f(l + w, b + h);
  glVertex2f(l + w, b);
  glEnd();
}

void OGL_fillrect(int col, float alpha, float l, float b, float w, float h) {
  rect_batch(GL_QUADS, col, alpha, l, b, w, h, 0);
}

void OGL_framerect(int col, float alpha, float l, float b, float w, float h) {
  rect_batch(GL_LINE_LOOP, col, alpha, l, b, w, h, 0.5f);
}

// n points (x, y pairs) as one batch, moved onto pixel centres.
static void centred_batch(GLenum mode, int col, float alpha, const float* xy, int n) {
  state_2d();
  OGL_set_colour(col, alpha);
  const float ox = wins.win_x + 0.5f, oy = wins.win_y + 0.5f;
  glBegin(mode);
  for (int i = 0; i < n; ++i) glVertex2f(xy[2 * i] + ox, xy[2 * i + 1] + oy);
  glEnd();
}

void OGL_line(int col, float alpha, float x1, float y1, float x2, float y2) {
  const float xy[4] = {x1, y1, x2, y2};
  centred_batch(GL_LINES, col, alpha, xy, 2);
}

void OGL_filltri(int col, float alpha, float x1, float y1, float x2, float y2, float x3, float y3) {
  const float xy[6] = {x1, y1, x2, y2, x3, y3};
  centred_batch(GL_TRIANGLES, col, alpha, xy, 3);
}

void OGL_fillcircle(int col, float alpha, float cx, float cy, float r) {
  for (float dy = -r; dy <= r; dy += 1) {
    const float half = std::sqrt(std::max(0.0f, r * r - dy * dy));
    OGL_line(col, alpha, cx - half, cy + dy, cx + half, cy + dy);
  }
}

void OGL_framecircle(int col, float alpha, float cx, float cy, float r) {
  state_2d();
  OGL_set_colour(col, alpha);
  const float ox = cx + wins.win_x + 0.5f, oy = cy + wins.win_y + 0.5f;
  glBegin(GL_LINE_STRIP);
  for (int a = 0; a <= 360; a += 5) glVertex2f(ox + r * lookup_sin[a], oy + r * lookup_cos[a]);
  glEnd();
}

void OGL_arc(int col, float cx, float cy, float r_in, float r_out, float start_deg, float end_deg) {
  state_2d();
  OGL_set_colour(col, 1.0f);
  const float ox = cx + wins.win_x, oy = cy + wins.win_y;
  glBegin(GL_QUAD_STRIP);
  for (int d = (int)start_deg; d <= end_deg; ++d) {
    const int i = table_index(d);
    glVertex2f(ox + r_in * lookup_sin[i], oy + r_in * lookup_cos[i]);
    glVertex2f(ox + r_out * lookup_sin[i], oy + r_out * lookup_cos[i]);
  }
  glEnd();
}

void OGL_grayrect(float l, float b, float r, float t, float alpha) {
  state_2d();
  OGL_set_colour(12, alpha);
  const float ox = wins.win_x, oy = wins.win_y;
  glBegin(GL_QUADS);
  glVertex2f(l + ox, b + oy);
  glVertex2f(l + ox, t + oy);
  glVertex2f(r + ox, t + oy);
  glVertex2f(r + ox, b + oy);
  glEnd();
}

void OGL_spectrum_stop_rgb(float t, float* rgb) {
  static const float stops[7][3] = {{0, 0, 0}, {1, 0, 0},    {1, 0.32f, 0.08f}, {1, 1, 0},
                                    {0, 1, 0}, {0, 0, 1},    {0.8f, 0, 0.8f}};
  if (t < 0) t = 0;
  if (t > 1) t = 1;
  const int seg = std::min((int)(t * 6), 5);
  const float f = t * 6 - seg;
  for (int i = 0; i < 3; ++i) rgb[i] = stops[seg][i] + f * (stops[seg + 1][i] - stops[seg][i]);
}

void OGL_spectrum_rgb(float t) {
  float rgb[3], rgba[4];
  OGL_spectrum_stop_rgb(t, rgb);
  apply(rgba, OGL_colour_rule_rgb(rgb[0], rgb[1], rgb[2], 1.0f, rgba));
}
