#include "shell/qtim.h"
#include "core/xtim.h"
#include "ogl/ogl_view.h"

qtim_class qtim;

qtim_class::qtim_class() {}

void qtim_class::mov_per_frame() {
  accumulated += xtim.smooth_dt;
  if (accumulated >= 1.0f / fps) {
    // Recording is the movie work's; idle, a due frame only disarms.
    if (state == 0 || state == 2) armed = 0;
  }
  OGL_sbuff();
}
