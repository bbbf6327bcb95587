// Loading a texture object: choosing and decoding the file (or taking the
// memory buffer), scaling to the resolution setting, and the upload.
#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_string.h"
#include "core/hl_thread.h"
#include "core/hl_version.h"
#include "core/scratch.h"
#include "core/utl_resource.h"
#include "files/file_ops.h"
#include "files/xmap.h"
#include "ogl/ogl_extensions.h"
#include "tex/TEX_bind.h"
#include "tex/TEX_bmp.h"
#include "tex/TEX_gradient.h"
#include "tex/TEX_image.h"
#include "tex/TEX_obj.h"
#include "tex/TEX_png.h"
#include "tex/TEX_utils.h"
#include "tex/tman.h"
#include "widgets/reno.h"

namespace {

constexpr char src_path[] = "RUvozuz/TEX/TEX_obj";

struct colour_code {
  GLenum format;
  png_alpha_mode alpha_mode;
};
colour_code code_of(int code) {
  switch (code) {
    case 1: return {GL_RGB, png_alpha_as_asked};
    case 2: return {GL_RGBA, png_alpha_as_asked};
    case 3: return {GL_ALPHA, png_alpha_as_asked};
    case 4: return {GL_RGB, png_alpha_from_file};
    case 5: return {GL_RGB, png_alpha_follow_file};
    case 6: return {GL_RGBA, png_alpha_follow_file};
    case 7: return {GL_DEPTH_COMPONENT, png_alpha_as_asked};
    case 8: return {GL_BGRA, png_alpha_as_asked};
    case 9: return {0x2002, png_alpha_as_asked};
    case 10: return {GL_RG, png_alpha_as_asked};
    default: return {GL_RGB, png_alpha_as_asked};
  }
}

bool is_s3tc(GLenum f) { return f >= 0x83F0 && f <= 0x83F3; }
bool is_pow2(int v) { return v > 0 && (v & (v - 1)) == 0; }
int next_pow2(int v) {
  int p = 1;
  while (p < v) p *= 2;
  return p;
}

// The internal format an image of format f uploads into.
GLenum internal_format(GLenum f, int flags) {
  GLenum in = f == GL_BGRA ? GL_RGBA : f == GL_BGR ? GL_RGB : f == GL_DEPTH_COMPONENT ? GL_DEPTH_COMPONENT24 : f;
  if (flags & tex_flag_float) {
    switch (in) {
      case GL_RGBA: in = GL_RGBA16F_ARB; break;
      case GL_RGB: in = GL_RGB16F_ARB; break;
      case GL_ALPHA: in = GL_ALPHA16F_ARB; break;
      case 0x2002: in = GL_R16F; break;
      case GL_RG: in = GL_RG16F; break;
      default: break;
    }
  }
  // The one-channel code has no legal unsized internal format: it goes
  // into GL_R8 (the record still names it 0x2002).
  if (in == 0x2002) in = GL_R8;
  if (flags & tex_flag_sized) {
    if (in == GL_RGB) in = GL_RGB8;
    if (in == GL_RGBA) in = GL_RGBA8;
  }
  return in;
}

// The pixel format OpenGL is handed for an image of format f.
GLenum upload_format(GLenum f) { return f == 0x2002 ? GL_RED : f; }

bool direct_upload() { return !THREAD_is_inited() || THREAD_is_main_thread(); }

std::string value_text(float v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%1.0f", v);
  return buf;
}

}  // namespace

struct TEX_obj::image {
  TEX_image_desc desc;
  unsigned char* buf = nullptr;
  int owned = 0;      // freed at the end of the load
  int from_file = 0;
  int want_vis_dx = 0, want_vis_dy = 0;
};

