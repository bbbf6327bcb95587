// Measuring and fitting in the regular font, for the widgets and the
// text-editing engine. Exact (fractional) advances throughout.
#include "ogl/OGL_font.h"
#include <cmath>
#include "ogl/OGL_font_info.h"
#include "ogl/OGL_font_utf8.h"

float OGL_measure_range(const unsigned char* begin, const unsigned char* end) {
  if (!begin || begin >= end) return 0;
  TT_font_info* f = TT_get_font(tt_regular);
  float sum = 0;
  for (const unsigned char* p = begin; p < end;) sum += f->require_char(utf8_decode(p, end, &p));
  return sum;
}

float OGL_measure_string(const std::string& text) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  return OGL_measure_range(p, p + text.size());
}

const unsigned char* OGL_fit_forward(const unsigned char* begin, const unsigned char* end, float width) {
  if (!begin || begin >= end) return end;
  TT_font_info* f = TT_get_font(tt_regular);
  float sum = 0;
  for (const unsigned char* p = begin; p < end;) {
    const unsigned char* next;
    sum += f->require_char(utf8_decode(p, end, &next));
    if (sum > width) return p;
    p = next;
  }
  return end;
}

const unsigned char* OGL_fit_reverse(const unsigned char* begin, const unsigned char* end, float width) {
  if (!begin || begin >= end) return end;
  TT_font_info* f = TT_get_font(tt_regular);
  float sum = 0;
  const unsigned char* fits = end;
  while (fits > begin) {
    const unsigned char* start = utf8_prev(begin, fits);
    const unsigned char* next;
    sum += f->require_char(utf8_decode(start, end, &next));
    if (sum > width) break;
    fits = start;
  }
  return fits;
}

void OGL_font_extent(int* above, int* below) {
  const TT_font_info* f = TT_get_font(tt_regular);
  *above = static_cast<int>(std::ceil(f->ascent));
  *below = static_cast<int>(std::ceil(f->descent));
}
