// Loaded into the installer with LD_PRELOAD, it times the frames from
// outside: each SDL_GL_SwapWindow appends the CLOCK_MONOTONIC time at which
// the frame was handed over, in nanoseconds, to the file DUV_FRAME_LOG names.
// Each record is 19 digits and a newline, so a reader counts frames by the
// file's size. Without the variable the swaps pass through untimed.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

struct SDL_Window;

namespace {

using swap_fn = void (*)(SDL_Window*);

swap_fn real_swap() {
  static const swap_fn real = reinterpret_cast<swap_fn>(dlsym(RTLD_NEXT, "SDL_GL_SwapWindow"));
  return real;
}

int log_fd() {
  // Close-on-exec: the tools the installer runs write no frames of its own.
  static const int fd = [] {
    const char* path = getenv("DUV_FRAME_LOG");
    return path && *path ? open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644) : -1;
  }();
  return fd;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void SDL_GL_SwapWindow(SDL_Window* window) {
  if (swap_fn real = real_swap()) real(window);
  const int fd = log_fd();
  if (fd < 0) return;
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  char line[32];
  const int n = snprintf(line, sizeof line, "%019lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  // One write of the whole record, so O_APPEND keeps records whole. A lost
  // record shows as a long frame: the tests fail rather than pass by it.
  const ssize_t written = write(fd, line, n);
  (void)written;
}
