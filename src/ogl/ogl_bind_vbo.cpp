// Binding geometry buffers, skipping the bind the driver already has: the
// same buffer is bound again and again when one buffer feeds many draws.
#include "core/utl_stat.h"
#include "ogl/ogl_extensions.h"

static UTL_stat s_num_xdl_bind("num_xdl_bind", stat_per_frame, 0);
static UTL_stat s_num_xdl_bind_ind("num_xdl_bind_ind", stat_per_frame, 0);

void OGL_bind_vbo(GLuint name) {
  static GLuint last = 0;
  if (name == last) return;
  last = name;
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, name);
  s_num_xdl_bind.value += 1;
}

void OGL_bind_vbo_ind(GLuint name) {
  static GLuint last = 0;
  if (name == last) return;
  last = name;
  glExt.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, name);
  s_num_xdl_bind_ind.value += 1;
}
