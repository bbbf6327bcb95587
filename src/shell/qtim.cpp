#include "shell/qtim.h"
#include "core/hl_alert.h"
#include "core/scratch.h"
#include "core/xtim.h"
#include "ogl/ogl_view.h"
#include "tex/tman.h"

// Defined before the recorder, so the frame list outlives its destructor.
UTL_message_queue<qt_frame_t*>* q_to_thread = nullptr;
UTL_message_queue<qt_frame_t*>* q_from_thread = nullptr;
std::list<qt_frame_t*> usable_buffers;
uint32_t* qt_array = nullptr;
unsigned pbo_id = 0;
int pbo_has_data = 0;
mov_file* qt_movie = nullptr;
int qt_thread_made = 0;
UTL_thread_handle qt_thread;
int control_value = 1;
qtim_sink g_qtim_sink;

qtim_class qtim;

static constexpr char src_path[] = "RUvozuz/OOPS_cpp/qtim";

qtim_class::qtim_class() { qt_ok = MOV_available(); }

qtim_class::~qtim_class() {
  // Copies (tests start from a fresh record) share the module's buffers; only
  // the program's own recorder gives them back.
  if (this != &qtim) return;
  for (qt_frame_t* f : usable_buffers) {
    delete[] f->pixels;
    delete f;
  }
  usable_buffers.clear();
}

void qtim_class::mov_per_frame() {
  accumulated += xtim.smooth_dt;
  int captured = 0;
  if (accumulated >= 1.0f / fps) {
    if (state == 0) {
      armed = 0;
    } else if (state == 2) {
      armed = 0;
      mov_toggle(0);
    } else if (state == 1) {
      if (armed) {
        mov_memorize_screen();
        captured = 1;
      } else {
        armed = 1;
      }
    }
  }
  draw_stuff_after_qt_capture_and_sbuff();
  if (captured) {
    mov_compress_screen(accumulated);
    accumulated = 0;
  }
}

void qtim_class::mov_toggle(int new_state) {
  if (!qt_ok) return;
  if (state == 0) {
    state = new_state;
    // The grab texture is as large as the largest window that may record.
    scratch_dx = scratch_dy = 2048;
    tman.load_texture(tex_fail_silent, 379, 0x40601, tex_load_now, "scratch_array-t_QT_movie");
    mov_startrecord();
  } else if (frames_back > 2) {
    mov_stoprecord();
    if (tman.tex_exists(379)) tman.unload_texture(379);
  }
}

void mov_alert(std::string s1, std::string s2, const char* s3, int code) {
  __MACIBM_alert(0, s1, s2, s3 ? s3 : "", std::to_string(code), t_quit, src_path, 88);
}

void draw_stuff_after_qt_capture_and_sbuff() { OGL_sbuff(); }
