#include "installer/world_map.h"
#include <GL/gl.h>
#include <algorithm>
#include "core/globs.h"
#include "core/stg.h"
#include "engine/utils_choose.h"
#include "installer/wizard.h"
#include "ogl/ogl_draw.h"
#include "ogl/ogl_state.h"
#include "shell/wins.h"
#include "tex/tman.h"

namespace {

// The map's lower-left corner and its cells, in sub-window units.
constexpr float k_left = 248, k_bottom = 150, k_cell = 14;
constexpr float k_width = k_cell * int(stg_lon_cells), k_height = k_cell * int(stg_lat_cells);
// map.png is 512 by 1024 and holds three bands of the map's size, each from
// u = 0: the plain map at the bottom, the available cells above it, the
// wanted cells above those.
constexpr float k_tex_w = 512, k_tex_h = 1024;
constexpr float k_band_available = 252, k_band_wanted = 504;
constexpr int k_map_tex = 363;

// The press's position and the value a drag paints live across frames, so a
// drag started in one frame goes on painting in the next.
float o_x = 0, o_y = 0;
int o_use = 0;
int recalcs = 0;

// One quad of the batch, corners (left, bottom), (left, top), (right, top),
// (right, bottom), showing the texture square from (s0, t0) to (s1, t1).
void batch_quad(int col, float l, float b, float r, float t, float s0, float t0, float s1, float t1) {
  OGL_2dquad_in_batch(k_map_tex, col, l, b, s0, t0, l, t, s0, t1, r, t, s1, t1, r, b, s1, t0);
}

// The translucent outline from the anchor to the mouse while the button is held.
void draw_drag_outline(float mx, float my) {
  OGL_setstate(fog_off, 0, lit_off, al_blend, deR_off, deW_off);
  float rgba[4];
  OGL_colour_rule_rgb(0, 0, 0, 0.5f, rgba);
  glColor4fv(rgba);
  // Through pixel centres, so each edge is one whole pixel wide.
  const float ox = wins.win_x + 0.5f, oy = wins.win_y + 0.5f;
  glBegin(GL_LINE_LOOP);
  glVertex2f(mx + ox, my + oy);
  glVertex2f(o_x + ox, my + oy);
  glVertex2f(o_x + ox, o_y + oy);
  glVertex2f(mx + ox, o_y + oy);
  glEnd();
}

void set_all_cells(int value) {
  for (int i = 0; i < stg_lon_cells; ++i)
    for (int j = 0; j < stg_lat_cells; ++j) stg.want_cells[i][j] = value;
}

}  // namespace

void UTIL_world_map_state(float* x, float* y, int* use) {
  if (x) *x = o_x;
  if (y) *y = o_y;
  if (use) *use = o_use;
}

int UTIL_world_map_recalcs() { return recalcs; }

void UTIL_world_map() {
  OGL_setstate(fog_off, 1, lit_off, al_blend, deR_off, deW_off);
  tman.bind_ref(k_map_tex, 0, 0);
  const float mx = mnw.mouse_x, my = mnw.mouse_y;
  // A press and its release can arrive in one frame on a slow machine: the
  // clock has then already dropped the held flag, but the press frame still
  // counts as held, or the click would be lost.
  const bool pressed = mnw.mouse_down != 0, held = mnw.mouse_held != 0 || pressed;
  if (pressed) {
    o_x = mx;
    o_y = my;
  }
  float cell_rgba[4];
  OGL_colour_rule(57, 1, cell_rgba);

  // The whole map is one batch with one texture: up to 649 quads a frame.
  glBegin(GL_QUADS);
  glColor4f(1, 1, 1, 1);
  batch_quad(0, k_left, k_bottom, k_left + k_width, k_bottom + k_height, 0, 0, k_width / k_tex_w,
             k_height / k_tex_h);

  // The press decides what a drag paints: the opposite of the cell under it.
  // Edges belong to both cells; the last in walking order decides.
  if (pressed) {
    for (int i = 0; i < stg_lon_cells; ++i)
      for (int j = 0; j < stg_lat_cells; ++j) {
        const float l = k_left + k_cell * i, b = k_bottom + k_cell * j;
        if (l <= mx && mx <= l + k_cell && b <= my && my <= b + k_cell) o_use = stg.want_cells[i][j] ? 0 : 1;
      }
  }

  const float dl = std::min(o_x, mx), dr = std::max(o_x, mx), db = std::min(o_y, my), dt = std::max(o_y, my);
  bool changed = false;
  glColor4fv(cell_rgba);
  for (int i = 0; i < stg_lon_cells; ++i)
    for (int j = 0; j < stg_lat_cells; ++j) {
      const float l = k_left + k_cell * i, b = k_bottom + k_cell * j, r = l + k_cell, t = b + k_cell;
      // Only a strict overlap paints: a click on an edge, where the
      // rectangle is a point, touches no cell.
      if (held && r > dl && dr > l && t > db && dt > b) {
        stg.want_cells[i][j] = o_use;
        changed = true;
      }
      if (!stg.have_cells[i][j]) continue;
      const float band = stg.want_cells[i][j] ? k_band_wanted : k_band_available;
      const float s0 = k_cell * i / k_tex_w, t0 = (band + k_cell * j) / k_tex_h;
      batch_quad(57, l, b, r, t, s0, t0, s0 + k_cell / k_tex_w, t0 + k_cell / k_tex_h);
    }
  glEnd();

  if (held) draw_drag_outline(mx, my);

  int clear_width = 0;
  if (interface_rect(770, 122, 4, -1, &clear_width, 1, 0)) {
    set_all_cells(0);
    changed = true;
  }
  if (interface_rect(765.0f - clear_width, 122, 3, -1, nullptr, 1, 0)) {
    set_all_cells(1);
    changed = true;
  }
  // However many cells a drag touched, the totals are summed once a frame.
  if (changed) {
    recalc_disk_sizes();
    ++recalcs;
  }
}
