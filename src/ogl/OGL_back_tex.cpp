#include "ogl/OGL_back_tex.h"
#include <GL/gl.h>
#include <algorithm>
#include <cstring>
#include "core/hl_paths.h"
#include "core/hl_thread.h"
#include "core/scratch.h"
#include "core/utl_mem.h"
#include "files/xmap.h"
#include "ogl/ogl_draw.h"
#include "ogl/ogl_state.h"
#include "shell/wins.h"
#include "tex/TEX_obj.h"
#include "tex/TEX_rle.h"
#include "tex/TEX_utils.h"
#include "tex/tman.h"

int back_colr = 0;
int back_dx = 0;
int back_dy = 0;
float back_x = 0;
UTL_critical_section bt_cs;

namespace {

constexpr int tile = 512, layout = 2048, first_tile = 397;
constexpr char tile_name[] = "scratch_array-t_tex_back (tile)";
constexpr char src_path[] = "RUvozuz/OGL/OGL_back_tex";

// The picture's size from its PNG header, so that one too big for the
// scratch image is refused before a row is written there. 0 when the file
// is missing or no PNG.
bool png_size(const std::string& path, int& width, int& height) {
  xmap_class file(path, 0, 0);
  if (!file.mem_beg || file.mem_end - file.mem_beg < 24) return false;
  const unsigned char* p = (const unsigned char*)file.mem_beg;
  auto be32 = [](const unsigned char* b) { return (int64_t)b[0] << 24 | b[1] << 16 | b[2] << 8 | b[3]; };
  if (std::memcmp(p + 12, "IHDR", 4) != 0) return false;
  const int64_t w = be32(p + 16), h = be32(p + 20);
  width = (int)std::min<int64_t>(w, 1 << 30);
  height = (int)std::min<int64_t>(h, 1 << 30);
  return true;
}

bool on_main() { return !THREAD_is_inited() || THREAD_is_main_thread(); }

}  // namespace

void GOL_set_back_tex_lighting() {}

void OGL_plot_back_col() {
  OGL_fillrect(39, 1.0f, -wins.win_x, -wins.win_y, (float)wins.x_pix, (float)wins.y_pix);
}

void OGL_make_back_tex() {
  static bool lock_made = false;
  if (!lock_made) {
    UTL_critical_section_create(&bt_cs);
    lock_made = true;
  }
  if (wins.cur_win != -1) return;
  UTL_critical_section_lock(&bt_cs);
  GOL_set_back_tex_lighting();
  std::memset(scratch_array, 0, scratch_array_bytes);
  const std::string path = std::string(bmp_path) + "intro.png";
  int w = 0, h = 0;
  TEX_image_desc desc;
  if ((png_size(path, w, h) && (w > layout || h > layout)) ||
      !TEX_load_any(path, scratch_array, GL_RGBA, layout, png_alpha_as_asked, 1, desc)) {
    TEX_missing_file_alert(path, src_path, __LINE__);
    UTL_critical_section_unlock(&bt_cs);
    return;
  }
  back_colr = 0;
  back_dx = desc.width;
  back_dy = desc.height;

  unsigned char* packed = nullptr;
  TEX_pack_image_rle(desc, scratch_array, layout, layout, tile, packed);
  if (packed) {
    const bool main = on_main();
    if (main) OGL_setstate(fog_off, 1, lit_off, al_blend, deR_off, deW_off);
    unsigned char* buf = (unsigned char*)xmalloc(tile * tile * 4);
    for (int row = 0; row < 4 && buf; ++row)
      for (int col = 0; col < 4; ++col) {
        const int ref = first_tile + 4 * row + col;
        if (!tman.tex_loaded(ref)) {
          scratch_dx = scratch_dy = tile;
          tman.load_texture(tex_fail_quit, ref, 0x602, tex_load_now, tile_name);
        }
        TEX_unpack_image_rle(packed, tile * col + layout * tile * row, layout - tile, tile, tile, buf);
        if (main)
          tman.bind_ref(ref, 0, 0);
        else
          glBindTexture(GL_TEXTURE_2D, tman.get_known_obj(ref)->get_gl_name());
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, tile, tile, GL_RGBA, GL_UNSIGNED_BYTE, buf);
      }
    xfree(buf);
    xfree(packed);
  }
  UTL_critical_section_unlock(&bt_cs);
}

void OGL_plot_back_tex(int depth_only) {
  UTL_critical_section_lock(&bt_cs);
  const float sw = (float)wins.x_pix, sh = (float)wins.y_pix;
  float left, bottom;
  if (wins.cur_win == -1) {
    const float right = std::min(sw, (float)back_dx);
    left = right - back_dx;
    const float top = sh + std::clamp((float)back_dy - sh, 0.0f, 512.0f);
    bottom = top - back_dy;
    // The depth pass leaves colour alone, the fill included.
    if ((back_dx < sw || back_dy < sh) && !depth_only) OGL_plot_back_col();
  } else {
    left = back_x;
    bottom = 0;
  }
  if (depth_only) {
    // Only texels that are fully opaque write depth, all at the nearest
    // depth, so later drawing behind the picture is hidden exactly there.
    OGL_setstate(fog_off, 1, lit_off, al_test, deR_on, deW_on);
    glAlphaFunc(GL_GEQUAL, 1.0f);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glDepthRange(0, 0);
  } else {
    OGL_setstate(fog_off, 1, lit_off, al_blend_test, deR_off, deW_off);
  }
  OGL_set_colour(back_colr, 1.0f);
  // Each tile holds 512 picture pixels each way; a picture that does not
  // fill the 2048 layout shows only its own part of the tiles, unstretched.
  for (int row = 0; row < 4; ++row)
    for (int col = 0; col < 4; ++col) {
      const int px0 = col * tile, py0 = row * tile;
      const int px1 = std::min(px0 + tile, back_dx), py1 = std::min(py0 + tile, back_dy);
      if (px1 <= px0 || py1 <= py0) continue;
      const float l = left + px0, r = left + px1, b = bottom + py0, t = bottom + py1;
      if (r <= 0 || l >= sw || t <= 0 || b >= sh) continue;
      const float s1 = (float)(px1 - px0) / tile, t1 = (float)(py1 - py0) / tile;
      tman.bind_ref(first_tile + 4 * row + col, 0, 0);
      glBegin(GL_QUADS);
      glTexCoord2f(0, 0);
      glVertex2f(l, b);
      glTexCoord2f(0, t1);
      glVertex2f(l, t);
      glTexCoord2f(s1, t1);
      glVertex2f(r, t);
      glTexCoord2f(s1, 0);
      glVertex2f(r, b);
      glEnd();
    }
  if (depth_only) {
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthRange(0, 1);
    glAlphaFunc(GL_GREATER, 0);
  }
  UTL_critical_section_unlock(&bt_cs);
}
