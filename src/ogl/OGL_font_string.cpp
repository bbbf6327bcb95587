// Drawing text: lines found by CR, LF and, when wrapping, the last space
// before the wrap width; each line measured, then drawn as one quad batch.
#include <GL/gl.h>
#include "ogl/OGL_font.h"
#include "ogl/ogl_record.h"
#include "ogl/OGL_font_info.h"
#include "ogl/OGL_font_utf8.h"
#include "ogl/ogl_draw.h"
#include "ogl/ogl_state.h"
#include "shell/wins.h"
#include "tex/tman.h"

namespace {

struct text_line {
  const unsigned char* end;   // the line's characters stop here
  const unsigned char* next;  // the next line starts here
  float width;                // in whole pixels per character (or fixed advances)
};

// Measures the line starting at s, caching every glyph it will draw.
text_line measure_line(TT_font_info* f, const unsigned char* s, const unsigned char* end, bool wrapping,
                       float wrap, float fixed) {
  float sum = 0, break_width = 0;
  const unsigned char* brk = s;
  const unsigned char* stop = end;
  for (const unsigned char* p = s; p < end;) {
    if (wrapping && sum >= wrap) {
      stop = p;
      break;
    }
    const unsigned char* next;
    const uint32_t code = utf8_decode(p, end, &next);
    if (code == 13 || code == 10) {
      brk = stop = p;
      break;
    }
    if (code == 32) {
      brk = p;
      break_width = sum;
    }
    const float adv = f->require_char(code);
    sum += fixed > 0 ? fixed : (float)(int)adv;
    p = next;
  }
  text_line line;
  if (stop == end || brk == s) {
    line.end = stop;
    line.width = sum;
  } else if (*brk == 13 || *brk == 10) {
    line.end = brk;
    line.width = sum;
  } else {
    line.end = brk;
    line.width = break_width;
  }
  const unsigned char* n = line.end;
  if (n < end && (*n == 13 || *n == 10)) ++n;
  while (n < end && *n == ' ') ++n;
  line.next = n;
  return line;
}

}  // namespace

float OGL_string(int colour, float x, float y, const std::string& text, float wrap_width, charset_t cs, just_t just) {
  if (OGL_record_string) OGL_record_string({text, x, y, colour, cs, just});
  if (text.empty()) return y;
  const int slot = cs >= cs_bold && cs <= cs_fixed10 ? tt_bold : tt_regular;
  const float fixed = cs == cs_fixed6 ? 6.0f : cs == cs_fixed8 ? 8.0f : cs == cs_fixed10 ? 10.0f : 0.0f;
  TT_font_info* f = TT_get_font(slot);
  x += wins.win_x;
  y += wins.win_y;
  const bool wrapping = wrap_width > 0 && wrap_width < font_no_wrap;

  const unsigned char* p = reinterpret_cast<const unsigned char*>(text.data());
  const unsigned char* end = p + text.size();
  while (p < end) {
    const text_line line = measure_line(f, p, end, wrapping, wrap_width, fixed);
    f->sync_tex();
    if (f->height && line.end > p) {
      OGL_setstate(fog_off, 1, lit_off, al_blend, deR_off, deW_off);
      OGL_set_colour(colour, 1.0f);
      tman.bind_ref(f->tex_num, 0, 0);
      float pen = just == just_centre ? x - line.width / 2 : just == just_right ? x - line.width : x;
      glBegin(GL_QUADS);
      for (const unsigned char* q = p; q < line.end;) {
        const float adv = f->draw_char(utf8_decode(q, line.end, &q), pen, y);
        pen += fixed > 0 ? fixed : adv;
      }
      glEnd();
    }
    if (wrapping) y -= font_line_step;
    p = line.next;
  }
  return y - wins.win_y;
}
