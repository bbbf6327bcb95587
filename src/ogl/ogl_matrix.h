// 4 by 4 matrices in the OpenGL layout: 16 values column by column (row r,
// column c at index 4c + r), acting on column vectors. The apply functions
// post-multiply (M becomes M times the new matrix), as the OpenGL matrix
// calls do. Angles are in degrees. Pure functions, any thread, except the two
// at the end, which talk to the current context.
#pragma once

// m = identity.
void setIdentityMatrixf(float* m);
void setIdentityMatrixd(double* m);
// out = inverse of in; 1 on success, 0 for a singular matrix (out untouched).
int invertMatrixf(float* out, const float* in);
int invertMatrixd(double* out, const double* in);
// m = the perspective matrix of the near-plane rectangle (as glFrustum).
void buildFrustumMatrixf(float* m, float l, float r, float b, float t, float n, float f);
void buildFrustumMatrixd(double* m, double l, double r, double b, double t, double n, double f);
// m = the frustum of a vertical view angle fovy and aspect width / height.
// Both precisions bear the same name; the float one takes the tangent in floats.
void buildPerspectiveMatrixd(float* m, float fovy, float aspect, float n, float f);
void buildPerspectiveMatrixd(double* m, double fovy, double aspect, double n, double f);
// m = the orthographic box matrix (as glOrtho).
void buildOrthoMatrixf(float* m, float l, float r, float b, float t, float n, float f);
void buildOrthoMatrixd(double* m, double l, double r, double b, double t, double n, double f);
// m = the viewing matrix from eye towards centre with up (as gluLookAt).
void buildLookAtMatrixf(float* m, float ex, float ey, float ez, float cx, float cy, float cz, float ux, float uy,
                        float uz);
void buildLookAtMatrixd(double* m, double ex, double ey, double ez, double cx, double cy, double cz, double ux,
                        double uy, double uz);
// m = m times the translation (x, y, z).
void applyTranslationf(float* m, float x, float y, float z);
void applyTranslationd(double* m, double x, double y, double z);
// m = the rotation by angle about (x, y, z) (as glRotate); an axis of length
// 0.0001 or less gives the identity.
void buildRotationf(float* m, float angle, float x, float y, float z);
void buildRotationd(double* m, double angle, double x, double y, double z);
// m = m times that rotation.
void applyRotationf(float* m, float angle, float x, float y, float z);
void applyRotationd(double* m, double angle, double x, double y, double z);

// out = m times the column vector v (four values); out must not be v.
void multMatrixVecf(const float* m, const float* v, float* out);
// out = a times b; out must be neither.
void multMatricesf(const float* a, const float* b, float* out);

// m = Ry(-a) Rx(b) Rz(-c), no translation.
void make_eulersf(float* m, float a, float b, float c);
// The a, b, c that make_eulersf would take to build the rotation of m; at
// b = +-90 degrees c is 0 and a carries the whole turn.
void extract_eulersf(const float* m, float* a, float* b, float* c);
// The projective map sending the corners (x1, y1), (x1, y2), (x2, y2), (x2, y1)
// of a rectangle to quad[0..1], [2..3], [4..5], [6..7]. 0 on success; -1 for
// a rectangle of no width or height, else the solver's status; out is the
// identity after any failure.
int make_affine_matrix(const float* quad, float x1, float y1, float x2, float y2, double* out);
// Object point to window point (as gluProject); 0 when the clip w is 0.
int gluProjectf(float x, float y, float z, const float* model, const float* proj, const int* viewport, float* wx,
                float* wy, float* wz);
// Window point back to object point (as gluUnProject); 0 when proj times
// model cannot be inverted or the result's w is 0. Outputs untouched on 0.
int gluUnProjectf(float wx, float wy, float wz, const float* model, const float* proj, const int* viewport, float* x,
                  float* y, float* z);

// The eye-space corners of the far plane of the current projection matrix:
// bottom left, bottom right, top left, top right (three floats each). A
// projection that cannot be inverted gives the corners of the unit cube.
void OGL_get_frustum_corners(float* c0, float* c1, float* c2, float* c3);
// Moves the near plane of the current projection onto the plane (a, b, c, d),
// given in the current modelview's coordinates, when the eye lies behind it
// (oblique near-plane clipping); leaves the matrix mode at the modelview.
void OGL_modify_projection_matrix(const float* plane);
