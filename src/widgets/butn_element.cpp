// Atlas quads, hit boxes and the close boxes.
#include "core/globs.h"
#include "ogl/ogl_draw.h"
#include "shell/wins.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"

void BTN_atlas_quad(int tex, float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1, int col,
                    float alpha) {
  // The screen texture is wider than high; the atlas is square.
  const float su = tex == 362 ? 1.0f / k_screen_tex_w : 1.0f / k_atlas_size;
  const float sv = tex == 362 ? 1.0f / k_screen_tex_h : 1.0f / k_atlas_size;
  OGL_2dquad(tex, col, alpha, x0, y0, u0 * su, v0 * sv, x0, y1, u0 * su, v1 * sv, x1, y1, u1 * su, v1 * sv, x1, y0,
             u1 * su, v0 * sv, 1, al_blend, 0);
}

void BTN_util_element(float x, float y, float u, float v, float half_width, float half_height, int col) {
  BTN_atlas_quad(359, x - half_width, y - half_height, x + half_width, y + half_height, u - half_width,
                 v - half_height, u + half_width, v + half_height, col, 1);
}

int BTN_in_box(float x, float y, float left, float bottom, float right, float top) {
  return left <= x && x <= right && bottom <= y && y <= top;
}

namespace {
// One close box centred on (cx, h - 10); 1 when this frame's press hit it.
int close_box(float cx, float h, int pressed) {
  const atlas_rect& r = pressed ? k_close_box_down : k_close_box;
  BTN_atlas_quad(359, cx - 9, h - 19, cx + 9, h - 1, r.u0, r.v0, r.u1, r.v1, 57, 1);
  return mnw.mouse_down && BTN_in_box(mnw.mouse_x, mnw.mouse_y, cx - 9, h - 19, cx + 9, h - 1);
}
}  // namespace

int BTN_zap_boxes(int pressed) {
  const float w = wins.win_dx, h = wins.win_dy;
  if (close_box(16, h, pressed)) return 1;
  return close_box(w - 16, h, pressed);
}
