// Binding geometry buffers, skipping the bind the driver already has: the
// same buffer is bound again and again when one buffer feeds many draws.
#include "core/utl_stat.h"
#include "ogl/ogl_extensions.h"

static UTL_stat s_num_xdl_bind("num_xdl_bind", stat_per_frame, 0);
static UTL_stat s_num_xdl_bind_ind("num_xdl_bind_ind", stat_per_frame, 0);

// The names each binder bound last (0 at start, as the driver has it);
// no_name after a forget, so the next bind always reaches the driver.
static const GLuint no_name = ~0u;
static GLuint last_vbo = 0;
static GLuint last_vbo_ind = 0;

void OGL_forget_vbo_binds() {
  last_vbo = no_name;
  last_vbo_ind = no_name;
}

void OGL_bind_vbo(GLuint name) {
  if (name == last_vbo) return;
  last_vbo = name;
  glExt.glBindBufferARB(GL_ARRAY_BUFFER_ARB, name);
  s_num_xdl_bind.value += 1;
}

void OGL_bind_vbo_ind(GLuint name) {
  if (name == last_vbo_ind) return;
  last_vbo_ind = name;
  glExt.glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, name);
  s_num_xdl_bind_ind.value += 1;
}
