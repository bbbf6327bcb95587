// Inset outlines in the plane and about an up direction in space.
#include "ogl/ogl_geometry.h"

namespace {

// The walk both insets share: every edge moved sideways by dist times its
// weight, then one point per vertex where neighbouring offset edges join
// (join), the ends of an open polyline as they are, and two cap points where
// the outline comes straight back on itself (cap, given the vertex's
// position and the cap's offset).
template <class Pt, class Seg, class Move, class Join, class Cap>
void inset_walk(const std::vector<Pt>& poly, const double* weights, double dist, bool closed, std::vector<Pt>& out,
                Move move, Join join, Cap cap) {
  out.clear();
  const int count = static_cast<int>(poly.size());
  if (count == 0) return;
  std::vector<Seg> orig(count), moved(count);
  for (int i = 0; i < count; ++i) {
    orig[i] = {poly[i], poly[(i + 1) % count]};
    // An open polyline's closing edge is never joined, and its caller passed
    // no weight for it.
    const bool closing_of_open = !closed && i == count - 1;
    const double w = weights && !closing_of_open ? weights[i] : 1.0;
    move(orig[i], dist * w, moved[i]);
  }
  for (int pos = 0; pos < count; ++pos) {
    const int prev = pos == 0 ? count - 1 : pos - 1;
    if (!closed && pos == 0) {
      out.push_back(moved[0].p1);
    } else if (!closed && pos == count - 1) {
      out.push_back(moved[prev].p2);
    } else if (!(orig[prev].p1 == orig[pos].p2)) {
      out.push_back(join(moved[prev], moved[pos]));
    } else {
      Seg capped;
      move(Seg{moved[prev].p2, moved[pos].p1}, dist * (weights ? weights[pos] : 1.0), capped);
      out.push_back(capped.p1);
      out.push_back(capped.p2);
      cap(pos);
    }
  }
}

}  // namespace

void InsetPolygon(const Polygon2& poly, const double* weights, double dist, bool closed, Polygon2& out,
                  void (*callback)(int index, void* ref), void* ref) {
  int spikes = 0;
  inset_walk<Point2, Segment2>(
      poly, weights, dist, closed, out,
      [](const Segment2& s, double d, Segment2& o) { MoveSegLeft(s, d, o); },
      [](const Segment2& a, const Segment2& b) {
        // Where the lines through the two offset edges cross; parallel ones
        // join at the end of the first.
        const Vector2 da = a.p2 - a.p1, db = b.p2 - b.p1;
        const double den = cross(da, db);
        return den == 0 ? a.p2 : a.p1 + da * (cross(b.p1 - a.p1, db) / den);
      },
      [&](int pos) {
        // Each earlier cap put one extra point before this one.
        if (callback) callback(pos + spikes, ref);
        ++spikes;
      });
}

void InsetPolygon(const Polygon3& poly, const double* weights, double dist, bool closed, const Vector3& up,
                  Polygon3& out) {
  inset_walk<Point3, Segment3>(
      poly, weights, dist, closed, out,
      [&up](const Segment3& s, double d, Segment3& o) { MoveSegLeft(s, d, o, up); },
      [&up](const Segment3& a, const Segment3& b) {
        // Where the next offset edge meets the upright wall over the last.
        const Vector3 wall = normalized(cross(a.p2 - a.p1, up));
        Point3 met;
        return line_meets_plane({b.p1, b.p2 - b.p1}, {wall, along(wall, a.p1)}, met) ? met : b.p1;
      },
      [](int) {});
}