int TEX_obj::load() {
  if (flags < 0 || flags > tex_flag_max)
    __MACIBM_alert(0, "Trying to bind an invalid filter type!", path, "value:", value_text((float)flags), t_crash,
                   src_path, __LINE__);
  if ((flags & 0xF) == 0)
    __MACIBM_alert(0, "BAD color enum for tman - see tman.h for valid colors!  We cannot pass 0.", "", "", "",
                   t_crash, src_path, __LINE__);
  image im;
  int ok = 0;
  if (source == 1)
    ok = load_file(im);
  else if (source == 0)
    ok = load_mem(im);
  if (!ok) return fail(im);
  if (im.desc.format == GL_RGBA && im.from_file && !im.desc.has_mipmaps) TEX_clean_edge(im.desc, im.buf);
  if ((flags & tex_flag_gradient) && im.buf) TEX_make_gradient(im.buf, im.desc, 1.0f);
  return upload(im);
}

int TEX_obj::load_file(image& im) {
  std::string p = path;
  float wanted = 1.0f;
  if (evaluator) evaluator->evaluate(p, &wanted);
  UTL_check_string_length(p);
  const std::string dds = TEX_replace_ext(p, ".dds"), png = TEX_replace_ext(p, ".png"),
                    bmp = TEX_replace_ext(p, ".bmp");
  std::string chosen = p, probe = p;
  if (!UTL_path_is_resource(probe)) {
    const bool prefer_dds = glExt.tex_comp_avail && !(flags & tex_flag_no_dds) && reno.use_tex_comp;
    const std::string* order[3] = {&png, &dds, &bmp};
    if (prefer_dds) order[0] = &dds, order[1] = &png;
    for (const std::string* c : order)
      if (file_exists(*c)) {
        chosen = *c;
        break;
      }
  }
  xmap_class file(chosen, 0, 0);
  if (!file.mem_beg || file.mem_end - file.mem_beg <= 7) return 0;
  // Compressed files have no decoder here: they fail like unreadable files.
  static const unsigned char png_sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const int is_bmp =
      TEX_is_bmp(file) && TEX_load_bmp(chosen, &file, im.buf, code_of(flags & 0xF).format, 0, 1, im.desc);
  if (!is_bmp && !std::equal(png_sig, png_sig + 8, (const unsigned char*)file.mem_beg)) return 0;
  const colour_code cc = code_of(flags & 0xF);
  if (!is_bmp &&
      !TEX_load_png(chosen, &file, im.buf, cc.format, 0, 1, cc.alpha_mode, !(flags & tex_flag_no_gamma), im.desc))
    return 0;
  im.owned = 1;
  im.from_file = 1;

  const float s = get_scale(wanted, im.desc.width, im.desc.height);
  if ((!is_pow2(im.desc.width) || !is_pow2(im.desc.height)) && !(flags & (tex_flag_any_size | tex_flag_any_size2)))
    xer_group() << "WARNING: texture " << p << " has a size that is not a power of 2; it may not render correctly.\n";
  im.desc.width = next_pow2(im.desc.width);
  im.desc.height = next_pow2(im.desc.height);
  im.desc.pad = 0;
  // Reduce by the largest power of two the scale allows, so the box filter
  // gets the factors it takes.
  int f = 1;
  while (f * 2 * s <= 1.0001f) f *= 2;
  if (f > 1) TEX_downscale(im.desc, im.buf, std::min(f, im.desc.width), std::min(f, im.desc.height));
  return 1;
}

int TEX_obj::load_mem(image& im) {
  for (int v : {dx_vis, dy_vis})
    if (v < 1 || v > glExt.max_tex_size)
      __MACIBM_alert(0, "Trying to create a texture either less than 1 or greater than the hw size!", path, "value:",
                     value_text((float)v), t_crash, src_path, __LINE__);
  im.buf = pixels;
  if (pixels && pixels != scratch_array) {
    im.owned = 1;
    pixels = nullptr;
  }
  im.desc.format = code_of(flags & 0xF).format;
  im.desc.width = dx_vis;
  im.desc.height = dy_vis;
  return 1;
}

