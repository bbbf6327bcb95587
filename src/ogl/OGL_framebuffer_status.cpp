// The log report on the bound framebuffer, written when one is incomplete.
#include <string>
#include "core/globs.h"
#include "ogl/OGL_framebuffer.h"
#include "ogl/ogl_extensions.h"
#include "tex/TEX_bind.h"

namespace {

void bit_lines(xer_group& g, GLint r, GLint gr, GLint b, GLint a, GLint d, GLint s) {
  g << "       Red: " << r << ", Green: " << gr << ", Blue: " << b << " Alpha: " << a << "\n"
    << "       Depth bits: " << d << " Stencil: " << s << "\n";
}

void renderbuffer_lines(xer_group& g, GLuint rb) {
  if (!glExt.glIsRenderbufferEXT(rb)) {
    g << "       WARNING: this is not a valid Render Buffer!\n";
    return;
  }
  GLint was = 0;
  glGetIntegerv(GL_RENDERBUFFER_BINDING_EXT, &was);
  glExt.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rb);
  auto q = [](GLenum p) {
    GLint v = 0;
    glExt.glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, p, &v);
    return v;
  };
  g << "       " << q(GL_RENDERBUFFER_WIDTH_EXT) << " x " << q(GL_RENDERBUFFER_HEIGHT_EXT)
    << " format = " << OGL_get_token_name((unsigned)q(GL_RENDERBUFFER_INTERNAL_FORMAT_EXT)) << "\n";
  bit_lines(g, q(GL_RENDERBUFFER_RED_SIZE_EXT), q(GL_RENDERBUFFER_GREEN_SIZE_EXT), q(GL_RENDERBUFFER_BLUE_SIZE_EXT),
            q(GL_RENDERBUFFER_ALPHA_SIZE_EXT), q(GL_RENDERBUFFER_DEPTH_SIZE_EXT), q(GL_RENDERBUFFER_STENCIL_SIZE_EXT));
  glExt.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, (GLuint)was);
}

void texture_lines(xer_group& g, GLuint tex) {
  if (!glIsTexture(tex)) {
    g << "       WARNING: this is nota valid texture!\n";
    return;
  }
  GLint was = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &was);
  glBindTexture(GL_TEXTURE_2D, tex);
  for (int level = 0; level < 16; ++level) {
    auto q = [level](GLenum p) {
      GLint v = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, level, p, &v);
      return v;
    };
    const GLint w = q(GL_TEXTURE_WIDTH), h = q(GL_TEXTURE_HEIGHT);
    // Level 0 always, so an empty texture shows as one; then every level made.
    if (level > 0 && (w <= 0 || h <= 0)) break;
    g << "       Mip level " << level << ": " << w << " x " << h
      << " format = " << OGL_get_token_name((unsigned)q(GL_TEXTURE_INTERNAL_FORMAT)) << "\n";
    bit_lines(g, q(GL_TEXTURE_RED_SIZE), q(GL_TEXTURE_GREEN_SIZE), q(GL_TEXTURE_BLUE_SIZE), q(GL_TEXTURE_ALPHA_SIZE),
              q(GL_TEXTURE_DEPTH_SIZE), q(GL_TEXTURE_STENCIL_SIZE));
  }
  glBindTexture(GL_TEXTURE_2D, (GLuint)was);
  TEX_reset_bind();
}

}  // namespace

void OGL_framebuffer::fbo_status(const char* name, GLenum status) {
  GLint id = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &id);
  xer_group g;
  if (!glExt.glIsFramebufferEXT((GLuint)id)) {
    g << "FBO " << name << " ID: " << id << " is not a real FBO object.\n";
    return;
  }
  g << "Info for FBO: " << name << " (" << OGL_get_token_name(status) << ")\n";
  static const struct {
    GLenum point;
    const char* text;
  } points[] = {{GL_COLOR_ATTACHMENT0_EXT, "GL_COLOR_ATTACHMENT0_EXT"}, {GL_COLOR_ATTACHMENT1_EXT, "GL_COLOR_ATTACHMENT1_EXT"},
                {GL_COLOR_ATTACHMENT2_EXT, "GL_COLOR_ATTACHMENT2_EXT"}, {GL_COLOR_ATTACHMENT3_EXT, "GL_COLOR_ATTACHMENT3_EXT"},
                {GL_COLOR_ATTACHMENT4_EXT, "GL_COLOR_ATTACHMENT4_EXT"}, {GL_STENCIL_ATTACHMENT_EXT, "GL_STENCIL_ATTACHMENT_EXT"},
                {GL_DEPTH_ATTACHMENT_EXT, "GL_DEPTH_ATTACHMENT_EXT"}};
  for (const auto& p : points) {
    GLint type = 0, obj = 0;
    glExt.glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, p.point,
                                                   GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE_EXT, &type);
    if (type != GL_NONE)
      glExt.glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, p.point,
                                                     GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &obj);
    if (type == GL_RENDERBUFFER_EXT) {
      g << "   Attachment " << p.text << ": GL_RENDERBUFFER " << obj << "\n";
      renderbuffer_lines(g, (GLuint)obj);
    } else if (type == GL_TEXTURE) {
      g << "   Attachment " << p.text << ": GL_TEXTURE " << obj << "\n";
      texture_lines(g, (GLuint)obj);
    } else {
      g << "   Attachment " << p.text << ": 0\n";
    }
  }
}
