// Off-screen render targets whose results end in numbered textures of tman,
// so later drawing can sample them. A target renders through an
// EXT_framebuffer_object framebuffer when the driver allows it and
// otherwise draws into the window's back buffer and copies the result into
// its texture ("--no_fbos" forces the copy). Two records say what is being
// rendered into. Main thread, with the window's context current.
#pragma once
#include <GL/gl.h>
#include <GL/glext.h>
#include "core/utl_stat.h"

class OGL_framebuffer {
 public:
  enum : int {
    make_depth = 1,          // a depth renderbuffer, unless one is given
    make_depth_stencil = 2,  // a depth-stencil renderbuffer, unless one is given
    four_textures = 4,       // colour into textures n to n+3
    depth_texture = 8,       // depth into texture n+1
  };
  // A target drawing into tman texture tex_number (and on) with the tman
  // load flags tex_flags (low four bits the colour code, 7 depth; 0x20
  // mipmaps; 0x1000 16-bit float), render size width x height. depth_rb and
  // stencil_rb name renderbuffers the caller owns (0 none). name is kept by
  // pointer. With framebuffers on, makes the framebuffer and the wanted
  // renderbuffers as objects, leaving the bindings as they were.
  OGL_framebuffer(int tex_number, int tex_flags, int flags, int width, int height, unsigned long depth_rb,
                  unsigned long stencil_rb, const char* name);
  // Deletes the framebuffer and the renderbuffers made here.
  ~OGL_framebuffer();
  OGL_framebuffer(const OGL_framebuffer&) = delete;
  OGL_framebuffer& operator=(const OGL_framebuffer&) = delete;

  void set_render_size(int width, int height);
  // Starts drawing into the target: through the framebuffer when
  // use_framebuffer is non-zero and framebuffers are on, else into the
  // window for a copy at end_render. The window's pixel layout in wins
  // becomes the target's size until end_render. An incomplete framebuffer
  // is reported (fbo_status), switches framebuffers off for the run and
  // falls back to the copy.
  void begin_render(int use_framebuffer);
  // Ends it: the texture gets the drawing, and the target, the pixel layout
  // and mTypeNow / mObjNow are the ones before begin_render.
  void end_render();
  // Copies this target's colour onto dest (null: the window), by a
  // framebuffer blit when both are of the same kind and the driver can, else
  // by drawing the texture over dest. The flags are not used.
  void blit_to(OGL_framebuffer* dest, bool, bool, bool);
  // Writes what the bound framebuffer name holds to the log.
  static void fbo_status(const char* name, GLenum status);
  // The alert screen draws into the window with the fixed-function pipeline:
  // binds the window's framebuffer and puts both records back to the window.
  static void reset_to_window();

  // What is being rendered into: 0 the window or an ordinary target, 1 a
  // 16-bit float target, 2 the four-texture target.
  static int mTypeNow;
  static OGL_framebuffer* mObjNow;  // null: the window

  int get_tex_number() const { return tex_number; }
  int get_copy_width() const { return copy_dx; }
  int get_copy_height() const { return copy_dy; }
  GLuint get_fbo() const { return fbo; }

 private:
  int type_of() const;
  void make_textures(bool on_fbo);
  void attach();
  void bind_texture();

  GLuint fbo = 0;
  unsigned long depth_rb = 0, stencil_rb = 0;
  GLint saved_binding = 0;
  int use_fbo_now = 0;
  int rebind = 0;  // begin_render left a framebuffer binding to put back
  int tex_number = 0, tex_flags = 0;
  int render_dx = 0, render_dy = 0;
  int copy_dx = 0, copy_dy = 0;
  int textures_made = 0;
  int multi = 0, depth_tex = 0;
  int own_depth = 0, own_stencil = 0;
  const char* name = "";
  int saved_type = 0;
  OGL_framebuffer* saved_obj = nullptr;
  float saved_view[4] = {0, 0, 0, 0};
  float saved_offset = 0;
  float saved_pix[2] = {0, 0};
};

// "fbo/flush_per_frame": finished renders.
extern UTL_stat g_fbo_flushes;
