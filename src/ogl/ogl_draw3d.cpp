// The 3-D emitters, the segment accumulation of the frustum bounds and the
// physics overlay.
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <vector>
#include "ogl/ogl_draw.h"
#include "ogl/ogl_state.h"
#include "ogl/ogl_trig.h"

namespace {

struct pt {
  float v[3];
};
std::vector<pt> d_probe, d_cg, d_tris, d_forces;

pt make_pt(const float* p) { return pt{{p[0], p[1], p[2]}}; }

void quad_normal(const float* p1, const float* p2, const float* p3) {
  const float a[3] = {p3[0] - p2[0], p3[1] - p2[1], p3[2] - p2[2]};
  const float b[3] = {p2[0] - p1[0], p2[1] - p1[1], p2[2] - p1[2]};
  float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
  const float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (len == 0)
    glNormal3f(0, 1, 0);
  else
    glNormal3f(n[0] / len, n[1] / len, n[2] / len);
}

void add_point(const float* p, float* box_min, float* box_max) {
  for (int i = 0; i < 3; ++i) {
    box_min[i] = std::min(box_min[i], p[i]);
    box_max[i] = std::max(box_max[i], p[i]);
  }
}

// The point of a-b at height y, x and z kept within the ends' range.
void add_crossing(float y, const float* a, const float* b, float* box_min, float* box_max) {
  const float t = (y - a[1]) / (b[1] - a[1]);
  float p[3] = {a[0] + t * (b[0] - a[0]), y, a[2] + t * (b[2] - a[2])};
  p[0] = std::clamp(p[0], std::min(a[0], b[0]), std::max(a[0], b[0]));
  p[2] = std::clamp(p[2], std::min(a[2], b[2]), std::max(a[2], b[2]));
  add_point(p, box_min, box_max);
}

}  // namespace

void OGL_3dline(float x1, float y1, float z1, float x2, float y2, float z2) {
  glVertex3f(x1, y1, z1);
  glVertex3f(x2, y2, z2);
}

void OGL_3dquad(const float* p1, const float* p2, const float* p3, const float* p4) {
  OGL_3dquad_st(p1, p2, p3, p4, 1, 1, 0, 0);
}

void OGL_3dquad_st(const float* p1, const float* p2, const float* p3, const float* p4, float s0, float t0, float s1,
                   float t1) {
  quad_normal(p1, p2, p3);
  glTexCoord2f(s0, t0);
  glVertex3fv(p1);
  glTexCoord2f(s0, t1);
  glVertex3fv(p2);
  glTexCoord2f(s1, t1);
  glVertex3fv(p3);
  glTexCoord2f(s1, t0);
  glVertex3fv(p4);
}

void OGL_cube(float x, float y, float z, float width, float height, float depth, float s0, float s1, float t0,
              float t1) {
  const float hx = width * 0.5f, hz = depth * 0.5f;
  glPushMatrix();
  glTranslatef(x, y, z);
  // The four sides, anticlockwise seen from above, one face per corner pair.
  const float corners[5][2] = {{-hx, hz}, {hx, hz}, {hx, -hz}, {-hx, -hz}, {-hx, hz}};
  const float normals[4][3] = {{0, 0, 1}, {1, 0, 0}, {0, 0, -1}, {-1, 0, 0}};
  glBegin(GL_QUAD_STRIP);
  for (int k = 0; k <= 4; ++k) {
    const float s = (k % 2) ? s1 : s0;
    if (k > 0) glNormal3fv(normals[k - 1]);
    glTexCoord2f(s, t1);
    glVertex3f(corners[k][0], height, corners[k][1]);
    glTexCoord2f(s, t0);
    glVertex3f(corners[k][0], 0, corners[k][1]);
  }
  glEnd();
  glBegin(GL_QUADS);
  glNormal3f(0, 1, 0);
  glTexCoord2f(s0, t0);
  glVertex3f(-hx, height, hz);
  glTexCoord2f(s1, t0);
  glVertex3f(hx, height, hz);
  glTexCoord2f(s1, t1);
  glVertex3f(hx, height, -hz);
  glTexCoord2f(s0, t1);
  glVertex3f(-hx, height, -hz);
  glNormal3f(0, -1, 0);
  glTexCoord2f(s0, t0);
  glVertex3f(-hx, 0, -hz);
  glTexCoord2f(s1, t0);
  glVertex3f(hx, 0, -hz);
  glTexCoord2f(s1, t1);
  glVertex3f(hx, 0, hz);
  glTexCoord2f(s0, t1);
  glVertex3f(-hx, 0, hz);
  glEnd();
  glPopMatrix();
}

