// When the recorder captures, starts and stops: frames paced by a clock the
// test moves, movies handed to a writer that only keeps what it is given.
#include <gtest/gtest.h>
#include "movie/movie_fixture.h"

namespace {
struct MovieState : Movie {
  void SetUp() override {
    Movie::SetUp();
    fake_sink::install();
  }
  // Idle frames until the smoothed frame time has settled on the loop's.
  void settle() {
    for (int i = 0; i < 60; ++i) frame();
  }
};
}  // namespace

TEST_F(MovieState, IdleFramesSwapOnceAndCaptureNothing) {
  ASSERT_EQ(qtim.qt_ok, 1) << "FFmpeg lacks the Motion-JPEG encoder or the mov muxer";
  for (int i = 1; i <= 90; ++i) {
    EXPECT_FALSE(frame());
    EXPECT_EQ(swaps(), i);
  }
  EXPECT_EQ(qtim.armed, 0);
  EXPECT_EQ(qt_thread_made, 0);
  EXPECT_TRUE(fake_sink::get().made.empty());
  EXPECT_FALSE(tman.tex_exists(379));
}

TEST_F(MovieState, CapturesAtTheFrameRateAfterOneArmingFrame) {
  struct Case {
    float fps;
    int period;  // frames of the 60 Hz loop between captures
  } cases[] = {{20, 3}, {30, 2}, {60, 1}, {15, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fps);
    fake_sink::install();
    qtim = qtim_class();
    qtim.fps = c.fps;
    settle();
    qtim.mov_toggle(1);
    ASSERT_EQ(qtim.state, 1);
    ASSERT_EQ(fake_sink::get().made, std::vector<std::string>{"Duvizo _1.mov 320x240"});
    // The idle time already makes the first frame due: it only arms, the
    // next one captures, then one in every period.
    std::vector<int> captured;
    const int before = swaps();
    for (int i = 1; i <= 2 + 4 * c.period; ++i) {
      if (frame()) captured.push_back(i);
      let_recorder_catch_up();
    }
    EXPECT_EQ(swaps() - before, 2 + 4 * c.period);
    std::vector<int> want;
    for (int k = 0; k <= 4; ++k) want.push_back(2 + k * c.period);
    EXPECT_EQ(captured, want);
    qtim.mov_toggle(0);
    EXPECT_EQ(qtim.state, 0);
    ASSERT_EQ(fake_sink::get().finished, 1);
    // Each frame stands for the time since the one before; the first for
    // everything since the recording was asked for.
    const std::vector<float>& t = fake_sink::get().times;
    ASSERT_EQ(t.size(), 5u);
    EXPECT_GT(t[0], 1.0f);
    for (int k = 1; k < 5; ++k) EXPECT_NEAR(t[k], c.period * 0.0167f, 1e-4);
    qtim.mov_stop_thread();
    (void)remove("Duvizo _1.mov");
  }
}

TEST_F(MovieState, ToggleNeedsTheLibrariesAndThreeFramesBackToStop) {
  qtim.qt_ok = 0;
  qtim.mov_toggle(1);
  EXPECT_EQ(qtim.state, 0);
  EXPECT_EQ(qt_thread_made, 0);
  EXPECT_FALSE(tman.tex_exists(379));

  struct Case {
    int frames_back;
    int stops;
  } cases[] = {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {40, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frames_back);
    fake_sink::install();
    qtim = qtim_class();
    qtim.mov_toggle(1);
    ASSERT_EQ(qtim.state, 1);
    EXPECT_TRUE(tman.tex_exists(379));
    qtim.frames_back = c.frames_back;
    qtim.mov_toggle(0);
    EXPECT_EQ(qtim.state, c.stops ? 0 : 1);
    EXPECT_EQ(fake_sink::get().finished, c.stops);
    EXPECT_EQ(tman.tex_exists(379) != 0, !c.stops);
    qtim.mov_stop_thread();
  }
  EXPECT_TRUE(alerts().empty());
}

