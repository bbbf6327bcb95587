// The camera: one projection and one modelview matrix in the OpenGL layout,
// the view volume that made the projection, and the side planes of a
// perspective frustum for culling. The viewport code sets up xcam for every
// view and loads its matrices into OpenGL. Main thread, context current.
#pragma once
#include "core/utl_stat.h"

class xcam_class {
 public:
  // Identity matrices, orthographic, modelview to be fetched before use.
  xcam_class();
  xcam_class(const xcam_class& other) = default;
  // Copies *other when it is not null; otherwise leaves the new camera unset.
  explicit xcam_class(const xcam_class* other);
  xcam_class& operator=(const xcam_class& other) = default;

  // Orthographic box; the modelview and the culling planes stay.
  void SetupOrtho(float left, float right, float bottom, float top, float near, float far);
  // Perspective frustum given by its near-plane rectangle (as glFrustum).
  void SetupFrustum(float left, float right, float bottom, float top, float near, float far);
  // Symmetric frustum of the whole vertical angle fovy (degrees).
  void SetupPerspective(float fovy, float aspect, float near, float far);
  // Pulls the fake far plane to distance, never beyond the real far plane.
  void SetFakeFarClippingPlane(float distance);
  void ResetFakeFarClippingPlane();
  void Identity();
  void Translate(float x, float y, float z);
  void Rotate(float angle, float x, float y, float z);
  void LookAtPtFromPt(float ex, float ey, float ez, float cx, float cy, float cz, float ux, float uy, float uz);
  // Looks at (x, y, z) from distance away along heading and elevation (degrees).
  void LookAtPtFromDir(float x, float y, float z, float heading, float elevation, float distance);
  // The camera's right and up directions in world space.
  void CalcBillboardCamera(float* right_out, float* up_out);
  // Right and up for sprites that stay upright while facing the camera.
  void CalcBillboardGround(float* right_out, float* up_out);
  // 0 for an orthographic camera (nothing written); else 1 and the cosines
  // of the horizontal and vertical half-angles to the outputs not null.
  int GetFOVHalfCosines(float* horizontal_out, float* vertical_out);
  // Fits this camera as an orthographic shadow camera looking along
  // direction, from distance back, around the slice of view between the
  // fractions near_fraction and far_fraction of its depth. Returns *this.
  xcam_class& LookAtCamera(const xcam_class& view, const float* direction, float distance, float near_fraction,
                           float far_fraction);
  // World bounds of the view volume cut at far_limit and between heights
  // y_min and y_max; 1 when not empty.
  int GetFrustumBounds(float far_limit, float y_min, float y_max, float* min_out, float* max_out);
  // A world point to interface pixels; viewport (x, y, width, height) or null
  // for the current one.
  void mtr_to_pix(const float* point, float* pixel_out, const float* viewport);

  unsigned char is_ortho = 0;
  float near_z = 0;
  float far_z = 0;
  float fake_far_z = 0;
  float cull_planes[4][3] = {};  // top, left, right, bottom; normals point inwards
  float ortho_top = 0, ortho_left = 0, ortho_right = 0, ortho_bottom = 0;
  unsigned char modelview_stale = 0;
  float projection[16];
  float modelview[16];

 private:
  void fetch_modelview_if_stale();
};

extern xcam_class xcam;

// Tuning values of the camera.
extern UTL_stat gKillCull;        // "perf/kill_cull": cull with the central tenth of the frustum
extern UTL_stat gKillClip;        // "perf/kill_clip": project only the central tenth
extern UTL_stat gExtraNearConst;  // "shadow/csm/pad_near_const": added in front of a shadow box
extern UTL_stat gExtraNearRatio;  // "shadow/csm/pad_near_ratio": share of its depth added in front
