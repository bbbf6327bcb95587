// What the display-list units share among themselves.
#pragma once
#include <GL/gl.h>
#include "ogl/xdl.h"

inline constexpr char xdl_src_path[] = "RUvozuz/OGL/OGL_xdl";
// xdl_plain_mode's answer for a mode no list records.
inline constexpr GLenum xdl_no_mode = ~0u;

// The plain primitive a mode is recorded as (GL_POINTS, GL_LINES,
// GL_TRIANGLES or GL_QUADS), or xdl_no_mode.
GLenum xdl_plain_mode(GLenum mode);
// The crash alert for a mode no list records, naming the caller's line.
void xdl_bad_mode(int line);

// A recording list keeps its sub-region records in its offset fields, which
// finalisation overwrites with the offsets.
static_assert(sizeof(unsigned long) >= sizeof(void*));
inline OGL_chunkybuffer::subregion* xdl_region(unsigned long at) {
  return reinterpret_cast<OGL_chunkybuffer::subregion*>(at);
}
inline void xdl_set_region(unsigned long* at, OGL_chunkybuffer::subregion* r) {
  *at = reinterpret_cast<unsigned long>(r);
}
