#include "installer/wizard.h"
#include "core/globs.h"
#include "core/hl_alert.h"
#include "installer/run_log.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "widgets/atlas_layout.h"
#include "widgets/butn.h"
#include "widgets/colr.h"

screen_func g_wizard = nullptr;
std::vector<std::string> step_names;
std::vector<screen_func> step_funcs;

// The screen that was current at the end of the previous frame.
static screen_func last = nullptr;

void wizard_forget_last() { last = nullptr; }

int wizard_quit(int, wizard_screen&) {
  RUN_log_quit(0);
  app_done = 1;
  return 1;
}

void APP_handlemenu_wizard(int) {}
void function_key(int) {}

static void white_113() { colr.col_assign(113, 1, 1, 1); }

int interface_rect(float x, float y, int picture, int align, int* width_out, int enabled, int style) {
  // The pictures are words in the user's language, one row of btn_cuts each.
  const int lang = mnw.lang >= 0 && mnw.lang < k_language_count ? mnw.lang : 0;
  const float l = btn_cuts[picture][lang], r = btn_cuts[picture + 1][lang];
  const float w = r - l;
  if (width_out) *width_out = static_cast<int>(w + 20);
  const float x0 = align == 0 ? x - w / 2 : align == 1 ? x : x - w;
  const float x1 = x0 + w, y0 = y, y1 = y + 22;
  white_113();
  const int inside = BTN_in_box(mnw.mouse_x, mnw.mouse_y, x0, y0, x1, y1);
  const bool over = enabled && inside;
  int band = band_idle, bar = style == 2 ? 13 : 11;
  if (over && mnw.mouse_held) {
    band = band_pressed;
    bar = 12;
  } else if (over) {
    band = band_hovered;
  }
  BTN_frame1(bar, (x0 + x1) / 2, y + 10.5f, w + 20, 57);
  const float v0 = k_band_v0[band];
  BTN_atlas_quad(362, x0, y0, x1, y1, l, v0, r, v0 + k_band_height, 113, style == 2 ? 0.5f : 1.0f);
  return mnw.mouse_down && inside;
}

// Where the wizard's parts go in the 800 by 600 window.
static void draw_frame() {
  white_113();
  const float w = wins.win_dx, h = wins.win_dy;
  OGL_2dquad(364, 113, 1, 0, 0, 0, 0, 0, h, 0, h / 1024, w, h, w / 1024, h / 1024, w, 0, w / 1024, 0, 1, al_none,
             0);
  BTN_frame2(23, 10, 50, 190, 453, "", 1);
  BTN_frame2(23, 210, 50, 580, 453, "", 1);
  for (size_t i = 0; i < step_names.size(); i++) {
    const bool current = i < step_funcs.size() && step_funcs[i] == g_wizard;
    OGL_string(current ? 73 : 50, 30, 480 - 20.0f * i, step_names[i], 170, current ? cs_bold : cs_regular,
               just_left);
  }
}

static void draw_progress(const wizard_screen& s) {
  float r = s.progress * 0.96f + 0.04f;
  if (r < 0.04f) r = 0.04f;
  if (r > 1) r = 1;
  // BTN_frame1 adds the sub-window's origin back.
  BTN_frame1(4, 500 - wins.win_x, 155 - wins.win_y, 520, 57);
  BTN_frame1(5, 240 + 260 * r - wins.win_x, 155 - wins.win_y, 520 * r, 57);
  OGL_string(12, 242, 120, s.status, 520, cs_regular, just_left);
}

void APP_update_wizard() {
  draw_frame();
  if (!g_wizard) {
    app_done = 1;
    return;
  }
  wizard_screen s;
  const int first = g_wizard != last;
  const int result = g_wizard(first, s);
  last = g_wizard;
  OGL_string(12, 500, 480, s.title, 540, cs_bold, just_centre);
  OGL_string(12, 230, 440, s.text, 540, cs_regular, just_left);
  for (size_t j = 0; j < s.choice_names.size(); j++)
    if (BTN_action(500, 350 - 25.0f * j, 250, 0, 1, s.choice_names[j], "-") && j < s.choice_funcs.size())
      g_wizard = s.choice_funcs[j];
  if (s.progress >= 0) draw_progress(s);

  // The window's close button asks what the Quit button asks.
  const bool by_window = quit_request != 0;
  bool quit = by_window;
  quit_request = 0;
  if (s.next_screen != wizard_quit && interface_rect(30, 12, 0, 1, nullptr, 1, 0)) quit = true;
  if (quit && (!s.quit || (s.quit() & 0xff))) {
    // After s.quit: the pass it stopped has counted what its queue held.
    RUN_log_quit(by_window);
    app_done = 1;
  }
  int next_width = 0;
  const bool has_next = s.next_screen != nullptr;
  if (interface_rect(770, 12, s.next_screen == wizard_quit ? 0 : 2, -1, &next_width, has_next, has_next ? 0 : 2) &&
      has_next)
    g_wizard = s.next_screen;
  const bool has_back = s.back != nullptr;
  if (interface_rect(760.0f - next_width, 12, 1, -1, nullptr, has_back, has_back ? 0 : 2) && has_back)
    g_wizard = s.back;
  if (result && has_next) g_wizard = s.next_screen;
}
