// Quad strips along polylines: building, reversing and trimming their ends.
#include <algorithm>
#include <cmath>
#include "ogl/ogl_geometry.h"

namespace {

double length(const Vector3& v) { return std::sqrt(dot(v, v)); }

// The point a fraction f of the way from a to b; the ends come out exact.
Point3 lerp(const Point3& a, const Point3& b, double f) {
  if (f == 0) return a;
  if (f == 1) return b;
  auto mix = [f](double p, double q) { return p == q ? p : f * q + (1 - f) * p; };
  return {mix(a.x, b.x), mix(a.y, b.y), mix(a.z, b.z)};
}

// The mitred corner on one side of a bend at pt: where the two offset walls
// meet, cut at pt's level along up.
Point3 mitre(const Point3& pt, const Vector3& s1, const Vector3& s2, const Vector3& up, double offset) {
  const Point3 on1 = pt + s1 * offset, on2 = pt + s2 * offset;
  Line3 meet{on1, up};
  if (!(s1 == s2)) plane_pair_line({s1, along(s1, on1)}, {s2, along(s2, on2)}, meet);
  Point3 cut;
  return line_meets_plane(meet, {up, along(up, pt)}, cut) ? cut : on1;
}

// Walks a rail (points first, first + 2, ...) to where it has run dist; the
// even rail stops on reaching dist exactly, the odd one only past it. Returns
// the index of the segment's start, or -1 when the rail is too short.
int cut_rail(const std::vector<Point3>& strip, int first, double dist, bool stop_on_equal, Point3& cut) {
  const int last = static_cast<int>(strip.size()) - 2 + first;
  double sum = 0;
  for (int k = first; k + 2 <= last; k += 2) {
    const double seg = length(strip[k + 2] - strip[k]);
    if (dist < sum + seg || (stop_on_equal && dist == sum + seg)) {
      cut = lerp(strip[k], strip[k + 2], (dist - sum) / seg);
      return k;
    }
    sum += seg;
  }
  return -1;
}

}  // namespace

double LongerSideOfQuad(const std::vector<Point3>& strip) {
  const Point3 &p0 = strip[0], &p1 = strip[1], &p2 = strip[2], &p3 = strip[3];
  const Vector3 odd = p1 - p3;
  const double a = dot(p0 - p3, odd) / dot(odd, odd);
  if (a < 1) return -length((p3 + odd * a) - p1);
  const Vector3 even = p0 - p2;
  const double e = dot(p1 - p2, even) / dot(even, even);
  return length((p2 + even * e) - p0);
}

void ReverseQuadStrip(std::vector<Point3>& strip) { std::reverse(strip.begin(), strip.end()); }

void ChainToQuadStrip(const std::vector<Point3>& pts, const std::vector<Vector3>& ups,
                      const std::vector<double>& widths, std::vector<Point3>& strip) {
  const size_t n = pts.size();
  if (n < 2) return;
  strip.clear();
  auto rung = [&strip](const Point3& p, const Vector3& side) {
    strip.push_back(p + side);
    strip.push_back(p - side);
  };
  for (size_t k = 0; k < n; ++k) {
    const double h = widths[k] / 2;
    const Point3& pt = pts[k];
    if (k == 0) {
      rung(pt, normalized(cross(pts[1] - pt, ups[0])) * h);
    } else if (k == n - 1) {
      rung(pt, normalized(cross(pt - pts[k - 1], ups[k])) * h);
    } else {
      const Vector3 din = normalized(pt - pts[k - 1]), dout = normalized(pts[k + 1] - pt);
      const Vector3 s1 = normalized(cross(din, ups[k])), s2 = normalized(cross(dout, ups[k]));
      const double c = dot(s1, s2);
      // Every rung runs (+ side, - side) at half the width, so the strip
      // draws as one quad strip whatever the bends.
      if (c > 0.9995) {
        rung(pt, s1 * h);
      } else if (c < -0.9995) {
        rung(pt, s1 * h);
        rung(pt, s2 * h);
      } else {
        strip.push_back(mitre(pt, s1, s2, ups[k], h));
        strip.push_back(mitre(pt, s1, s2, ups[k], -h));
      }
    }
  }
}

void RemoveFromQuadStripFront(std::vector<Point3>& strip, double length, std::vector<Point3>& removed,
                              bool square_ends) {
  removed.clear();
  if (strip.size() < 4) return;
  double odd_dist = length, even_dist = length;
  if (square_ends) {
    const double s = LongerSideOfQuad(strip);
    if (s >= 0)
      even_dist = length + s;
    else
      odd_dist = length - s;
  }
  if (!(length > 0)) return;
  Point3 odd_cut, even_cut;
  const int go = cut_rail(strip, 1, odd_dist, false, odd_cut);
  const int even_start = cut_rail(strip, 0, even_dist, true, even_cut);
  if (go < 0 || even_start < 0) return;
  const int ge = even_start + 1;
  removed.assign(strip.begin(), strip.begin() + std::min(go, ge) + 1);
  strip.erase(strip.begin(), strip.begin() + std::max(go, ge) + 1);
  removed.push_back(even_cut);
  removed.push_back(odd_cut);
  const bool rung_stands = strip.size() >= 2 && (strip[0] == even_cut || strip[1] == odd_cut);
  if (!rung_stands) strip.insert(strip.begin(), {even_cut, odd_cut});
}

void RemoveFromQuadStripBack(std::vector<Point3>& strip, double length, std::vector<Point3>& removed,
                             bool square_ends) {
  ReverseQuadStrip(strip);
  RemoveFromQuadStripFront(strip, length, removed, square_ends);
  ReverseQuadStrip(strip);
}
