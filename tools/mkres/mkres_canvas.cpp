#include "mkres_canvas.h"
#include <algorithm>
#include <cmath>

mkres_canvas MKRES_canvas(int width, int height) {
  mkres_canvas c;
  c.width = width;
  c.height = height;
  c.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
  return c;
}

void MKRES_set(mkres_canvas& c, int u, int v, mkres_rgba colour) {
  if (u < 0 || v < 0 || u >= c.width || v >= c.height) return;
  uint8_t* p = &c.rgba[(static_cast<size_t>(v) * c.width + u) * 4];
  p[0] = colour.r;
  p[1] = colour.g;
  p[2] = colour.b;
  p[3] = colour.a;
}

mkres_rgba MKRES_get(const mkres_canvas& c, int u, int v) {
  if (u < 0 || v < 0 || u >= c.width || v >= c.height) return {0, 0, 0, 0};
  const uint8_t* p = &c.rgba[(static_cast<size_t>(v) * c.width + u) * 4];
  return {p[0], p[1], p[2], p[3]};
}

void MKRES_fill(mkres_canvas& c, atlas_rect r, mkres_rgba colour) {
  for (int v = r.v0; v < r.v1; ++v)
    for (int u = r.u0; u < r.u1; ++u) MKRES_set(c, u, v, colour);
}

void MKRES_fill_coded(mkres_canvas& c, atlas_rect r, int element) {
  for (int v = r.v0; v < r.v1; ++v)
    for (int u = r.u0; u < r.u1; ++u) {
      const coded_texel t = atlas_code_texel(u, v, element);
      MKRES_set(c, u, v, {t.r, t.g, t.b, 255});
    }
}

void MKRES_outline(mkres_canvas& c, atlas_rect r, mkres_rgba colour) {
  MKRES_fill(c, {r.u0, r.v0, r.u1, r.v0 + 1}, colour);
  MKRES_fill(c, {r.u0, r.v1 - 1, r.u1, r.v1}, colour);
  MKRES_fill(c, {r.u0, r.v0, r.u0 + 1, r.v1}, colour);
  MKRES_fill(c, {r.u1 - 1, r.v0, r.u1, r.v1}, colour);
}

void MKRES_triangle(mkres_canvas& c, atlas_rect r, int margin, mkres_dir dir, mkres_rgba colour) {
  const atlas_rect in = {r.u0 + margin, r.v0 + margin, r.u1 - margin, r.v1 - margin};
  const bool vertical = dir == dir_up || dir == dir_down;
  // Along the pointing axis the triangle grows from its tip to its base.
  const int length = vertical ? in.height() : in.width();
  const float base_half = (vertical ? in.width() : in.height()) / 2.0f;
  const float mid = vertical ? (in.u0 + in.u1) / 2.0f : (in.v0 + in.v1) / 2.0f;
  for (int k = 0; k < length; ++k) {
    const float half = base_half * (k + 1) / length;
    const int along = (dir == dir_up) ? in.v1 - 1 - k : (dir == dir_down) ? in.v0 + k
                      : (dir == dir_right) ? in.u1 - 1 - k : in.u0 + k;
    for (int across = static_cast<int>(std::floor(mid - half)); across < mid + half; ++across) {
      if (across + 0.5f < mid - half || across + 0.5f > mid + half) continue;
      if (vertical)
        MKRES_set(c, across, along, colour);
      else
        MKRES_set(c, along, across, colour);
    }
  }
}

void MKRES_disc(mkres_canvas& c, float cu, float cv, float radius, mkres_rgba colour) {
  for (int v = static_cast<int>(cv - radius) - 1; v <= cv + radius; ++v)
    for (int u = static_cast<int>(cu - radius) - 1; u <= cu + radius; ++u) {
      const float du = u + 0.5f - cu, dv = v + 0.5f - cv;
      if (du * du + dv * dv <= radius * radius) MKRES_set(c, u, v, colour);
    }
}

void MKRES_line(mkres_canvas& c, float u0, float v0, float u1, float v1, mkres_rgba colour) {
  const int steps = static_cast<int>(std::max(std::fabs(u1 - u0), std::fabs(v1 - v0))) * 2 + 1;
  for (int k = 0; k <= steps; ++k) {
    const float t = static_cast<float>(k) / steps;
    const float u = u0 + (u1 - u0) * t, v = v0 + (v1 - v0) * t;
    MKRES_disc(c, u + 0.5f, v + 0.5f, 1.0f, colour);
  }
}
