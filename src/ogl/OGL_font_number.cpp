// The small wrappers around OGL_string: one character, numbers, and text on
// a grey box.
#include <cmath>
#include "ogl/OGL_font.h"
#include "ogl/ogl_draw.h"

void OGL_char(int colour, float x, float y, int ch) {
  const std::string one(1, (char)ch);
  OGL_string(colour, x, y, one, font_no_wrap, cs_fixed10, just_left);
}

void OGL_number(int colour, float x, float y, float value, int digits, int decimals, charset_t cs,
                str_format_type format, just_t just) {
  if (cs != cs_fixed10) {
    std::string text;
    flt_to_str(value, &text, digits, decimals, format);
    OGL_string(colour, x, y, text, font_no_wrap, cs, just);
    return;
  }
  // Gauges redraw numbers every frame: digits go straight into fixed cells,
  // so a changing value never shifts the ones beside it.
  if (digits > 11) digits = 11;
  if (decimals < 0) decimals = 0;
  float cx = std::round(x) - 10;
  const float cy = std::round(y);
  const double scaled = value * std::pow(10.0, decimals);
  const long long n = (long long)(std::fabs(scaled) + 0.5);
  if (value < 0 && std::fabs(scaled) > 0.1) OGL_char(colour, cx + 1, cy, '-');
  const int whole = digits - decimals;
  long long power = 1;
  for (int i = 1; i < digits; ++i) power *= 10;
  for (int i = digits - 1; i >= 0; --i, power /= 10) {
    cx += 10;
    const int place = i - decimals;  // 0 for units, negative for decimals
    // The marks take no cell: they sit in the gap before their digit.
    if (decimals > 0 && place == -1) OGL_char(colour, cx - 4, cy, '.');
    if (place >= 0 && (place == 2 || place == 5 || place == 8) && whole > place + 1)
      OGL_char(colour, cx - 4, cy, ',');
    OGL_char(colour, cx, cy, '0' + (int)((n / power) % 10));
  }
}

void OGL_gray_string(int colour, float x, float y, std::string text) {
  const float h = OGL_measure_string(text) / 2;
  OGL_grayrect(x - h - 2, y - 1, x + h + 2, y + 9, 0.5f);
  OGL_string(colour, x - h, y, text, font_no_wrap, cs_regular, just_left);
}
