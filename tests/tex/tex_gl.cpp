#include "tex/tex_gl.h"
#include <GL/gl.h>
#include <GL/glext.h>
#include "ogl/ogl_extensions.h"
#include "support/gl_console.h"
#include "tex/TEX_bind.h"
#include "tex/TEX_png.h"
#include "widgets/reno.h"

bool tex_gl_register() { return gl_console_register(); }

void make_png(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& colour) {
  std::vector<unsigned char> px((size_t)width * height * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colour(x, height - 1 - y);  // rows bottom-up
      unsigned char* p = &px[((size_t)y * width + x) * 4];
      p[0] = c >> 24, p[1] = c >> 16, p[2] = c >> 8, p[3] = c;
    }
  TEX_image_desc d;
  d.format = GL_RGBA;
  d.width = width;
  d.height = height;
  TEX_save_png(path, d, px.data());
}

std::vector<unsigned char> read_tex(GLenum target, GLenum format, int bpp) {
  const int w = level_param(target, GL_TEXTURE_WIDTH), h = level_param(target, GL_TEXTURE_HEIGHT);
  const int d = target == GL_TEXTURE_3D ? level_param(target, GL_TEXTURE_DEPTH) : 1;
  std::vector<unsigned char> out((size_t)w * h * d * bpp);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(target, 0, format, GL_UNSIGNED_BYTE, out.data());
  return out;
}

int tex_param(GLenum target, GLenum pname) {
  GLint v = 0;
  glGetTexParameteriv(target, pname, &v);
  return v;
}

int level_param(GLenum target, GLenum pname, int level) {
  GLint v = 0;
  glGetTexLevelParameteriv(target, level, pname, &v);
  return v;
}

int bound_2d() {
  GLint v = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &v);
  return v;
}

void bind_direct(TEX_obj* obj) {
  glActiveTextureARB(GL_TEXTURE0);
  glBindTexture(obj->get_target(), obj->get_gl_name());
  TEX_reset_bind();
}

TEX_obj* load_bound(int ref, const std::string& path, int flags, tex_fail_mode fail) {
  tman.load_texture(fail, ref, flags, tex_load_now, path);
  TEX_obj* obj = tman.get_known_obj(ref);
  if (obj) bind_direct(obj);
  return obj;
}

void tex_defaults() {
  reno.tex_res = 5;
  reno.use_tex_comp = 1;
  TEX_reset_bind();
}
