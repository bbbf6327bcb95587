#include "support/private_xvfb.h"
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include "platform/plat_video.h"

// How long a server may take to start: generous, the machine runs the whole
// suite in parallel.
static const int start_timeout_ms = 30000;

static void reap(pid_t pid, int sig) {
  kill(pid, sig);
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

private_xvfb::private_xvfb(int width, int height) {
  PLAT_video_end();
  const char* d = getenv("DISPLAY");
  had_display_ = d != nullptr;
  if (d) old_display_ = d;

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error_ = strerror(errno);
    return;
  }
  // Everything the child needs is made before fork: the program has threads.
  const std::string fd_arg = std::to_string(fds[1]);
  const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
  // -noreset: a test that starts a second program after the first one left
  // must not meet a server resetting because its last client went.
  std::vector<const char*> argv = {"Xvfb", "-displayfd", fd_arg.c_str(), "-screen", "0", screen.c_str(),
                                   "-nolisten", "tcp", "-noreset", nullptr};
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid < 0) {
    error_ = strerror(errno);
    close(fds[0]);
    close(fds[1]);
    return;
  }
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(1);
    // The server writes its display number here; the write end stays open
    // across exec, nothing else of the test's does.
    fcntl(fds[1], F_SETFD, 0);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    execvp(argv[0], const_cast<char* const*>(argv.data()));
    _exit(127);
  }
  close(fds[1]);
  std::string number;
  bool done = false;
  while (!done) {
    pollfd p = {fds[0], POLLIN, 0};
    const int r = poll(&p, 1, start_timeout_ms);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    char c;
    const ssize_t n = read(fds[0], &c, 1);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (c == '\n') done = true;
    else number += c;
  }
  close(fds[0]);
  if (!done || number.empty()) {
    error_ = "Xvfb gave no display number (is it installed?)";
    reap(pid, SIGKILL);
    return;
  }
  pid_ = pid;
  display_ = ":" + number;
  setenv("DISPLAY", display_.c_str(), 1);
}

private_xvfb::~private_xvfb() {
  if (pid_ <= 0) return;
  // Xlib ends the program when its server goes away under it.
  PLAT_video_end();
  // SIGTERM lets the server remove its lock file and socket.
  reap(pid_, SIGTERM);
  if (had_display_) setenv("DISPLAY", old_display_.c_str(), 1);
  else unsetenv("DISPLAY");
}
