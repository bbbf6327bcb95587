// Directions, offsets, insets, simplification, convex tests, clipping, line
// junctions and Bezier sampling, one table of cases per function.
#include <gtest/gtest.h>
#include <cmath>
#include <string>
#include <vector>
#include "ogl/ogl_geometry.h"

namespace {

std::string str(const Point3& p) {
  return "(" + std::to_string(p.x) + ", " + std::to_string(p.y) + ", " + std::to_string(p.z) + ")";
}

void expect_points(const std::vector<Point3>& got, const std::vector<Point3>& want, double tol,
                   const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].x, want[i].x, tol) << what << " point " << i << " " << str(got[i]);
    EXPECT_NEAR(got[i].y, want[i].y, tol) << what << " point " << i << " " << str(got[i]);
    EXPECT_NEAR(got[i].z, want[i].z, tol) << what << " point " << i << " " << str(got[i]);
  }
}

std::vector<Point3> lift(const Polygon2& p) {
  std::vector<Point3> out;
  for (const Point2& q : p) out.push_back({q.x, q.y, 0});
  return out;
}

const Polygon2 kSquare2{{0, 0}, {2, 0}, {2, 2}, {0, 2}};  // counter-clockwise, side 2

}  // namespace

TEST(Geometry, IsCcwBetween) {
  const struct {
    Vector2 from, test, to;
    bool want;
    const char* what;
  } cases[] = {
      {{1, 0}, {0, 1}, {2, 0}, true, "from and to the same way, test left"},
      {{1, 0}, {0, -1}, {3, 0}, true, "from and to the same way, test right"},
      {{1, 0}, {1, 0}, {0, 1}, false, "test equal to from"},
      {{1, 0}, {0, 1}, {0, 1}, false, "test equal to to"},
      {{1, 0}, {1, 1}, {0, 1}, true, "inside a quarter turn"},
      {{1, 0}, {-1, 0}, {0, 1}, false, "past to"},
      {{0, 1}, {-1, 0}, {0, -1}, true, "inside the left half"},
      {{-1, 1}, {-1, -1}, {0, -1}, true, "across the negative x axis"},
      {{-1, 1}, {1, 1}, {0, -1}, false, "across the negative x axis, outside"},
      {{0, -1}, {1, 1}, {-1, 1}, true, "most of a turn"},
  };
  for (const auto& c : cases) EXPECT_EQ(Is_CCW_Between(c.from, c.test, c.to), c.want) << c.what;
}

TEST(Geometry, CoordTranslatorMapsBothWays) {
  const CoordTranslator t{{0, 0}, {10, 20}, {100, 200}, {200, 0}};
  const struct {
    Point2 src, dst;
  } cases[] = {{{0, 0}, {100, 200}}, {{10, 20}, {200, 0}}, {{5, 10}, {150, 100}}, {{-10, 40}, {0, -200}}};
  for (const auto& c : cases) {
    const Point2 f = t.Forward(c.src), r = t.Reverse(c.dst);
    EXPECT_DOUBLE_EQ(f.x, c.dst.x);
    EXPECT_DOUBLE_EQ(f.y, c.dst.y);
    EXPECT_DOUBLE_EQ(r.x, c.src.x);
    EXPECT_DOUBLE_EQ(r.y, c.src.y);
  }
}

TEST(Geometry, MoveSegLeft) {
  const struct {
    Segment2 s;
    double dist;
    Segment2 want;
    const char* what;
  } cases[] = {
      {{{0, 0}, {1, 0}}, 1, {{0, 1}, {1, 1}}, "+x by 1 moves +y by exactly 1"},
      {{{0, 0}, {0, 2}}, 1, {{-1, 0}, {-1, 2}}, "+y moves -x"},
      {{{0, 0}, {-3, 0}}, 0.5, {{0, -0.5}, {-3, -0.5}}, "-x moves -y"},
      {{{3, 4}, {3, 4}}, 5, {{3, 4}, {3, 4}}, "zero length stays"},
      {{{0, 0}, {3, 4}}, -5, {{4, -3}, {7, 1}}, "negative distance moves right"},
  };
  for (const auto& c : cases) {
    Segment2 out;
    MoveSegLeft(c.s, c.dist, out);
    EXPECT_DOUBLE_EQ(out.p1.x, c.want.p1.x) << c.what;
    EXPECT_DOUBLE_EQ(out.p1.y, c.want.p1.y) << c.what;
    EXPECT_DOUBLE_EQ(out.p2.x, c.want.p2.x) << c.what;
    EXPECT_DOUBLE_EQ(out.p2.y, c.want.p2.y) << c.what;
    // About +z the 3-D form moves to the same side.
    Segment3 out3;
    MoveSegLeft(Segment3{{c.s.p1.x, c.s.p1.y, 0}, {c.s.p2.x, c.s.p2.y, 0}}, c.dist, out3, {0, 0, 1});
    expect_points({out3.p1, out3.p2}, {{c.want.p1.x, c.want.p1.y, 0}, {c.want.p2.x, c.want.p2.y, 0}}, 1e-12, c.what);
  }
  Segment3 up_y;
  MoveSegLeft(Segment3{{0, 0, 0}, {2, 0, 0}}, 3, up_y, {0, 1, 0});
  expect_points({up_y.p1, up_y.p2}, {{0, 0, -3}, {2, 0, -3}}, 0, "about +y, +x moves -z");
}