void OGL_disc(float x, float y, float z, float r) {
  const float hub = 0.38f * r;
  glPushMatrix();
  glTranslatef(x, y, z);
  // The two side caps: fans of 12 segments of radius hub at x = -r and x = r.
  for (int side = -1; side <= 1; side += 2) {
    glBegin(GL_TRIANGLE_FAN);
    glNormal3f((float)side, 0, 0);
    glVertex3f(side * r, 0, 0);
    for (int k = 0; k <= 12; ++k) {
      const int a = side < 0 ? k * 30 : 360 - k * 30;
      glVertex3f(side * r, hub * lookup_sin[a], hub * lookup_cos[a]);
    }
    glEnd();
  }
  // The profile from cap to tread to cap: (x, radius) pairs.
  const float ring[4][2] = {{-r, hub}, {-hub, r}, {hub, r}, {r, hub}};
  for (int s = 0; s < 3; ++s) {
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= 12; ++k) {
      const int a = k * 30;
      const float sa = lookup_sin[a], ca = lookup_cos[a];
      glNormal3f(0, sa, ca);
      glVertex3f(ring[s][0], ring[s][1] * sa, ring[s][1] * ca);
      glVertex3f(ring[s + 1][0], ring[s + 1][1] * sa, ring[s + 1][1] * ca);
    }
    glEnd();
  }
  glPopMatrix();
}

void accum_segment(float lo, float hi, const float* a, const float* b, float* box_min, float* box_max) {
  if (a[1] > b[1]) std::swap(a, b);
  if (a[1] == b[1]) {
    if (a[1] >= lo && a[1] <= hi) {
      add_point(a, box_min, box_max);
      add_point(b, box_min, box_max);
    }
    return;
  }
  if (lo == hi) {
    if (a[1] <= lo && lo <= b[1]) add_crossing(lo, a, b, box_min, box_max);
    return;
  }
  if (a[1] >= lo && a[1] <= hi) add_point(a, box_min, box_max);
  if (b[1] >= lo && b[1] <= hi) add_point(b, box_min, box_max);
  if (lo > a[1] && lo < b[1]) add_crossing(lo, a, b, box_min, box_max);
  if (hi > a[1] && hi < b[1]) add_crossing(hi, a, b, box_min, box_max);
}

void OGL_show_probe(const float* p) { d_probe.push_back(make_pt(p)); }
void OGL_show_cg(const float* p) { d_cg.push_back(make_pt(p)); }
void OGL_show_tri(const float* a, const float* b, const float* c) {
  d_tris.push_back(make_pt(a));
  d_tris.push_back(make_pt(b));
  d_tris.push_back(make_pt(c));
}
void OGL_show_force(const float* at, const float* force) {
  d_forces.push_back(make_pt(at));
  const float tip[3] = {at[0] + force[0], at[1] + force[1], at[2] + force[2]};
  d_forces.push_back(make_pt(tip));
}

void OGL_physics_counts(int* probes, int* cgs, int* tri_points, int* force_points) {
  *probes = (int)d_probe.size();
  *cgs = (int)d_cg.size();
  *tri_points = (int)d_tris.size();
  *force_points = (int)d_forces.size();
}

void OGL_draw_and_purge_physics(int purge) {
  OGL_setstate(fog_off, 0, lit_off, al_blend, deR_off, deW_off);
  glBegin(GL_LINES);
  for (size_t i = 0; i + 1 < d_forces.size(); i += 2) {
    glColor3f(0, 1, 0);
    glVertex3fv(d_forces[i].v);
    glColor3f(1, 0, 0);
    glVertex3fv(d_forces[i + 1].v);
  }
  glColor3f(0.4f, 0.4f, 1.0f);
  for (size_t i = 0; i + 2 < d_tris.size(); i += 3)
    for (int e = 0; e < 3; ++e) {
      glVertex3fv(d_tris[i + e].v);
      glVertex3fv(d_tris[i + (e + 1) % 3].v);
    }
  glEnd();
  glColor4f(0.5f, 0.5f, 0.5f, 0.2f);
  glBegin(GL_TRIANGLES);
  for (size_t i = 0; i + 2 < d_tris.size(); i += 3)
    for (int e = 0; e < 3; ++e) glVertex3fv(d_tris[i + e].v);
  glEnd();
  glPointSize(4);
  glColor3f(1.0f, 0.8f, 0);
  glBegin(GL_POINTS);
  for (const pt& p : d_cg) glVertex3fv(p.v);
  glEnd();
  glPointSize(1);
  glColor4f(1, 1, 1, 0.9f);
  glBegin(GL_POINTS);
  for (const pt& p : d_probe) glVertex3fv(p.v);
  glEnd();
  if (purge) {
    d_probe.clear();
    d_cg.clear();
    d_tris.clear();
    d_forces.clear();
  }
}
