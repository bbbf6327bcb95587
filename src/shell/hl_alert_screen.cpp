// The alert screen and the save question: modal loops over the frame
// procedure, each in a sub-window of its own.
#include <GL/gl.h>
#include <GL/glext.h>
#include <cstdio>
#include <vector>
#include "core/globs.h"
#include "core/hl_string.h"
#include "files/translate.h"
#include "ogl/OGL_back_tex.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_state.h"
#include "platform/plat_alert_box.h"
#include "platform/plat_process.h"
#include "platform/plat_video.h"
#include "shell/hl_alerts.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "widgets/butn.h"

// An alert can come from anywhere, in the middle of any drawing: whatever
// that code left bound or enabled must not hide the screen.
static void sane_drawing_state() {
  glEnd();
  glEndList();
  for (int i = 0; i < 30; ++i) (void)glGetError();
  if (glExt.framebuf_avail && glExt.glBindFramebufferEXT) glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  if (glExt.shad_objs_avail && glExt.glUseProgramObjectARB) glExt.glUseProgramObjectARB(0);
  if (glExt.vbo_avail && glExt.glBindBufferARB) {
    glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glExt.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
  }
  // Bound behind the binders' backs: they must not skip the next bind.
  OGL_forget_vbo_binds();
  OGL_setstate(fog_off, 0, lit_off, al_blend, deR_off, deW_off);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glDisable(GL_SCISSOR_TEST);
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void APL_alert_screen(int return_win, const std::string* lines, int kind, const std::string& location) {
  sane_drawing_state();
  int mouse_x = 0, mouse_y = 0;
  PLAT_video().mouse_global(&mouse_x, &mouse_y);
  wins.start_win(994);
  const std::string button = UTL_translate_string(kind == 0 ? "Accept" : "Understood");
  std::vector<int> offered;
  if (kind == 0) UTL_lang_get_languages(offered);
  while (wins.cur_win == 994) {
    if (kind == 0) stls.s[4] = "Language/";
    const float half = wins.win_dx * 0.5f;
    OGL_plot_back_col();
    BTN_fillwin(1, 24);
    BTN_subwin(0, 16, -1, -1, -1, -1, "", nullptr, nullptr);
    if (kind == 0) {
      float y = 180;
      for (int l : offered) {
        BTN_is_int(half - 25, y, &mnw.lang, l, UTL_lang_get_button(l));
        y -= 20;
      }
    } else {
      const float heights[4] = {215, 175, 135, 95};
      for (int i = 0; i < 4; ++i)
        OGL_string(48, half, heights[i], lines[i], wins.win_dx * 0.9f, cs_regular, just_centre);
      if (kind >= 2) OGL_string(48, half, 55, location, wins.win_dx * 0.9f, cs_regular, just_centre);
    }
    const int pressed = BTN_action(half, 18, 0, 0, 1, button, "-");
    if (pressed || return_hit || (kind != 0 && escape_hit)) {
      return_hit = escape_hit = 0;
      wins.start_win(return_win);
      PLAT_video().mouse_warp_global(mouse_x, mouse_y);
    }
    if (wins.cur_win == 994) MACIBM_event_proc();
  }
}

void APL_system_box(const std::string& message, const std::string& detail) {
  if (PLAT_show_alert_box("Duvizo Installer", message + "\n\n" + detail) != 0)
    fprintf(stderr, "%s\n%s\n", message.c_str(), detail.c_str());
}

int MACIBM_nuke_alert(const std::string& name, int cancel_allowed) {
  wins.start_win(995);
  int answer = 0;
  if (wins.cur_win != 995) answer = 3;
  while (!answer) {
    const float w = wins.win_dx, h = wins.win_dy;
    OGL_plot_back_col();
    BTN_fillwin(1, 24);
    OGL_string(48, 20, h - 40,
               UTL_translate_string("Save changes to ") + name + " " + UTL_translate_string("first?"), w - 40,
               cs_regular, just_left);
    if (BTN_action(w * 0.5f + 20, 60, 0, 0, 1, UTL_translate_string("Save"), "-")) answer = 1;
    if (!answer && BTN_action(w * 0.5f + 20, 25, 0, 0, 1, UTL_translate_string("Don't Save"), "-")) answer = 2;
    // Cancel keeps inside the panel: its right edge 20 short of the panel's.
    if (!answer && cancel_allowed && BTN_action(w - 20 - 30, 25, 60, 0, 1, UTL_translate_string("Cancel"), "-"))
      answer = 3;
    if (!answer && cancel_allowed && escape_hit) answer = 3;
    if (answer) break;
    MACIBM_event_proc();
    // Closing the window answers the question as a cancel: the quit it
    // asked for is taken here.
    if (quit_request) {
      quit_request = 0;
      answer = 3;
    } else if (wins.cur_win != 995) {
      answer = 3;
    }
  }
  escape_hit = return_hit = 0;
  wins.start_win(0);
  return answer;
}

void go_to_URL(const std::string& url) {
  UTL_check_string_length(url);
  PLAT_open_in_browser(url);
}

void IBM_turnoff() {}
