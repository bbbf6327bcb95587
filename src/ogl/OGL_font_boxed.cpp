// Text in a box with a widget's side labels: it draws with the widget
// toolkit's bars and labels, so it stands apart from the plain text wrappers.
#include "ogl/OGL_font.h"
#include "widgets/butn.h"

void OGL_boxed_string(float x, float y, float width, const std::string& label, const std::string& text, charset_t cs,
                      int colour) {
  std::string left, right;
  BTN_expand_label(label, &left, &right, nullptr);
  BTN_frame1(9, x, y + 4, width, 57);
  BTN_util_draw_label(x - width / 2 - 8, y, 0, left, 0);
  BTN_util_draw_label(x + width / 2 + 8, y, 2, right, 0);
  OGL_string(colour, x, y, text, font_no_wrap, cs, just_centre);
}
