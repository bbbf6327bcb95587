// Planar directions, offsets, insets and simplification.
#include <cmath>
#include "ogl/ogl_geometry.h"

namespace {

double sign_of(double v) { return v > 0 ? 1.0 : (v < 0 ? -1.0 : 0.0); }

// Direction of a vector as the angle its single-precision arc tangent gives:
// callers compare these angles exactly, so the narrowing is part of the answer.
double narrow_angle(double dx, double dy) {
  return static_cast<double>(std::atan2(static_cast<float>(dy), static_cast<float>(dx)));
}
}  // namespace

Vector2 unit_direction(const Vector2& v) {
  if (v.dx == 0) return {0, sign_of(v.dy)};
  if (v.dy == 0) return {sign_of(v.dx), 0};
  const double len = std::sqrt(v.dx * v.dx + v.dy * v.dy);
  return {v.dx / len, v.dy / len};
}

Point2 CoordTranslator::Forward(const Point2& p) const {
  return {dstMin.x + (p.x - srcMin.x) * (dstMax.x - dstMin.x) / (srcMax.x - srcMin.x),
          dstMin.y + (p.y - srcMin.y) * (dstMax.y - dstMin.y) / (srcMax.y - srcMin.y)};
}

Point2 CoordTranslator::Reverse(const Point2& p) const {
  return {srcMin.x + (p.x - dstMin.x) * (srcMax.x - srcMin.x) / (dstMax.x - dstMin.x),
          srcMin.y + (p.y - dstMin.y) * (srcMax.y - srcMin.y) / (dstMax.y - dstMin.y)};
}

bool Is_CCW_Between(const Vector2& from, const Vector2& test, const Vector2& to) {
  double a1 = narrow_angle(from.dx, from.dy);
  double a2 = narrow_angle(test.dx, test.dy);
  double a3 = narrow_angle(to.dx, to.dy);
  if (a1 == a3) return true;
  if (a1 <= -M_PI) a1 += PI2;
  if (a2 <= -M_PI) a2 += PI2;
  if (a3 <= -M_PI) a3 += PI2;
  if (a2 < a1) a2 += PI2;
  if (a3 < a1) a3 += PI2;
  return a1 < a2 && a2 < a3;
}

void MoveSegLeft(const Segment2& s, double dist, Segment2& out) {
  const Vector2 side = unit_direction({-(s.p2.y - s.p1.y), s.p2.x - s.p1.x}) * dist;
  const Segment2 moved{s.p1 + side, s.p2 + side};
  out = moved;
}

double CalcMaxInset(const Polygon2& poly, const double* weights, bool closed) {
  const int count = static_cast<int>(poly.size());
  const int edges = closed ? count : count - 1;
  if (edges <= 0) return 0;
  auto weight = [&](int e) { return weights ? weights[e] : 1.0; };
  auto direction = [&](int e) {
    const Vector2 d = poly[(e + 1) % count] - poly[e];
    return narrow_angle(d.dx, d.dy);
  };
  auto interior = [](double into, double out_of) {
    double a = M_PI - (out_of - into);
    if (a > M_PI) a -= PI2;
    return a;
  };
  double best = 0;
  bool found = false;
  for (int j = 0; j < edges; ++j) {
    const int prev = (j + edges - 1) % edges, next = (j + 1) % edges;
    const double dir = direction(j);
    double rate = 0;
    if (closed || j > 0) {
      const double t0 = interior(direction(prev), dir);
      rate += weight(j) * std::cos(t0) / std::sin(t0) + weight(prev) / std::sin(t0);
    }
    if (closed || j < edges - 1) {
      const double t1 = interior(dir, direction(next));
      rate += weight(j) * std::cos(t1) / std::sin(t1) + weight(next) / std::sin(t1);
    }
    if (rate > 0) {
      const Vector2 d = poly[(j + 1) % count] - poly[j];
      const double inset = std::sqrt(dot(d, d)) / rate;
      if (!found || inset < best) best = inset;
      found = true;
    }
  }
  return best;
}

void ReducePolygon(Polygon2& poly, double max_sq_dev, double min_cos, double straight_len, double min_len) {
  const double min2 = min_len * min_len, straight2 = straight_len * straight_len;
  for (bool removed = true; removed;) {
    removed = false;
    for (size_t i = 0; i < poly.size(); ++i) {
      // A triangle is the least a polygon can be; stop before going below it.
      if (poly.size() <= 3) return;
      const size_t n = poly.size();
      const Point2 prev = poly[(i + n - 1) % n], pt = poly[i], next = poly[(i + 1) % n];
      const Vector2 in = pt - prev, out = next - pt;
      const double in2 = dot(in, in), out2 = dot(out, out);
      bool drop = in2 < min2 || out2 < min2;
      if (!drop && in2 > straight2 && out2 > straight2) {
        const Vector2 chord = next - prev;
        const double chord2 = dot(chord, chord);
        const Vector2 off = pt - prev;
        const double dev2 = chord2 > 0 ? cross(chord, off) * cross(chord, off) / chord2 : dot(off, off);
        drop = dev2 < max_sq_dev && dot(unit_direction(in), unit_direction(out)) > min_cos;
      }
      if (drop) {
        // The point that slides into slot i waits for the next pass.
        poly.erase(poly.begin() + static_cast<long>(i));
        removed = true;
      }
    }
  }
}
