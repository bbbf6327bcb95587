#include "tex/TEX_bind.h"
#include <GL/gl.h>
#include <GL/glext.h>
#include "ogl/ogl_extensions.h"
#include "widgets/reno.h"

UTL_stat gKillTex("perf/kill_tex", stat_tuning, 0.0f);

namespace {

constexpr int unit_count = 8;
int o_tex[unit_count] = {-1, -1, -1, -1, -1, -1, -1, -1};
int o_mod[unit_count] = {-1, -1, -1, -1, -1, -1, -1, -1};

const TEX_bind_calls s_libgl = {glActiveTextureARB, glBindTexture, glTexEnvi, glTexEnvfv};
const TEX_bind_calls* s_gl = &s_libgl;

// One combiner argument: where it comes from and which part of it is used.
struct arg {
  GLenum source;
  GLenum operand;
};
struct recipe {
  int mode;
  GLenum rgb_op;
  arg rgb[3];
  GLenum alpha_op;
  arg alpha[3];
  int rgb_scale;      // 1 when not set
  int alpha_scale;    // 0 when not set
  int colour;         // -1 none, else the value of all four components
  int colour_first;   // the colour goes before GL_TEXTURE_ENV_MODE
};

constexpr GLenum P = GL_PREVIOUS, T = GL_TEXTURE, C = GL_CONSTANT, Q = GL_PRIMARY_COLOR;
constexpr GLenum RGB = GL_SRC_COLOR, A = GL_SRC_ALPHA, INV_A = GL_ONE_MINUS_SRC_ALPHA;
constexpr arg no = {0, 0};

const recipe recipes[] = {
    {1, GL_ADD, {{P, RGB}, {T, RGB}, no}, GL_REPLACE, {{P, A}, no, no}, 1, 0, -1, 0},
    {2, GL_ADD, {{P, RGB}, {T, RGB}, no}, GL_ADD, {{P, A}, {T, A}, no}, 1, 0, -1, 0},
    {3, GL_INTERPOLATE, {{P, RGB}, {T, RGB}, {C, RGB}}, GL_REPLACE, {{P, A}, no, no}, 1, 0, -1, 0},
    {4, GL_INTERPOLATE, {{P, RGB}, {T, RGB}, {C, RGB}}, GL_INTERPOLATE, {{P, A}, {T, A}, {C, A}}, 1, 0, -1, 0},
    {5, GL_MODULATE, {{P, RGB}, {C, RGB}, no}, GL_REPLACE, {{P, A}, no, no}, 4, 0, -1, 0},
    {6, GL_MODULATE, {{P, RGB}, {C, RGB}, no}, GL_MODULATE, {{P, A}, {C, A}, no}, 4, 4, -1, 0},
    {14, GL_MODULATE, {{P, RGB}, {T, RGB}, no}, GL_REPLACE, {{T, A}, no, no}, 1, 1, -1, 0},
    {15, GL_REPLACE, {{P, RGB}, no, no}, GL_SUBTRACT, {{T, A}, {P, A}, no}, 1, 4, -1, 0},
    {16, GL_REPLACE, {{P, RGB}, no, no}, GL_MODULATE, {{P, INV_A}, {T, A}, no}, 1, 0, -1, 0},
    {17, GL_MODULATE, {{P, RGB}, {P, INV_A}, no}, GL_REPLACE, {{C, A}, no, no}, 1, 0, 1, 0},
    {18, GL_REPLACE, {{P, RGB}, no, no}, GL_REPLACE, {{P, A}, no, no}, 1, 0, -1, 0},
    {19, GL_REPLACE, {{P, RGB}, no, no}, GL_REPLACE, {{C, A}, no, no}, 1, 0, 1, 1},
    {20, GL_MODULATE, {{P, RGB}, {T, RGB}, no}, GL_REPLACE, {{C, A}, no, no}, 1, 0, 1, 1},
    {21, GL_MODULATE, {{P, RGB}, {T, RGB}, no}, GL_REPLACE, {{P, A}, no, no}, 1, 1, -1, 0},
    {22, GL_REPLACE, {{T, A}, no, no}, GL_REPLACE, {{C, A}, no, no}, 1, 0, 1, 1},
    {23, GL_REPLACE, {{P, RGB}, no, no}, GL_REPLACE, {{T, A}, no, no}, 1, 0, -1, 0},
    {24, GL_INTERPOLATE, {{T, RGB}, {P, RGB}, {T, A}}, GL_REPLACE, {{P, A}, no, no}, 1, 0, -1, 0},
    {25, GL_INTERPOLATE, {{T, RGB}, {P, RGB}, {P, A}}, GL_REPLACE, {{P, A}, no, no}, 1, 0, -1, 0},
    {26, GL_MODULATE, {{P, RGB}, {T, A}, no}, GL_REPLACE, {{P, A}, no, no}, 1, 0, -1, 0},
    {27, GL_INTERPOLATE, {{T, RGB}, {P, RGB}, {C, RGB}}, GL_INTERPOLATE, {{T, A}, {P, A}, {C, A}}, 1, 0, -1, 0},
    {28, GL_INTERPOLATE, {{T, RGB}, {C, RGB}, {T, A}}, GL_REPLACE, {{P, A}, no, no}, 1, 0, -1, 0},
    {29, GL_MODULATE, {{P, RGB}, {Q, RGB}, no}, GL_REPLACE, {{P, A}, no, no}, 1, 0, -1, 0},
    {30, GL_MODULATE, {{P, RGB}, {C, RGB}, no}, GL_MODULATE, {{P, A}, {C, A}, no}, 1, 0, -1, 0},
    {31, GL_INTERPOLATE, {{P, RGB}, {C, RGB}, {T, RGB}}, GL_REPLACE, {{P, A}, no, no}, 1, 0, 0, 0},
    {32, GL_INTERPOLATE, {{Q, RGB}, {C, RGB}, {T, RGB}}, GL_REPLACE, {{T, A}, no, no}, 1, 0, 0, 0},
};

const recipe* find_recipe(int mode) {
  for (const recipe& r : recipes)
    if (r.mode == mode) return &r;
  return nullptr;
}

void set_colour(float v) {
  const GLfloat c[4] = {v, v, v, v};
  s_gl->tex_envfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c);
}