float TEX_obj::get_scale(float wanted, int width, int height) {
  float s = tman_class::scale_rat();
  if (flags & tex_flag_res_up) s = std::clamp(2 * s, 0.0f, 1.0f);
  if (flags & tex_flag_res_down) s = std::clamp(s / 2, 0.0f, 1.0f);
  if (flags & tex_flag_full_res) s = 1;
  s = std::min(s, wanted);
  if (width > 0) s = std::max(s, 1.0f / (float)width);
  if (height > 0) s = std::max(s, 1.0f / (float)height);
  while (glExt.max_tex_size > 0 && (width * s > glExt.max_tex_size || height * s > glExt.max_tex_size)) s /= 2;
  // Rounded, not truncated: width x (1 / width) may come out just under 1.
  dx_vis = std::max(1, (int)std::lround(width * s));
  dy_vis = std::max(1, (int)std::lround(height * s));
  for (int v : {width, height, dx_vis, dy_vis})
    if (v < 1 || v > 2048)
      __MACIBM_alert(0, "Trying to create a texture either less than 1 or greater than 2048!", path, "value:",
                     value_text((float)v), t_crash, src_path, __LINE__);
  return s;
}

void TEX_missing_file_alert(const std::string& path, const char* source, int line) {
  __MACIBM_alert(0, "Trying to load a texture that you do not have!", "This smacks of a mis-installed copy of Duvizo!",
                 std::string("Get a new download from ") + app_web_site + ". The missing file is:", path, t_quit,
                 source, line);
}

int TEX_obj::fail(image& im) {
  dx_vis = dy_vis = dx_tot = dy_tot = 2;
  byte_est = 0;
  img_format = GL_RGB;
  int32_t no = 0;
  loaded.compare_exchange_strong(no, 1);
  if (im.owned) TEX_obj_free(im.buf);
  if (fail_mode == tex_fail_silent) return 0;
  // Logged before the alert, which does not come back for the quit kind.
  xer_group() << "WARNING: we are missing the texture: " << path << ".\n";
  switch (fail_mode) {
    case tex_fail_scenery: tman.got_scene_load_fail(); break;
    case tex_fail_plane: tman.got_plane_load_fail(); break;
    case tex_fail_instl: tman.got_instl_load_fail(); break;
    case tex_fail_quit: TEX_missing_file_alert(path, src_path, __LINE__); break;
    default: break;
  }
  return 0;
}

