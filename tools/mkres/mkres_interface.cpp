// The interface atlas. Stretched pieces keep their middle tiles uniform
// along the stretch and their detail on whole cap texels, so tiling shows no
// seams; everything outside the table's rectangles stays transparent, which
// gives each piece its one-texel gutter.
#include <algorithm>
#include <iterator>
#include "mkres.h"
#include "mkres_canvas.h"
#include "mkres_png.h"
#include "mkres_theme.h"

namespace {

// The bar style a rectangle belongs to, or -1.
int bar_style_of(atlas_rect r) {
  for (const bar_style& b : k_bar_styles)
    if (b.r.u0 == r.u0 && b.r.v0 == r.v0 && b.r.u1 == r.u1 && b.r.v1 == r.v1) return b.style;
  return -1;
}

int panel_style_of(atlas_rect r) {
  for (const panel_style& p : k_panel_styles)
    if (p.p == r.u0 && p.q == r.v0 && p.side == r.width()) return p.style;
  return -1;
}

mkres_rgba plain_bar_fill(int style) {
  switch (style) {
    case 0: return k_menu_fill;
    case 1: return k_title_fill;
    case 9: return k_field_fill;
    default: return k_track_fill;
  }
}

// A bar: flat fill, outline, and for raised ones a lighter row under the top
// outline; every column of the middle tile is the same.
void paint_bar(mkres_canvas& c, atlas_rect r, mkres_rgba fill, mkres_rgba outline, const mkres_rgba* top) {
  MKRES_fill(c, r, fill);
  MKRES_outline(c, r, outline);
  if (top) MKRES_fill(c, {r.u0 + 1, r.v1 - 2, r.u1 - 1, r.v1 - 1}, *top);
}

void paint_cross(mkres_canvas& c, atlas_rect r, int margin, mkres_rgba ink) {
  MKRES_line(c, r.u0 + margin, r.v0 + margin, r.u1 - 1 - margin, r.v1 - 1 - margin, ink);
  MKRES_line(c, r.u0 + margin, r.v1 - 1 - margin, r.u1 - 1 - margin, r.v0 + margin, ink);
}

void paint_check(mkres_canvas& c, atlas_rect r, mkres_rgba ink) {
  MKRES_line(c, r.u0 + 4, r.v0 + 9, r.u0 + 7, r.v0 + 5, ink);
  MKRES_line(c, r.u0 + 7, r.v0 + 5, r.u1 - 5, r.v1 - 5, ink);
}

void paint_radio(mkres_canvas& c, atlas_rect r, bool on) {
  MKRES_fill(c, r, k_panel_fill[2]);
  const float cu = (r.u0 + r.u1) / 2.0f, cv = (r.v0 + r.v1) / 2.0f;
  MKRES_disc(c, cu, cv, r.width() / 2.0f - 1.0f, k_outline);
  MKRES_disc(c, cu, cv, r.width() / 2.0f - 2.0f, k_field_fill);
  if (on) MKRES_disc(c, cu, cv, 3.5f, k_dark_mark);
}

// The composed cursor a half belongs to; false for a cursor of its own.
bool composed_cursor(atlas_rect half, atlas_rect& whole) {
  for (size_t k = 0; k + 2 < std::size(k_cursors); ++k) {
    const atlas_rect a = k_cursors[k + 1].r, b = k_cursors[k + 2].r, all = k_cursors[k].r;
    const bool composed = a.u0 == all.u0 && a.v0 == all.v0 && b.u1 == all.u1 && b.v1 == all.v1;
    if (composed && ((a.u0 == half.u0 && a.v0 == half.v0 && a.u1 == half.u1 && a.v1 == half.v1) ||
                     (b.u0 == half.u0 && b.v0 == half.v0 && b.u1 == half.u1 && b.v1 == half.v1))) {
      whole = all;
      return true;
    }
  }
  return false;
}

// A cursor sprite: black on white. The two halves of a composed cursor share
// one outline and point away from each other, a double arrow when drawn
// together; a cursor of its own points the way its index says.
void paint_cursor(mkres_canvas& c, atlas_rect r, int index) {
  const mkres_rgba black = mkres_opaque(0, 0, 0);
  MKRES_fill(c, r, k_white);
  atlas_rect whole;
  if (!composed_cursor(r, whole)) {
    static const mkres_dir dirs[] = {dir_left, dir_right, dir_down, dir_up};
    MKRES_outline(c, r, black);
    MKRES_triangle(c, r, 4, dirs[index % 4], black);
    return;
  }
  // Only this half's part of the shared outline.
  mkres_canvas half = MKRES_canvas(c.width, c.height);
  MKRES_outline(half, whole, black);
  for (int v = r.v0; v < r.v1; ++v)
    for (int u = r.u0; u < r.u1; ++u)
      if (MKRES_get(half, u, v).a) MKRES_set(c, u, v, black);
  const bool split_across = r.v0 == whole.v0 && r.v1 == whole.v1;
  const bool first = r.u0 == whole.u0 && r.v0 == whole.v0;
  const mkres_dir dir = split_across ? (first ? dir_left : dir_right) : (first ? dir_down : dir_up);
  MKRES_triangle(c, r, 4, dir, black);
}

void paint_element(mkres_canvas& c, int index) {
  const atlas_element& e = k_atlas_elements[index];
  atlas_rect r = e.r;
  r.v1 = std::min(r.v1, k_atlas_size);
  switch (e.art) {
    case art_bar: paint_bar(c, r, k_button_fill, k_outline, &k_button_top); break;
    case art_bar_lit: paint_bar(c, r, k_lit_fill, mkres_opaque(150, 100, 30), &k_lit_top); break;
    case art_bar_fill: paint_bar(c, r, k_bar_fill, mkres_opaque(40, 80, 140), &k_bar_fill_top); break;
    case art_bar_plain: paint_bar(c, r, plain_bar_fill(bar_style_of(e.r)), k_outline, nullptr); break;
    case art_vbar: paint_bar(c, r, k_track_fill, k_outline, nullptr); break;
    case art_panel: paint_bar(c, r, k_panel_fill[panel_style_of(e.r) - 14], k_outline, nullptr); break;
    case art_close:
      paint_bar(c, r, k_button_fill, k_outline, &k_button_top);
      paint_cross(c, r, 5, k_dark_mark);
      break;
    case art_close_down:
      paint_bar(c, r, k_close_down, mkres_opaque(90, 20, 20), nullptr);
      paint_cross(c, r, 5, k_white);
      break;
    case art_check: paint_bar(c, r, k_field_fill, k_outline, nullptr); break;
    case art_check_on:
      paint_bar(c, r, k_field_fill, k_outline, nullptr);
      paint_check(c, r, k_dark_mark);
      break;
    case art_radio: paint_radio(c, r, false); break;
    case art_radio_on: paint_radio(c, r, true); break;
    case art_arrow_right:
      // Sits on the pop-up menu's panel, so it takes that panel's fill.
      MKRES_fill(c, r, k_panel_fill[20 - 14]);
      MKRES_triangle(c, r, 5, dir_right, k_dark_mark);
      break;
    case art_arrow_up:
    case art_arrow_down:
      paint_bar(c, r, k_button_fill, k_outline, &k_button_top);
      MKRES_triangle(c, r, 4, e.art == art_arrow_up ? dir_up : dir_down, k_dark_mark);
      break;
    case art_thumb:
      paint_bar(c, r, k_button_fill, k_outline, &k_button_top);
      for (int k = -1; k <= 1; ++k) {
        const int v = (r.v0 + r.v1) / 2 + 3 * k;
        MKRES_fill(c, {r.u0 + 4, v, r.u1 - 4, v + 1}, k_outline);
      }
      break;
    case art_icon: {
      static const mkres_rgba fills[] = {k_folder, mkres_opaque(120, 170, 230), mkres_opaque(140, 200, 140),
                                         mkres_opaque(230, 150, 120)};
      paint_bar(c, r, fills[index % 4], k_dark_mark, nullptr);
      break;
    }
    case art_folder:
      paint_bar(c, r, k_button_fill, k_outline, &k_button_top);
      paint_bar(c, {r.u0 + 5, r.v0 + 6, r.u1 - 5, r.v1 - 8}, k_folder, k_dark_mark, nullptr);
      MKRES_fill(c, {r.u0 + 5, r.v1 - 9, r.u0 + 12, r.v1 - 6}, k_dark_mark);
      break;
    case art_tab_on: paint_bar(c, r, k_panel_fill[16 - 14], k_outline, &k_white); break;
    case art_tab_off: paint_bar(c, r, k_tab_off_fill, k_outline, nullptr); break;
    case art_needle: paint_bar(c, r, k_needle_fill, k_dark_mark, nullptr); break;
    case art_dial: {
      paint_bar(c, r, k_panel_fill[15 - 14], k_outline, nullptr);
      const float cu = (r.u0 + r.u1) / 2.0f, cv = (r.v0 + r.v1) / 2.0f;
      MKRES_disc(c, cu, cv, 25.0f, k_outline);
      MKRES_disc(c, cu, cv, 24.0f, k_field_fill);
      break;
    }
    case art_cursor: paint_cursor(c, r, index); break;
  }
}

}  // namespace

int MKRES_write_interface(const std::string& dir, bool test) {
  mkres_canvas c = MKRES_canvas(k_atlas_size, k_atlas_size);
  for (int i = 0; i < k_atlas_element_count; ++i) {
    if (test)
      MKRES_fill_coded(c, k_atlas_elements[i].r, i);
    else
      paint_element(c, i);
  }
  for (const atlas_swatch& s : k_atlas_swatches)
    for (const mkres_swatch_colour& sc : k_swatch_colours)
      if (sc.colour_id == s.colour_id) MKRES_set(c, s.u, s.v, sc.colour);
  return MKRES_write_png(dir + "/interface.png", c.width, c.height, c.rgba);
}
