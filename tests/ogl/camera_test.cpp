// The camera: its frustum planes, tuning values, projection to pixels and the
// shadow-camera fit.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <cmath>
#include "core/utl_stat.h"
#include "ogl/ogl_camera.h"
#include "ogl/ogl_matrix.h"
#include "shell/wins.h"

namespace {
struct Camera : testing::Test {
  void SetUp() override {
    gKillCull.value = gKillClip.value = 0;
    gExtraNearConst.value = 5;
    gExtraNearRatio.value = 1;
    wins.ui_offset_x = 0;
    wins.ui_scale = 1;
  }
  void TearDown() override { SetUp(); }
};
}  // namespace

TEST_F(Camera, StatisticsAreRegisteredWithTheirStartValues) {
  struct Case {
    UTL_stat* stat;
    const char* name;
    float value;
  } const cases[] = {{&gKillCull, "perf/kill_cull", 0},
                     {&gKillClip, "perf/kill_clip", 0},
                     {&gExtraNearConst, "shadow/csm/pad_near_const", 5},
                     {&gExtraNearRatio, "shadow/csm/pad_near_ratio", 1}};
  for (const Case& c : cases) {
    EXPECT_STREQ(c.stat->name, c.name);
    EXPECT_EQ(c.stat->type, stat_tuning);
    EXPECT_EQ(c.stat->value, c.value) << c.name;
  }
}

TEST_F(Camera, ConstructionAndCopies) {
  xcam_class cam;
  EXPECT_EQ(cam.is_ortho, 1);
  EXPECT_EQ(cam.modelview_stale, 1);
  float id[16];
  setIdentityMatrixf(id);
  EXPECT_EQ(std::vector<float>(cam.projection, cam.projection + 16), std::vector<float>(id, id + 16));
  float h = 7, v = 7;
  EXPECT_EQ(cam.GetFOVHalfCosines(&h, &v), 0);
  EXPECT_EQ(h, 7);
  cam.SetupFrustum(-1, 1, -1, 1, 1, 100);
  xcam_class copy(&cam), by_ref(cam);
  EXPECT_EQ(copy.far_z, -100);
  EXPECT_EQ(by_ref.projection[11], -1);
}

TEST_F(Camera, FrustumPlanesPointInwards) {
  xcam_class cam;
  cam.SetupFrustum(-1, 1, -1, 1, 1, 100);
  const float r = std::sqrt(0.5f);
  const float want[4][3] = {{0, -r, -r}, {r, 0, -r}, {-r, 0, -r}, {0, r, -r}};  // top, left, right, bottom
  for (int p = 0; p < 4; ++p) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(cam.cull_planes[p][i], want[p][i], 1e-6) << "plane " << p;
    EXPECT_GE(-cam.cull_planes[p][2], 0) << "the point (0, 0, -1) lies inside plane " << p;
  }
  float h = 0, v = 0;
  EXPECT_EQ(cam.GetFOVHalfCosines(&h, &v), 1);
  EXPECT_NEAR(h, 0.7071f, 1e-4);
  EXPECT_NEAR(v, 0.7071f, 1e-4);
  EXPECT_EQ(cam.GetFOVHalfCosines(nullptr, &v), 1);
  EXPECT_EQ(cam.near_z, -1);
  EXPECT_EQ(cam.far_z, -100);
  EXPECT_EQ(cam.fake_far_z, -100);
  EXPECT_EQ(cam.is_ortho, 0);

  // The fake far plane comes nearer, never further.
  cam.SetFakeFarClippingPlane(500);
  EXPECT_EQ(cam.fake_far_z, -100);
  cam.SetFakeFarClippingPlane(50);
  EXPECT_EQ(cam.fake_far_z, -50);
  cam.ResetFakeFarClippingPlane();
  EXPECT_EQ(cam.fake_far_z, -100);

  xcam_class persp;
  persp.SetupPerspective(90, 2, 1, 10);
  float want_m[16];
  buildFrustumMatrixf(want_m, -2, 2, -1, 1, 1, 10);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(persp.projection[i], want_m[i], 1e-6);
}

TEST_F(Camera, KillValuesUseTheCentralTenth) {
  xcam_class narrow, full, clipped, culled;
  narrow.SetupFrustum(-0.1f, 0.1f, -0.1f, 0.1f, 1, 100);
  full.SetupFrustum(-1, 1, -1, 1, 1, 100);
  gKillClip.value = 1;
  clipped.SetupFrustum(-1, 1, -1, 1, 1, 100);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(clipped.projection[i], narrow.projection[i], 1e-5) << i;
  for (int p = 0; p < 4; ++p)
    for (int i = 0; i < 3; ++i) EXPECT_EQ(clipped.cull_planes[p][i], full.cull_planes[p][i]);
  gKillClip.value = 0;
  gKillCull.value = 1;
  culled.SetupFrustum(-1, 1, -1, 1, 1, 100);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(culled.projection[i], full.projection[i]);
  for (int p = 0; p < 4; ++p)
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(culled.cull_planes[p][i], narrow.cull_planes[p][i], 1e-6);
}

