// Quad strips along polylines and bounding spheres, one table per function.
#include <gtest/gtest.h>
#include <cmath>
#include <random>
#include <string>
#include <vector>
#include "ogl/ogl_geometry.h"

namespace {

void expect_points(const std::vector<Point3>& got, const std::vector<Point3>& want, double tol,
                   const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].x, want[i].x, tol) << what << " point " << i;
    EXPECT_NEAR(got[i].y, want[i].y, tol) << what << " point " << i;
    EXPECT_NEAR(got[i].z, want[i].z, tol) << what << " point " << i;
  }
}

void expect_sphere(const Sphere3& got, const Sphere3& want, const std::string& what) {
  EXPECT_DOUBLE_EQ(got.c.x, want.c.x) << what;
  EXPECT_DOUBLE_EQ(got.c.y, want.c.y) << what;
  EXPECT_DOUBLE_EQ(got.c.z, want.c.z) << what;
  EXPECT_DOUBLE_EQ(got.radius_squared, want.radius_squared) << what;
}

// A strip of unit-spaced rungs along +x: even rail at y = 0, odd at y = 1.
std::vector<Point3> ladder(std::vector<double> even_x, std::vector<double> odd_x) {
  std::vector<Point3> s;
  for (size_t k = 0; k < even_x.size(); ++k) {
    s.push_back({even_x[k], 0, 0});
    s.push_back({odd_x[k], 1, 0});
  }
  return s;
}

}  // namespace

TEST(GeometryStrip, LongerSideOfQuad) {
  const struct {
    std::vector<Point3> strip;
    double want;
    const char* what;
  } cases[] = {
      {ladder({0, 1}, {0, 1}), 0, "square end"},
      {ladder({0, 1}, {-0.5, 1}), -0.5, "odd rail sticks out"},
      {ladder({0, 1}, {0.5, 1}), 0.5, "even rail sticks out"},
      {ladder({-2, 1}, {0, 1}), 2, "even rail sticks out further"},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(LongerSideOfQuad(c.strip), c.want) << c.what;
}

TEST(GeometryStrip, ReverseQuadStrip) {
  std::vector<Point3> s = ladder({0, 1, 2}, {0, 1, 2});
  ReverseQuadStrip(s);
  expect_points(s, {{2, 1, 0}, {2, 0, 0}, {1, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}}, 0, "reversed");
}

TEST(GeometryStrip, ChainToQuadStrip) {
  const Vector3 z{0, 0, 1};
  const std::vector<Point3> untouched{{9, 9, 9}};
  const struct {
    std::vector<Point3> pts;
    std::vector<double> widths;
    std::vector<Point3> want;
    const char* what;
  } cases[] = {
      {{}, {}, untouched, "no point"},
      {{{1, 1, 1}}, {2}, untouched, "one point"},
      {{{0, 0, 0}, {2, 0, 0}}, {2, 2}, {{0, -1, 0}, {0, 1, 0}, {2, -1, 0}, {2, 1, 0}}, "two points give 4"},
      {{{0, 0, 0}, {2, 0, 0}}, {2, 4}, {{0, -1, 0}, {0, 1, 0}, {2, -2, 0}, {2, 2, 0}}, "width per point"},
      {{{0, 0, 0}, {1, 0, 0}, {2, 0, 0}},
       {2, 4, 2},
       {{0, -1, 0}, {0, 1, 0}, {1, -2, 0}, {1, 2, 0}, {2, -1, 0}, {2, 1, 0}},
       "straight: half width, (+, -)"},
      {{{0, 0, 0}, {2, 0, 0}, {0, 0, 0}},
       {2, 2, 2},
       {{0, -1, 0}, {0, 1, 0}, {2, -1, 0}, {2, 1, 0}, {2, 1, 0}, {2, -1, 0}, {0, 1, 0}, {0, -1, 0}},
       "turn-back: an extra rung, each (+, -)"},
      {{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}},
       {2, 2, 2},
       {{0, -1, 0}, {0, 1, 0}, {3, -1, 0}, {1, 1, 0}, {3, 2, 0}, {1, 2, 0}},
       "right-angle bend is mitred"},
  };
  for (const auto& c : cases) {
    std::vector<Point3> strip = untouched;
    ChainToQuadStrip(c.pts, std::vector<Vector3>(c.pts.size(), z), c.widths, strip);
    expect_points(strip, c.want, 1e-12, c.what);
  }
}

