// The fixed-function state cache. Drawing code states the whole state it
// needs in one call; the cache remembers what it applied last and calls the
// driver only for what differs, so an unchanged capability costs one integer
// comparison. One cache for the program, describing the window's context:
// main thread only. Code that changes one of these capabilities directly
// must leave it as the cache believes it to be.
#pragma once
#include <GL/gl.h>

// Mode arguments. For the first four, any value but 0 means off; for the
// array modes, any value but 0 means on.
enum ogl_fog_mode : int { fog_on = 0, fog_off = 1 };   // GL_FOG
enum ogl_lit_mode : int { lit_on = 0, lit_off = 1 };   // GL_LIGHTING and GL_LIGHT0
enum ogl_deR_mode : int { deR_on = 0, deR_off = 1 };   // GL_DEPTH_TEST
enum ogl_deW_mode : int { deW_on = 0, deW_off = 1 };   // the depth mask
enum ogl_al_mode : int {
  al_none = 0,        // no blending, no alpha test
  al_blend = 1,       // GL_BLEND
  al_test = 2,        // GL_ALPHA_TEST
  al_blend_test = 3,  // both
};                    // other values change neither
enum ogl_nrm_mode : int { nrm_off = 0, nrm_on = 1 };  // GL_NORMAL_ARRAY
enum ogl_col_mode : int { col_off = 0, col_on = 1 };  // GL_COLOR_ARRAY

// The texture-unit count last applied by OGL_setstate, after clamping; 1 at
// start. Texture code sets it to 1 around a bind and puts it back.
extern int num_units;

// Applies fog, 2-D texturing on units 0 to units-1 (0 untextured; clamped to
// the unit count of reno), lighting, blending and alpha test, depth test and
// depth writes. The first call reads the driver's state back, except depth
// writes, which it believes off. The active texture unit is unit 0 whenever
// the call switched units.
void OGL_setstate(ogl_fog_mode fog, int units, ogl_lit_mode lit, ogl_al_mode alpha, ogl_deR_mode depth_read,
                  ogl_deW_mode depth_write);

// Applies the normal and colour arrays and, per bit i of tex_mask (bit 0
// lowest), the texture-coordinate array of unit i; units the driver lacks
// are skipped but remembered as asked. The vertex array is not touched. The
// client-active unit is unit 0 on return. Nothing is read back: all arrays
// are believed off at start.
void OGL_setclientstate(ogl_nrm_mode normals, ogl_col_mode colors, unsigned char tex_mask);

// The driver calls the cache makes; the real ones go straight to libGL.
struct OGL_state_calls {
  GLboolean (*is_enabled)(GLenum cap);
  void (*enable)(GLenum cap);
  void (*disable)(GLenum cap);
  void (*depth_mask)(GLboolean flag);
  void (*active_texture)(GLenum unit);
  void (*enable_client_state)(GLenum array);
  void (*disable_client_state)(GLenum array);
  void (*client_active_texture)(GLenum unit);
};
// Puts calls in force (a test's recorder); null puts libGL's back. Returns
// the ones replaced.
const OGL_state_calls* OGL_state_calls_use(const OGL_state_calls* calls);
// Forgets both caches: the next OGL_setstate reads the driver back again and
// every client array is believed off. For a new context, and for tests.
void OGL_setstate_forget();