TEST_F(Camera, ViewCentreProjectsToTheViewportCentre) {
  xcam_class cam;
  cam.SetupFrustum(-1, 1, -0.75f, 0.75f, 1, 100);
  cam.LookAtPtFromPt(3, 4, 10, 1, 2, -5, 0, 1, 0);
  const float centre[3] = {1, 2, -5};
  const float vp[4] = {100, 50, 800, 600};
  float px[2];
  cam.mtr_to_pix(centre, px, vp);
  EXPECT_NEAR(px[0], 500, 1e-3);
  EXPECT_NEAR(px[1], 350, 1e-3);
  // The interface's offset and scale turn pixels into interface units.
  wins.ui_offset_x = 100;
  wins.ui_scale = 2;
  cam.mtr_to_pix(centre, px, vp);
  EXPECT_NEAR(px[0], 200, 1e-3);
  EXPECT_NEAR(px[1], 175, 1e-3);
  // Without a viewport, the driver's.
  wins.ui_offset_x = 0;
  wins.ui_scale = 1;
  glViewport(0, 0, 640, 480);
  cam.mtr_to_pix(centre, px, nullptr);
  EXPECT_NEAR(px[0], 320, 1e-3);
  EXPECT_NEAR(px[1], 240, 1e-3);
  // From a heading and elevation: the point looked at is the centre too.
  cam.LookAtPtFromDir(1, 2, -5, 30, 20, 15);
  cam.mtr_to_pix(centre, px, vp);
  EXPECT_NEAR(px[0], 500, 1e-3);
  EXPECT_NEAR(px[1], 350, 1e-3);
}

TEST_F(Camera, BillboardsFromTheModelview) {
  xcam_class cam;
  cam.Identity();
  cam.Rotate(90, 0, 1, 0);  // looking along +x
  cam.modelview_stale = 0;
  float right[3], up[3];
  cam.CalcBillboardCamera(right, up);
  EXPECT_NEAR(right[2], 1, 1e-6);
  EXPECT_NEAR(up[1], 1, 1e-6);
  cam.CalcBillboardGround(right, up);
  EXPECT_NEAR(right[2], 1, 1e-6);
  EXPECT_NEAR(up[1], 1, 1e-6);
  // A stale modelview is fetched from the driver first.
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glTranslatef(1, 2, 3);
  cam.modelview_stale = 1;
  cam.CalcBillboardCamera(right, up);
  glPopMatrix();
  EXPECT_EQ(cam.modelview_stale, 0);
  EXPECT_EQ(cam.modelview[12], 1);
  EXPECT_EQ(right[0], 1);
}

TEST_F(Camera, ShadowFitOfAFlatSliceIsTheExtensionDeep) {
  xcam_class view, light;
  view.SetupFrustum(-1, 1, -1, 1, 1, 100);
  view.Identity();
  const float dir[3] = {0, 0, -1};  // the light looks where the view looks
  light.LookAtCamera(view, dir, 50, 0.5f, 0.5f);
  EXPECT_EQ(light.is_ortho, 1);
  EXPECT_NEAR(light.near_z - light.far_z, 5, 1e-3);  // pad_near_const alone
  EXPECT_NEAR(light.projection[10], -2.0f / 5, 1e-4);
  // The slice half way: x and y span the frustum's width there.
  EXPECT_NEAR(light.ortho_right - light.ortho_left, 2 * 50.5f, 1e-2);

  // The whole frustum: its depth and the extension in front.
  light.LookAtCamera(view, dir, 50, 0, 1);
  EXPECT_NEAR(light.near_z - light.far_z, 99 + 99 + 5, 1e-2);
}

TEST_F(Camera, FailedInversionsFallBackToTheIdentity) {
  xcam_class view, light;
  for (float& v : view.projection) v = 0;  // no inverse
  view.Identity();
  const float dir[3] = {0, 0, -1};
  light.LookAtCamera(view, dir, 10, 0, 1);
  // The unit cube seen from (0, 0, 10): x and y -1..1, eye z -11..-9.
  float want[16];
  buildOrthoMatrixf(want, -1, 1, -1, 1, -(-9 + 2 + 5), 11);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(light.projection[i], want[i], 1e-5) << i;

  xcam_class flat;
  flat.SetupOrtho(-1, 1, -2, 2, 0, 10);
  for (float& v : flat.modelview) v = 0;
  float mn[3], mx[3];
  EXPECT_EQ(flat.GetFrustumBounds(5, -10, 10, mn, mx), 1);
  EXPECT_EQ(std::vector<float>(mn, mn + 3), (std::vector<float>{-1, -2, -5}));
  EXPECT_EQ(std::vector<float>(mx, mx + 3), (std::vector<float>{1, 2, 0}));
}

TEST_F(Camera, FrustumBounds) {
  xcam_class cam;
  cam.SetupOrtho(-1, 1, -2, 2, 0, 10);
  cam.Identity();
  cam.Translate(0, 0, -3);  // the world lies 3 further away: world z = eye z + 3
  float mn[3], mx[3];
  EXPECT_EQ(cam.GetFrustumBounds(5, -10, 10, mn, mx), 1);
  EXPECT_EQ(std::vector<float>(mn, mn + 3), (std::vector<float>{-1, -2, -2}));
  EXPECT_EQ(std::vector<float>(mx, mx + 3), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(cam.GetFrustumBounds(50, 0, 1, mn, mx), 1);  // the far plane at 10 wins over 50
  EXPECT_EQ(std::vector<float>(mn, mn + 3), (std::vector<float>{-1, 0, -7}));
  EXPECT_EQ(std::vector<float>(mx, mx + 3), (std::vector<float>{1, 1, 3}));
  EXPECT_EQ(cam.GetFrustumBounds(5, 5, 6, mn, mx), 0);  // above the box

  xcam_class persp;
  persp.SetupFrustum(-1, 1, -1, 1, 1, 100);
  persp.Identity();
  EXPECT_EQ(persp.GetFrustumBounds(10, -100, 100, mn, mx), 1);  // cut at distance 10
  for (int i = 0; i < 3; ++i) {
    EXPECT_NEAR(mn[i], i < 2 ? -10 : -10, 1e-3);
    EXPECT_NEAR(mx[i], i < 2 ? 10 : -1, 1e-3);
  }
}
