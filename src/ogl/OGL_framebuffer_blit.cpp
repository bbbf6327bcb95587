// Copying one target's colour onto another or onto the window.
#include "ogl/OGL_framebuffer.h"
#include "ogl/OGL_shader.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_legacy_shader.h"
#include "shell/wins.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"

void OGL_framebuffer::blit_to(OGL_framebuffer* dest, bool, bool, bool) {
  const int dest_type = dest ? dest->type_of() : 0;
  const bool dest_fbo_ok = !dest || dest->fbo;
  if (glExt.frameblit_avail && fbo && dest_fbo_ok && !multi && type_of() == dest_type) {
    if (dest && dest != mObjNow && !tman.tex_loaded(dest->tex_number)) {
      dest->begin_render(1);
      dest->end_render();
    }
    GLint read_was = 0, draw_was = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING_EXT, &read_was);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING_EXT, &draw_was);
    glExt.glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, fbo);
    glExt.glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, dest ? dest->fbo : 0);
    const int dw = dest ? dest->render_dx : wins.x_pix, dh = dest ? dest->render_dy : wins.y_pix;
    glExt.glBlitFramebufferEXT(0, 0, render_dx, render_dy, 0, 0, dw, dh, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    glExt.glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, (GLuint)read_was);
    glExt.glBindFramebufferEXT(GL_DRAW_FRAMEBUFFER_EXT, (GLuint)draw_was);
    return;
  }
  const bool begun = dest && dest != mObjNow;
  if (begun) dest->begin_render(1);
  glPushAttrib(GL_VIEWPORT_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0, wins.x_pix, 0, wins.y_pix, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glViewport(0, 0, wins.x_pix, wins.y_pix);
  OGL_set_legacy_shader(fog_off, 1, lit_off, al_none, deR_off, deW_off);
  TEX_obj* src = tman.get_known_obj(tex_number);
  glBindTexture(GL_TEXTURE_2D, src ? src->get_gl_name() : 0);
  TEX_reset_bind();
  glColor4f(1, 1, 1, 1);
  const float w = (float)wins.x_pix, h = (float)wins.y_pix;
  glBegin(GL_QUADS);
  glTexCoord2f(0, 0);
  glVertex2f(0, 0);
  glTexCoord2f(0, 1);
  glVertex2f(0, h);
  glTexCoord2f(1, 1);
  glVertex2f(w, h);
  glTexCoord2f(1, 0);
  glVertex2f(w, 0);
  glEnd();
  OGL_shader::unbind_shaders();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();
  if (begun) dest->end_render();
}
