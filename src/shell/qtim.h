// The screen movie recorder and the end of every frame: the frame procedure
// calls mov_per_frame once per frame, and it swaps the buffers whether or not
// a movie is being recorded. Nothing in the installer starts a recording, so
// the movie toolbox is never started (qt_ok 0) and a frame only adds its time
// and swaps. Main thread only.
#pragma once
#include <cstdint>

class qtim_class {
 public:
  qtim_class();

  // The end of a frame: adds the frame's time, captures when recording and
  // due, and swaps the buffers exactly once.
  void mov_per_frame();

  int32_t qt_ok = 0;    // the movie toolbox started
  int32_t state = 0;    // 0 idle, 1 recording, 2 stop requested
  int32_t x_res = 320;  // the movie's width and height in pixels
  int32_t y_res = 0;
  int32_t grab_width = 0;  // the part of the window each captured frame copies
  int32_t grab_height = 0;
  float fps = 20;
  int32_t frames_back = 0;  // frames the recorder returned since the start

  // Seconds of frames since the last captured one, and whether the next due
  // frame is captured (the first due frame after a start only arms).
  float accumulated = 0;
  int armed = 0;
};

extern qtim_class qtim;
