// Numbered file names for screenshots and movies, and the screenshot itself.
#include <GL/gl.h>
#include <algorithm>
#include "core/hl_string.h"
#include "core/scratch.h"
#include "files/file_ops.h"
#include "ogl/ogl_view.h"
#include "shell/wins.h"
#include "tex/TEX_png.h"

void gimme_png_mov_paths(std::string prefix, std::string suffix, std::string& path) {
  for (int n = 1;; ++n) {
    path = prefix;
    UTL_check_string_length(path);
    if (path.size() > 4 && path[path.size() - 4] == '.') path.resize(path.size() - 4);
    path += "_" + std::to_string(n) + suffix;
    if (!file_exists(path)) return;
  }
}

void OGL_screenshot(int save) {
  // The scratch image holds 2048 by 2048 pixels: a larger window gives its middle.
  const int cw = std::clamp(wins.x_pix, 0, 2048), ch = std::clamp(wins.y_pix, 0, 2048);
  // RGB rows are 3 bytes a pixel; at the driver's default alignment of 4 a
  // width not a multiple of 4 would pad every row and shear the image.
  GLint old_alignment = 4;
  glGetIntegerv(GL_PACK_ALIGNMENT, &old_alignment);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels((int)((wins.x_pix - cw) * 0.5f), (int)((wins.y_pix - ch) * 0.5f), cw, ch, GL_RGB, GL_UNSIGNED_BYTE,
               scratch_array);
  glPixelStorei(GL_PACK_ALIGNMENT, old_alignment);
  if (!save) return;
  std::string path;
  gimme_png_mov_paths("Duvizo screenshot_", ".png", path);
  write_png_to_disk(path, cw, ch, 3);
}
