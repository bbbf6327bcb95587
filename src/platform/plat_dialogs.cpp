#include "platform/plat_dialogs.h"
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

extern char** environ;

// The dialog's command line for one of the programs that can show it; yad
// names its buttons, zenity (if yad is missing) keeps its own "OK".
static std::vector<std::string> dialog_args(const std::string& program, int kind, const std::string& title,
                                            const std::string& ok_label, const std::string& initial) {
  const bool yad = program == "yad";
  std::vector<std::string> args = {program, yad ? "--file" : "--file-selection"};
  if (kind == 1) args.push_back("--save");
  if (kind == 2) args.push_back("--directory");
  if (!title.empty()) args.push_back("--title=" + title);
  if (!initial.empty()) args.push_back("--filename=" + initial);
  if (yad) {
    args.insert(args.end(), {"--width=700", "--height=450", "--button=gtk-cancel:1"});
    args.push_back("--button=" + (ok_label.empty() ? std::string("gtk-ok") : ok_label) + ":0");
  }
  return args;
}

// Starts the first dialog program found on PATH, its output on a pipe.
static int spawn_dialog(int kind, const std::string& title, const std::string& ok_label, const std::string& initial,
                        pid_t* pid, int* out_fd) {
  int rc = ENOENT;
  for (const char* program : {"yad", "zenity"}) {
    std::vector<std::string> args = dialog_args(program, kind, title, ok_label, initial);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return errno;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    rc = posix_spawnp(pid, program, &fa, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&fa);
    close(out[1]);
    if (rc == 0) {
      *out_fd = out[0];
      return 0;
    }
    close(out[0]);
    if (rc != ENOENT) break;
  }
  return rc;
}

int PLAT_choose_path(int kind, const std::string& title, const std::string& ok_label, const std::string& start,
                     std::string& path) {
  if (kind < 0 || kind > 2) return 0;
  // The dialogs open a folder named with a trailing '/' and suggest a file
  // name otherwise.
  std::string initial;
  if (!start.empty()) initial = start.back() == '/' ? start : start + "/";
  if (kind == 1) initial += path.substr(path.find_last_of('/') + 1);
  pid_t pid;
  int fd = -1;
  if (spawn_dialog(kind, title, ok_label, initial, &pid, &fd) != 0) return 0;
  std::string answer;
  char buf[4096];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      answer.append(buf, n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  close(fd);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 0;
  while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
  while (answer.size() > 1 && answer.back() == '/') answer.pop_back();
  if (answer.empty() || answer[0] != '/') return 0;
  path = answer;
  return 1;
}
