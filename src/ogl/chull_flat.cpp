// Hulls for callers that hold points, planes and triangles in flat float lists.
#include <cmath>
#include <cstdio>
#include "core/utl_mem.h"
#include "ogl/chull.h"

namespace {

// The grid cell of a coordinate, counted in 1/1024 steps and truncated toward
// zero; false for a value with no int cell (not finite, or too large).
bool grid_cell(float v, int& cell) {
  const double scaled = static_cast<double>(v) * 1024.0;
  if (!(scaled > -2147483649.0 && scaled < 2147483648.0)) return false;
  cell = static_cast<int>(scaled);
  return true;
}

float plane_value(const float* plane, const float* p) {
  return plane[0] * p[0] + plane[1] * p[1] + plane[2] * p[2] + plane[3];
}

}  // namespace

void UTL_trim_to_inside_hull(const std::vector<float>& planes, std::vector<float>& pts, bool keep_inside) {
  const size_t n_planes = planes.size() / 4, n_pts = pts.size() / 3;
  size_t kept = 0;
  for (size_t i = 0; i < n_pts; ++i) {
    const float* p = &pts[3 * i];
    // A NaN value passes either test: it is neither below 0 nor at most 0.
    bool keep = keep_inside;
    for (size_t k = 0; k < n_planes; ++k) {
      const float v = plane_value(&planes[4 * k], p);
      if (keep_inside ? v < 0 : v <= 0) {
        keep = !keep_inside;
        break;
      }
    }
    if (!keep) continue;
    if (kept != i)
      for (int c = 0; c < 3; ++c) pts[3 * kept + c] = pts[3 * i + c];
    ++kept;
  }
  pts.resize(3 * kept);
}

void UTL_create_ch_brute_force(const std::vector<float>& pts, std::vector<float>& planes, std::vector<float>& tris) {
  tris.clear();
  planes.clear();
  if (pts.size() < 9) return;
  std::vector<int> cells;
  std::vector<float> unique;
  for (size_t i = 0; i + 2 < pts.size(); i += 3) {
    int q[3];
    if (!grid_cell(pts[i], q[0]) || !grid_cell(pts[i + 1], q[1]) || !grid_cell(pts[i + 2], q[2])) continue;
    bool seen = false;
    for (size_t k = 0; k < cells.size() && !seen; k += 3)
      seen = cells[k] == q[0] && cells[k + 1] == q[1] && cells[k + 2] == q[2];
    if (seen) continue;
    for (int c = 0; c < 3; ++c) {
      cells.push_back(q[c]);
      unique.push_back(static_cast<float>(q[c]) * 0.0009765625f);
    }
  }
  // Every point was dropped: nothing to build on, and no array to hand over.
  if (unique.empty()) return;

  float* verts = nullptr;
  int* corners = nullptr;
  int n_verts = 0, n_tris = 0;
  {
    Chull3D hull(unique.data(), static_cast<int>(unique.size() / 3));
    hull.compute();
    if (!hull.get_convex_hull(&verts, &n_verts, &corners, &n_tris)) return;
  }
  // Corners go in reversed, so the planes below face into the hull.
  tris.resize(9 * static_cast<size_t>(n_tris));
  for (int t = 0; t < n_tris; ++t)
    for (int k = 0; k < 3; ++k) {
      const int v = corners[3 * t + 2 - k];
      if (v < 0) continue;
      for (int c = 0; c < 3; ++c) tris[9 * t + 3 * k + c] = verts[3 * v + c];
    }
  xfree(verts);
  xfree(corners);

  planes.resize(4 * static_cast<size_t>(n_tris));
  for (int t = 0; t < n_tris; ++t) {
    const float* p0 = &tris[9 * t];
    const float* p1 = p0 + 3;
    const float* p2 = p0 + 6;
    const float ux = p1[0] - p0[0], uy = p1[1] - p0[1], uz = p1[2] - p0[2];
    const float wx = p2[0] - p0[0], wy = p2[1] - p0[1], wz = p2[2] - p0[2];
    const float a = uy * wz - uz * wy, b = uz * wx - ux * wz, c = ux * wy - uy * wx;
    float* out = &planes[4 * t];
    out[0] = a;
    out[1] = b;
    out[2] = c;
    out[3] = -(p0[0] * a + p0[1] * b + p0[2] * c);
  }
}

void UTL_create_ch_two_stage(const std::vector<float>& pts, std::vector<float>& planes, std::vector<float>& tris) {
  const size_t n = pts.size() / 3;
  // least x, y, z, then greatest x, y, z: the first point to reach each.
  size_t ext[6] = {0, 0, 0, 0, 0, 0};
  for (size_t i = 1; i < n; ++i)
    for (int c = 0; c < 3; ++c) {
      if (pts[3 * i + c] < pts[3 * ext[c] + c]) ext[c] = i;
      if (pts[3 * i + c] > pts[3 * ext[3 + c] + c]) ext[3 + c] = i;
    }
  if (n == 0 || ext[0] == ext[3] || ext[1] == ext[4] || ext[2] == ext[5]) {
    UTL_create_ch_brute_force(pts, planes, tris);
    return;
  }
  std::vector<float> six;
  for (size_t e : ext)
    for (int c = 0; c < 3; ++c) six.push_back(pts[3 * e + c]);
  UTL_create_ch_brute_force(six, planes, tris);

  std::vector<float> rest = pts;
  // Six collinear extremes leave no planes, and by the trimming rule no plane
  // means every point is inside: keep them all rather than lose the cloud.
  if (!planes.empty()) UTL_trim_to_inside_hull(planes, rest, false);
  rest.insert(rest.end(), six.begin(), six.end());
  printf("Would have done %d, really doing %d.\n", static_cast<int>(pts.size()), static_cast<int>(rest.size()));
  UTL_create_ch_brute_force(rest, planes, tris);
}
