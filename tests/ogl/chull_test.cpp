// Convex hulls: small fixtures with known answers, and random clouds checked
// against qhull's qconvex run on the same grid-snapped points.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>
#include "core/hl_alert.h"
#include "core/utl_mem.h"
#include "ogl/chull.h"
#include "support/test_env.h"

// Allocation seam: while xmalloc_failures_ahead counts down, the call it
// reaches 1 on comes back null, as xmalloc does when memory runs out.
extern "C" void* __real__Z7xmallocm(unsigned long size);
namespace {
int xmalloc_countdown = 0;
}
extern "C" void* __wrap__Z7xmallocm(unsigned long size) {
  if (xmalloc_countdown > 0 && --xmalloc_countdown == 0) return nullptr;
  return __real__Z7xmallocm(size);
}

namespace {

using Floats = std::vector<float>;
using Corner = std::array<float, 3>;
using Triangle = std::array<Corner, 3>;

struct Hull {
  Floats planes, tris;
  std::string out;  // what the build printed
};

using HullFn = void (*)(const Floats&, Floats&, Floats&);

// Runs one of the flat-list hulls, catching what it prints.
Hull run(HullFn fn, const Floats& pts) {
  Hull h{{1}, {1}, ""};
  testing::internal::CaptureStdout();
  fn(pts, h.planes, h.tris);
  h.out = testing::internal::GetCapturedStdout();
  return h;
}
Hull brute(const Floats& pts) { return run(UTL_create_ch_brute_force, pts); }
Hull two_stage(const Floats& pts) { return run(UTL_create_ch_two_stage, pts); }

// Triangles as a set, each rotated to start at its least corner, so the
// order of faces and the starting corner do not matter but the winding does.
std::set<Triangle> triangle_set(const Floats& tris) {
  std::set<Triangle> out;
  for (size_t t = 0; t + 9 <= tris.size(); t += 9) {
    Triangle tri;
    for (int k = 0; k < 3; ++k) tri[k] = {tris[t + 3 * k], tris[t + 3 * k + 1], tris[t + 3 * k + 2]};
    std::rotate(tri.begin(), std::min_element(tri.begin(), tri.end()), tri.end());
    out.insert(tri);
  }
  return out;
}

std::set<Corner> corner_set(const Floats& tris) {
  std::set<Corner> out;
  for (size_t i = 0; i + 3 <= tris.size(); i += 3) out.insert({tris[i], tris[i + 1], tris[i + 2]});
  return out;
}

float value(const Floats& planes, size_t k, const float* p) {
  return planes[4 * k] * p[0] + planes[4 * k + 1] * p[1] + planes[4 * k + 2] * p[2] + planes[4 * k + 3];
}

// qconvex's answer for the points: its hull vertices (Fx), the number of
// triangles once its facets are triangulated (Qt), and whether every facet
// it found was a triangle already (no four points on one face).
struct Peer {
  std::set<Corner> vertices;
  size_t triangles = 0;
  bool general = true;
};

std::vector<std::vector<int>> read_index_lines(const std::string& text) {
  std::istringstream in(text);
  std::string line;
  std::getline(in, line);  // the count
  std::vector<std::vector<int>> rows;
  while (std::getline(in, line)) {
    std::istringstream l(line);
    std::vector<int> row;
    for (int v; l >> v;) row.push_back(v);
    if (!row.empty()) rows.push_back(row);
  }
  return rows;
}

Peer qconvex(const Floats& pts) {
  std::ostringstream in;
  in.precision(10);
  in << "3\n" << pts.size() / 3 << "\n";
  for (size_t i = 0; i < pts.size(); i += 3) in << pts[i] << " " << pts[i + 1] << " " << pts[i + 2] << "\n";
  const std::string file = test_scratch_dir("qconvex") + "cloud.txt";
  EXPECT_TRUE(test_write_file(file, in.str()));
  Peer p;
  int status = -1;
  for (const auto& row : read_index_lines(test_capture("qconvex Fx < " + file, &status)))
    p.vertices.insert({pts[3 * row[0]], pts[3 * row[0] + 1], pts[3 * row[0] + 2]});
  EXPECT_EQ(status, 0);
  p.triangles = read_index_lines(test_capture("qconvex Qt i < " + file, &status)).size();
  EXPECT_EQ(status, 0);
  for (const auto& row : read_index_lines(test_capture("qconvex i < " + file, &status))) p.general &= row.size() == 3;
  return p;
}

// n points on the 1/1024 grid, so snapping leaves them where they are:
// uniform in a cube of half-size `half`, or on a sphere of that radius.
Floats cloud(unsigned seed, int n, float half, bool sphere) {
  std::mt19937 rng(seed);
  std::normal_distribution<double> g;
  std::uniform_real_distribution<double> u(-half, half);
  Floats pts;
  for (int i = 0; i < n; ++i) {
    double d[3] = {g(rng), g(rng), g(rng)};
    const double len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    for (double c : d) {
      const double x = sphere ? c / len * half : u(rng);
      pts.push_back(static_cast<float>(std::trunc(x * 1024) / 1024));
    }
  }
  return pts;
}

// What get_convex_hull handed back, copied out of its blocks (then freed).
struct HullRead {
  int result = -1, nv = -1, nt = -1;
  bool blocks_null = false;
  Floats verts;
  std::vector<int> tris;
};

HullRead read_hull(Chull3D& hull) {
  HullRead r;
  // Start from non-null pointers, so a failure must clear them.
  float* verts = reinterpret_cast<float*>(&hull);
  int* tris = reinterpret_cast<int*>(&hull);
  r.result = hull.get_convex_hull(&verts, &r.nv, &tris, &r.nt);
  r.blocks_null = !verts && !tris;
  if (r.result == 1) {
    r.verts.assign(verts, verts + 3 * r.nv);
    r.tris.assign(tris, tris + 3 * r.nt);
    xfree(verts);
    xfree(tris);
  }
  return r;
}

const Floats kTetra{0, 0, 0, 4, 0, 0, 0, 4, 0, 0, 0, 4};
const Floats kUnit{0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1};

Floats with(Floats a, const Floats& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

}  // namespace

TEST(Chull, RandomCloudsMatchQconvex) {
  const struct {
    unsigned seed;
    int n;
    float half;
    bool sphere;
  } cases[] = {{1, 300, 2, false},  {2, 300, 2, false},  {3, 1000, 8, false}, {4, 60, 0.25f, false},
               {5, 200, 2, true},   {6, 200, 2, true},   {7, 400, 16, true},  {8, 30, 1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE("seed " + std::to_string(c.seed) + (c.sphere ? " on a sphere" : " in a cube"));
    const Floats pts = cloud(c.seed, c.n, c.half, c.sphere);
    const Hull h = brute(pts);
    const Peer peer = qconvex(pts);
    const std::set<Corner> ours = corner_set(h.tris);
    EXPECT_EQ(ours, peer.vertices);
    EXPECT_EQ(h.planes.size() / 4, h.tris.size() / 9);
    if (peer.general) {
      EXPECT_EQ(h.tris.size() / 9, 2 * ours.size() - 4);
      EXPECT_EQ(h.tris.size() / 9, peer.triangles);
    }
    // Every point on the inner side of every plane, up to float rounding of
    // the plane's own size times the cloud's.
    for (size_t k = 0; k < h.planes.size() / 4; ++k) {
      const float norm = std::sqrt(h.planes[4 * k] * h.planes[4 * k] + h.planes[4 * k + 1] * h.planes[4 * k + 1] +
                                   h.planes[4 * k + 2] * h.planes[4 * k + 2]);
      const float tol = 1e-5f * norm * 2 * c.half;
      for (size_t i = 0; i < pts.size(); i += 3) ASSERT_GE(value(h.planes, k, &pts[i]), -tol) << "plane " << k;
    }
    const Hull h2 = two_stage(pts);
    EXPECT_EQ(triangle_set(h2.tris), triangle_set(h.tris));
    EXPECT_EQ(h2.planes.size(), h.planes.size());
  }
}

TEST(Chull, Fixtures) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  const Floats cube{0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 0, 0, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1};
  const Floats square{0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 0.5f, 0.5f, 0};
  const struct {
    Floats pts;
    size_t triangles;
    std::set<Corner> corners;
    std::string out;
    const char* what;
  } cases[] = {
      {cube, 12, corner_set(cube), "", "cube corners"},
      {with(kTetra, {1, 1, 1}), 4, corner_set(kTetra), "", "tetrahedron and an inner point"},
      {with(kUnit, {1.0009f, 0, 0, -0.0005f, 0, 0}), 4, corner_set(kUnit), "", "near points snap onto the corners"},
      {with(kUnit, {-10, -10, -10}), 4, corner_set({1, 0, 0, 0, 1, 0, 0, 0, 1, -10, -10, -10}), "",
       "the last point hides a corner of the first triangle"},
      {square, 2, corner_set({0, 0, 0, 1, 0, 0, 0, 1, 0}), "All the vertices are coplanar\n", "coplanar"},
      {{0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3}, 0, {}, "All the vertices are collinear\n", "collinear"},
      {{1, 2, 3, 1, 2, 3, 1, 2, 3}, 0, {}, "All the vertices are collinear\n", "one distinct point"},
      {{0, 0, 0, 1, 1, 1, 2, 2}, 0, {}, "", "fewer than 9 floats"},
      {{}, 0, {}, "", "no floats"},
      {with(kTetra, {nan, 0, 0, 0, inf, 0, 0, 0, -inf, 3e9f, 0, 0, 0, -3e9f, 0}), 4, corner_set(kTetra), "",
       "points without a grid cell are dropped"},
      {{nan, nan, nan, inf, 0, 0, 1e30f, 1, 1}, 0, {}, "", "no point left"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Hull h = brute(c.pts);
    EXPECT_EQ(h.tris.size(), 9 * c.triangles);
    EXPECT_EQ(h.planes.size(), 4 * c.triangles);
    EXPECT_EQ(corner_set(h.tris), c.corners);
    EXPECT_EQ(h.out, c.out);
    // Every point that has a cell is inside or on every plane.
    for (size_t k = 0; k < h.planes.size() / 4; ++k) {
      for (size_t i = 0; i + 3 <= c.pts.size(); i += 3) {
        const float* p = &c.pts[i];
        const bool on_grid = std::fabs(p[0]) < 1e6f && std::fabs(p[1]) < 1e6f && std::fabs(p[2]) < 1e6f;
        if (on_grid) {
          EXPECT_GE(value(h.planes, k, p), -1e-3f) << "plane " << k << " point " << i / 3;
        }
      }
    }
  }
}

TEST(Chull, InnerPointIsPositiveOnEveryPlane) {
  const Hull h = brute(with(kTetra, {1, 1, 1}));
  ASSERT_EQ(h.planes.size(), 16u);
  const float inner[3] = {1, 1, 1};
  for (size_t k = 0; k < 4; ++k) EXPECT_GT(value(h.planes, k, inner), 0) << "plane " << k;
}

TEST(Chull, CoplanarGivesTwoOppositeTriangles) {
  const Hull h = brute({0, 0, 0, 2, 0, 0, 0, 2, 0, 2, 2, 0});
  ASSERT_EQ(h.planes.size(), 8u);
  EXPECT_NE(h.planes[2], 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(h.planes[i], -h.planes[4 + i]) << "coefficient " << i;
}

TEST(Chull, TwoStage) {
  // Six extremes on the axes, ten points inside their octahedron and two
  // outside it but inside the box.
  Floats pts{2, 0, 0, 0, 2, 0, 0, 0, 2, -2, 0, 0, 0, -2, 0, 0, 0, -2};
  for (int i = 0; i < 10; ++i) pts.insert(pts.end(), {0.1f * i - 0.5f, 0.25f, -0.125f * (i % 3)});
  pts.insert(pts.end(), {1.5f, 1.5f, 1.5f, -1.5f, -1.5f, 1.5f});
  const struct {
    Floats pts;
    std::string out;
    const char* what;
  } cases[] = {
      {pts, "Would have done 54, really doing 42.\n", "inner points dropped, extremes appended"},
      {{0, 0, 1, 1, 0, 1, 0, 1, 1, 3, 3, 1}, "All the vertices are coplanar\n", "one z: straight to brute force"},
      {{}, "", "no points"},
      {{0, 0, 0, 1, 1, 1, 0.5f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f, 0.25f, 0.5f, 0.5f},
       "All the vertices are collinear\nWould have done 15, really doing 33.\n",
       "extremes on a line keep the whole cloud"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Hull h = two_stage(c.pts);
    EXPECT_EQ(h.out, c.out);
    const Hull b = brute(c.pts);
    EXPECT_EQ(triangle_set(h.tris), triangle_set(b.tris));
    EXPECT_EQ(h.planes.size(), b.planes.size());
  }
}

TEST(Chull, TrimToInsideHull) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  // Inside is x >= 0 and x <= 1.
  const Floats slab{1, 0, 0, 0, -1, 0, 0, 1};
  const Floats pts{0.5f, 0, 0, 0, 7, 7, 1, 0, 0, 2, 0, 0, -1, 0, 0, nan, 0, 0};
  const struct {
    Floats planes;
    bool keep_inside;
    Floats want;
    const char* what;
  } cases[] = {
      {{}, true, pts, "no plane keeps everything"},
      {{}, false, {}, "no plane drops everything"},
      {slab, true, {0.5f, 0, 0, 0, 7, 7, 1, 0, 0, nan, 0, 0}, "inside and on the boundary stay"},
      {slab, false, {0, 7, 7, 1, 0, 0, 2, 0, 0, -1, 0, 0}, "only the strictly inside go"},
  };
  for (const auto& c : cases) {
    Floats p = pts;
    UTL_trim_to_inside_hull(c.planes, p, c.keep_inside);
    ASSERT_EQ(p.size(), c.want.size()) << c.what;
    for (size_t i = 0; i < p.size(); ++i)
      EXPECT_TRUE(p[i] == c.want[i] || (std::isnan(p[i]) && std::isnan(c.want[i]))) << c.what << " float " << i;
  }
}

TEST(Chull, GetConvexHullAndExportObj) {
  const Floats pts = with(kTetra, {1, 1, 1, 5, 5, 5});
  Chull3D hull(pts.data(), static_cast<int>(pts.size() / 3));
  testing::internal::CaptureStdout();
  EXPECT_EQ(hull.compute(), 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  const HullRead r = read_hull(hull);
  ASSERT_EQ(r.result, 1);
  const int nv = r.nv, nt = r.nt;
  const float* verts = r.verts.data();
  const int* tris = r.tris.data();
  EXPECT_EQ(nv, 5);  // the inner point is gone
  EXPECT_EQ(nt, 6);
  std::set<Corner> got;
  for (int i = 0; i < nv; ++i) got.insert({verts[3 * i], verts[3 * i + 1], verts[3 * i + 2]});
  EXPECT_EQ(got, (std::set<Corner>{{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {0, 0, 4}, {5, 5, 5}}));

  const std::string dir = test_scratch_dir("obj");
  ASSERT_EQ(hull.export_obj((dir + "hull.obj").c_str()), 0);
  std::istringstream obj(test_read_file(dir + "hull.obj"));
  std::vector<float> v;
  std::vector<int> f;
  for (std::string kind; obj >> kind;) {
    if (kind == "v")
      for (int k = 0; k < 3; ++k) v.push_back(0), obj >> v.back();
    else if (kind == "f")
      for (int k = 0; k < 3; ++k) f.push_back(0), obj >> f.back();
    else
      ADD_FAILURE() << "unexpected line kind " << kind;
  }
  EXPECT_EQ(v, Floats(verts, verts + 3 * nv));
  ASSERT_EQ(f.size(), 3u * nt);
  for (int i = 0; i < 3 * nt; ++i) EXPECT_EQ(f[i], tris[i] + 1) << "corner " << i;

  EXPECT_EQ(hull.export_obj((dir + "missing/hull.obj").c_str()), -1);
  EXPECT_EQ(hull.export_obj("/dev/full"), -1);
}

TEST(Chull, NoVertices) {
  const float none[3] = {0, 0, 0};
  for (int n : {0, -3}) {
    Chull3D hull(none, n);
    EXPECT_EQ(hull.get_n_vertices(), 0);
    testing::internal::CaptureStdout();
    EXPECT_EQ(hull.compute(), 1);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "All the vertices are collinear\n");
    const HullRead r = read_hull(hull);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.nv, 0);
    EXPECT_EQ(r.nt, 0);
  }
}

TEST(Chull, AllocationFailureLeavesNothing) {
  const Floats pts = with(kTetra, {1, 1, 1});
  for (int failing : {1, 2}) {
    SCOPED_TRACE("allocation " + std::to_string(failing) + " fails");
    Chull3D hull(pts.data(), 5);
    testing::internal::CaptureStdout();
    hull.compute();
    testing::internal::GetCapturedStdout();
    xmalloc_countdown = failing;
    const HullRead r = read_hull(hull);
    xmalloc_countdown = 0;
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.nv, 0);
    EXPECT_EQ(r.nt, 0);
    EXPECT_TRUE(r.blocks_null);
  }
  // Through the flat wrapper: both lists stay empty.
  Floats planes{1}, tris{1};
  testing::internal::CaptureStdout();
  xmalloc_countdown = 1;
  UTL_create_ch_brute_force(pts, planes, tris);
  xmalloc_countdown = 0;
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(planes.empty());
  EXPECT_TRUE(tris.empty());
}

namespace {
struct alert_seen {
  int kind, line;
  std::vector<std::string> lines;
  std::string file;
};
void throw_alert(int kind, const std::string* lines, const char* file, int line) {
  throw alert_seen{kind, line, {lines[0], lines[1], lines[2], lines[3]}, file};
}
}  // namespace

TEST(Chull, NullPointsRaiseTheAssertion) {
  g_alert_handler = throw_alert;
  try {
    Chull3D hull(nullptr, 3);
    ADD_FAILURE() << "no alert";
  } catch (const alert_seen& a) {
    EXPECT_EQ(a.kind, t_crash);
    EXPECT_EQ(a.file, "RUvozuz/UTL/chull");
    EXPECT_EQ(a.line, 33);
    EXPECT_EQ(a.lines[1], "v");
  }
  g_alert_handler = nullptr;
}