TEST(Geometry, CalcMaxInset) {
  const double heavy_first[4] = {2, 1, 1, 1};
  const struct {
    Polygon2 poly;
    const double* weights;
    bool closed;
    double want;
    const char* what;
  } cases[] = {
      {kSquare2, nullptr, true, 1, "square of side 2"},
      {{}, nullptr, true, 0, "empty polygon"},
      {{}, nullptr, false, 0, "empty polyline"},
      {{{1, 1}}, nullptr, false, 0, "one-point open line"},
      {{{0, 0}, {4, 0}, {4, 2}, {0, 2}}, nullptr, true, 1, "4 by 2 rectangle: the short edges go first"},
      {kSquare2, heavy_first, true, 2.0 / 3, "a heavier edge squeezes its neighbours"},
      {{{0, 0}, {2, 0}, {2, 2}}, nullptr, false, 2, "open corner: only the inner ends shrink"},
      {{{0, 0}, {0, 2}, {2, 2}, {2, 0}}, nullptr, true, 0, "clockwise square grows, never collapses"},
  };
  for (const auto& c : cases) EXPECT_NEAR(CalcMaxInset(c.poly, c.weights, c.closed), c.want, 1e-6) << c.what;
}

TEST(Geometry, ReducePolygon) {
  const Polygon2 square_with_midpoints{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {2, 2}, {1, 2}, {0, 2}, {0, 1}};
  const struct {
    Polygon2 poly;
    double max_sq_dev, min_cos, straight_len, min_len;
    size_t want;
    const char* what;
  } cases[] = {
      {square_with_midpoints, 1e-6, 0.99, 0, 0, 4, "points on straight edges go"},
      {square_with_midpoints, 1e-6, 0.99, 1.5, 0, 8, "edges not longer than straight_len keep their points"},
      {{{0, 0}, {1, 0}, {2, 0.1}, {2, 2}, {0, 2}}, 1e-4, 0.9, 0, 0, 5, "a real bend stays"},
      {{{0, 0}, {1, 0}, {2, 0.1}, {2, 2}, {0, 2}}, 0.01, 0.9, 0, 0, 4, "a bend within the deviation goes"},
      {{{0, 0}, {2, 0}, {2, 0.01}, {2, 2}, {0, 2}}, 0, 1, 0, 0.1, 4, "a short edge loses a point"},
      {{{0, 0}, {1, 0}, {2, 0}, {2, 1}, {0, 1}}, 0, 1, 0, 100, 3, "all edges short: stops at 3"},
      {{{0, 0}, {1, 0}, {0, 1}}, 1e9, -1, 0, 100, 3, "a triangle stays a triangle"},
      {{{0, 0}, {1, 0}}, 1e9, -1, 0, 100, 2, "fewer than 3 points stay"},
  };
  for (const auto& c : cases) {
    Polygon2 p = c.poly;
    ReducePolygon(p, c.max_sq_dev, c.min_cos, c.straight_len, c.min_len);
    EXPECT_EQ(p.size(), c.want) << c.what;
  }
  Polygon2 p = square_with_midpoints;
  ReducePolygon(p, 1e-6, 0.99, 0, 0);
  expect_points(lift(p), lift(Polygon2{{0, 0}, {2, 0}, {2, 2}, {0, 2}}), 0, "the corners are what is left");
}

namespace {
void record_spike(int index, void* ref) { static_cast<std::vector<int>*>(ref)->push_back(index); }
}  // namespace

