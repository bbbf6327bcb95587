// An X server of one test's own: tests that need the keyboard focus, the
// pointer, captures of whole windows or a screen of a given size cannot share
// the display that the whole suite runs on in parallel.
#pragma once
#include <string>
#include <sys/types.h>

// Starts "Xvfb -displayfd" on a display number the server picks itself, with
// one screen of width x height at 24 bits, waits until it takes connections
// and points DISPLAY at it. The destructor ends the server and puts DISPLAY
// back; the server also dies with the thread that made it, so a test that
// crashes or is killed leaves none behind. Both end the window system
// (PLAT_video_end), which then starts again on the display named next: make
// and end it on the main thread with every window and context freed.
class private_xvfb {
 public:
  private_xvfb(int width, int height);
  ~private_xvfb();
  private_xvfb(const private_xvfb&) = delete;
  private_xvfb& operator=(const private_xvfb&) = delete;

  bool ok() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }  // the server's process, for tests that end it
  const std::string& display() const { return display_; }  // ":N"
  const std::string& error() const { return error_; }      // why it did not start

 private:
  pid_t pid_ = -1;
  std::string display_, error_;
  std::string old_display_;
  bool had_display_ = false;
};
