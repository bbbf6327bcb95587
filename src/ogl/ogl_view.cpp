#include "ogl/ogl_view.h"
#include <GL/gl.h>
#include <algorithm>
#include <cstring>
#include "core/globs.h"
#include "core/xtim.h"
#include "ogl/ogl_camera.h"
#include "ogl/ogl_matrix.h"
#include "platform/plat_video.h"
#include "shell/wins.h"
#include "widgets/colr.h"

float local_transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
void (*OGL_sbuff_hook)() = nullptr;

void OGL_pix_specs(int) {
  const float w = (float)wins.x_pix, h = (float)wins.y_pix;
  wins.ui_scale = 1.0f;
  wins.view_left = wins.view_bottom = 0;
  wins.view_right = w;
  wins.view_top = h;
  wins.ui_offset_x = wins.last_win == -1 ? 0.0f : std::max(0.0f, (w - 1024) * 0.5f);
  if (wins.last_win >= 0) OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f, 0, 1);
}

void OGL_viewport(int type, float left, float vp_left, float bottom, float vp_bottom, float right, float vp_right,
                  float near, float top, float vp_top, float far, float divisor, int aspect, int full_window) {
  if (type == 2 && full_window) {
    left = wins.view_left;
    right = wins.view_right;
    bottom = wins.view_bottom;
    top = wins.view_top;
    vp_left = vp_bottom = 0;
    vp_right = (float)wins.x_pix;
    vp_top = (float)wins.y_pix;
    near = -1;
    far = 1;
  } else if (type == 3) {
    left *= near;
    right *= near;
    bottom *= near;
    top *= near;
    vp_left *= wins.ui_scale;
    vp_right *= wins.ui_scale;
    vp_bottom *= wins.ui_scale;
    vp_top *= wins.ui_scale;
  }
  const float vw = vp_right - vp_left, vh = vp_top - vp_bottom;
  if (aspect) {
    bottom *= vh / vw;
    top *= vh / vw;
  }
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  if (type == 2)
    xcam.SetupOrtho(left / divisor, right / divisor, bottom / divisor, top / divisor, near, far);
  else if (type == 3)
    xcam.SetupFrustum(left / divisor, right / divisor, bottom / divisor, top / divisor, near, far);
  glViewport((int)vp_left, (int)vp_bottom, (int)vw, (int)vh);
  xcam.Identity();
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(xcam.projection);
  glMatrixMode(GL_MODELVIEW);
  glLoadMatrixf(xcam.modelview);
  xcam.modelview_stale = 0;
}

void OGL_screensize(int type, float left, float bottom, float right, float top) {
  if (type == 2) {
    glViewport(0, 0, wins.x_pix, wins.y_pix);
  } else if (type == 3) {
    const float s = wins.ui_scale;
    glViewport((int)(left * s), (int)(bottom * s), (int)(right * s - left * s), (int)(top * s - bottom * s));
  } else {
    glViewport((int)left, (int)bottom, (int)(right - left), (int)(top - bottom));
  }
}

void OGL_scissors(float x, float y, float width, float height) {
  const float s = wins.ui_scale, ox = wins.win_x, oy = wins.win_y;
  const float l = (x + ox) * s, r = (x + ox + width) * s;
  const float b = (y + oy) * s, t = (y + oy + height) * s;
  glEnable(GL_SCISSOR_TEST);
  glScissor((int)l, (int)b, r - l > 0 ? (int)(r - l) : 0, t - b > 0 ? (int)(t - b) : 0);
}

void OGL_scissors_end() { glDisable(GL_SCISSOR_TEST); }

void OGL_sbuff() {
  // The colour the next frame starts with: white, under the dim and
  // green-monochrome settings.
  float rgb[3] = {1, 1, 1};
  if (colr.dim > 0) {
    const float g = std::clamp(1 - 2 * colr.dim, 0.0f, 1.0f);
    rgb[1] = rgb[2] = g;
  } else if (colr.green_mono) {
    rgb[0] = rgb[2] = 0;
  }
  if (ren.fade > 0.99f)
    glColor3f(rgb[0], rgb[1], rgb[2]);
  else
    glColor4f(rgb[0], rgb[1], rgb[2], ren.fade);
  xtim.profile_chart("sb1", 0);
  if (OGL_sbuff_hook) OGL_sbuff_hook();
  if (PLAT_window w = PLAT_video().gl_current_window ? PLAT_video().gl_current_window() : nullptr)
    PLAT_video().gl_swap(w);
  xtim.profile_chart("sb2", 0);
}

void OGL_set_local_transform(const float* m) { std::memcpy(local_transform, m, sizeof(local_transform)); }
void OGL_reset_local_transform() { setIdentityMatrixf(local_transform); }
float* OGL_get_local_transform() { return local_transform; }

void OGL_printer() {}
