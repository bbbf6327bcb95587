// Flat and ribbon geometry in double precision: directions, offset segments
// and inset polygons, polygon simplification, quad strips along polylines,
// bounding spheres, convex point tests, line junctions, Bezier sampling and
// half-space clipping. No state, no GL and no error reports: degenerate input
// gets the fallback each function names. Any thread.
#pragma once
#include <vector>

constexpr double PI2 = 6.283185307179586476925286766559;

struct Vector2 {
  double dx = 0, dy = 0;
};
struct Point2 {
  double x = 0, y = 0;
};
struct Vector3 {
  double dx = 0, dy = 0, dz = 0;
};
struct Point3 {
  double x = 0, y = 0, z = 0;
};
struct Segment2 {
  Point2 p1, p2;  // start, end
};
struct Segment3 {
  Point3 p1, p2;  // start, end
};
using Polygon2 = std::vector<Point2>;  // closed unless a call says open
using Polygon3 = std::vector<Point3>;
// A line through p along v (v need not be unit length).
struct Line3 {
  Point3 p;
  Vector3 v;
};
// The points q with n . q = ndist (n need not be unit length).
struct Plane3 {
  Vector3 n;
  double ndist = 0;
};
// A squared radius of exactly 0 marks an empty sphere.
struct Sphere3 {
  Point3 c;
  double radius_squared = 0;
};

// Maps one axis-aligned rectangle onto another, each axis on its own. A
// rectangle of zero width or height gives non-finite results.
struct CoordTranslator {
  Point2 srcMin, srcMax, dstMin, dstMax;
  // A source point in destination coordinates.
  Point2 Forward(const Point2& p) const;
  // A destination point in source coordinates.
  Point2 Reverse(const Point2& p) const;
};

// ---- small vector algebra ------------------------------------------------
inline Vector2 operator-(const Point2& a, const Point2& b) { return {a.x - b.x, a.y - b.y}; }
inline Point2 operator+(const Point2& p, const Vector2& v) { return {p.x + v.dx, p.y + v.dy}; }
inline Vector2 operator*(const Vector2& v, double s) { return {v.dx * s, v.dy * s}; }
inline double dot(const Vector2& a, const Vector2& b) { return a.dx * b.dx + a.dy * b.dy; }
inline double cross(const Vector2& a, const Vector2& b) { return a.dx * b.dy - a.dy * b.dx; }
inline bool operator==(const Point2& a, const Point2& b) { return a.x == b.x && a.y == b.y; }