void set_args(const arg* args, GLenum first_source, GLenum first_operand) {
  for (int i = 0; i < 3 && args[i].source; ++i) {
    s_gl->tex_envi(GL_TEXTURE_ENV, first_source + i, (GLint)args[i].source);
    s_gl->tex_envi(GL_TEXTURE_ENV, first_operand + i, (GLint)args[i].operand);
  }
}

void apply(const recipe& r) {
  if (r.colour >= 0 && r.colour_first) set_colour((float)r.colour);
  s_gl->tex_envi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
  if (r.colour >= 0 && !r.colour_first) set_colour((float)r.colour);
  s_gl->tex_envi(GL_TEXTURE_ENV, GL_COMBINE_RGB, (GLint)r.rgb_op);
  set_args(r.rgb, GL_SOURCE0_RGB, GL_OPERAND0_RGB);
  if (r.rgb_scale != 1) s_gl->tex_envi(GL_TEXTURE_ENV, GL_RGB_SCALE, r.rgb_scale);
  s_gl->tex_envi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA, (GLint)r.alpha_op);
  set_args(r.alpha, GL_SOURCE0_ALPHA, GL_OPERAND0_ALPHA);
  if (r.alpha_scale) s_gl->tex_envi(GL_TEXTURE_ENV, GL_ALPHA_SCALE, r.alpha_scale);
}

void set_env_colour(int unit, const GLfloat* c) {
  if (unit < 0 || unit >= reno.num_tex_units || unit >= unit_count) return;
  if (unit > 0) s_gl->active_texture(GL_TEXTURE0 + unit);
  s_gl->tex_envfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c);
  if (unit > 0) s_gl->active_texture(GL_TEXTURE0);
}

}  // namespace

const TEX_bind_calls* TEX_bind_calls_use(const TEX_bind_calls* calls) {
  const TEX_bind_calls* old = s_gl;
  s_gl = calls ? calls : &s_libgl;
  return old;
}

void TEX_bind_ref(int name, int unit, int mode, unsigned long target) {
  if (unit < 0 || unit >= unit_count) return;
  const int eff = mode == 0 ? GL_MODULATE : mode;
  if (gKillTex.value != 0 && name != 359) name = 934;
  if (o_tex[unit] == name && o_mod[unit] == eff) return;
  if (unit > 0) s_gl->active_texture(GL_TEXTURE0 + unit);
  if (o_tex[unit] != name) {
    s_gl->bind_texture((GLenum)target, (GLuint)name);
    o_tex[unit] = name;
  }
  if (mode != 33 && eff != o_mod[unit]) {
    o_mod[unit] = eff;
    s_gl->tex_envi(GL_TEXTURE_ENV, GL_RGB_SCALE, 1);
    s_gl->tex_envi(GL_TEXTURE_ENV, GL_ALPHA_SCALE, 1);
    const recipe* r = find_recipe(mode);
    if (glExt.combine_avail && r)
      apply(*r);
    else
      s_gl->tex_envi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, eff);
  }
  if (unit > 0) s_gl->active_texture(GL_TEXTURE0);
}

void TEX_reset_bind() {
  for (int i = 0; i < unit_count; ++i) o_tex[i] = o_mod[i] = -1;
}

void TEX_set_blend_level(int unit, float level) {
  const GLfloat c[4] = {level, level, level, level};
  set_env_colour(unit, c);
}

void TEX_set_tint(int unit, float r, float g, float b, float a) {
  const GLfloat c[4] = {r, g, b, a};
  set_env_colour(unit, c);
}
