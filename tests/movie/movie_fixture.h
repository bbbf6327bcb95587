// The recorder without a window: a scratch folder as the current folder (the
// movies are written there), the thread layer up, a clock the test moves,
// swaps counted and alerts recorded instead of shown. Each test ends with
// the recorder thread joined, so the next starts from nothing.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>
#include "core/hl_alert.h"
#include "core/hl_thread.h"
#include "core/xtim.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_view.h"
#include "platform/plat_clock.h"
#include "shell/qtim.h"
#include "shell/wins.h"
#include "support/test_env.h"
#include "tex/tman.h"
#include "widgets/reno.h"

struct seen_alert {
  int kind = 0;
  std::vector<std::string> lines;
  int line = 0;
};

class Movie : public testing::Test {
 public:
  static std::vector<seen_alert>& alerts() {
    static std::vector<seen_alert> a;
    return a;
  }
  static int& swaps() {
    static int n = 0;
    return n;
  }
  static uint64_t& now_us() {
    static uint64_t t = 0;
    return t;
  }

 protected:
  void SetUp() override {
    cwd = std::make_unique<test_scratch_cwd>("movie");
    folder = cwd->folder;
    ASSERT_FALSE(folder.empty());
    if (!THREAD_is_inited()) THREAD_init();
    wins = wins_class();
    wins.x_pix = 1024;
    wins.y_pix = 768;
    reno = reno_class();
    glExt.pbo_avail = 0;
    glExt.max_tex_size = 4096;  // as a driver would say: the grab texture fits
    qtim = qtim_class();
    g_qtim_sink = qtim_sink();
    alerts().clear();
    swaps() = 0;
    g_alert_handler = [](int kind, const std::string* lines, const char*, int line) {
      alerts().push_back({kind, {lines[0], lines[1], lines[2], lines[3]}, line});
      fprintf(stderr, "alert %d line %d: %s | %s | %s | %s\n", kind, line, lines[0].c_str(), lines[1].c_str(),
              lines[2].c_str(), lines[3].c_str());
    };
    OGL_sbuff_hook = [] { ++swaps(); };
    now_us() = PLAT_microseconds() + 1000000;
    xtim_set_clock([] { return now_us(); });
    xtim_forget_frames();
  }
  void TearDown() override {
    qtim.mov_stop_thread();
    if (tman.tex_exists(379)) tman.unload_texture(379);
    g_qtim_sink = qtim_sink();
    g_alert_handler = nullptr;
    OGL_sbuff_hook = nullptr;
    xtim_set_clock(nullptr);
    xtim_forget_frames();
    cwd.reset();
  }

  // One frame of a loop running at about 60 Hz (a hair slower, so three
  // frames always add up to a 20th of a second); true when it captured.
  bool frame() {
    now_us() += 16700;
    xtim.xtim_update();
    qtim.mov_per_frame();
    return qtim.state == 1 && qtim.accumulated == 0;
  }
  // Waits until the recorder has handed back every frame it was sent, as a
  // frame's capture would find them.
  void let_recorder_catch_up() {
    while (qtim.frames_back < qtim.frames_sent) {
      qt_frame_t* f = UTL_message_queue_read(q_from_thread, 10000);
      ASSERT_NE(f, nullptr) << "the recorder kept a frame";
      usable_buffers.push_back(f);
      ++qtim.frames_back;
    }
  }
  // Sends one frame of a single colour straight to the recorder and waits
  // for it to come back.
  void send_frame(uint32_t bgra, float seconds) {
    ASSERT_FALSE(usable_buffers.empty());
    qt_frame_t* f = usable_buffers.front();
    usable_buffers.pop_front();
    for (std::size_t i = 0; i < f->bytes / 4; ++i) f->pixels[i] = bgra;
    f->time = seconds;
    UTL_message_queue_write(q_to_thread, f);
    ++qtim.frames_sent;
    let_recorder_catch_up();
  }
  std::vector<std::string> alert_firsts() const {
    std::vector<std::string> out;
    for (const seen_alert& a : alerts()) out.push_back(a.lines[0]);
    return out;
  }

  std::unique_ptr<test_scratch_cwd> cwd;  // the movies are written here
  std::string folder;
};

// A movie writer that keeps what it is given: the movies made, each frame's
// time and first pixel, and how many were finished. It can fail at a step.
struct fake_sink {
  static fake_sink& get() {
    static fake_sink s;
    return s;
  }
  std::vector<std::string> made;  // "path width x height"
  std::vector<float> times;
  std::vector<uint32_t> first_pixels;
  int finished = 0;
  mov_step fail_at = mov_step_none;

  static void install() {
    get() = fake_sink();
    g_qtim_sink.create = [](const std::string& path, int w, int h, mov_file** out, mov_step* failed) {
      if (get().fail_at == mov_step_create) {
        *failed = mov_step_create;
        return -2;
      }
      get().made.push_back(path + " " + std::to_string(w) + "x" + std::to_string(h));
      static int handle;
      *out = reinterpret_cast<mov_file*>(&handle);
      return 0;
    };
    g_qtim_sink.add_frame = [](mov_file*, const uint8_t* bgra, float seconds, mov_step* failed) {
      if (get().fail_at == mov_step_sample) {
        *failed = mov_step_sample;
        return -5;
      }
      get().times.push_back(seconds);
      get().first_pixels.push_back(*reinterpret_cast<const uint32_t*>(bgra));
      return 0;
    };
    g_qtim_sink.finish = [](mov_file*, mov_step*) {
      ++get().finished;
      return 0;
    };
  }
};
