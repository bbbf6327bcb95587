// The matrix functions against the driver's own matrix calls and GLU.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>
#include <cmath>
#include <vector>
#include "ogl/ogl_matrix.h"

namespace {

template <class A, class B>
void expect_near16(const A* got, const B* want, double tol, const std::string& what) {
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(got[i], want[i], tol) << what << " element " << i;
}

// What the driver's modelview holds after f runs on a fresh identity.
template <class F>
std::vector<float> driver_matrix(F f, const float* start = nullptr) {
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  if (start)
    glLoadMatrixf(start);
  else
    glLoadIdentity();
  f();
  std::vector<float> m(16);
  glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
  glPopMatrix();
  return m;
}

const float kStart[16] = {0.5f, 1, 0, 0, -1, 0.5f, 0.25f, 0, 0, 0.3f, 2, 0, 3, -2, 1, 1};

}  // namespace

TEST(Matrix, BuildersMatchTheDriver) {
  float m[16];
  double d[16];
  buildOrthoMatrixf(m, -3, 5, -1, 7, 0.5f, 20);
  buildOrthoMatrixd(d, -3, 5, -1, 7, 0.5, 20);
  std::vector<float> want = driver_matrix([] { glOrtho(-3, 5, -1, 7, 0.5, 20); });
  expect_near16(m, want.data(), 1e-5, "ortho");
  expect_near16(d, want.data(), 1e-5, "ortho d");

  buildFrustumMatrixf(m, -1, 2, -0.5f, 1.5f, 1, 300);
  buildFrustumMatrixd(d, -1, 2, -0.5, 1.5, 1, 300);
  want = driver_matrix([] { glFrustum(-1, 2, -0.5, 1.5, 1, 300); });
  expect_near16(m, want.data(), 1e-5, "frustum");
  expect_near16(d, want.data(), 1e-5, "frustum d");

  buildPerspectiveMatrixd(m, 60.0f, 1.5f, 0.1f, 100.0f);
  buildPerspectiveMatrixd(d, 60.0, 1.5, 0.1, 100.0);
  want = driver_matrix([] { gluPerspective(60, 1.5, 0.1, 100); });
  expect_near16(m, want.data(), 1e-5, "perspective");
  expect_near16(d, want.data(), 1e-5, "perspective d");

  struct Rot {
    float angle, x, y, z;
  };
  const Rot rots[] = {{30, 1, 0, 0},  {-50, -1, 0, 0}, {75, 0, 1, 0}, {20, 0, -3, 0},
                      {90, 0, 0, 1},  {-15, 0, 0, -2}, {33, 1, 2, 3}, {200, -0.5f, 0.2f, 0.7f}};
  for (const Rot& r : rots) {
    const std::string what = "rotation " + std::to_string(r.angle) + " about " + std::to_string(r.x) + "," +
                             std::to_string(r.y) + "," + std::to_string(r.z);
    buildRotationf(m, r.angle, r.x, r.y, r.z);
    buildRotationd(d, r.angle, r.x, r.y, r.z);
    want = driver_matrix([&] { glRotatef(r.angle, r.x, r.y, r.z); });
    expect_near16(m, want.data(), 1e-5, what);
    expect_near16(d, want.data(), 1e-5, what + " d");
    std::copy(kStart, kStart + 16, m);
    std::copy(kStart, kStart + 16, d);
    applyRotationf(m, r.angle, r.x, r.y, r.z);
    applyRotationd(d, r.angle, r.x, r.y, r.z);
    want = driver_matrix([&] { glRotatef(r.angle, r.x, r.y, r.z); }, kStart);
    expect_near16(m, want.data(), 1e-5, "apply " + what);
    expect_near16(d, want.data(), 1e-5, "apply " + what + " d");
  }

  std::copy(kStart, kStart + 16, m);
  std::copy(kStart, kStart + 16, d);
  applyTranslationf(m, 2, -3, 4);
  applyTranslationd(d, 2, -3, 4);
  want = driver_matrix([] { glTranslatef(2, -3, 4); }, kStart);
  expect_near16(m, want.data(), 1e-5, "translation");
  expect_near16(d, want.data(), 1e-5, "translation d");

  buildLookAtMatrixf(m, 3, 4, 5, -1, 0.5f, 2, 0, 1, 0.2f);
  buildLookAtMatrixd(d, 3, 4, 5, -1, 0.5, 2, 0, 1, 0.2);
  want = driver_matrix([] { gluLookAt(3, 4, 5, -1, 0.5, 2, 0, 1, 0.2); });
  expect_near16(m, want.data(), 1e-5, "look-at");
  expect_near16(d, want.data(), 1e-5, "look-at d");
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST(Matrix, ProjectAndUnprojectMatchGlu) {
  float model[16], proj[16];
  buildLookAtMatrixf(model, 1, 2, 8, 0, 0, 0, 0, 1, 0);
  buildPerspectiveMatrixd(proj, 50.0f, 4.0f / 3, 0.5f, 50.0f);
  const int vp[4] = {10, 20, 640, 480};
  double md[16], pd[16];
  for (int i = 0; i < 16; ++i) md[i] = model[i], pd[i] = proj[i];
  const float pts[][3] = {{0, 0, 0}, {1, -1, 2}, {-2, 0.5f, -3}};
  for (const auto& p : pts) {
    float wx, wy, wz;
    ASSERT_EQ(gluProjectf(p[0], p[1], p[2], model, proj, vp, &wx, &wy, &wz), 1);
    double gx, gy, gz;
    ASSERT_EQ(gluProject(p[0], p[1], p[2], md, pd, vp, &gx, &gy, &gz), GL_TRUE);
    EXPECT_NEAR(wx, gx, 1e-3);  // window pixels: a relative 1e-5 of hundreds
    EXPECT_NEAR(wy, gy, 1e-3);
    EXPECT_NEAR(wz, gz, 1e-5);
    float x, y, z;
    ASSERT_EQ(gluUnProjectf(wx, wy, wz, model, proj, vp, &x, &y, &z), 1);
    double ux, uy, uz;
    ASSERT_EQ(gluUnProject(gx, gy, gz, md, pd, vp, &ux, &uy, &uz), GL_TRUE);
    EXPECT_NEAR(x, ux, 1e-3);
    EXPECT_NEAR(y, uy, 1e-3);
    EXPECT_NEAR(z, uz, 1e-3);
    EXPECT_NEAR(x, p[0], 1e-3);
    EXPECT_NEAR(y, p[1], 1e-3);
    EXPECT_NEAR(z, p[2], 1e-3);
  }
  // A point in the eye's plane has clip w 0; a singular projection cannot unproject.
  float wx = 7, wy = 7, wz = 7;
  EXPECT_EQ(gluProjectf(1, 2, 8, model, proj, vp, &wx, &wy, &wz), 0);
  EXPECT_EQ(wx, 7);
  float zero[16] = {};
  float x = 7, y = 7, z = 7;
  EXPECT_EQ(gluUnProjectf(100, 100, 0.5f, model, zero, vp, &x, &y, &z), 0);
  EXPECT_EQ(x, 7);
}

TEST(Matrix, InverseAndItsFailure) {
  float inv[16], back[16];
  ASSERT_EQ(invertMatrixf(inv, kStart), 1);
  ASSERT_EQ(invertMatrixf(back, inv), 1);
  expect_near16(back, kStart, 1e-5, "inverse of the inverse");
  double ds[16], dinv[16];
  for (int i = 0; i < 16; ++i) ds[i] = kStart[i];
  ASSERT_EQ(invertMatrixd(dinv, ds), 1);
  expect_near16(dinv, inv, 1e-5, "double inverse");
  // A zero pivot in the first column, resolved by a row exchange.
  const float swap[16] = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  ASSERT_EQ(invertMatrixf(inv, swap), 1);
  expect_near16(inv, swap, 0, "permutation");

  float zero_row[16];
  std::copy(kStart, kStart + 16, zero_row);
  for (int c = 0; c < 4; ++c) zero_row[4 * c + 2] = 0;
  float out[16];
  for (int i = 0; i < 16; ++i) out[i] = 42;
  EXPECT_EQ(invertMatrixf(out, zero_row), 0);
  for (float v : out) EXPECT_EQ(v, 42);
  double dz[16], dout[16];
  for (int i = 0; i < 16; ++i) dz[i] = zero_row[i], dout[i] = 42;
  EXPECT_EQ(invertMatrixd(dout, dz), 0);
  for (double v : dout) EXPECT_EQ(v, 42);
}

TEST(Matrix, RotationEdgeCases) {
  float m[16], id[16];
  setIdentityMatrixf(id);
  buildRotationf(m, 90, 0, 0, 1);
  EXPECT_NEAR(m[1], 1, 1e-6);
  EXPECT_NEAR(m[4], -1, 1e-6);
  EXPECT_NEAR(m[0], 0, 1e-6);
  // No axis, or one too short to name a direction, is no rotation: not the
  // x axis of the short path.
  const float axes[][3] = {{0, 0, 0}, {0.0001f, 0, 0}, {0, -0.00005f, 0}, {0.00005f, 0.00005f, 0.00005f}};
  for (const auto& a : axes) {
    buildRotationf(m, 40, a[0], a[1], a[2]);
    expect_near16(m, id, 0, "short axis");
    double d[16];
    buildRotationd(d, 40, a[0], a[1], a[2]);
    expect_near16(d, id, 0, "short axis d");
    float k[16];
    std::copy(kStart, kStart + 16, k);
    applyRotationf(k, 40, a[0], a[1], a[2]);
    expect_near16(k, kStart, 0, "apply short axis");
  }
}

TEST(Matrix, EulerRoundTrips) {
  struct Case {
    float a, b, c;
    float want[3];
  };
  const Case cases[] = {
      {10, 20, 30, {10, 20, 30}},          {-170, 45, 100, {-170, 45, 100}}, {0, -89, 0, {0, -89, 0}},
      {120, 89.5f, -60, {120, 89.5f, -60}}, {30, 90, 10, {20, 90, 0}},       {30, -90, 10, {40, -90, 0}},
  };
  for (const Case& c : cases) {
    float m[16], a, b, cc;
    make_eulersf(m, c.a, c.b, c.c);
    // The same rotation the driver builds as Ry(-a) Rx(b) Rz(-c).
    const std::vector<float> want = driver_matrix([&] {
      glRotatef(-c.a, 0, 1, 0);
      glRotatef(c.b, 1, 0, 0);
      glRotatef(-c.c, 0, 0, 1);
    });
    expect_near16(m, want.data(), 1e-5, "euler matrix");
    extract_eulersf(m, &a, &b, &cc);
    const float tol = std::fabs(std::fabs(c.b) - 90) < 1 ? 0.05f : 1e-3f;
    EXPECT_NEAR(a, c.want[0], tol) << c.a << "," << c.b << "," << c.c;
    EXPECT_NEAR(b, c.want[1], tol) << c.a << "," << c.b << "," << c.c;
    EXPECT_NEAR(cc, c.want[2], tol) << c.a << "," << c.b << "," << c.c;
  }
}

TEST(Matrix, AffineFit) {
  double out[16], id[16];
  setIdentityMatrixd(id);
  const float own[8] = {2, 3, 2, 7, 6, 7, 6, 3};
  ASSERT_EQ(make_affine_matrix(own, 2, 3, 6, 7, out), 0);
  expect_near16(out, id, 1e-9, "own corners");

  for (int i = 0; i < 16; ++i) out[i] = 5;
  EXPECT_EQ(make_affine_matrix(own, 2, 3, 2, 7, out), -1);
  expect_near16(out, id, 0, "no width");
  EXPECT_EQ(make_affine_matrix(own, 2, 3, 6, 3, out), -1);
  expect_near16(out, id, 0, "no height");

  // A trapezoid, and the same one with the corners mirrored so that the
  // weight at the first corner comes out negative before the sign flip.
  const float quads[][8] = {{0, 0, 1, 4, 3, 4, 4, 0}, {-1, 2, 0.5f, 5, 2, 4.5f, 3, 1}};
  for (const auto& q : quads) {
    ASSERT_EQ(make_affine_matrix(q, 10, 20, 30, 60, out), 0);
    const double u[4] = {10, 10, 30, 30}, v[4] = {20, 60, 60, 20};
    for (int k = 0; k < 4; ++k) {
      const double x = out[0] * u[k] + out[4] * v[k] + out[12];
      const double y = out[1] * u[k] + out[5] * v[k] + out[13];
      const double w = out[3] * u[k] + out[7] * v[k] + out[15];
      EXPECT_NEAR(x / w, q[2 * k], 1e-9) << "corner " << k;
      EXPECT_NEAR(y / w, q[2 * k + 1], 1e-9) << "corner " << k;
    }
    EXPECT_GT(out[3] * 10 + out[7] * 20 + out[15], 0);
    EXPECT_EQ(out[10], 1);
  }
  // Three corners on one point: the solver reports the singular system.
  const float collapsed[8] = {1, 1, 1, 1, 1, 1, 4, 4};
  EXPECT_GT(make_affine_matrix(collapsed, 0, 0, 1, 1, out), 0);
  expect_near16(out, id, 0, "singular");
}

TEST(Matrix, FrustumCornersAndObliqueNearPlane) {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glFrustum(-1, 1, -0.5, 0.5, 1, 100);
  float c[4][3];
  OGL_get_frustum_corners(c[0], c[1], c[2], c[3]);
  const float want[4][3] = {{-100, -50, -100}, {100, -50, -100}, {-100, 50, -100}, {100, 50, -100}};
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(c[k][i], want[k][i], 1e-3) << "corner " << k;

  // A projection with no inverse reads back the identity's corners, never
  // an unset matrix.
  const float zero[16] = {};
  glLoadMatrixf(zero);
  OGL_get_frustum_corners(c[0], c[1], c[2], c[3]);
  const float cube[4][3] = {{-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1}};
  for (int k = 0; k < 4; ++k)
    for (int i = 0; i < 3; ++i) EXPECT_EQ(c[k][i], cube[k][i]) << "corner " << k;

  // The plane z = -5 (kept side z < -5) becomes the near plane.
  glLoadIdentity();
  glFrustum(-1, 1, -1, 1, 1, 100);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  const float plane[4] = {0, 0, -1, -5};
  glMatrixMode(GL_PROJECTION);
  OGL_modify_projection_matrix(plane);
  GLint mode = 0;
  glGetIntegerv(GL_MATRIX_MODE, &mode);
  EXPECT_EQ(mode, GL_MODELVIEW);
  float p[16];
  glGetFloatv(GL_PROJECTION_MATRIX, p);
  for (float x : {0.0f, 3.0f}) {
    const float z = -5;
    const float cz = p[2] * x + p[10] * z + p[14], cw = p[3] * x + p[11] * z + p[15];
    EXPECT_NEAR(cz / cw, -1, 1e-5) << "x " << x;
  }
  // With the eye in front of the plane nothing changes.
  float before[16], after[16];
  glGetFloatv(GL_PROJECTION_MATRIX, before);
  const float front[4] = {0, 0, 1, 5};
  OGL_modify_projection_matrix(front);
  glGetFloatv(GL_PROJECTION_MATRIX, after);
  expect_near16(after, before, 0, "unchanged");
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
