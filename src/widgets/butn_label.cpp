// Drawing one side text of a widget, in one line or broken into two.
#include <cstdlib>
#include "ogl/OGL_font.h"
#include "widgets/butn.h"

void BTN_util_draw_label(float x, float y, int align, const std::string& text, int lit) {
  if (align < 0 || align > 2 || text.empty()) return;
  const int n = static_cast<int>(text.size());
  std::string first = text, second;
  if (text[0] == '-') {
    // A leading '-' keeps a long text on one line and is not shown.
    first = text.substr(1);
  } else if (align != 1 && n > 12) {
    // Break at the blank, '-' or '/' nearest the middle: a blank is dropped,
    // the other two stay at the end of the first line.
    const int m = n / 2;
    int cut = 0, next = 0;
    for (int i = 0; i < n; ++i) {
      const char c = text[i];
      if (c != ' ' && c != '-' && c != '/') continue;
      if (std::abs(i - m) < std::abs(next - m)) {
        cut = c == ' ' ? i : i + 1;
        next = i + 1;
      }
    }
    if (cut > 0 && cut < n - 1 && next > 0 && next < n - 1) {
      first = text.substr(0, cut);
      second = text.substr(next);
      y += 5;
    }
  }
  const int colour = lit ? 91 : 48;
  const just_t just = align == 0 ? just_right : align == 1 ? just_centre : just_left;
  OGL_string(colour, x, y - 1, first, font_no_wrap, cs_regular, just);
  if (!second.empty()) OGL_string(colour, x, y - 11, second, font_no_wrap, cs_regular, just);
}
