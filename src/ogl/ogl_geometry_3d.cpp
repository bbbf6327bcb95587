// Space geometry: offsets about an up direction, convex tests, clipping,
// junctions of lines and Bezier sampling.
#include <cmath>
#include "ogl/ogl_geometry.h"

Vector3 normalized(const Vector3& v) {
  const double len = std::sqrt(dot(v, v));
  if (len == 0) return v;
  return {v.dx / len, v.dy / len, v.dz / len};
}

Point3 midpoint(const Point3& a, const Point3& b) {
  auto mid = [](double p, double q) { return p == q ? p : (p + q) * 0.5; };
  return {mid(a.x, b.x), mid(a.y, b.y), mid(a.z, b.z)};
}

bool plane_pair_line(const Plane3& a, const Plane3& b, Line3& out) {
  const double aa = dot(a.n, a.n), bb = dot(b.n, b.n), ab = dot(a.n, b.n);
  const double den = aa * bb - ab * ab;
  if (den == 0) return false;
  const double ca = (a.ndist * bb - b.ndist * ab) / den;
  const double cb = (b.ndist * aa - a.ndist * ab) / den;
  const Vector3 through = a.n * ca + b.n * cb;
  out = {{through.dx, through.dy, through.dz}, cross(a.n, b.n)};
  return true;
}

bool line_meets_plane(const Line3& l, const Plane3& plane, Point3& out) {
  const double den = dot(plane.n, l.v);
  if (den == 0) return false;
  const Vector3 p{l.p.x, l.p.y, l.p.z};
  out = l.p + l.v * ((plane.ndist - dot(plane.n, p)) / den);
  return true;
}

void MoveSegLeft(const Segment3& s, double dist, Segment3& out, const Vector3& up) {
  const Vector3 side = normalized(cross(up, s.p2 - s.p1)) * dist;
  const Segment3 moved{s.p1 + side, s.p2 + side};
  out = moved;
}

bool PointInPolygon3(const Polygon3& poly, const Point3& p) {
  const size_t n = poly.size();
  if (n < 3) return false;
  const Vector3 normal = normalized(cross(poly[1] - poly[0], poly[1] - poly[2]));
  for (size_t i = 0; i < n; ++i) {
    const Point3& a = poly[i];
    const Vector3 m = normalized(cross(normal, poly[(i + 1) % n] - a));
    if (along(m, p) - along(m, a) > 0) return false;
  }
  return true;
}

void ClipToHalfPlane3(const Polygon3& poly, const Plane3& plane, Polygon3& out) {
  out.clear();
  const size_t n = poly.size();
  // Each point's own side decides, not a flag flipped at every crossing: a
  // plane through a corner meets two edges there and would flip it twice.
  for (size_t i = 0; i < n; ++i) {
    const Point3& a = poly[i];
    const Point3& b = poly[(i + 1) % n];
    const double da = along(plane.n, a) - plane.ndist, db = along(plane.n, b) - plane.ndist;
    if (da <= 0) out.push_back(a);
    if (!((da < 0 && db > 0) || (da > 0 && db < 0))) continue;
    const double t = (plane.ndist - along(plane.n, a)) / dot(plane.n, b - a);
    const Point3 x{a.x * (1 - t) + b.x * t, a.y * (1 - t) + b.y * t, a.z * (1 - t) + b.z * t};
    if (!(x == a) && !(x == b)) out.push_back(x);
  }
}

bool IntersectLinesAroundJunction(const Line3& l1, const Line3& l2, const Point3& junction, Point3& out) {
  const Vector3 common = cross(l1.v, l2.v);
  if (common == Vector3{}) return false;
  const Vector3 n = normalized(common);
  // Each line with the common normal spans a plane; the two planes meet in a
  // line along that normal, which crosses the junction's plane once.
  const Vector3 m1 = normalized(cross(l1.v, n)), m2 = normalized(cross(l2.v, n));
  if (m1 == m2) return false;
  Line3 meet;
  if (!plane_pair_line({m1, along(m1, l1.p)}, {m2, along(m2, l2.p)}, meet)) return false;
  return line_meets_plane(meet, {n, along(n, junction)}, out);
}

void BezierCurve(const Point3& start, const Point3& end, bool has_c1, bool has_c2, const Point3& c1, const Point3& c2,
                 int segments, double start_gap, double end_gap, std::vector<Point3>& out) {
  int n = 1;
  if (has_c1)
    n = segments > 0 ? segments : 1;
  else if (has_c2 && segments > 0)
    n = segments;
  const Point3 k1 = has_c1 ? c1 : start, k2 = has_c2 ? c2 : end;
  if (n > 1) {
    const Vector3 chord = end - start;
    if (cross(k1 - start, chord) == Vector3{} && cross(k2 - start, chord) == Vector3{}) n = 1;
  }
  out.clear();
  out.push_back(start);
  const double sg2 = start_gap * start_gap, eg2 = end_gap * end_gap;
  for (int i = 1; i < n; ++i) {
    const float t = static_cast<float>(i) / static_cast<float>(n), u = 1.0f - t;
    const float b0 = u * u * u, b1 = 3.0f * u * u * t, b2 = 3.0f * u * t * t, b3 = t * t * t;
    const Point3 p{start.x * b0 + k1.x * b1 + k2.x * b2 + end.x * b3,
                   start.y * b0 + k1.y * b1 + k2.y * b2 + end.y * b3,
                   start.z * b0 + k1.z * b1 + k2.z * b2 + end.z * b3};
    if (sg2 > 0 && dist2(p, start) < sg2) continue;
    if (eg2 > 0 && dist2(p, end) < eg2) continue;
    out.push_back(p);
  }
  out.push_back(end);
}
