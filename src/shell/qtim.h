// The screen movie recorder and the end of every frame: the frame procedure
// calls mov_per_frame once per frame, and it swaps the buffers whether or not
// a movie is being recorded. While recording, due frames are copied into
// texture 379 before the swap, scaled to the movie's size and read back
// after it (through a pixel-pack buffer when the driver has one, so the
// pixels leave one captured frame late), and a recorder thread of its own
// compresses them into a QuickTime-format movie, "Duvizo _1.mov", "_2" and
// so on. Nothing in the installer starts a recording. Main thread, except
// QT_Thread.
#pragma once
#include <cstdint>
#include <list>
#include <string>
#include "core/utl_message_queue.h"
#include "core/utl_thread.h"
#include "shell/qtim_movie.h"

// One captured frame on its way between the threads.
struct qt_frame_t {
  float time = 0;                  // the seconds this frame stands for
  uint32_t* pixels = nullptr;      // x_res x y_res pixels, rows top-down, BGRA
  std::size_t bytes = 0;           // the size of that buffer
};

class qtim_class {
 public:
  // Sets qt_ok when FFmpeg has the Motion-JPEG encoder and the mov muxer.
  qtim_class();
  // The program's recorder frees its frame buffers at exit.
  ~qtim_class();
  qtim_class(const qtim_class&) = default;
  qtim_class& operator=(const qtim_class&) = default;

  // The end of a frame: adds the frame's time, captures when recording and
  // due (the first due frame after a start only arms), and swaps the buffers
  // exactly once.
  void mov_per_frame();
  // Without qt_ok does nothing. Idle: state := new_state, loads texture 379
  // and starts (state 1 opens the next movie file; 2 only readies the
  // buffers). Not idle: stops and unloads 379 once the recorder has returned
  // more than 2 frames, else does nothing.
  void mov_toggle(int new_state);
  // Makes the recorder thread once; refuses a window over 2048 pixels
  // (warning, back to idle) or a second movie (warning); in state 1 opens the
  // movie; readies at least three frame buffers and the pack buffer.
  void mov_startrecord();
  // Hands the recorder the stop marker, takes every frame back and closes
  // the movie (a failure is a quit alert and leaves no file); without a
  // movie, the warning that none was started. Back to idle either way.
  void mov_stoprecord();
  // Stops a recording in progress, then ends and joins the recorder thread
  // and destroys both queues.
  void mov_stop_thread();
  // Before the swap: copies the window's lower-left part (at most 2048
  // square) into texture 379.
  void mov_memorize_screen();
  // After the swap: scales texture 379 to the movie's size, reads it back
  // and hands a frame standing for seconds to the recorder (skipped when no
  // frame buffer is free).
  void mov_compress_screen(float seconds);
  // The recording settings panel: frame rate, width, whether the movie
  // libraries are there, and help on recording. Nothing opens it.
  void qtim_wind();

  int32_t qt_ok = 0;    // the movie libraries are there
  int32_t state = 0;    // 0 idle, 1 recording, 2 stop requested
  int32_t x_res = 320;  // the movie's width and height in pixels
  int32_t y_res = 0;
  int32_t grab_width = 0;  // the part of the window each captured frame copies
  int32_t grab_height = 0;
  float fps = 20;
  int32_t frames_back = 0;  // frames the recorder returned since the movie opened

  // Seconds of frames since the last captured one, and whether the next due
  // frame is captured.
  float accumulated = 0;
  int armed = 0;
  int32_t frames_sent = 0;  // frames handed to the recorder since the movie opened
  std::string movie_path;   // the movie being written ("" none)
};

extern qtim_class qtim;

// 1 when captures read back through the pixel-pack buffer: the driver has
// one and the rendering options do not keep the recorder off it.
int qtim_pack_path();
// Raises the recorder's quit alert: the three lines and code as the fourth.
void mov_alert(std::string s1, std::string s2, const char* s3, int code);
// Swaps the buffers and nothing else.
void draw_stuff_after_qt_capture_and_sbuff();
// The recorder thread's body: frames from q_to_thread are compressed into
// the open movie and sent back on q_from_thread; a stop marker (null) is
// answered with one, and ends the thread while control_value is 0.
void* QT_Thread(void* unused);

// What the recorder writes a movie with: the FFmpeg writer of qtim_movie.h,
// or a test's stand-in. Each returns 0 or an error number with the step.
struct qtim_sink {
  int (*create)(const std::string& path, int width, int height, mov_file** out, mov_step* failed) = MOV_create;
  int (*add_frame)(mov_file* movie, const uint8_t* bgra, float seconds, mov_step* failed) = MOV_add_frame;
  int (*finish)(mov_file* movie, mov_step* failed) = MOV_finish;
};
extern qtim_sink g_qtim_sink;

// The module's shared state. Frames pass between the threads only through
// the two queues; usable_buffers is the main thread's, qt_array the
// recorder's while a movie is attached to it.
extern UTL_message_queue<qt_frame_t*>* q_to_thread;
extern UTL_message_queue<qt_frame_t*>* q_from_thread;
extern std::list<qt_frame_t*> usable_buffers;
extern uint32_t* qt_array;
extern unsigned pbo_id;
extern int pbo_has_data;
extern mov_file* qt_movie;  // the open movie, null when none
extern int qt_thread_made;
extern UTL_thread_handle qt_thread;
extern int control_value;   // on a stop marker: 1 keep waiting, 0 end
