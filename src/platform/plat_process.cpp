#include "platform/plat_process.h"
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <linux/close_range.h>

extern char** environ;

static std::vector<char*> c_argv(const std::vector<std::string>& argv) {
  std::vector<char*> v;
  for (const std::string& a : argv) v.push_back(const_cast<char*>(a.c_str()));
  v.push_back(nullptr);
  return v;
}

static int wait_child(pid_t pid, int* status) {
  int st = 0;
  while (waitpid(pid, &st, 0) < 0)
    if (errno != EINTR) return errno;
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  return 0;
}

// Forks with a close-on-exec pipe through which a child whose exec fails
// reports why. Returns 0 (*pid is 0 in the child) or errno.
static int fork_reporting(int pipefd[2], pid_t* pid) {
  if (pipe2(pipefd, O_CLOEXEC) != 0) return errno;
  *pid = fork();
  if (*pid < 0) {
    int err = errno;
    close(pipefd[0]);
    close(pipefd[1]);
    return err;
  }
  if (*pid > 0) close(pipefd[1]);
  return 0;
}

// In the child after a failed exec: passes errno to the parent and ends.
[[noreturn]] static void report_exec_failure(int write_fd, int exit_code) {
  int err = errno;
  ssize_t w = write(write_fd, &err, sizeof err);
  (void)w;
  _exit(exit_code);
}

// The pipe's write end closes on a successful exec (or at the child's end):
// an empty read means the program is running. Returns 0 or the child's errno.
static int exec_result(int read_fd) {
  int child_err = 0;
  ssize_t n;
  do {
    n = read(read_fd, &child_err, sizeof child_err);
  } while (n < 0 && errno == EINTR);
  close(read_fd);
  if (n == (ssize_t)sizeof child_err) return child_err ? child_err : ENOEXEC;
  return 0;
}

int PLAT_start_program(const std::string& path, const std::vector<std::string>& argv) {
  // Everything the child touches is made before fork: after it, in a process
  // with threads, only async-signal-safe calls are allowed.
  std::vector<char*> args = c_argv(argv);
  int pipefd[2];
  pid_t pid;
  if (int err = fork_reporting(pipefd, &pid)) return err;
  if (pid == 0) {
    // The new program must not inherit our log, archives or sockets.
    syscall(SYS_close_range, 3, ~0U, CLOSE_RANGE_CLOEXEC);
    execv(path.c_str(), args.data());
    report_exec_failure(pipefd[1], errno & 0xff);
  }
  int err = exec_result(pipefd[0]);
  if (err) wait_child(pid, nullptr);
  return err;
}

int PLAT_open_in_browser(const std::string& url) {
  const char* argv[] = {"xdg-open", url.c_str(), nullptr};
  int pipefd[2];
  pid_t mid;
  if (int err = fork_reporting(pipefd, &mid)) return err;
  if (mid == 0) {
    // The opener runs as a grandchild that init adopts, so the program
    // neither waits for the browser nor leaves a zombie behind.
    setsid();
    pid_t pid = fork();
    if (pid != 0) _exit(pid < 0 ? 1 : 0);
    syscall(SYS_close_range, 3, ~0U, CLOSE_RANGE_CLOEXEC);
    int null_fd = open("/dev/null", O_RDWR);
    if (null_fd >= 0) {
      dup2(null_fd, 0);
      if (null_fd > 2) close(null_fd);
    }
    execvp(argv[0], const_cast<char* const*>(argv));
    report_exec_failure(pipefd[1], 127);
  }
  int st = 0;
  while (waitpid(mid, &st, 0) < 0 && errno == EINTR) {
  }
  if (int err = exec_result(pipefd[0])) return err;
  if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) return ECHILD;
  return 0;
}

int PLAT_run_tool(const std::vector<std::string>& argv, int timeout_ms, int* status) {
  if (argv.empty()) return EINVAL;
  std::vector<char*> args = c_argv(argv);
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&fa, 2, "/dev/null", O_WRONLY, 0);
  // Its own process group, so a time-out also ends whatever it started.
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attr, 0);
  pid_t pid;
  int err = posix_spawnp(&pid, args[0], &fa, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  posix_spawn_file_actions_destroy(&fa);
  if (err) return err;

  int pidfd = (int)syscall(SYS_pidfd_open, pid, 0);
  if (pidfd >= 0) {
    struct pollfd p = {pidfd, POLLIN, 0};
    int r;
    do {
      r = poll(&p, 1, timeout_ms);
    } while (r < 0 && errno == EINTR);
    close(pidfd);
    if (r == 0) {
      kill(-pid, SIGKILL);
      wait_child(pid, nullptr);
      return ETIMEDOUT;
    }
  }
  // Without a process descriptor (old kernels) the wait has no time-out.
  return wait_child(pid, status);
}

int PLAT_process_alive(int pid) {
  if (pid <= 0) return 0;
  return kill(pid, 0) == 0 || errno == EPERM;
}
