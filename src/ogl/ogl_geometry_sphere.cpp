// Bounding spheres grown one point or sphere at a time.
#include <algorithm>
#include <cmath>
#include "ogl/ogl_geometry.h"

void ExtendBoundingSphereToPt1(const Point3& p, Sphere3& s) {
  const Vector3 n = normalized(p - s.c);
  const Point3 far_side = s.c - n * std::sqrt(s.radius_squared);
  s.c = midpoint(p, far_side);
  s.radius_squared = dist2(p, s.c);
}

void ExtendBoundingSphereToPt(const Point3& p, Sphere3& s) {
  if (s.radius_squared >= dist2(p, s.c)) return;
  ExtendBoundingSphereToPt1(p, s);
}

void ExtendBoundingSphereToSphere(const Sphere3& a, Sphere3& s) {
  if (a.radius_squared == 0) return;
  if (s.radius_squared == 0) {
    s = a;
    return;
  }
  const double ra = std::sqrt(a.radius_squared), rs = std::sqrt(s.radius_squared);
  const double gap = rs - ra;
  if (gap * gap >= dist2(a.c, s.c)) {
    // One holds the other; when a is the larger, it is the answer.
    if (ra > rs) s = a;
    return;
  }
  const Vector3 n = normalized(a.c - s.c);
  const Point3 far_a = a.c + n * ra, far_s = s.c - n * rs;
  s.c = midpoint(far_a, far_s);
  s.radius_squared = dist2(s.c, far_s);
}

void FastBoundingSphere(const std::vector<Point3>& pts, Sphere3& s) {
  if (pts.empty()) return;
  std::vector<Point3> sorted = pts;
  auto lesser_y_then_x_then_z = [](const Point3& a, const Point3& b) {
    if (a.y != b.y) return a.y < b.y;
    if (a.x != b.x) return a.x < b.x;
    return a.z < b.z;
  };
  // A stable merge sort never reads outside the range, even when a NaN
  // leaves the order inconsistent.
  std::stable_sort(sorted.begin(), sorted.end(), lesser_y_then_x_then_z);
  s.c = midpoint(sorted.front(), sorted.back());
  s.radius_squared = dist2(sorted.front(), s.c);
  for (size_t i = 1; i + 1 < sorted.size(); ++i) ExtendBoundingSphereToPt(sorted[i], s);
}
