// The fixed-function state with a shader that reproduces it: for drawing
// while shaders are in use, and for the framebuffer copy. Main thread.
#pragma once
#include "ogl/ogl_state.h"

// OGL_setstate with fixed-function fog always off, then, with GLSL, binds
// the "legacy.glsl" variant for fog, units (0 to 2), gamma (while rendering
// into a float or four-texture target) and lighting, and sets its samplers
// and gamma through the variant's uniform cache. The variants are built on
// first use.
void OGL_set_legacy_shader(ogl_fog_mode fog, int units, ogl_lit_mode lit, ogl_al_mode alpha,
                           ogl_deR_mode depth_read, ogl_deW_mode depth_write);
