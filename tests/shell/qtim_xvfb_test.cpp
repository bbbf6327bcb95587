// A real recording of the program's window: each frame paints its own
// colours, the recorder captures about thirty of them through the real
// frame procedure, and the frames ffmpeg extracts from the movie must be the
// pictures that were on screen when each was captured, in order. Run through
// the pixel-pack buffer (one captured frame late) and with it switched off.
#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "core/hl_thread.h"
#include "ogl/ogl_extensions.h"
#include "shell/cons.h"
#include "shell/qtim.h"
#include "shell/wins.h"
#include "support/frame_driver.h"
#include "support/test_env.h"
#include "tex/tman.h"
#include "widgets/reno.h"

namespace {
constexpr int k_w = 800, k_h = 600;  // the frame driver's window

// Frame i: a background and a top-left quarter of two colours of its own.
// The quarter's edges fall on whole pixels of the 320 by 240 movie, so
// scaling blends no colours across them.
void paint(int i) {
  glClearColor((40 + 6 * i) / 255.0f, (220 - 6 * i) / 255.0f, 90 / 255.0f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glEnable(GL_SCISSOR_TEST);
  glScissor(0, k_h / 2, k_w / 2, k_h / 2);
  glClearColor((230 - 5 * i) / 255.0f, 30 / 255.0f, (60 + 5 * i) / 255.0f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
}

// The movie frame a window capture should become: 320 by 240, top row
// first, each pixel the window's at its centre's place.
void write_expected(const frame_capture& c, const std::string& path) {
  std::string ppm = "P6\n320 240\n255\n";
  for (int r = 0; r < 240; ++r)
    for (int j = 0; j < 320; ++j) {
      const uint32_t p = c.pixel((int)(2.5 * j + 1.25), (int)(k_h - (2.5 * r + 1.25)));
      ppm += (char)(p >> 24);
      ppm += (char)(p >> 16);
      ppm += (char)(p >> 8);
    }
  ASSERT_TRUE(test_write_file(path, ppm));
}

double psnr(const std::string& a, const std::string& b) {
  // compare prints the metric on standard error; identical pictures give "inf".
  const std::string out = test_capture("compare -metric PSNR '" + a + "' '" + b + "' null: 2>&1");
  if (out.compare(0, 3, "inf") == 0) return 1000;
  return std::atof(out.c_str());
}

struct MovieX : testing::Test {
  std::unique_ptr<frame_driver> d;
  std::unique_ptr<test_scratch_cwd> cwd;  // the movies are written here
  std::string folder;

  void SetUp() override {
    cwd = std::make_unique<test_scratch_cwd>("movie");
    folder = cwd->folder;
    ASSERT_FALSE(folder.empty());
    if (!THREAD_is_inited()) THREAD_init();
    wins = wins_class();
    wins.x_res_wind = k_w;
    wins.y_res_wind = k_h;
    reno = reno_class();
    ASSERT_EQ(cons.cons_make(0), 1) << "no window with an OpenGL context on DISPLAY (run under xvfb-run)";
    cons.num_cons(1);
    glExt.init_extensions();
    d = std::make_unique<frame_driver>();
    qtim = qtim_class();
  }
  void TearDown() override {
    qtim.mov_stop_thread();
    d.reset();
    cons.cons_close_all();
    cons.have_format = 0;
    wins = wins_class();
    reno = reno_class();
    cwd.reset();
  }

  // Records about thirty captures; returns the window as it was at each
  // capture whose pixels reached the recorder, in the order they did.
  std::vector<frame_capture> record() {
    std::vector<frame_capture> at_capture, sent;
    qtim.mov_toggle(1);
    EXPECT_EQ(qtim.state, 1);
    for (int i = 0; qtim.state == 1 && at_capture.size() < 30 && i < 200; ++i) {
      // The recorder catches up between frames, so no capture is skipped.
      while (qtim.frames_back < qtim.frames_sent) {
        qt_frame_t* f = UTL_message_queue_read(q_from_thread, 10000);
        EXPECT_NE(f, nullptr);
        if (!f) return sent;
        usable_buffers.push_back(f);
        ++qtim.frames_back;
      }
      const int sent_before = qtim.frames_sent;
      d->frame([i] { paint(i); });
      if (qtim.accumulated != 0) continue;
      at_capture.push_back(d->captures().back());
      // Through the pack buffer a capture hands on the one before it.
      if (qtim.frames_sent > sent_before) sent.push_back(at_capture[at_capture.size() - (qtim_pack_path() ? 2 : 1)]);
    }
    EXPECT_EQ(at_capture.size(), 30u);
    EXPECT_EQ(sent.size(), at_capture.size() - (qtim_pack_path() ? 1 : 0));
    qtim.mov_toggle(0);
    EXPECT_EQ(qtim.state, 0);
    EXPECT_TRUE(d->alerts().empty());
    return sent;
  }

  void check_movie(const std::vector<frame_capture>& sent) {
    const std::string movie = folder + "Duvizo _1.mov";
    EXPECT_EQ(test_capture("ffprobe -v error -select_streams v:0 -show_entries stream=nb_frames -of csv=p=0 '" +
                           movie + "'"),
              std::to_string(sent.size()) + "\n");
    ASSERT_EQ(test_run("ffmpeg -v error -i '" + movie + "' -fps_mode passthrough '" + folder + "got_%03d.png'"), 0);
    for (std::size_t k = 0; k < sent.size(); ++k) {
      SCOPED_TRACE(k);
      char name[32];
      snprintf(name, sizeof name, "got_%03zu.png", k + 1);
      const std::string want = folder + "want.ppm";
      write_expected(sent[k], want);
      EXPECT_GE(psnr(want, folder + name), 35.0);
    }
    char extra[32];
    snprintf(extra, sizeof extra, "got_%03zu.png", sent.size() + 1);
    EXPECT_FALSE(test_run("test -e '" + folder + extra + "'") == 0) << "more frames than were captured";
  }
};
}  // namespace

TEST_F(MovieX, RecordingThroughThePackBufferKeepsEveryCaptureButTheLast) {
  ASSERT_TRUE(glExt.pbo_avail) << "the driver has no pixel-pack buffer";
  ASSERT_EQ(qtim_pack_path(), 1);
  check_movie(record());
}

TEST_F(MovieX, RecordingWithThePackBufferSwitchedOffKeepsEveryCapture) {
  reno.no_pbo_movie = 1;
  ASSERT_EQ(qtim_pack_path(), 0);
  check_movie(record());
}

TEST_F(MovieX, TheSettingsPanelShowsItsFieldsAndWhetherTheLibrariesAreThere) {
  frame_driver::load_pictures(true, -1);
  struct Case {
    int qt_ok;
    std::string says;
  } cases[] = {{1, "The movie libraries are installed (libavformat "}, {0, "are NOT installed"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.qt_ok);
    qtim.qt_ok = c.qt_ok;
    d->frame([] { qtim.qtim_wind(); });
    std::string all;
    for (const OGL_string_call& s : d->trace().strings) all += s.text + "\n";
    // Long labels break into two lines at their middle blank.
    for (const char* want : {"frame rate\nof movie\n(frames\nper second)\n", "x-resolution\nof movie\n(pix)\n",
                             "Control-Space", "320 by 240", "\"Duvizo _1.mov\""})
      EXPECT_NE(all.find(want), std::string::npos) << want << " in\n" << all;
    EXPECT_NE(all.find(c.says), std::string::npos) << all;
  }
  frame_driver::unload_pictures();
}
