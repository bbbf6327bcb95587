#include "platform/plat_dialogs.h"
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cerrno>
#include <vector>

extern char** environ;

int PLAT_choose_path(int kind, const std::string& title, const std::string& start, std::string& path) {
  if (kind < 0 || kind > 2) return 0;
  std::vector<std::string> args = {"zenity", "--file-selection"};
  if (kind == 1) args.push_back("--save");
  if (kind == 2) args.push_back("--directory");
  if (!title.empty()) args.push_back("--title=" + title);
  // zenity opens a folder named with a trailing '/' and suggests a file name otherwise.
  std::string initial;
  if (!start.empty()) initial = start.back() == '/' ? start : start + "/";
  if (kind == 1) initial += path.substr(path.find_last_of('/') + 1);
  if (!initial.empty()) args.push_back("--filename=" + initial);

  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return 0;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  pid_t pid;
  int rc = posix_spawnp(&pid, "zenity", &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    return 0;
  }
  std::string answer;
  char buf[4096];
  for (;;) {
    ssize_t n = read(out[0], buf, sizeof buf);
    if (n > 0) {
      answer.append(buf, n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  close(out[0]);
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
