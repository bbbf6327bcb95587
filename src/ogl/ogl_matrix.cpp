// The builders and the inverse, written once for floats and doubles.
#include "ogl/ogl_matrix.h"
#include <cmath>
#include <cstring>
#include <utility>

namespace {

constexpr double deg_to_rad = 0.017453292519943295;

template <class T>
void identity(T* m) {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? T(1) : T(0);
}

template <class T>
int invert(T* out, const T* in) {
  // Rows of the augmented matrix [M | I].
  T a[4][8];
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) {
      a[r][c] = in[4 * c + r];
      a[r][4 + c] = (r == c) ? T(1) : T(0);
    }
  for (int col = 0; col < 4; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 4; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (pivot != col) std::swap(a[pivot], a[col]);
    if (a[col][col] == T(0)) return 0;
    for (int r = col + 1; r < 4; ++r) {
      const T f = a[r][col] / a[col][col];
      if (f == T(0)) continue;
      for (int c = col; c < 8; ++c)
        if (c < 4 || a[col][c] != T(0)) a[r][c] -= f * a[col][c];
    }
  }
  for (int col = 3; col >= 0; --col) {
    const T p = a[col][col];
    for (int c = 4; c < 8; ++c) a[col][c] /= p;
    for (int r = 0; r < col; ++r) {
      const T f = a[r][col];
      for (int c = 4; c < 8; ++c) a[r][c] -= f * a[col][c];
    }
  }
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) out[4 * c + r] = a[r][4 + c];
  return 1;
}

template <class T>
void frustum(T* m, T l, T r, T b, T t, T n, T f) {
  std::memset(m, 0, 16 * sizeof(T));
  m[0] = 2 * n / (r - l);
  m[5] = 2 * n / (t - b);
  m[8] = (r + l) / (r - l);
  m[9] = (t + b) / (t - b);
  m[10] = -(f + n) / (f - n);
  m[11] = -1;
  m[14] = -2 * f * n / (f - n);
}

template <class T>
void ortho(T* m, T l, T r, T b, T t, T n, T f) {
  std::memset(m, 0, 16 * sizeof(T));
  m[0] = 2 / (r - l);
  m[5] = 2 / (t - b);
  m[10] = -2 / (f - n);
  m[12] = -(r + l) / (r - l);
  m[13] = -(t + b) / (t - b);
  m[14] = -(f + n) / (f - n);
  m[15] = 1;
}

template <class T>
void normalise(T* v) {
  const T len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (len == T(0)) return;
  for (int i = 0; i < 3; ++i) v[i] /= len;
}

template <class T>
void cross(const T* a, const T* b, T* out) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

template <class T>
void look_at(T* m, T ex, T ey, T ez, T cx, T cy, T cz, T ux, T uy, T uz) {
  const T e[3] = {ex, ey, ez};
  T z[3] = {ex - cx, ey - cy, ez - cz};
  const T up[3] = {ux, uy, uz};
  normalise(z);
  T x[3], y[3];
  cross(up, z, x);
  cross(z, x, y);
  normalise(x);
  normalise(y);
  for (int i = 0; i < 3; ++i) {
    m[4 * i + 0] = x[i];
    m[4 * i + 1] = y[i];
    m[4 * i + 2] = z[i];
  }
  m[3] = m[7] = m[11] = 0;
  m[12] = -(x[0] * e[0] + x[1] * e[1] + x[2] * e[2]);
  m[13] = -(y[0] * e[0] + y[1] * e[1] + y[2] * e[2]);
  m[14] = -(z[0] * e[0] + z[1] * e[1] + z[2] * e[2]);
  m[15] = 1;
}

template <class T>
void translate(T* m, T x, T y, T z) {
  for (int r = 0; r < 4; ++r) m[12 + r] += m[r] * x + m[4 + r] * y + m[8 + r] * z;
}

