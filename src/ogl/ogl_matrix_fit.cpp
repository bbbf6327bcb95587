// Euler angles, the rectangle-to-quad fit and point projection.
#include <cmath>
#include "ogl/ogl_matrix.h"

// LAPACK's general solver, Fortran calling convention with 32-bit integers.
// Declared here rather than through f2c.h, whose min/max/abs macros break
// the standard library.
extern "C" void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b, const int* ldb,
                       int* info);

namespace {
// The degree and radian factors of the shared header, as floats.
constexpr float deg_to_radf = 0.017453294f;
constexpr float rad_to_degf = 57.295776f;
}  // namespace

void make_eulersf(float* m, float a, float b, float c) {
  const float sa = std::sin(a * deg_to_radf), ca = std::cos(a * deg_to_radf);
  const float sb = std::sin(b * deg_to_radf), cb = std::cos(b * deg_to_radf);
  const float sc = std::sin(c * deg_to_radf), cc = std::cos(c * deg_to_radf);
  m[0] = ca * cc + sa * sb * sc;
  m[1] = -sc * cb;
  m[2] = sa * cc - sb * sc * ca;
  m[3] = 0;
  m[4] = ca * sc - sa * sb * cc;
  m[5] = cc * cb;
  m[6] = sb * cc * ca + sc * sa;
  m[7] = 0;
  m[8] = -cb * sa;
  m[9] = -sb;
  m[10] = ca * cb;
  m[11] = 0;
  m[12] = m[13] = m[14] = 0;
  m[15] = 1;
}

void extract_eulersf(const float* m, float* a, float* b, float* c) {
  const float y = -m[9];
  float k2 = 1 - y * y;
  if (k2 < 0) k2 = 0;
  if (k2 > 1) k2 = 1;
  const float k = std::sqrt(k2);
  if (k != 0) {
    *a = std::atan2(m[8] / -k, m[10] / k) * rad_to_degf;
    *b = std::atan2(y, k) * rad_to_degf;
    *c = std::atan2(-m[1] / k, m[5] / k) * rad_to_degf;
  } else {
    *a = std::atan2(m[2], m[0]) * rad_to_degf;
    *b = std::atan2(y, k) * rad_to_degf;
    *c = 0;
  }
}

int make_affine_matrix(const float* quad, float x1, float y1, float x2, float y2, double* out) {
  setIdentityMatrixd(out);
  if (x1 == x2 || y1 == y2) return -1;
  const double u[4] = {x1, x1, x2, x2};
  const double v[4] = {y1, y2, y2, y1};
  // The 8 by 8 system, column by column: a[8 * col + row].
  double a[64], rhs[8];
  for (int k = 0; k < 4; ++k) {
    const double X = quad[2 * k], Y = quad[2 * k + 1];
    const double row_x[8] = {u[k], v[k], 1, 0, 0, 0, -u[k] * X, -v[k] * X};
    const double row_y[8] = {0, 0, 0, u[k], v[k], 1, -u[k] * Y, -v[k] * Y};
    for (int col = 0; col < 8; ++col) {
      a[8 * col + 2 * k] = row_x[col];
      a[8 * col + 2 * k + 1] = row_y[col];
    }
    rhs[2 * k] = X;
    rhs[2 * k + 1] = Y;
  }
  const int n = 8, nrhs = 1;
  int ipiv[8], info = 0;
  dgesv_(&n, &nrhs, a, &n, ipiv, rhs, &n, &info);
  if (info != 0) return info;
  const double* s = rhs;  // a, b, c, d, e, f, g, h
  // Rows (a, b, 0, c), (d, e, 0, f), (0, 0, 1, 0), (g, h, 0, 1), column-major.
  const double rows[4][4] = {{s[0], s[1], 0, s[2]}, {s[3], s[4], 0, s[5]}, {0, 0, 1, 0}, {s[6], s[7], 0, 1}};
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out[4 * c + r] = rows[r][c];
  // The homogeneous weight at the first corner must come out positive.
  if (s[6] * x1 + s[7] * y1 + 1 < 0)
    for (int i = 0; i < 16; ++i) out[i] = -out[i];
  return 0;
}

int gluProjectf(float x, float y, float z, const float* model, const float* proj, const int* viewport, float* wx,
                float* wy, float* wz) {
  const float p[4] = {x, y, z, 1};
  float e[4], v[4];
  multMatrixVecf(model, p, e);
  multMatrixVecf(proj, e, v);
  if (v[3] == 0) return 0;
  *wx = viewport[0] + (v[0] / v[3] + 1) * viewport[2] / 2;
  *wy = viewport[1] + (v[1] / v[3] + 1) * viewport[3] / 2;
  *wz = (v[2] / v[3] + 1) / 2;
  return 1;
}

int gluUnProjectf(float wx, float wy, float wz, const float* model, const float* proj, const int* viewport, float* x,
                  float* y, float* z) {
  float a[16], inv[16];
  multMatricesf(proj, model, a);
  if (!invertMatrixf(inv, a)) return 0;
  const float n[4] = {2 * (wx - viewport[0]) / viewport[2] - 1, 2 * (wy - viewport[1]) / viewport[3] - 1, 2 * wz - 1,
                      1};
  float v[4];
  multMatrixVecf(inv, n, v);
  if (v[3] == 0) return 0;
  *x = v[0] / v[3];
  *y = v[1] / v[3];
  *z = v[2] / v[3];
  return 1;
}
