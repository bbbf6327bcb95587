// The stretched pieces: the vertical bar, the horizontal bars and the panels.
#include <algorithm>
#include <cmath>
#include <vector>
#include "core/hl_alert.h"
#include "ogl/OGL_font.h"
#include "shell/wins.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"

namespace {
constexpr const char* k_src = "RUvozuz/OOPS_cpp/butn";

// One slice of a stretched piece along one axis: where it lies on screen and
// which texels it shows.
struct slice {
  float s0, s1, a0, a1;
};

// The slices of a piece from `from`, `length` long: the start cap, count
// middle tiles and the end cap, as the index k runs from -1 to count (the
// end cap wins when count is -1; nothing below that). The atlas holds the
// start cap at a0..a0 + cap0, the tile up to tile_end and the end cap from
// there to a1. The last tile is cut where the end cap begins and shows as
// many texels as it is long, so every tile maps one texel per pixel.
std::vector<slice> slices(float from, float length, int count, float a0, float cap0, float tile_end, float a1,
                          float cap1) {
  std::vector<slice> out;
  const float tile = tile_end - cap0, end_cap_at = from + length - cap1;
  for (int k = -1; k <= count; ++k) {
    if (k == count) {
      out.push_back({end_cap_at, from + length, a0 + tile_end, a1});
    } else if (k == -1) {
      out.push_back({from, from + cap0, a0, a0 + cap0});
    } else {
      const float s0 = from + cap0 + k * tile;
      float s1 = s0 + tile;
      float t1 = a0 + tile_end;
      if (s1 > end_cap_at) {
        s1 = end_cap_at;
        t1 = std::fmin(std::fmax(a0 + cap0 + (s1 - s0), a0 + cap0), a0 + tile_end);
      }
      out.push_back({s0, s1, a0 + cap0, t1});
    }
  }
  return out;
}

const bar_style* find_bar(int style) {
  for (const bar_style& b : k_bar_styles)
    if (b.style == style) return &b;
  return nullptr;
}

const panel_style* find_panel(int style) {
  for (const panel_style& p : k_panel_styles)
    if (p.style == style) return &p;
  return nullptr;
}
}  // namespace

void BTN_frame0(int style, float x, float y, float length) {
  const char* bad = style != 6 ? "Bad BTN_frame0 call!"
                    : x != std::trunc(x) ? "BTN_frame0 non-int x_center!"
                    : y != std::trunc(y) ? "BTN_frame0 non-int y_center!"
                                         : nullptr;
  if (bad) {
    __MACIBM_alert(0, bad, "", "", "", t_crash, k_src, style != 6 ? 437 : x != std::trunc(x) ? 438 : 439);
    return;
  }
  const float lv = 2 * std::round(length / 2) + 8;
  const int n = static_cast<int>((lv - 2 * k_vbar_cap) / 20) + 1;
  const atlas_rect& r = k_vbar;
  for (const slice& s : slices(y - lv / 2, lv, n, r.v0, k_vbar_cap, r.height() - k_vbar_cap, r.v1, k_vbar_cap))
    BTN_atlas_quad(359, x - 10, s.s0, x + 10, s.s1, r.u0, s.a0, r.u1, s.a1, 57, 1);
}

void BTN_frame1(int style, float x, float y, float width, int col) {
  const bar_style* b = find_bar(style);
  if (!b) {
    __MACIBM_alert(0, "Bad BTN_frame1 call!", "", "", "", t_crash, k_src, 517);
    return;
  }
  const float X = std::round(x), W = 2 * std::round(width / 2) + b->extra_width, Y = y + b->y_shift;
  const float h = b->r.height(), lx = X - W / 2;
  const int n = static_cast<int>((W - 2 * b->cap) / (b->tile_end - b->cap)) + 1;
  const int tex = style >= 11 ? 362 : 359;
  for (const slice& s : slices(lx, W, n, b->r.u0, b->cap, b->tile_end, b->r.u1, b->cap))
    BTN_atlas_quad(tex, s.s0, Y - h / 2, s.s1, Y + h / 2, s.a0, b->r.v0, s.a1, b->r.v1, col, 1);
}

void BTN_frame2(int style, float x, float y, float width, float height, std::string title, float alpha) {
  const panel_style* p = find_panel(style);
  if (!p) {
    __MACIBM_alert(0, "Bad BTN_frame2 call!", "", "", title, t_crash, k_src, 582);
    return;
  }
  const float A = p->side, cx = p->cx, cyb = p->cy_bottom, cyt = p->cy_top;
  const float lx = x - p->out_sides, W = width + 2 * p->out_sides;
  const float by = y - p->out_bottom, H = height + p->out_bottom + p->out_top;
  const float tx = A - 2 * cx, ty = A - cyb - cyt;
  // However narrow, a panel keeps both its side caps (they overlap).
  const int m = std::max(0, static_cast<int>((W - 2 * cx) / tx) + 1);
  const int r = std::max(1, static_cast<int>((H - cyt - cyb) / ty) + 1);
  const int tex = style == 23 ? 362 : 359;
  const std::vector<slice> cols = slices(lx, W, m, p->p, cx, A - cx, p->p + A, cx);
  for (const slice& row : slices(by, H, r, p->q, cyb, A - cyt, p->q + A, cyt))
    for (const slice& c : cols) BTN_atlas_quad(tex, c.s0, row.s0, c.s1, row.s1, c.a0, row.a0, c.a1, row.a1, 57, alpha);

  if (style == 23)
    OGL_string(p->title_colour, x + 10, y + height - 16, title, font_no_wrap, cs_regular, just_left);
  else
    OGL_string(p->title_colour, x + width / 2 - OGL_measure_string(title) / 2, y + height - (style == 14 ? 13 : 16),
               title, font_no_wrap, cs_regular, just_left);

  if (style == 14 && wins.win_open && !(wins.cur_win >= 994 && wins.cur_win <= 999)) BTN_zap_boxes(0);
}
