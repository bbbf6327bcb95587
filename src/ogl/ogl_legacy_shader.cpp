#include "ogl/ogl_legacy_shader.h"
#include "ogl/OGL_framebuffer.h"
#include "ogl/OGL_shader.h"
#include "widgets/colr.h"

void OGL_set_legacy_shader(ogl_fog_mode fog, int units, ogl_lit_mode lit, ogl_al_mode alpha,
                           ogl_deR_mode depth_read, ogl_deW_mode depth_write) {
  OGL_setstate(fog_off, units, lit, alpha, depth_read, depth_write);
  if (!glExt.glsl_avail) return;
  static const char* const uniforms[] = {"u_tex0", "u_tex1", "u_gamma", nullptr};
  static const OGL_conditional_t flags[] = {{"FOG", 2}, {"NUM_TU", 3}, {"GAMMA", 2}, {"LIT", 2}, {nullptr, 0}};
  static OGL_shader_conditional legacy_shader("legacy.glsl", nullptr, "legacy.glsl", uniforms, nullptr, flags,
                                              nullptr);
  const int gamma = OGL_framebuffer::mTypeNow == 1 || OGL_framebuffer::mTypeNow == 2;
  const int values[4] = {fog == fog_on, units, gamma, lit == lit_on};
  const int id = legacy_shader.id_from_flags(values);
  legacy_shader.bind(id);
  OGL_shader* v = legacy_shader.variant(id);
  if (units > 0) v->set_uniform_int(0, 0);
  if (units > 1) v->set_uniform_int(1, 1);
  if (gamma) v->set_uniform_2f(2, colr.gamma_den, 1.0f / colr.gamma_den);
}