template <class T>
void rotation(T* m, T angle, T x, T y, T z) {
  identity(m);
  // A zero axis names no rotation: test its length before the short paths,
  // which would otherwise take (0, 0, 0) for the x axis.
  const T len = std::sqrt(x * x + y * y + z * z);
  if (len <= T(0.0001)) return;
  const T rad = angle * T(deg_to_rad);
  const T s = std::sin(rad), c = std::cos(rad);
  if (y == 0 && z == 0) {
    m[5] = m[10] = c;
    m[6] = x > 0 ? s : -s;
    m[9] = -m[6];
    return;
  }
  if (x == 0 && z == 0) {
    m[0] = m[10] = c;
    m[8] = y > 0 ? s : -s;
    m[2] = -m[8];
    return;
  }
  if (x == 0 && y == 0) {
    m[0] = m[5] = c;
    m[1] = z > 0 ? s : -s;
    m[4] = -m[1];
    return;
  }
  x /= len;
  y /= len;
  z /= len;
  const T k = 1 - c;
  m[0] = x * x * k + c;
  m[4] = x * y * k - z * s;
  m[8] = x * z * k + y * s;
  m[1] = x * y * k + z * s;
  m[5] = y * y * k + c;
  m[9] = y * z * k - x * s;
  m[2] = x * z * k - y * s;
  m[6] = y * z * k + x * s;
  m[10] = z * z * k + c;
}

template <class T>
void multiply(const T* a, const T* b, T* out) {
  for (int c = 0; c < 4; ++c)
    for (int r = 0; r < 4; ++r)
      out[4 * c + r] = a[r] * b[4 * c] + a[4 + r] * b[4 * c + 1] + a[8 + r] * b[4 * c + 2] + a[12 + r] * b[4 * c + 3];
}

template <class T>
void multiply_into(T* m, const T* b) {
  T out[16];
  multiply(m, b, out);
  std::memcpy(m, out, sizeof(out));
}

}  // namespace

void setIdentityMatrixf(float* m) { identity(m); }
void setIdentityMatrixd(double* m) { identity(m); }
int invertMatrixf(float* out, const float* in) { return invert(out, in); }
int invertMatrixd(double* out, const double* in) { return invert(out, in); }

void buildFrustumMatrixf(float* m, float l, float r, float b, float t, float n, float f) { frustum(m, l, r, b, t, n, f); }
void buildFrustumMatrixd(double* m, double l, double r, double b, double t, double n, double f) {
  frustum(m, l, r, b, t, n, f);
}

void buildPerspectiveMatrixd(float* m, float fovy, float aspect, float n, float f) {
  const float h = n * std::tan(fovy * float(deg_to_rad) * 0.5f);
  frustum(m, -h * aspect, h * aspect, -h, h, n, f);
}
void buildPerspectiveMatrixd(double* m, double fovy, double aspect, double n, double f) {
  const double h = n * std::tan(fovy * deg_to_rad * 0.5);
  frustum(m, -h * aspect, h * aspect, -h, h, n, f);
}

void buildOrthoMatrixf(float* m, float l, float r, float b, float t, float n, float f) { ortho(m, l, r, b, t, n, f); }
void buildOrthoMatrixd(double* m, double l, double r, double b, double t, double n, double f) {
  ortho(m, l, r, b, t, n, f);
}

void buildLookAtMatrixf(float* m, float ex, float ey, float ez, float cx, float cy, float cz, float ux, float uy,
                        float uz) {
  look_at(m, ex, ey, ez, cx, cy, cz, ux, uy, uz);
}
void buildLookAtMatrixd(double* m, double ex, double ey, double ez, double cx, double cy, double cz, double ux,
                        double uy, double uz) {
  look_at(m, ex, ey, ez, cx, cy, cz, ux, uy, uz);
}

void applyTranslationf(float* m, float x, float y, float z) { translate(m, x, y, z); }
void applyTranslationd(double* m, double x, double y, double z) { translate(m, x, y, z); }

void buildRotationf(float* m, float angle, float x, float y, float z) { rotation(m, angle, x, y, z); }
void buildRotationd(double* m, double angle, double x, double y, double z) { rotation(m, angle, x, y, z); }

void applyRotationf(float* m, float angle, float x, float y, float z) {
  float r[16];
  rotation(r, angle, x, y, z);
  multiply_into(m, r);
}
void applyRotationd(double* m, double angle, double x, double y, double z) {
  double r[16];
  rotation(r, angle, x, y, z);
  multiply_into(m, r);
}

void multMatrixVecf(const float* m, const float* v, float* out) {
  for (int r = 0; r < 4; ++r) out[r] = m[r] * v[0] + m[4 + r] * v[1] + m[8 + r] * v[2] + m[12 + r] * v[3];
}
void multMatricesf(const float* a, const float* b, float* out) { multiply(a, b, out); }