TEST_F(MovieState, RefusedStartsAndStopsWarnAndLeaveTheRecorderIdle) {
  struct Case {
    int width, height;
    int line;  // the warning's source line
  } cases[] = {{2049, 768, 398}, {1024, 2049, 398}, {4000, 3000, 398}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.width);
    alerts().clear();
    wins.x_pix = c.width;
    wins.y_pix = c.height;
    qtim.mov_toggle(1);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0].kind, t_warning);
    EXPECT_EQ(alerts()[0].line, c.line);
    EXPECT_EQ(alerts()[0].lines,
              (std::vector<std::string>{"Oops!",
                                        "You can NOT record movies in Duvizo at any Duvizo resolution higher that "
                                        "2048 x 2048!",
                                        "This limit is to keep the VRAM requirements of Duvizo down.", ""}));
    // Back to idle: no frame is captured for nothing, and the next toggle
    // starts again rather than waiting for frames that never come.
    EXPECT_EQ(qtim.state, 0);
    EXPECT_FALSE(tman.tex_exists(379));
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(frame());
  }
  EXPECT_TRUE(fake_sink::get().made.empty());

  // Back in a window that fits, it records; a second start while the movie
  // is open is refused and the first recording goes on.
  alerts().clear();
  wins.x_pix = 1024;
  wins.y_pix = 768;
  qtim.mov_toggle(1);
  ASSERT_EQ(qtim.state, 1);
  qtim.mov_startrecord();
  ASSERT_EQ(alerts().size(), 1u);
  EXPECT_EQ(alerts()[0].lines[0], "Trying to create a movie but one already exists");
  EXPECT_EQ(alerts()[0].line, 423);
  EXPECT_EQ(qtim.state, 1);
  EXPECT_EQ(fake_sink::get().made.size(), 1u);
  qtim.mov_stoprecord();
  EXPECT_EQ(fake_sink::get().finished, 1);

  // A stop with nothing started.
  alerts().clear();
  qtim.mov_stoprecord();
  ASSERT_EQ(alerts().size(), 1u);
  EXPECT_EQ(alerts()[0].kind, t_warning);
  EXPECT_EQ(alerts()[0].lines[0], "Cannot finish record of a movie that was not started!");
  EXPECT_EQ(alerts()[0].line, 344);
  EXPECT_EQ(qtim.state, 0);
}

TEST_F(MovieState, MovieHeightFollowsTheWindowsShape) {
  struct Case {
    int width, height, x_res, y_res;
  } cases[] = {
      {1024, 768, 320, 240}, {1280, 1024, 320, 256}, {333, 250, 320, 240}, {2048, 1, 320, 1},
      {100, 2048, 320, 2048}, {800, 600, 640, 480},  {1000, 3, 320, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    fake_sink::install();
    qtim = qtim_class();
    qtim.x_res = c.x_res;
    wins.x_pix = c.width;
    wins.y_pix = c.height;
    qtim.mov_toggle(1);
    EXPECT_EQ(qtim.y_res, c.y_res);
    ASSERT_EQ(fake_sink::get().made.size(), 1u);
    EXPECT_EQ(fake_sink::get().made[0],
              "Duvizo _1.mov " + std::to_string(c.x_res) + "x" + std::to_string(c.y_res));
    // Every frame buffer holds one movie frame.
    EXPECT_GE(usable_buffers.size(), 3u);
    for (qt_frame_t* f : usable_buffers) EXPECT_EQ(f->bytes, (std::size_t)c.x_res * c.y_res * 4);
    qtim.mov_stop_thread();
  }
}

TEST_F(MovieState, StartingInStateTwoOpensNoMovieAndKeepsTheHeight) {
  qtim.y_res = 77;
  qtim.mov_toggle(2);
  EXPECT_EQ(qtim.state, 2);
  EXPECT_EQ(qtim.y_res, 77);
  EXPECT_TRUE(fake_sink::get().made.empty());
  EXPECT_EQ(qt_movie, nullptr);
  // Its stop is the one of a movie never started.
  qtim.mov_stoprecord();
  ASSERT_EQ(alerts().size(), 1u);
  EXPECT_EQ(alerts()[0].line, 344);
  EXPECT_EQ(qtim.state, 0);
}

TEST_F(MovieState, StopThreadEndsARecordingAndJoinsTheRecorder) {
  qtim.mov_toggle(1);
  ASSERT_EQ(qt_thread_made, 1);
  const std::size_t threads_recording = test_list_folder("/proc/self/task").size();
  qtim.mov_stop_thread();
  EXPECT_EQ(fake_sink::get().finished, 1);
  EXPECT_EQ(qtim.state, 0);
  EXPECT_EQ(qt_thread_made, 0);
  EXPECT_EQ(q_to_thread, nullptr);
  EXPECT_EQ(q_from_thread, nullptr);
  EXPECT_FALSE(tman.tex_exists(379));
  EXPECT_EQ(test_list_folder("/proc/self/task").size(), threads_recording - 1);
  EXPECT_TRUE(alerts().empty());
  // A recorder can be made again.
  qtim.mov_toggle(1);
  EXPECT_EQ(qt_thread_made, 1);
}
