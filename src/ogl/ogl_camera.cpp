#include "ogl/ogl_camera.h"
#include <GL/gl.h>
#include <algorithm>
#include <cmath>
#include <cstring>
#include "ogl/ogl_draw.h"
#include "ogl/ogl_matrix.h"
#include "shell/wins.h"

xcam_class xcam;

UTL_stat gKillCull("perf/kill_cull", stat_tuning, 0);
UTL_stat gKillClip("perf/kill_clip", stat_tuning, 0);
UTL_stat gExtraNearConst("shadow/csm/pad_near_const", stat_tuning, 5);
UTL_stat gExtraNearRatio("shadow/csm/pad_near_ratio", stat_tuning, 1);

namespace {

void normalise(float* v) {
  const float len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (len > 0)
    for (int i = 0; i < 3; ++i) v[i] /= len;
}

void cross(const float* a, const float* b, float* out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// The inverse of m, or the identity when m has none: never an unset matrix.
void inverse_or_identity(float* out, const float* m) {
  setIdentityMatrixf(out);
  invertMatrixf(out, m);
}

// The central tenth of [a, b], kept inside it.
void central_tenth(float a, float b, float* a_out, float* b_out) {
  const float lo = std::min(a, b), hi = std::max(a, b);
  *a_out = std::clamp(a + 0.45f * (b - a), lo, hi);
  *b_out = std::clamp(a + 0.55f * (b - a), lo, hi);
}

}  // namespace

xcam_class::xcam_class() {
  setIdentityMatrixf(projection);
  setIdentityMatrixf(modelview);
  is_ortho = 1;
  modelview_stale = 1;
}

xcam_class::xcam_class(const xcam_class* other) {
  if (other) *this = *other;
}

void xcam_class::SetupOrtho(float left, float right, float bottom, float top, float near, float far) {
  is_ortho = 1;
  buildOrthoMatrixf(projection, left, right, bottom, top, near, far);
  ortho_left = left;
  ortho_right = right;
  ortho_bottom = bottom;
  ortho_top = top;
  near_z = -near;
  far_z = fake_far_z = -far;
}

void xcam_class::SetupFrustum(float l, float r, float b, float t, float n, float f) {
  is_ortho = 0;
  float l2, r2, b2, t2;
  central_tenth(l, r, &l2, &r2);
  central_tenth(b, t, &b2, &t2);
  if (gKillClip.value != 0)
    buildFrustumMatrixf(projection, l2, r2, b2, t2, n, f);
  else
    buildFrustumMatrixf(projection, l, r, b, t, n, f);
  if (gKillCull.value != 0) l = l2, r = r2, b = b2, t = t2;
  float tl[3] = {l, t, -n}, tr[3] = {r, t, -n}, bl[3] = {l, b, -n}, br[3] = {r, b, -n};
  normalise(tl);
  normalise(tr);
  normalise(bl);
  normalise(br);
  cross(tl, tr, cull_planes[0]);
  cross(bl, tl, cull_planes[1]);
  cross(tr, br, cull_planes[2]);
  cross(br, bl, cull_planes[3]);
  for (auto& p : cull_planes) normalise(p);
  near_z = -n;
  far_z = fake_far_z = -f;
}

void xcam_class::SetupPerspective(float fovy, float aspect, float near, float far) {
  const float h = near * std::tan(fovy * 3.14159265358979f / 360.0f);
  SetupFrustum(-h * aspect, h * aspect, -h, h, near, far);
}

void xcam_class::SetFakeFarClippingPlane(float distance) { fake_far_z = std::max(-distance, far_z); }
void xcam_class::ResetFakeFarClippingPlane() { fake_far_z = far_z; }
void xcam_class::Identity() { setIdentityMatrixf(modelview); }
void xcam_class::Translate(float x, float y, float z) { applyTranslationf(modelview, x, y, z); }
void xcam_class::Rotate(float angle, float x, float y, float z) { applyRotationf(modelview, angle, x, y, z); }

void xcam_class::LookAtPtFromPt(float ex, float ey, float ez, float cx, float cy, float cz, float ux, float uy,
                                float uz) {
  buildLookAtMatrixf(modelview, ex, ey, ez, cx, cy, cz, ux, uy, uz);
}

void xcam_class::LookAtPtFromDir(float x, float y, float z, float heading, float elevation, float distance) {
  const float h = (float)(heading * 0.017453292519943295), e = (float)(elevation * 0.017453292519943295);
  LookAtPtFromPt(x + distance * std::cos(e) * std::cos(h), y + distance * std::sin(e),
                 z + distance * std::cos(e) * std::sin(h), x, y, z, 0, 1, 0);
}

void xcam_class::fetch_modelview_if_stale() {
  if (!modelview_stale) return;
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
  modelview_stale = 0;
}

void xcam_class::CalcBillboardCamera(float* right_out, float* up_out) {
  fetch_modelview_if_stale();
  for (int i = 0; i < 3; ++i) {
    right_out[i] = modelview[4 * i];
    up_out[i] = modelview[4 * i + 1];
  }
}

void xcam_class::CalcBillboardGround(float* right_out, float* up_out) {
  fetch_modelview_if_stale();
  const float f[3] = {-modelview[2], -modelview[6], -modelview[10]};
  right_out[0] = -f[2];
  right_out[1] = 0;
  right_out[2] = f[0];
  normalise(right_out);
  cross(right_out, f, up_out);
  normalise(up_out);
}

int xcam_class::GetFOVHalfCosines(float* horizontal_out, float* vertical_out) {
  if (is_ortho) return 0;
  if (horizontal_out) *horizontal_out = (cull_planes[1][0] - cull_planes[2][0]) / 2;
  if (vertical_out) *vertical_out = (cull_planes[3][1] - cull_planes[0][1]) / 2;
  return 1;
}

xcam_class& xcam_class::LookAtCamera(const xcam_class& view, const float* dir, float dist, float nf, float ff) {
  float pi[16], mi[16];
  inverse_or_identity(pi, view.projection);
  inverse_or_identity(mi, view.modelview);
  const float origin[4] = {0, 0, 0, 1};
  float p[4];
  multMatrixVecf(mi, origin, p);
  LookAtPtFromPt(p[0] - dist * dir[0], p[1] - dist * dir[1], p[2] - dist * dir[2], p[0], p[1], p[2], 0, 1, 0);

  const float xy[4][2] = {{-1, -1}, {-1, 1}, {1, -1}, {1, 1}};
  float lo[3] = {9.9e9f, 9.9e9f, 9.9e9f}, hi[3] = {-9.9e9f, -9.9e9f, -9.9e9f};
  for (const auto& c : xy) {
    float ends[2][4];
    for (int k = 0; k < 2; ++k) {
      const float ndc[4] = {c[0], c[1], k == 0 ? -1.0f : 1.0f, 1};
      float e[4], w[4];
      multMatrixVecf(pi, ndc, e);
      multMatrixVecf(mi, e, w);
      const float world[4] = {w[0] / w[3], w[1] / w[3], w[2] / w[3], 1};
      multMatrixVecf(modelview, world, ends[k]);
    }
    for (int i = 0; i < 3; ++i) {
      const float n = ends[0][i], f = ends[1][i];
      const float a = std::min(n, f), b = std::max(n, f);
      const float s[2] = {std::clamp(n + nf * (f - n), a, b), std::clamp(n + ff * (f - n), a, b)};
      for (float v : s) {
        lo[i] = std::min(lo[i], v);
        hi[i] = std::max(hi[i], v);
      }
    }
  }
  const float zn = hi[2] + (hi[2] - lo[2]) * gExtraNearRatio.value + gExtraNearConst.value;
  is_ortho = 1;
  buildOrthoMatrixf(projection, lo[0], hi[0], lo[1], hi[1], -zn, -lo[2]);
  ortho_left = lo[0];
  ortho_right = hi[0];
  ortho_bottom = lo[1];
  ortho_top = hi[1];
  near_z = zn;
  far_z = fake_far_z = lo[2];
  return *this;
}

int xcam_class::GetFrustumBounds(float a, float y0, float y1, float* min_out, float* max_out) {
  float mi[16];
  inverse_or_identity(mi, modelview);
  const float zf = std::max(-a, far_z);
  // Near and far end of each of the four edges: top left, top right, bottom
  // left, bottom right.
  float corner[4][2][3];
  const float xy[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};
  float pi[16];
  if (!is_ortho) inverse_or_identity(pi, projection);
  for (int k = 0; k < 4; ++k)
    for (int end = 0; end < 2; ++end) {
      float eye[4];
      if (is_ortho) {
        eye[0] = xy[k][0] < 0 ? ortho_left : ortho_right;
        eye[1] = xy[k][1] > 0 ? ortho_top : ortho_bottom;
        eye[2] = end == 0 ? near_z : zf;
        eye[3] = 1;
      } else {
        const float ndc[4] = {xy[k][0], xy[k][1], end == 0 ? -1.0f : 1.0f, 1};
        multMatrixVecf(pi, ndc, eye);
        for (int i = 0; i < 3; ++i) eye[i] /= eye[3];
        eye[3] = 1;
        if (eye[2] < -a) {
          const float s = -a / eye[2];
          for (int i = 0; i < 3; ++i) eye[i] *= s;
        }
      }
      float w[4];
      multMatrixVecf(mi, eye, w);
      for (int i = 0; i < 3; ++i) corner[k][end][i] = w[i];
    }
  for (int i = 0; i < 3; ++i) {
    min_out[i] = 9.9e9f;
    max_out[i] = -9.9e9f;
  }
  static const int face[4][2] = {{0, 1}, {1, 3}, {3, 2}, {2, 0}};
  for (int k = 0; k < 4; ++k) accum_segment(y0, y1, corner[k][0], corner[k][1], min_out, max_out);
  for (int end = 0; end < 2; ++end)
    for (const auto& e : face) accum_segment(y0, y1, corner[e[0]][end], corner[e[1]][end], min_out, max_out);
  return max_out[0] >= min_out[0];
}

void xcam_class::mtr_to_pix(const float* point, float* pixel_out, const float* viewport) {
  const float p[4] = {point[0], point[1], point[2], 1};
  float e[4], c[4];
  multMatrixVecf(modelview, p, e);
  multMatrixVecf(projection, e, c);
  if (c[3] != 0) {
    c[0] /= c[3];
    c[1] /= c[3];
  }
  float vp[4];
  if (viewport)
    std::memcpy(vp, viewport, sizeof(vp));
  else
    glGetFloatv(GL_VIEWPORT, vp);
  // The interface has no vertical offset in this program.
  const float ui_offset_y = 0;
  pixel_out[0] = ((c[0] + 1) / 2 * vp[2] + vp[0] - wins.ui_offset_x) / wins.ui_scale;
  pixel_out[1] = ((c[1] + 1) / 2 * vp[3] + vp[1] - ui_offset_y) / wins.ui_scale;
}
