// Running the built programs from the end-to-end tests: the bundle, a
// program in the background with a home folder of its own, and its log.
#pragma once
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <string>
#include <thread>
#include <vector>
#include "support/test_env.h"

namespace {

const std::string k_bundle = DUV_BINARY_DIR "/Duvizo Installer.app";
const std::string k_app = k_bundle + "/Contents/MacOS/Duvizo Installer";

std::string trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

// A program started in the background with a home folder of its own.
class background_run {
 public:
  // env: further variables for the program (name, value).
  background_run(const std::string& home, const std::vector<std::string>& argv,
                 const std::vector<std::pair<std::string, std::string>>& env = {}) {
    out_ = home + "out.txt";
    pid_ = fork();
    if (pid_ == 0) {
      for (const auto& [name, value] : env) setenv(name.c_str(), value.c_str(), 1);
      setenv("HOME", home.c_str(), 1);
      setenv("XDG_CONFIG_HOME", (home + ".config").c_str(), 1);
      if (chdir(home.c_str()) != 0 || !freopen(out_.c_str(), "w", stdout)) _exit(127);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
  }
  ~background_run() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  pid_t pid() const { return pid_; }
  // Sends its window the close request a window manager's close button
  // sends; false when no window of it showed within 30 s.
  bool close_window() {
    const std::string wid =
        trimmed(test_capture("timeout 30 xdotool search --sync --pid " + std::to_string(pid_) + " | head -1"));
    return !wid.empty() && test_run(std::string(DUV_SEND_WM_DELETE) + " " + wid) == 0;
  }
  std::string out() const { return test_read_file(out_); }
  // The exit status once it ended within 30 s; -1 when it did not (killed).
  int wait_exit() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  std::string out_;
};

// A crop's pixel signature from ImageMagick ("" when the screenshot cannot be
// read): x and y in pixels from the picture's top left.
inline std::string crop_signature(const std::string& png, int x, int y, int w, int h) {
  return test_capture("convert '" + png + "' -crop " + std::to_string(w) + "x" + std::to_string(h) + "+" +
                      std::to_string(x) + "+" + std::to_string(y) + " +repage -format %# info:");
}

inline std::string log_of(const std::string& home) { return test_read_file(home + "Desktop/Duvizo Installer Log.txt"); }

}  // namespace
