// Puts a fake "zenity" first on PATH for the life of the object: it records
// its arguments, one a line, and answers with the given output and exit
// status, as the desktop's dialog does when the user chooses or cancels.
#pragma once
#include <stdlib.h>
#include <sys/stat.h>
#include <string>
#include "support/test_env.h"

struct fake_zenity {
  std::string dir = test_scratch_dir("zenity");
  std::string old_path = getenv("PATH");
  fake_zenity(const std::string& answer, int status) { answer_with(answer, status); }
  ~fake_zenity() { setenv("PATH", old_path.c_str(), 1); }
  // Changes the answer of the next runs.
  void answer_with(const std::string& answer, int status) {
    std::string script = "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\" >> '" + dir + "args'; done\n";
    if (!answer.empty()) script += "echo '" + answer + "'\n";
    script += "exit " + std::to_string(status) + "\n";
    test_write_file(dir + "zenity", script);
    chmod((dir + "zenity").c_str(), 0755);
    setenv("PATH", (dir + ":" + old_path).c_str(), 1);
  }
  std::string args() { return test_read_file(dir + "args"); }
};
