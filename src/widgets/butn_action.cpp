// The push button.
#include "core/globs.h"
#include "ogl/OGL_font.h"
#include "ogl/ogl_view.h"
#include "shell/mbar.h"
#include "widgets/butn.h"
#include "widgets/help.h"

int BTN_action(float x, float y, float width, int lit, int style, std::string label, std::string side_text) {
  std::string left, tip;
  BTN_expand_label(std::move(label), &left, nullptr, &tip);
  if (width <= 0) width = OGL_measure_string(left) + 21;
  BTN_frame1(2, x, y, width, 57);
  if (lit) BTN_frame1(3, x, y, width, 57);
  BTN_util_draw_label(x, y - 3, 1, left, style == 2 && lit);
  if (side_text != "-") OGL_string(50, x + width / 2 + 10, y + 7, side_text, 500, cs_regular, just_left);

  if (mbar.open_menu != -1 || !BTN_in_box(mnw.mouse_x, mnw.mouse_y, x - width / 2, y - 10, x + width / 2, y + 10))
    return 0;
  help.text = tip;
  if (!mnw.mouse_down) return 0;
  if (!lit && style != 0) {
    // The press must show before whatever the click starts takes its time.
    BTN_frame1(3, x, y, width, 57);
    BTN_util_draw_label(x, y - 3, 1, left, 0);
    OGL_sbuff();
  }
  return 1;
}
