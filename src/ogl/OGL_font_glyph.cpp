// Glyphs into the atlas: rendering, placing, the coverage curve, the quad of
// one glyph, and the upload through the scratch image.
#include <GL/gl.h>
#include <cmath>
#include <cstring>
#include "core/scratch.h"
#include "core/utl_mem.h"
#include "ogl/OGL_font_info.h"
#include "tex/tman.h"

namespace {

// FreeType's coverage is linear; raised to 0.6 the thin stems of small
// interface text stay legible on dark panels.
struct coverage_curve {
  unsigned char v[256];
  coverage_curve() {
    for (int i = 0; i < 256; ++i) v[i] = (unsigned char)(int)(255.0 * std::pow(i / 255.0, 0.6));
  }
};
const coverage_curve curve;

int pow2_at_least(int n) {
  int p = 1;
  while (p < n) p <<= 1;
  return p;
}

}  // namespace

const OGL_char_info* TT_font_info::find(uint32_t code) const {
  auto it = glyphs.find(code);
  return it == glyphs.end() ? nullptr : &it->second;
}

float TT_font_info::fail(uint32_t code, int err) {
  OGL_char_info& c = glyphs[code];
  c = OGL_char_info();
  c.err = err;
  return 0;
}

int TT_font_info::grow(int rows) {
  unsigned char* bigger = static_cast<unsigned char*>(xmalloc((unsigned long)rows * tt_atlas_width));
  const size_t kept = (size_t)height * tt_atlas_width;
  if (atlas) std::memcpy(bigger, atlas, kept);
  std::memset(bigger + kept, 0, (size_t)rows * tt_atlas_width - kept);
  xfree(atlas);
  atlas = bigger;
  TT_font_tex_mem_add(rows - height);
  height = rows;
  return rows;
}

float TT_font_info::require_char(uint32_t code) {
  if (code == 9) return 0;
  if (const OGL_char_info* c = find(code)) return c->advance;
  if (FT_Error err = FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT)) return fail(code, err);

  const FT_GlyphSlot slot = face->glyph;
  const FT_Bitmap& bm = slot->bitmap;
  const int w = (int)bm.width, r = (int)bm.rows;
  if (w > 0 && r > 0 && bm.pixel_mode != FT_PIXEL_MODE_GRAY) return fail(code, tt_err_not_grey);
  if (w > tt_atlas_width) return fail(code, tt_err_atlas_full);

  // Place the glyph before changing anything: a glyph that does not fit
  // leaves the atlas as it was.
  int x = pen_x, base = row_base, tallest = row_height;
  if (x + w > tt_atlas_width) {
    base += tallest;
    x = 0;
    tallest = 0;
  }
  if (r > tallest) tallest = r;
  if (base + tallest > height) {
    const int rows = pow2_at_least(height + tallest);
    if (rows > tt_atlas_max_rows) return fail(code, tt_err_atlas_full);
    grow(rows);
  }
  pen_x = x;
  row_base = base;
  row_height = tallest;

  OGL_char_info& c = glyphs[code];
  c.left = x;
  c.top = base;
  c.right = x + w;
  c.bottom = base + r;
  c.x_bearing = adv_scale * slot->metrics.horiBearingX / 64.0f;
  c.bottom_y = (slot->metrics.horiBearingY - slot->metrics.height) / 64.0f;
  c.advance = adv_scale * slot->metrics.horiAdvance / 64.0f;
  c.err = 0;

  const int stride = bm.pitch < 0 ? -bm.pitch : bm.pitch;
  for (int row = 0; row < r; ++row) {
    // A negative pitch stores the rows bottom-up.
    const unsigned char* src = bm.buffer + (size_t)(bm.pitch < 0 ? r - 1 - row : row) * stride;
    unsigned char* dst = atlas + (size_t)(base + row) * tt_atlas_width + x;
    for (int i = 0; i < w; ++i) dst[i] = curve.v[src[i]];
  }
  dirty = 1;
  pen_x += w;
  return c.advance;
}

float TT_font_info::draw_char(uint32_t code, float x, float y) {
  if (code == 9) return 0;
  const OGL_char_info* c = find(code);
  if (!c || c->err) return 0;
  const int w = c->right - c->left, h = c->bottom - c->top;
  if (w > 0 && h > 0) {
    const float X = std::floor(x + c->x_bearing), Y = std::floor(y + c->bottom_y);
    const float s0 = c->left / (float)tt_atlas_width, s1 = c->right / (float)tt_atlas_width;
    const float t_top = c->top / (float)height, t_bottom = c->bottom / (float)height;
    glTexCoord2f(s0, t_bottom);
    glVertex2f(X, Y);
    glTexCoord2f(s0, t_top);
    glVertex2f(X, Y + h);
    glTexCoord2f(s1, t_top);
    glVertex2f(X + w, Y + h);
    glTexCoord2f(s1, t_bottom);
    glVertex2f(X + w, Y);
  }
  return c->advance;
}

int TT_font_info::sync_tex() {
  if (!dirty) return 0;
  dirty = 0;
  if (!height) return 0;  // only blank glyphs so far: nothing to show
  std::memcpy(scratch_array, atlas, (size_t)height * tt_atlas_width);
  scratch_dx = tt_atlas_width;
  scratch_dy = height;
  tman.load_texture(tex_fail_quit, tex_num, 0x40203, tex_load_now, "scratch_array-fonts");
  ++uploads;
  return 1;
}
