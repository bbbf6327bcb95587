// Render targets: making them, and the bracket around drawing into them.
#include "ogl/OGL_framebuffer.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_state.h"
#include "shell/wins.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"

int OGL_framebuffer::mTypeNow = 0;
OGL_framebuffer* OGL_framebuffer::mObjNow = nullptr;
UTL_stat g_fbo_flushes("fbo/flush_per_frame", stat_per_frame, 0);

namespace {
GLint current_binding() {
  GLint b = 0;
  glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &b);
  return b;
}
// A renderbuffer name made as an object, leaving no renderbuffer bound.
unsigned long make_renderbuffer() {
  GLuint rb = 0;
  glExt.glGenRenderbuffersEXT(1, &rb);
  glExt.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rb);
  glExt.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
  return rb;
}
}  // namespace

OGL_framebuffer::OGL_framebuffer(int tex_number_, int tex_flags_, int flags, int width, int height,
                                 unsigned long depth_rb_, unsigned long stencil_rb_, const char* name_)
    : depth_rb(depth_rb_),
      stencil_rb(stencil_rb_),
      tex_number(tex_number_),
      tex_flags(tex_flags_),
      render_dx(width),
      render_dy(height),
      copy_dx(width),
      copy_dy(height),
      multi((flags & four_textures) != 0),
      depth_tex((flags & depth_texture) != 0),
      name(name_ ? name_ : "") {
  if (!glExt.framebuf_avail) return;
  glExt.glGenFramebuffersEXT(1, &fbo);
  const GLint was = current_binding();
  glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
  glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, (GLuint)was);
  if ((flags & make_depth) && !depth_rb) {
    depth_rb = make_renderbuffer();
    own_depth = 1;
  }
  if ((flags & make_depth_stencil) && !stencil_rb) {
    stencil_rb = make_renderbuffer();
    own_stencil = 1;
  }
}

OGL_framebuffer::~OGL_framebuffer() {
  // A target that fell back to copying still owns what it made.
  if (fbo && glExt.glDeleteFramebuffersEXT) glExt.glDeleteFramebuffersEXT(1, &fbo);
  for (auto [own, rb] : {std::pair{own_depth, depth_rb}, std::pair{own_stencil, stencil_rb}})
    if (own && rb && glExt.glDeleteRenderbuffersEXT) {
      const GLuint n = (GLuint)rb;
      glExt.glDeleteRenderbuffersEXT(1, &n);
    }
  if (mObjNow == this) mObjNow = nullptr;
}

void OGL_framebuffer::set_render_size(int width, int height) {
  render_dx = width;
  render_dy = height;
}

int OGL_framebuffer::type_of() const {
  if (multi) return 2;
  return (tex_flags & 0x1000) ? 1 : 0;
}

void OGL_framebuffer::make_textures(bool on_fbo) {
  const std::string stem = std::string("fbo-") + name;
  auto make = [](int ref, int flags, int w, int h, const std::string& n) {
    tman.load_texture_mem_idx(ref, flags, nullptr, w, h, n);
  };
  if (!on_fbo) {
    make(tex_number, tex_flags | 0x40200, copy_dx, copy_dy, stem + "-copytex");
    return;
  }
  if (multi) {
    const int colour = 0x46602 | (glExt.texture_rg ? 0 : 0x1000);
    const int vector = glExt.texture_rg ? 0x4760a : 0x47602;
    make(tex_number, colour, render_dx, render_dy, stem + "-fbo_gbuf1_alb");
    make(tex_number + 1, vector, render_dx, render_dy, stem + "-fbo_gbuf1_pos");
    make(tex_number + 2, vector, render_dx, render_dy, stem + "-fbo_gbuf2_nrm");
    make(tex_number + 3, colour, render_dx, render_dy, stem + "-fbo_gbuf3_lit");
  } else {
    make(tex_number, tex_flags | 0x42200, render_dx, render_dy, stem + "-fbo");
  }
  if (depth_tex) make(tex_number + 1, 0x42207, render_dx, render_dy, stem + "-fbo_depth_tex");
}

