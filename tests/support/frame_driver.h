// Runs the program's real frames in a test, one call per frame, on console 0
// of the test program's window (800 by 600 at scale 1, so window y = 600 - y).
// Input is queued for the next frame and handed to the frame procedure as
// platform events when that frame starts (the display's own are dropped); the clock moves 1/60 s per frame
// and when told; every buffer swap is captured; the frame's textured quads
// and texts are traced; alerts are recorded instead of shown, and unwind the
// call that raised them. One driver at a time; the test program registers
// the window (gl_console_register).
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>
#include "ogl/ogl_record.h"
#include "platform/plat_events.h"

// The back buffer as it was at one swap: RGBA, rows bottom-up.
struct frame_capture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
  // The pixel at (x, y) as 0xRRGGBBAA.
  uint32_t pixel(int x, int y) const;
};

// What one frame drew through the recording hooks, in call order per kind.
struct frame_trace {
  std::vector<OGL_quad_call> quads;
  std::vector<OGL_string_call> strings;
};

// One alert raised during a frame.
struct frame_alert {
  int kind = 0;
  std::vector<std::string> lines;  // the four lines
  std::string source;
  int line = 0;
};

class frame_driver {
 public:
  // Takes over the frame-start and swap hooks, the clock, the recording hooks
  // and the alert handler, and starts from a fresh window with no sub-window.
  frame_driver();
  // Gives every hook back.
  ~frame_driver();

  // Input for the next frame, in window units (origin at the lower left, y up).
  void move(int x, int y);
  void press(int x, int y, int button = 1);
  void release(int x, int y, int button = 1);
  void wheel(int steps);
  // A key going down: keyboard scancode, the text it types, plat_mod_ bits.
  void key(int scancode, const std::string& text, unsigned mods = 0);
  void key_up(int scancode, unsigned mods = 0);
  void text(const std::string& typed);
  // Any record as the platform would hand it out (a key's repeat).
  void record(const PLAT_event& e);

  // Moves the clock on by s seconds before the next frame.
  void advance(double s);

  // One frame of the program with fn as its application frame.
  void frame(const std::function<void()>& fn);
  // One pass of a modal loop: fn draws, then the frame procedure runs.
  void modal_frame(const std::function<void()>& fn);

  // What the last frame left: the swaps, the drawing calls and the alerts.
  const std::vector<frame_capture>& captures() const { return captures_; }
  const frame_trace& trace() const { return trace_; }
  const std::vector<frame_alert>& alerts() const { return alerts_; }
  // Forgets the drawing calls traced so far, so that a test stepping a
  // modal loop reads each of its frames alone.
  void clear_trace() { trace_ = frame_trace(); }

  // Loads the interface atlas (359) and, with lang 0 or more, that
  // language's screen texture (362): the coordinate-coded pictures of the
  // test bundle, or with real the pictures the program ships; and the
  // program's fonts.
  static void load_pictures(bool real, int lang = 0);
  static void unload_pictures();

 private:
  static void start_hook();
  static int fetch(PLAT_event* out, int wait_ms);
  static void swap_hook();
  static void run_app();
  static uint64_t clock();
  static void on_alert(int kind, const std::string* lines, const char* file, int line);
  static void on_quad(const OGL_quad_call& call);
  static void on_string(const OGL_string_call& call);
  PLAT_event at_mouse(int kind);
  void begin_frame();
  void run(const std::function<void()>& body);

  std::vector<PLAT_event> pending_;
  // Pushed and not yet fetched: a frame's pump ends after a mouse motion, so
  // what a test pushed behind one waits for the next frames, in order.
  int pushed_ = 0;
  std::vector<frame_capture> captures_;
  frame_trace trace_;
  std::vector<frame_alert> alerts_;
  std::function<void()> app_;
  uint64_t now_us_ = 0;
  int mouse_px_ = 0, mouse_py_ = 0;
};