inline Vector3 operator-(const Point3& a, const Point3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Point3 operator+(const Point3& p, const Vector3& v) { return {p.x + v.dx, p.y + v.dy, p.z + v.dz}; }
inline Point3 operator-(const Point3& p, const Vector3& v) { return {p.x - v.dx, p.y - v.dy, p.z - v.dz}; }
inline Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.dx + b.dx, a.dy + b.dy, a.dz + b.dz}; }
inline Vector3 operator*(const Vector3& v, double s) { return {v.dx * s, v.dy * s, v.dz * s}; }
inline double dot(const Vector3& a, const Vector3& b) { return a.dx * b.dx + a.dy * b.dy + a.dz * b.dz; }
inline Vector3 cross(const Vector3& a, const Vector3& b) {
  return {a.dy * b.dz - a.dz * b.dy, a.dz * b.dx - a.dx * b.dz, a.dx * b.dy - a.dy * b.dx};
}
inline bool operator==(const Point3& a, const Point3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline bool operator==(const Vector3& a, const Vector3& b) { return a.dx == b.dx && a.dy == b.dy && a.dz == b.dz; }
// n . p, the offset of p along n.
inline double along(const Vector3& n, const Point3& p) { return n.dx * p.x + n.dy * p.y + n.dz * p.z; }
// Squared distance between two points.
inline double dist2(const Point3& a, const Point3& b) {
  const Vector3 d = a - b;
  return dot(d, d);
}
// The unit direction of v; axis-aligned input comes out exact (a component of
// exactly 0 gives (0, sign) or (sign, 0)), and a zero vector stays zero.
Vector2 unit_direction(const Vector2& v);
// v divided by its length, or v unchanged when the length is exactly 0.
Vector3 normalized(const Vector3& v);
// The per-coordinate midpoint of a and b; a coordinate they share is copied,
// not averaged, so it survives rounding.
Point3 midpoint(const Point3& a, const Point3& b);

// The line where planes a and b meet (direction a.n x b.n); false, out
// untouched, when their normals are parallel.
bool plane_pair_line(const Plane3& a, const Plane3& b, Line3& out);
// Where the line l meets the plane; false, out untouched, when l runs
// parallel to it.
bool line_meets_plane(const Line3& l, const Plane3& plane, Point3& out);

// ---- directions and offsets ----------------------------------------------
// True when test lies strictly counter-clockwise after from and strictly
// before to; from and to pointing the same way always give true. Angles are
// taken in single precision.
bool Is_CCW_Between(const Vector2& from, const Vector2& test, const Vector2& to);
// How far one rail of the strip's first quad (points 0 to 3) sticks out past
// the other: negative for the odd rail, positive for the even one.
double LongerSideOfQuad(const std::vector<Point3>& strip);
// s moved to its left (x right, y up) by dist into out; negative moves right.
// A zero-length segment stays where it is.
void MoveSegLeft(const Segment2& s, double dist, Segment2& out);
// s moved by dist along up x (its direction), unit length, into out.
void MoveSegLeft(const Segment3& s, double dist, Segment3& out, const Vector3& up);

// ---- polygons -------------------------------------------------------------
// The largest inset (distance times per-edge weight; weights null means all
// 1) before some edge shrinks to nothing; 0 when no edge ever collapses or
// there is no edge.
double CalcMaxInset(const Polygon2& poly, const double* weights, bool closed);
// Drops points on too-short edges and points that barely bend the outline
// (squared deviation below max_sq_dev and edge directions dotting above
// min_cos, tried only where both edges are longer than straight_len). Repeats
// until nothing changes; never leaves fewer than 3 points.
void ReducePolygon(Polygon2& poly, double max_sq_dev, double min_cos, double straight_len, double min_len);
// Insets every edge by dist times its weight (inward for a counter-clockwise
// polygon) and joins the offset edges into out. Where the outline doubles
// back on itself two cap points are emitted, and callback, when given, gets
// the index in out of the first of them and ref.
void InsetPolygon(const Polygon2& poly, const double* weights, double dist, bool closed, Polygon2& out,
                  void (*callback)(int index, void* ref), void* ref);
// The same about the up direction in 3-D, without the callback.
void InsetPolygon(const Polygon3& poly, const double* weights, double dist, bool closed, const Vector3& up,
                  Polygon3& out);
// True when p lies inside or on the edge of a convex planar polygon of
// either winding, ignoring p's distance from its plane; false below 3 points.
bool PointInPolygon3(const Polygon3& poly, const Point3& p);
// The part of poly where n . p <= ndist, into out (empty for an empty poly).
void ClipToHalfPlane3(const Polygon3& poly, const Plane3& plane, Polygon3& out);

// ---- bounding spheres ------------------------------------------------------
// Grows s to enclose a. An empty a changes nothing; an empty s, or one that a
// encloses, becomes a copy of a.
void ExtendBoundingSphereToSphere(const Sphere3& a, Sphere3& s);
// Grows s to take in p, which must lie outside it.
void ExtendBoundingSphereToPt1(const Point3& p, Sphere3& s);
// Grows s to take in p when p lies outside it.
void ExtendBoundingSphereToPt(const Point3& p, Sphere3& s);
// A sphere, not the smallest, that encloses every point; s is left alone
// when there is none.
void FastBoundingSphere(const std::vector<Point3>& pts, Sphere3& s);

// ---- lines and curves -------------------------------------------------------
// Where L1 and L2 cross seen along their common normal, at the junction's
// height along it (for crossing lines, their crossing). False, out untouched,
// for parallel lines or a degenerate construction.
bool IntersectLinesAroundJunction(const Line3& l1, const Line3& l2, const Point3& junction, Point3& out);
// Samples the cubic from start to end into out (start and end always come
// first and last); a missing control point stands at its end. Points closer
// than start_gap to start or end_gap to end are left out (compared as squares,
// so a negative gap counts by its size).
void BezierCurve(const Point3& start, const Point3& end, bool has_c1, bool has_c2, const Point3& c1, const Point3& c2,
                 int segments, double start_gap, double end_gap, std::vector<Point3>& out);

// ---- quad strips -------------------------------------------------------------
// Strips are point pairs (rungs); even points form one rail, odd the other.
// Runs the strip the other way, keeping the quads' facing.
void ReverseQuadStrip(std::vector<Point3>& strip);
// A strip of width widths[k] along the polyline, one rung per point (plus one
// at each point where it turns back), each rung written (+ side, - side) with
// side = direction x up, mitred at bends. Fewer than 2 points: strip untouched.
void ChainToQuadStrip(const std::vector<Point3>& pts, const std::vector<Vector3>& ups,
                      const std::vector<double>& widths, std::vector<Point3>& strip);
// Cuts length off the strip's front, into removed (the cut points last);
// square_ends cuts the rail that sticks out further so the new end is square.
// A strip below 4 points or a rail shorter than the cut is left alone.
void RemoveFromQuadStripFront(std::vector<Point3>& strip, double length, std::vector<Point3>& removed,
                              bool square_ends);
// The same at the back; removed runs as the front cut of the reversed strip.
void RemoveFromQuadStripBack(std::vector<Point3>& strip, double length, std::vector<Point3>& removed,
                             bool square_ends);
