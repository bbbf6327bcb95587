#include "make_disc_set_screen.h"
#include "engine/make_installer.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"
#include "ogl/ogl_view.h"
#include "platform/plat_events.h"

void disc_set_show_progress(const std::string& line1, const std::string& line2) {
  OGL_fillrect(0, 1, 0, 0, 1024, 30);
  OGL_string(12, 10, 17, line1, 0, cs_regular, just_left);
  OGL_string(12, 10, 7, line2, 0, cs_regular, just_left);
  OGL_sbuff();
}

int disc_set_q_pressed() {
  PLAT_event e;
  if (!PLAT_next_event(&e, 0) || e.kind != plat_ev_key_down) return 0;
  if (e.text[0]) return e.text[0] == 'q' && e.text[1] == 0;
  // A key record without its text: the key as the layout types it.
  int unshifted = 0, shifted = 0;
  PLAT_key_chars(e.key_code, &unshifted, &shifted);
  return unshifted == 'q' && !(e.modifiers & plat_mod_shift);
}

void disc_set_connect_screen() {
  g_build_screen.show_progress = disc_set_show_progress;
  g_build_screen.q_pressed = disc_set_q_pressed;
}
