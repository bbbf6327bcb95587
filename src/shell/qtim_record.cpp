// Opening and closing movies on the main thread, and the recorder thread
// that writes them in between.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include "core/hl_alert.h"
#include "core/hl_thread.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_view.h"
#include "shell/qtim.h"
#include "shell/wins.h"
#include "tex/tman.h"
#include "widgets/reno.h"


static constexpr char src_path[] = "RUvozuz/OOPS_cpp/qtim";
static std::size_t qt_array_bytes = 0;
// Set by the recorder just before an alert ends it: nothing will answer a
// stop marker after that.
static std::atomic<int> recorder_dead{0};

// Tells the user which step of writing the movie failed, in the recorder's
// own words; every step but the missing buffer is a quit alert.
static void movie_failed(mov_step step, int err, const std::string& path) {
  switch (step) {
    case mov_step_create:
      mov_alert("Could not CreateMovieFile to file: " + path, "(CreateMovieFile failed)", "", err);
      break;
    case mov_step_header: mov_alert("Could not BeginMediaEdits.", "(BeginMediaEdits failed)", "", err); break;
    case mov_step_encoder:
      mov_alert("Could not CompressSequenceBegin.", "(CompressSequenceBegin failed.)", "", err);
      break;
    case mov_step_encode:
      mov_alert("Could not CompressSequenceFrame.",
                "Please install the latest FFmpeg libraries, with their Motion-JPEG encoder.",
                "(CompressSequenceBegin failed.)", err);
      break;
    case mov_step_sample: mov_alert("Could not AddMediaSample.", "AddMediaSample failed.", "", err); break;
    case mov_step_no_buffer:
      __MACIBM_alert(0, "rel_assert Error! Possibly an out of range vector! Attach the debugger and see who called this!",
                     "gCompressBuffer", "QT_Thread", "Please report this to Corvane Research.", t_crash, src_path, 156);
      break;
    case mov_step_flush: mov_alert("Could not EndMediaEdits.", "(EndMediaEdits failed.)", "", err); break;
    case mov_step_trailer:
      mov_alert("Could not InsertMediaIntoTrack.", "(InsertMediaIntoTrack failed.)", "", err);
      break;
    case mov_step_close: mov_alert("Could not AddMovieResource.", "(AddMovieResource failed.)", "", err); break;
    case mov_step_none: break;
  }
}

int qtim_pack_path() {
  return glExt.pbo_avail && !reno.no_pbo_movie && glExt.glBindBufferARB && glExt.glBufferDataARB &&
                 glExt.glMapBufferARB && glExt.glUnmapBufferARB
             ? 1
             : 0;
}

// A start that cannot record goes back to idle, unless the movie already
// open goes on being recorded.
static void refuse_start(qtim_class* q) {
  if (qt_movie) return;
  q->state = 0;
  q->armed = 0;
  if (tman.tex_exists(379)) tman.unload_texture(379);
}

void qtim_class::mov_startrecord() {
  if (!qt_thread_made) {
    q_to_thread = UTL_message_queue_create<qt_frame_t*>();
    q_from_thread = UTL_message_queue_create<qt_frame_t*>();
    control_value = 1;
    recorder_dead = 0;
    THREAD_create(QT_Thread, nullptr, &qt_thread, nullptr, nullptr, 0);
    qt_thread_made = 1;
  }
  if (wins.x_pix > 2048 || wins.y_pix > 2048) {
    __MACIBM_alert(0, "Oops!", "You can NOT record movies in Duvizo at any Duvizo resolution higher that 2048 x 2048!",
                   "This limit is to keep the VRAM requirements of Duvizo down.", "", t_warning, src_path, 398);
    refuse_start(this);
    return;
  }
  // Checked before anything changes: the open movie's size and the
  // recorder's array stay as they are while it goes on.
  if (state == 1 && qt_movie) {
    __MACIBM_alert(0, "Trying to create a movie but one already exists", "", "", "", t_warning, src_path, 423);
    return;
  }
  if (state != 2) {
    const double h = wins.y_pix, w = std::max(wins.x_pix, 1);
    y_res = (int32_t)std::clamp(std::trunc(h * x_res / w), 1.0, 2048.0);
  }
  delete[] qt_array;
  qt_array_bytes = (std::size_t)std::max(x_res, 0) * (std::size_t)std::max(y_res, 0) * 4;
  qt_array = new uint32_t[qt_array_bytes / 4];

  if (state == 1) {
    std::string path;
    gimme_png_mov_paths("Duvizo ", ".mov", path);
    if (path.size() > 30) path.resize(30);
    mov_step step = mov_step_none;
    const int err = g_qtim_sink.create(path, x_res, y_res, &qt_movie, &step);
    if (err) {
      qt_movie = nullptr;
      movie_failed(step, err, path);
      refuse_start(this);
      return;
    }
    movie_path = path;
    frames_back = 0;
    frames_sent = 0;
  }

  const std::size_t bytes = qt_array_bytes;
  while (usable_buffers.size() <= 2) usable_buffers.push_back(new qt_frame_t);
  for (qt_frame_t* f : usable_buffers) {
    if (f->bytes == bytes && f->pixels) continue;
    delete[] f->pixels;
    f->pixels = new uint32_t[bytes / 4];
    f->bytes = bytes;
  }

  pbo_has_data = 0;
  if (qtim_pack_path()) {
    if (!pbo_id) glExt.glGenBuffersARB(1, &pbo_id);
    glExt.glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, pbo_id);
    glExt.glBufferDataARB(GL_PIXEL_PACK_BUFFER_ARB, (GLsizeiptrARB)bytes, nullptr, GL_STREAM_READ_ARB);
    glExt.glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
  }
}