void OGL_framebuffer::attach() {
  auto gl_name = [](int ref) {
    TEX_obj* o = tman.get_known_obj(ref);
    return o ? o->get_gl_name() : 0u;
  };
  auto tex_at = [&](GLenum point, int ref) {
    glExt.glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, point, GL_TEXTURE_2D, gl_name(ref), 0);
  };
  if ((tex_flags & 15) == 7) {
    tex_at(GL_DEPTH_ATTACHMENT_EXT, tex_number);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
  } else {
    tex_at(GL_COLOR_ATTACHMENT0_EXT, tex_number);
    if (multi)
      for (int i = 1; i < 4; ++i) tex_at(GL_COLOR_ATTACHMENT0_EXT + i, tex_number + i);
    if (depth_tex) tex_at(GL_DEPTH_ATTACHMENT_EXT, tex_number + 1);
  }
  if (depth_rb) {
    glExt.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, (GLuint)depth_rb);
    glExt.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, render_dx, render_dy);
    glExt.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                       (GLuint)depth_rb);
  }
  if (stencil_rb) {
    glExt.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, (GLuint)stencil_rb);
    glExt.glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH24_STENCIL8_EXT, render_dx, render_dy);
    glExt.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_STENCIL_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                       (GLuint)stencil_rb);
    glExt.glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                       (GLuint)stencil_rb);
  }
  if (depth_rb || stencil_rb) glExt.glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
  if (multi && glExt.glDrawBuffersARB) {
    const GLenum bufs[4] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT, GL_COLOR_ATTACHMENT2_EXT,
                            GL_COLOR_ATTACHMENT3_EXT};
    glExt.glDrawBuffersARB(4, bufs);
  }
}

void OGL_framebuffer::begin_render(int use_framebuffer) {
  saved_type = mTypeNow;
  saved_obj = mObjNow;
  mTypeNow = type_of();
  mObjNow = this;
  copy_dx = render_dx;
  copy_dy = render_dy;
  rebind = 0;
  use_fbo_now = use_framebuffer && glExt.framebuf_avail && fbo;
  if (use_fbo_now) {
    saved_binding = current_binding();
    rebind = 1;
    if (tman.tex_loaded(tex_number) && (int)tman.tex_dx_tot(tex_number) == render_dx &&
        (int)tman.tex_dy_tot(tex_number) == render_dy && textures_made) {
      glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    } else {
      textures_made = 1;
      make_textures(true);
      glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
      attach();
      const GLenum status = glExt.glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
      if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
        fbo_status(name, status);
        // Drawn into the window and copied instead; end_render still puts
        // back the binding found here, so an outer target carries on.
        glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        glExt.glDeleteFramebuffersEXT(1, &fbo);
        fbo = 0;
        textures_made = 0;
        glExt.framebuf_failed();
        use_fbo_now = 0;
      }
    }
  }
  if (!use_fbo_now) {
    while (copy_dx > wins.x_pix && copy_dx > 1) copy_dx /= 2;
    while (copy_dy > wins.y_pix && copy_dy > 1) copy_dy /= 2;
    if (!tman.tex_loaded(tex_number) || (int)tman.tex_dx_tot(tex_number) != copy_dx ||
        (int)tman.tex_dy_tot(tex_number) != copy_dy)
      make_textures(false);
  }
  saved_view[0] = wins.view_left;
  saved_view[1] = wins.view_bottom;
  saved_view[2] = wins.view_right;
  saved_view[3] = wins.view_top;
  saved_offset = wins.ui_offset_x;
  saved_pix[0] = (float)wins.x_pix;
  saved_pix[1] = (float)wins.y_pix;
  wins.view_left = wins.view_bottom = 0;
  wins.view_right = (float)copy_dx;
  wins.view_top = (float)copy_dy;
  wins.ui_offset_x = 0;
  wins.x_pix = copy_dx;
  wins.y_pix = copy_dy;
  TEX_reset_bind();
}

void OGL_framebuffer::bind_texture() {
  OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
  tman.bind_ref(tex_number, 0, 0);
}

void OGL_framebuffer::end_render() {
  g_fbo_flushes.value += 1;
  wins.view_left = saved_view[0];
  wins.view_bottom = saved_view[1];
  wins.view_right = saved_view[2];
  wins.view_top = saved_view[3];
  wins.ui_offset_x = saved_offset;
  wins.x_pix = (int)saved_pix[0];
  wins.y_pix = (int)saved_pix[1];
  mTypeNow = saved_type;
  mObjNow = saved_obj;
  if (use_fbo_now) {
    glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, (GLuint)saved_binding);
    if (tex_flags & 0x20) {
      bind_texture();
      glExt.glGenerateMipmapEXT(GL_TEXTURE_2D);
    }
    return;
  }
  bind_texture();
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, copy_dx, copy_dy);
  if (rebind) glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, (GLuint)saved_binding);
}

void OGL_framebuffer::reset_to_window() {
  if (glExt.glBindFramebufferEXT) glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  mObjNow = nullptr;
  mTypeNow = 0;
}
