// The matrix functions that read and write the current context's matrices.
#include <GL/gl.h>
#include "ogl/ogl_matrix.h"

void OGL_get_frustum_corners(float* c0, float* c1, float* c2, float* c3) {
  float proj[16], inv[16];
  glGetFloatv(GL_PROJECTION_MATRIX, proj);
  // A failed inversion leaves inv as it was: start it at the identity.
  setIdentityMatrixf(inv);
  invertMatrixf(inv, proj);
  const float ndc[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
  float* out[4] = {c0, c1, c2, c3};
  for (int k = 0; k < 4; ++k) {
    const float p[4] = {ndc[k][0], ndc[k][1], 1, 1};
    float v[4];
    multMatrixVecf(inv, p, v);
    for (int i = 0; i < 3; ++i) out[k][i] = v[i] / v[3];
  }
}

void OGL_modify_projection_matrix(const float* plane) {
  float mv[16], inv[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, mv);
  setIdentityMatrixf(inv);
  invertMatrixf(inv, mv);
  // The plane as a row vector times the inverse: its eye-space form.
  float q[4];
  for (int c = 0; c < 4; ++c)
    q[c] = plane[0] * inv[4 * c] + plane[1] * inv[4 * c + 1] + plane[2] * inv[4 * c + 2] + plane[3] * inv[4 * c + 3];
  if (q[3] >= 0) return;
  float p[16];
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  auto sgn = [](float v) { return v < 0 ? -1.0f : 1.0f; };
  const float k = 2.0f / (q[0] * (sgn(q[0]) + p[8]) / p[0] + q[1] * (sgn(q[1]) + p[9]) / p[5] - q[2] +
                          q[3] * (1 + p[10]) / p[14]);
  p[2] = k * q[0];
  p[6] = k * q[1];
  p[10] = k * q[2] + 1;
  p[14] = k * q[3];
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(p);
  glMatrixMode(GL_MODELVIEW);
}
