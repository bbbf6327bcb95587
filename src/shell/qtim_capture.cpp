// The two halves of a captured frame: the window goes into texture 379
// before the swap, and after it comes back scaled to the movie's size.
#include <algorithm>
#include <cstring>
#include "ogl/ogl_draw.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_state.h"
#include "ogl/ogl_view.h"
#include "shell/qtim.h"
#include "shell/wins.h"
#include "tex/tman.h"

void qtim_class::mov_memorize_screen() {
  OGL_setstate(fog_off, 1, lit_off, al_none, deR_off, deW_off);
  tman.bind_ref(379, 0, 0);
  grab_width = std::clamp(wins.x_pix, 0, 2048);
  grab_height = std::clamp(wins.y_pix, 0, 2048);
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, grab_width, grab_height);
}

void qtim_class::mov_compress_screen(float seconds) {
  qt_frame_t* back = nullptr;
  while (q_from_thread && UTL_message_queue_take(q_from_thread, 0, &back))
    if (back) {
      usable_buffers.push_back(back);
      ++frames_back;
    }
  // The recorder is behind: this frame is skipped rather than waited for.
  if (usable_buffers.empty()) return;
  qt_frame_t* f = usable_buffers.front();
  const std::size_t bytes = (std::size_t)x_res * (std::size_t)y_res * 4;
  if (!f->pixels || f->bytes < bytes) return;
  const int pack = qtim_pack_path() && pbo_id;

  if (pack) glExt.glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, pbo_id);
  if (pack && pbo_has_data) {
    if (const void* p = glExt.glMapBufferARB(GL_PIXEL_PACK_BUFFER_ARB, GL_READ_ONLY_ARB)) {
      std::memcpy(f->pixels, p, bytes);
      glExt.glUnmapBufferARB(GL_PIXEL_PACK_BUFFER_ARB);
    }
  }

  // Drawn at the sub-window's origin, kept inside the window, upside down
  // so that the rows read back bottom-up come out top-down.
  const int x = std::clamp((int)wins.win_x, 0, std::max(0, wins.x_pix - x_res));
  const int y = std::clamp((int)wins.win_y, 0, std::max(0, wins.y_pix - y_res));
  OGL_viewport(2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1.0f, 0, 1);
  const float s = grab_width / 2048.0f, t = grab_height / 2048.0f;
  const float l = x - wins.win_x, b = y - wins.win_y, r = l + x_res, top = b + y_res;
  OGL_2dquad(379, 0, 1, l, b, 0, t, l, top, 0, 0, r, top, s, 0, r, b, s, t, 1, al_none, GL_REPLACE);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(x, y, x_res, y_res, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, pack ? nullptr : f->pixels);
  if (pack) glExt.glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);

  f->time = seconds;
  if (!(pack && !pbo_has_data)) {
    usable_buffers.pop_front();
    UTL_message_queue_write(q_to_thread, f);
    ++frames_sent;
  }
  pbo_has_data = 1;
}
