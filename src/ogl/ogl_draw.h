// Immediate-mode drawing in interface pixels: origin at the bottom left, y
// up, every vertex shifted by the current sub-window's origin (win_x, win_y of
// wins). Colours are ids of the colour table colr, resolved by one rule:
// ids up to 38 take the tint, the dim amount turns everything toward a red
// monochrome, the green-monochrome switch toward a green one, and the alpha
// is multiplied by the global fade (ren.fade). Each call sets the state it
// needs through OGL_setstate (no fog, no lighting, no depth, untextured,
// blending). Main thread, with the window's context current.
#pragma once
#include "ogl/ogl_state.h"

// The colour rule: writes the red, green, blue and alpha that colour id col
// at alpha draws with; returns 3 when the colour is opaque (alpha above
// 0.99: set with three components) or 4.
int OGL_colour_rule(int col, float alpha, float* rgba);
// Steps 2 and 3 of the rule on a colour given as red, green, blue (no tint).
int OGL_colour_rule_rgb(float r, float g, float b, float alpha, float* rgba);
// Makes the rule's colour current (glColor3f or glColor4f as the rule says).
void OGL_set_colour(int col, float alpha);

// Filled rectangle from (l, b), w wide and h high; its edges lie on pixel edges.
void OGL_fillrect(int col, float alpha, float l, float b, float w, float h);
// Outline of the same rectangle through the centres of its edge pixels.
void OGL_framerect(int col, float alpha, float l, float b, float w, float h);
// Line from (x1, y1) to (x2, y2) through pixel centres.
void OGL_line(int col, float alpha, float x1, float y1, float x2, float y2);
// Filled triangle, vertices moved to pixel centres.
void OGL_filltri(int col, float alpha, float x1, float y1, float x2, float y2, float x3, float y3);
// Filled circle as horizontal lines one pixel apart.
void OGL_fillcircle(int col, float alpha, float cx, float cy, float r);
// Circle outline of 72 segments.
void OGL_framecircle(int col, float alpha, float cx, float cy, float r);
// Ring segment between two radii from start_deg to end_deg (whole degrees,
// clockwise from up), at the fade's alpha. Degrees outside 0..360 wrap.
void OGL_arc(int col, float cx, float cy, float r_in, float r_out, float start_deg, float end_deg);
// Rectangle from corner (l, b) to corner (r, t) in the grey of colour 12.
void OGL_grayrect(float l, float b, float r, float t, float alpha);
// Textured quad through four corners in the order given, each (x, y) with
// texture coordinates (s, t), on `units` texture units with the alpha mode;
// texture number tex is bound on unit 0 with env_mode first when above 0
// (0 keeps whatever is bound).
void OGL_2dquad(int tex, int col, float alpha, float x1, float y1, float s1, float t1, float x2, float y2, float s2,
                float t2, float x3, float y3, float s3, float t3, float x4, float y4, float s4, float t4, int units,
                ogl_al_mode al, int env_mode);
// OGL_2dquad's four corners into a batch of quads the caller has begun
// (glBegin), in the current sub-window, with no state change; reported to
// the drawing recorder as OGL_2dquad is.
void OGL_2dquad_in_batch(int tex, int col, float x1, float y1, float s1, float t1, float x2, float y2, float s2,
                         float t2, float x3, float y3, float s3, float t3, float x4, float y4, float s4, float t4);
// Textured rectangle w x h at (x, y) showing the texture from (s, t) over
// sw x th, on one unit, modulated (tex 0 keeps the binding).
void OGL_2dquad_d(int tex, int col, float alpha, float x, float y, float s, float t, float w, float h, float sw,
                  float th, ogl_al_mode al);
// Makes the spectrum colour at t current: black, red, orange, yellow, green,
// blue and violet evenly spread over 0..1 (t outside clamps to the ends),
// then steps 2 and 3 of the colour rule with the fade as alpha.
void OGL_spectrum_rgb(float t);
// The spectrum colour at t before the rule (pure).
void OGL_spectrum_stop_rgb(float t, float* rgb);

// 3-D vertices into a batch the caller has begun (glBegin); no state change,
// no sub-window offset. Points are three floats.
void OGL_3dline(float x1, float y1, float z1, float x2, float y2, float z2);
// One quad p1..p4 with texture corners (1,1), (1,0), (0,0), (0,1), after the
// normal (p3 - p2) x (p2 - p1) normalised, or (0, 1, 0) when that is zero.
void OGL_3dquad(const float* p1, const float* p2, const float* p3, const float* p4);
// The same with texture corners (s0,t0), (s0,t1), (s1,t1), (s1,t0).
void OGL_3dquad_st(const float* p1, const float* p2, const float* p3, const float* p4, float s0, float t0, float s1,
                   float t1);
// A box centred on x and z, standing from y to y + height, textured s0..s1
// across each side and t0 (bottom) to t1 (top). Begins its own batches; not
// inside glBegin.
void OGL_cube(float x, float y, float z, float width, float height, float depth, float s0, float s1, float t0,
              float t1);
// A tyre-shaped solid of radius r around the x axis at (x, y, z). Begins its
// own batches; not inside glBegin.
void OGL_disc(float x, float y, float z, float r);

// Grows the box box_min..box_max by the part of segment a-b whose y lies in
// [lo, hi]; with lo equal to hi, by the segment's crossing of that height.
void accum_segment(float lo, float hi, const float* a, const float* b, float* box_min, float* box_max);

// The physics overlay: points, triangles and forces collected through a
// frame (main thread only) and drawn in world space in one go.
void OGL_show_probe(const float* p);
void OGL_show_cg(const float* p);
void OGL_show_tri(const float* a, const float* b, const float* c);
void OGL_show_force(const float* at, const float* force);
// Draws what was collected; with purge, empties the lists.
void OGL_draw_and_purge_physics(int purge);
// How many points each list holds: probes, centres of gravity, triangle
// corners, force ends.
void OGL_physics_counts(int* probes, int* cgs, int* tri_points, int* force_points);
