// The start-up splash: one frame per step of the start-up, drawn and shown at
// once, because no frame loop runs yet.
#include <algorithm>
#include "core/hl_version.h"
#include "ogl/OGL_back_tex.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_view.h"
#include "shell/hl_init.h"
#include "shell/wins.h"
#include "widgets/butn.h"

void (*g_show_init_hook)(const std::string& text, const float* fraction) = nullptr;

void MACIBM_show_init(const std::string& text, const float* fraction) {
  if (g_show_init_hook) g_show_init_hook(text, fraction);
  // Steps without a fraction of their own still move the bar, a hundredth
  // per step.
  static int calls = 0;
  float f = fraction ? *fraction : ++calls / 100.0f;
  if (plot_init_lights != 1) return;
  f = std::clamp(f, 0.02f, 1.0f);

  const float x0 = wins.ui_offset_x - wins.win_x;
  const float y0 = -wins.win_y;
  OGL_plot_back_col();
  BTN_frame2(18, x0 + 10, y0 + 31, 460, 200, "", 1);
  OGL_string(57, x0 + 22, y0 + 210, app_web_site, 440, cs_regular, just_left);

  const float left = x0 + 8, right = x0 + 1016, length = right - left;
  BTN_frame1(4, (left + right) * 0.5f, y0 + 15, length, 57);
  BTN_frame1(5, left + f * length * 0.5f, y0 + 15, f * length, 57);
  OGL_string(69, x0 + 22, y0 + 60, text, 440, cs_regular, just_left);
  OGL_sbuff();
}
