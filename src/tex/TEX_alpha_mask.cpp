#include "tex/TEX_alpha_mask.h"
#include <GL/gl.h>
#include <cstddef>
#include "core/scratch.h"
#include "ogl/ogl_state.h"
#include "tex/tman.h"

void TEX_make_alpha_mask(int texture, int blur) {
  // A failed load binds the shared placeholder: writing to it would grey
  // out every other missing texture.
  if (tman.tex_err(texture)) return;
  const int w = static_cast<int>(tman.tex_dx_tot(texture));
  const int h = static_cast<int>(tman.tex_dy_tot(texture));
  if (w < 1 || h < 1) return;
  const size_t bytes = static_cast<size_t>(w) * static_cast<size_t>(h) * 4;
  if (bytes > scratch_array_bytes) return;

  OGL_setstate(fog_off, 1, lit_off, al_blend, deR_off, deW_off);
  tman.bind_ref(texture, 0, 0);
  // The read-back writes the bound level's own size: it must be the one
  // the scratch image was checked for (not so for a 3-D texture).
  GLint level_w = 0, level_h = 0;
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &level_w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &level_h);
  if (level_w != w || level_h != h) return;
  unsigned char* px = scratch_array;
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px);
  for (size_t i = 0; i < bytes; i += 4) {
    px[i + 3] = static_cast<unsigned char>(255 - px[i]);
    px[i] = px[i + 1] = px[i + 2] = 0;
  }
  if (blur && w >= 3) {
    const size_t stride = static_cast<size_t>(w) * 4;
    // In place on purpose: pixels already blurred feed the later ones.
    for (int y = 1; y < h - 1; ++y)
      for (int x = 1; x < w - 1; ++x) {
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) sum += px[static_cast<size_t>(y + dy) * stride + (x + dx) * 4 + 3];
        px[static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 4 + 3] = static_cast<unsigned char>(sum / 9);
      }
  }
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, px);
}