void qtim_class::mov_stoprecord() {
  control_value = 1;
  if (q_to_thread) {
    UTL_message_queue_write<qt_frame_t*>(q_to_thread, nullptr);
    // Waits in slices: a recorder that died on a fatal alert never answers,
    // and reporting that alert here ends the program instead of hanging it.
    for (;;) {
      qt_frame_t* f = nullptr;
      if (UTL_message_queue_take(q_from_thread, 50, &f)) {
        if (!f) break;
        usable_buffers.push_back(f);
        continue;
      }
      if (THREAD_is_inited() && THREAD_is_main_thread()) THREAD_check_exception(0);
      if (recorder_dead) break;
    }
  }
  if (qt_movie) {
    mov_step step = mov_step_none;
    const int err = g_qtim_sink.finish(qt_movie, &step);
    qt_movie = nullptr;
    if (err) movie_failed(step, err, movie_path);
  } else {
    __MACIBM_alert(0, "Cannot finish record of a movie that was not started!", "", "", "", t_warning, src_path, 344);
  }
  delete[] qt_array;
  qt_array = nullptr;
  qt_array_bytes = 0;
  state = 0;
  pbo_has_data = 0;
}

void qtim_class::mov_stop_thread() {
  if (state != 0 || qt_movie) {
    mov_stoprecord();
    if (tman.tex_exists(379)) tman.unload_texture(379);
  }
  if (!qt_thread_made) return;
  control_value = 0;
  UTL_message_queue_write<qt_frame_t*>(q_to_thread, nullptr);
  UTL_thread_join(&qt_thread, nullptr);
  // The recorder answered the marker before it ended; nothing else is queued.
  UTL_message_queue_destroy(q_to_thread);
  UTL_message_queue_destroy(q_from_thread);
  q_to_thread = q_from_thread = nullptr;
  qt_thread_made = 0;
}

void* QT_Thread(void*) {
  mov_file* movie = nullptr;
  int attached = 0;
  for (;;) {
    qt_frame_t* f = UTL_message_queue_read(q_to_thread, -1);
    if (f) {
      // The main thread opened the movie before the first frame was sent
      // and closes it only after the stop marker came back.
      if (!attached) {
        movie = qt_movie;
        attached = 1;
      }
      if (qt_array && f->pixels) std::memcpy(qt_array, f->pixels, std::min(f->bytes, qt_array_bytes));
      if (movie) {
        mov_step step = mov_step_none;
        const int err = g_qtim_sink.add_frame(movie, reinterpret_cast<const uint8_t*>(qt_array), f->time, &step);
        if (err) {
          recorder_dead = 1;
          movie_failed(step, err, "");  // ends this thread
        }
      }
      UTL_message_queue_write(q_from_thread, f);
      continue;
    }
    movie = nullptr;
    attached = 0;
    // Read before answering: once answered, the main thread may set it for
    // the next marker.
    const int keep_waiting = control_value;
    // Every marker is answered, so a stop never waits on a recorder that
    // was sent no frame.
    UTL_message_queue_write<qt_frame_t*>(q_from_thread, nullptr);
    if (!keep_waiting) break;
  }
  return nullptr;
}
