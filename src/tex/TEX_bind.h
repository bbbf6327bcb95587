// Binding OpenGL texture names on texture units, with a cache of what each
// of the 8 units holds so that binding the same texture again (the widgets
// bind the interface atlas hundreds of times a frame) costs no OpenGL call.
// Main thread only; the cache describes the current context, so anything
// that changes bindings behind its back calls TEX_reset_bind.
#pragma once
#include <GL/gl.h>
#include "core/utl_stat.h"

// Binds the OpenGL name (not a texture number) on unit 0..7 of target
// (GL_TEXTURE_2D or GL_TEXTURE_3D) with an environment mode: 0 modulates,
// 1-6 and 14-32 are combiner recipes, 33 binds only and leaves the
// environment alone, anything else is the GL_TEXTURE_ENV_MODE itself. Unit
// 0 is the active unit on return.
void TEX_bind_ref(int name, int unit, int mode, unsigned long target);
// Forgets what every unit holds: the next bind on each issues its calls.
void TEX_reset_bind();
// The unit's GL_TEXTURE_ENV_COLOR to (level, level, level, level); units at
// or above reno's unit count are ignored. The mode cache is kept.
void TEX_set_blend_level(int unit, float level);
// The unit's GL_TEXTURE_ENV_COLOR to (r, g, b, a), as TEX_set_blend_level.
void TEX_set_tint(int unit, float r, float g, float b, float a);

// "perf/kill_tex": while not 0 every bind but the atlas (name 359) binds
// the placeholder's name 934, to see what texturing costs.
extern UTL_stat gKillTex;

// The OpenGL calls the binding makes; the real ones go straight to libGL.
struct TEX_bind_calls {
  void (*active_texture)(GLenum unit);
  void (*bind_texture)(GLenum target, GLuint name);
  void (*tex_envi)(GLenum target, GLenum pname, GLint value);
  void (*tex_envfv)(GLenum target, GLenum pname, const GLfloat* value);
};
// Puts calls in force (a test's recorder); null puts libGL's back. Returns
// the ones replaced.
const TEX_bind_calls* TEX_bind_calls_use(const TEX_bind_calls* calls);