TEST(GeometryStrip, RemoveFromQuadStrip) {
  const std::vector<Point3> ladder4 = ladder({0, 1, 2, 3}, {0, 1, 2, 3});
  const std::vector<Point3> slanted = ladder({0, 1, 2, 3}, {0.5, 1, 2, 3});
  const struct {
    std::vector<Point3> strip;
    double length;
    bool square, back;
    std::vector<Point3> want_strip, want_removed;
    const char* what;
  } cases[] = {
      {ladder4, 1.5, false, false, ladder({1.5, 2, 3}, {1.5, 2, 3}),
       ladder({0, 1, 1.5}, {0, 1, 1.5}), "mid-segment cut"},
      {ladder4, 1, false, false, ladder({1, 2, 3}, {1, 2, 3}), ladder({0, 1}, {0, 1}), "cut on a rung"},
      {ladder4, 5, false, false, ladder4, {}, "longer than the rails"},
      {ladder({0, 1, 2, 3}, {0, 1, 2, 2.5}), 2.7, false, false, ladder({0, 1, 2, 3}, {0, 1, 2, 2.5}), {},
       "longer than the odd rail only"},
      {ladder4, 0, false, false, ladder4, {}, "nothing to cut"},
      {ladder4, -1, false, false, ladder4, {}, "negative length"},
      {ladder({0}, {0}), 1, false, false, ladder({0}, {0}), {}, "one rung"},
      {slanted, 1, true, false, ladder({1.5, 2, 3}, {1.5, 2, 3}),
       {{0, 0, 0}, {0.5, 1, 0}, {1, 0, 0}, {1, 1, 0}, {1.5, 0, 0}, {1.5, 1, 0}}, "square ends"},
      {slanted, 1, false, false, ladder({1, 2, 3}, {1.5, 2, 3}), {{0, 0, 0}, {0.5, 1, 0}, {1, 0, 0}, {1.5, 1, 0}},
       "slanted end kept slanted"},
      {ladder4, 1.5, false, true, ladder({0, 1, 1.5}, {0, 1, 1.5}),
       {{3, 1, 0}, {3, 0, 0}, {2, 1, 0}, {2, 0, 0}, {1.5, 1, 0}, {1.5, 0, 0}}, "from the back"},
  };
  for (const auto& c : cases) {
    std::vector<Point3> strip = c.strip, removed{{9, 9, 9}};
    if (c.back)
      RemoveFromQuadStripBack(strip, c.length, removed, c.square);
    else
      RemoveFromQuadStripFront(strip, c.length, removed, c.square);
    expect_points(strip, c.want_strip, 1e-12, std::string(c.what) + ": strip");
    expect_points(removed, c.want_removed, 1e-12, std::string(c.what) + ": removed");
  }
}

TEST(GeometryStrip, BoundingSpheres) {
  const Sphere3 unit{{0, 0, 0}, 1}, empty{{5, 5, 5}, 0};
  const struct {
    Sphere3 a, s, want;
    const char* what;
  } to_sphere[] = {
      {empty, unit, unit, "empty a changes nothing"},
      {unit, empty, unit, "empty s becomes a copy of a"},
      {{{0.5, 0, 0}, 0.25}, unit, unit, "s encloses a"},
      {{{0.5, 0, 0}, 9}, unit, {{0.5, 0, 0}, 9}, "a encloses s: s becomes a copy of a"},
      {unit, unit, unit, "the same sphere"},
      {{{4, 0, 0}, 1}, unit, {{2, 0, 0}, 9}, "apart: spans both"},
      {{{0, 3, 0}, 4}, unit, {{0, 2, 0}, 9}, "overlapping: spans both"},
  };
  for (const auto& c : to_sphere) {
    Sphere3 s = c.s;
    ExtendBoundingSphereToSphere(c.a, s);
    expect_sphere(s, c.want, c.what);
  }
  const struct {
    Point3 p;
    Sphere3 want;
    const char* what;
  } to_point[] = {
      {{0.5, 0.5, 0}, unit, "inside: unchanged"},
      {{1, 0, 0}, unit, "on the surface: unchanged"},
      {{3, 0, 0}, {{1, 0, 0}, 4}, "outside along x"},
      {{0, 0, -5}, {{0, 0, -2}, 9}, "outside along -z"},
  };
  for (const auto& c : to_point) {
    Sphere3 s = unit;
    ExtendBoundingSphereToPt(c.p, s);
    expect_sphere(s, c.want, c.what);
  }
}

TEST(GeometryStrip, FastBoundingSphere) {
  const Sphere3 sentinel{{7, 7, 7}, 7};
  const struct {
    std::vector<Point3> pts;
    Sphere3 want;
    const char* what;
  } cases[] = {
      {{}, sentinel, "no points: untouched"},
      {{{1, 2, 3}}, {{1, 2, 3}, 0}, "one point: radius 0"},
      {{{0, 0, 0}, {0, 2, 0}}, {{0, 1, 0}, 1}, "two points"},
      {{{0, 2, 0}, {0, 1, 0}, {0, 0, 0}}, {{0, 1, 0}, 1}, "a middle point inside"},
  };
  for (const auto& c : cases) {
    Sphere3 s = sentinel;
    FastBoundingSphere(c.pts, s);
    expect_sphere(s, c.want, c.what);
  }
  // Random clouds, some flat and some with repeated points: every point inside.
  std::mt19937 rng(36);
  for (int cloud = 0; cloud < 60; ++cloud) {
    const double scale = std::pow(10.0, cloud % 7 - 3);
    std::uniform_real_distribution<double> u(-scale, scale);
    std::vector<Point3> pts(1 + cloud * 7);
    for (Point3& p : pts) p = {u(rng), u(rng), cloud % 5 == 0 ? 0.0 : u(rng)};
    if (cloud % 3 == 0)
      for (size_t i = 1; i < pts.size(); i += 2) pts[i] = pts[i - 1];
    Sphere3 s;
    FastBoundingSphere(pts, s);
    for (const Point3& p : pts)
      ASSERT_LE(dist2(p, s.c), s.radius_squared * (1 + 1e-12)) << "cloud " << cloud;
  }
}