TEST(Geometry, InsetPolygon) {
  const double half[3] = {0.5, 0.5, 0.5};
  // A counter-clockwise 6 by 6 square with two zero-width spikes on its top.
  const Polygon2 spiked{{0, 0}, {6, 0}, {6, 6}, {4, 6}, {4, 8}, {4, 6}, {2, 6}, {2, 8}, {2, 6}, {0, 6}};
  const struct {
    Polygon2 poly;
    const double* weights;
    double dist;
    bool closed;
    Polygon2 want;
    std::vector<int> spikes;
    const char* what;
  } cases[] = {
      {{{0, 0}, {2, 0}, {0, 0}}, nullptr, 1, false, {{0, 1}, {3, 1}, {3, -1}, {0, -1}}, {1}, "open A, B, A: caps at B"},
      {{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, nullptr, 1, true, {{1, 1}, {3, 1}, {3, 3}, {1, 3}}, {}, "square inset"},
      {{{0, 0}, {4, 0}, {4, 4}, {0, 4}}, nullptr, -1, true, {{-1, -1}, {5, -1}, {5, 5}, {-1, 5}}, {}, "square outset"},
      {{{0, 0}, {2, 0}, {4, 0}}, half, 1, false, {{0, 0.5}, {2, 0.5}, {4, 0.5}}, {}, "straight open line, weighted"},
      {{{0, 0}, {2, 0}, {4, 0}, {4, 4}, {0, 4}},
       nullptr,
       1,
       true,
       {{1, 1}, {2, 1}, {3, 1}, {3, 3}, {1, 3}},
       {},
       "parallel edges join at their end"},
      {spiked,
       nullptr,
       1,
       true,
       {{1, 1}, {5, 1}, {5, 5}, {3, 5}, {3, 9}, {5, 9}, {5, 5}, {1, 5}, {1, 9}, {3, 9}, {3, 5}, {1, 5}},
       {4, 8},
       "two spikes shift the second callback by one"},
  };
  for (const auto& c : cases) {
    Polygon2 out{{9, 9}};
    std::vector<int> spikes;
    InsetPolygon(c.poly, c.weights, c.dist, c.closed, out, record_spike, &spikes);
    expect_points(lift(out), lift(c.want), 1e-12, c.what);
    EXPECT_EQ(spikes, c.spikes) << c.what;
    // In the plane z = 0 about +z, the 3-D form gives the same outline.
    Polygon3 out3{{9, 9, 9}};
    InsetPolygon(lift(c.poly), c.weights, c.dist, c.closed, {0, 0, 1}, out3);
    expect_points(out3, lift(c.want), 1e-12, std::string(c.what) + " (3-D)");
  }
}

TEST(Geometry, PointInPolygon3) {
  const Polygon3 ccw = lift(kSquare2);
  const Polygon3 cw(ccw.rbegin(), ccw.rend());
  const Polygon3 tilted{{0, 0, 0}, {2, 0, 2}, {2, 2, 2}, {0, 2, 0}};
  const struct {
    Polygon3 poly;
    Point3 p;
    bool want;
    const char* what;
  } cases[] = {
      {ccw, {1, 1, 0}, true, "centre"},         {cw, {1, 1, 0}, true, "centre, clockwise"},
      {ccw, {1, 0, 0}, true, "on an edge"},     {cw, {2, 1, 0}, true, "on an edge, clockwise"},
      {ccw, {2, 2, 0}, true, "on a corner"},    {ccw, {3, 1, 0}, false, "outside"},
      {cw, {1, -0.001, 0}, false, "just outside"}, {ccw, {1, 1, 5}, true, "off the plane counts by its shadow"},
      {tilted, {1, 1, 1}, true, "tilted square"}, {tilted, {1, 3, 1}, false, "outside the tilted square"},
      {{{0, 0, 0}, {2, 0, 0}}, {1, 0, 0}, false, "2-point polygon, on it"},
      {{{0, 0, 0}, {2, 0, 0}}, {5, 5, 0}, false, "2-point polygon, off it"},
      {{}, {0, 0, 0}, false, "empty polygon"},
  };
  for (const auto& c : cases) EXPECT_EQ(PointInPolygon3(c.poly, c.p), c.want) << c.what;
}

TEST(Geometry, ClipToHalfPlane3) {
  const Polygon3 square = lift(kSquare2);
  const struct {
    Polygon3 poly;
    Plane3 plane;
    Polygon3 want;
    const char* what;
  } cases[] = {
      {square, {{1, 0, 0}, 5}, square, "wholly kept"},
      {square, {{1, 0, 0}, -1}, {}, "wholly cut"},
      {square, {{1, 0, 0}, 1}, {{0, 0, 0}, {1, 0, 0}, {1, 2, 0}, {0, 2, 0}}, "left half"},
      {square, {{-1, 0, 0}, -1}, {{1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 2, 0}}, "right half, starting outside"},
      {square, {{2, 2, 0}, 4}, {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, "diagonal through two corners"},
      {square, {{-2, -2, 0}, -4}, {{2, 0, 0}, {2, 2, 0}, {0, 2, 0}}, "the other side of that diagonal"},
      {{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}}, {{0, 1, 0}, 1}, {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {1, 1, 0}}, "triangle, two cuts"},
      {{}, {{1, 0, 0}, 1}, {}, "empty polygon"},
  };
  for (const auto& c : cases) {
    Polygon3 out{{9, 9, 9}};
    ClipToHalfPlane3(c.poly, c.plane, out);
    expect_points(out, c.want, 1e-12, c.what);
  }
}

TEST(Geometry, IntersectLinesAroundJunction) {
  const Point3 untouched{7, 7, 7};
  const struct {
    Line3 l1, l2;
    Point3 junction;
    bool ok;
    Point3 want;
    const char* what;
  } cases[] = {
      {{{0, 0, 0}, {1, 0, 0}}, {{0, 1, 0}, {2, 0, 0}}, {0, 0, 0}, false, untouched, "parallel lines"},
      {{{0, 0, 0}, {1, 0, 0}}, {{0, 1, 0}, {-3, 0, 0}}, {0, 0, 0}, false, untouched, "opposite directions"},
      {{{0, 0, 0}, {0, 0, 0}}, {{0, 1, 0}, {1, 0, 0}}, {0, 0, 0}, false, untouched, "a line with no direction"},
      {{{0, 0, 0}, {1, 0, 0}}, {{2, -1, 0}, {0, 1, 0}}, {9, 9, 0}, true, {2, 0, 0}, "crossing lines"},
      {{{1, 1, 1}, {1, 1, 0}}, {{4, 0, 1}, {-1, 1, 0}}, {0, 0, 1}, true, {2, 2, 1}, "crossing diagonals"},
      {{{0, 0, 0}, {1, 0, 0}}, {{2, 0, 3}, {0, 1, 0}}, {0, 0, 1}, true, {2, 0, 1}, "skew lines, at the junction's height"},
  };
  for (const auto& c : cases) {
    Point3 out = untouched;
    EXPECT_EQ(IntersectLinesAroundJunction(c.l1, c.l2, c.junction, out), c.ok) << c.what;
    expect_points({out}, {c.want}, 1e-12, c.what);
  }
}

TEST(Geometry, BezierCurve) {
  const Point3 s{0, 0, 0}, e{4, 0, 0}, off{0, 4, 0}, on{1, 0, 0};
  const struct {
    bool has1, has2;
    Point3 c1, c2;
    int segments;
    double start_gap, end_gap;
    std::vector<Point3> want;
    const char* what;
  } cases[] = {
      {false, false, off, off, 4, 0, 0, {s, e}, "no control points"},
      {true, false, off, off, 0, 0, 0, {s, e}, "no segments"},
      {true, false, on, on, 4, 0, 0, {s, e}, "controls on the chord"},
      {true, false, off, off, 2, 0, 0, {s, {2, 1.5, 0}, e}, "middle point by the Bernstein weights"},
      {false, true, off, off, 2, 0, 0, {s, {0.5, 1.5, 0}, e}, "control2 alone"},
      {false, true, off, off, 0, 0, 0, {s, e}, "control2 alone, no segments"},
      {true, true, {0, 2, 0}, {4, 2, 0}, 2, 0, 0, {s, {2, 1.5, 0}, e}, "both controls"},
  };
  for (const auto& c : cases) {
    std::vector<Point3> out{{9, 9, 9}};
    BezierCurve(s, e, c.has1, c.has2, c.c1, c.c2, c.segments, c.start_gap, c.end_gap, out);
    expect_points(out, c.want, 1e-6, c.what);
  }
  // Off the chord with 4 segments: 5 points, and the gaps drop those near the ends.
  const struct {
    double start_gap, end_gap;
    size_t want;
  } gaps[] = {{0, 0, 5}, {1.9, 0, 4}, {0, 1.0, 4}, {1.9, 1.0, 3}, {100, 100, 2}, {-1, -1, 4}};
  for (const auto& g : gaps) {
    std::vector<Point3> out;
    BezierCurve(s, e, true, false, off, off, 4, g.start_gap, g.end_gap, out);
    EXPECT_EQ(out.size(), g.want) << "gaps " << g.start_gap << ", " << g.end_gap;
    EXPECT_TRUE(out.front() == s && out.back() == e);
  }
}
