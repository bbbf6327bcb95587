// Loaded into the installer with LD_PRELOAD, it times the frames from
// outside: each SDL_GL_SwapWindow appends the CLOCK_MONOTONIC time at which
// the frame was handed over, in nanoseconds, to the file DUV_FRAME_LOG names.
// Each mouse button release the program's event pump fetches appends its
// time likewise to the file DUV_BUTTON_LOG names, so a test knows when a
// click it sent has been taken. Each record is 19 digits and a newline, so a
// reader counts them by the file's size. Without the variables the calls
// pass through untimed.
#include <SDL2/SDL_events.h>
#include <SDL2/SDL_video.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

namespace {

template <class F>
F real(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// Close-on-exec: the tools the installer runs log nothing of their own.
int open_log(const char* variable) {
  const char* path = getenv(variable);
  return path && *path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
}

void stamp(int fd) {
  if (fd < 0) return;
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  char line[32];
  const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
  const int n = snprintf(line, sizeof line, "%019lld\n", ns);
  // One write of the whole record, so O_APPEND keeps records whole. A lost
  // record shows as a long frame: the tests fail rather than pass by it.
  const ssize_t written = write(fd, line, n);
  (void)written;
}

int fetched(SDL_Event* e, int got) {
  static const int fd = open_log("DUV_BUTTON_LOG");
  if (got == 1 && e && e->type == SDL_MOUSEBUTTONUP) stamp(fd);
  return got;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void SDL_GL_SwapWindow(SDL_Window* window) {
  static const auto swap = real<void (*)(SDL_Window*)>("SDL_GL_SwapWindow");
  static const int fd = open_log("DUV_FRAME_LOG");
  if (swap) swap(window);
  stamp(fd);
}

extern "C" __attribute__((visibility("default"))) int SDL_WaitEventTimeout(SDL_Event* e, int timeout_ms) {
  static const auto wait = real<int (*)(SDL_Event*, int)>("SDL_WaitEventTimeout");
  return fetched(e, wait ? wait(e, timeout_ms) : 0);
}

extern "C" __attribute__((visibility("default"))) int SDL_PollEvent(SDL_Event* e) {
  static const auto poll = real<int (*)(SDL_Event*)>("SDL_PollEvent");
  return fetched(e, poll ? poll(e) : 0);
}