int TEX_obj::upload(image& im) {
  const GLenum fmt = im.desc.format;
  const GLenum in = internal_format(fmt, flags);
  const GLenum type = flags & tex_flag_float ? GL_FLOAT : GL_UNSIGNED_BYTE;
  const int direct = direct_upload();
  const int want_mips = (flags & tex_flag_mipmaps) != 0;
  const int driver_mips = want_mips && glExt.automini_avail && !is_s3tc(fmt) && !(flags & tex_flag_sized);
  const int soft_mips = want_mips && !driver_mips && !im.desc.has_mipmaps;
  const int reload = loaded.load() && direct && fmt == img_format && im.desc.width == dx_tot &&
                     im.desc.height == dy_tot && (!want_mips || driver_mips) && glExt.subtex_avail &&
                     byte_est > 0 && target == GL_TEXTURE_2D;
  if (source == 0) {
    dx_vis = im.desc.width;
    dy_vis = im.desc.height;
  }
  dx_tot = im.desc.width;
  dy_tot = im.desc.height;
  img_format = fmt;
  {
    TEX_image_desc est = im.desc;
    est.format = in == GL_R8 ? 0x2002 : in;
    est.pad = 0;
    byte_est = std::max(1, TEX_bytes_needed_for_image(est));
    if (want_mips && !im.desc.has_mipmaps) byte_est = byte_est / 3 * 4;
  }

  // A load off the main thread must never re-specify a name the main
  // thread may be drawing with: it fills a fresh one and swaps it in.
  GLuint name = gl_name.load();
  GLuint fresh = 0;
  if (name == 0) {
    glGenTextures(1, &name);
    gl_name.store(name);
  } else if (!direct) {
    glGenTextures(1, &fresh);
  }
  const GLuint bound = fresh ? fresh : name;
  if (direct) {
    TEX_bind_ref((int)bound, 0, 0, target);
  } else {
    // A loader context starts at the driver's alignment of 4; rows here are
    // packed (the placeholder's are 6 bytes).
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(target, bound);
  }

  if (target == GL_TEXTURE_3D) {
    glTexImage3D(GL_TEXTURE_3D, 0, (GLint)in, 128, 32, 16, 0, upload_format(fmt), type, im.buf);
  } else {
    if (driver_mips) glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, 1);
    TEX_image_desc lv = im.desc;
    const unsigned char* src = im.buf;
    for (int level = 0;; ++level) {
      if (is_s3tc(fmt)) {
        TEX_image_desc one = lv;
        one.has_mipmaps = 0;
        if (glExt.glCompressedTexImage2DARB)
          glExt.glCompressedTexImage2DARB(GL_TEXTURE_2D, level, fmt, lv.width, lv.height, 0,
                                          TEX_bytes_needed_for_image(one), src);
      } else if (reload) {
        if (src)
          glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, lv.width, lv.height, upload_format(fmt), type, src);
      } else {
        glTexImage2D(GL_TEXTURE_2D, level, (GLint)in, lv.width, lv.height, 0, upload_format(fmt), type, src);
      }
      if (lv.width == 1 && lv.height == 1) break;
      if (im.desc.has_mipmaps) {
        TEX_image_desc one = lv;
        one.has_mipmaps = 0;
        src += TEX_bytes_needed_for_image(one);
        lv.width = std::max(1, lv.width / 2);
        lv.height = std::max(1, lv.height / 2);
      } else if (soft_mips && im.buf) {
        TEX_downscale(lv, (unsigned char*)src, lv.width >= 2 ? 2 : 1, lv.height >= 2 ? 2 : 1);
        lv.width = std::max(1, lv.width);
        lv.height = std::max(1, lv.height);
      } else {
        break;
      }
    }
    if (is_s3tc(fmt)) {
      GLint compressed = 0;
      glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED, &compressed);
      if (compressed) {
        GLint size = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_COMPRESSED_IMAGE_SIZE, &size);
        byte_est = (int)(size * (want_mips ? 1.33 : 1.0));
      }
    }
  }

  const GLenum clamp = glExt.tex_clamp_avail ? GL_CLAMP_TO_EDGE : GL_CLAMP;
  GLenum wrap_s = GL_REPEAT, wrap_t = GL_REPEAT;
  if (flags & (tex_flag_clamp | tex_flag_clamp_s)) {
    wrap_s = clamp;
    if (flags & tex_flag_clamp) wrap_t = clamp;
  }
  glTexParameteri(target, GL_TEXTURE_WRAP_S, (GLint)wrap_s);
  glTexParameteri(target, GL_TEXTURE_WRAP_T, (GLint)wrap_t);
  if (glExt.aniso_avail) glTexParameterf(target, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
  if (flags & tex_flag_nearest) {
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  } else if (want_mips) {
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  } else {
    glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  }
  if (fmt == GL_DEPTH_COMPONENT) {
    glTexParameteri(target, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_R_TO_TEXTURE);
    glTexParameteri(target, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
  }
  if (!direct) glBindTexture(target, 0);
  glFlush();

  if (fresh) {
    GLuint old = gl_name.load();
    while (!gl_name.compare_exchange_weak(old, fresh)) {
    }
    if (sKillQueue && old) UTL_message_queue_write(sKillQueue, (void*)(uintptr_t)old);
  }
  int32_t no = 0;
  if (loaded.compare_exchange_strong(no, 1)) {
    loaded_texes_ctr.fetch_add(1);
    counted.store(1);
  }
  if (im.owned) TEX_obj_free(im.buf);
  return 1;
}
