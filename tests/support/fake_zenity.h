// A fake "zenity" for the tests of the desktop's dialogs: put first on PATH
// for the life of the object, it records its arguments and answers with the
// given output and exit status.
#pragma once
#include <stdlib.h>
#include <sys/stat.h>
#include <string>
#include "support/test_env.h"

struct fake_zenity {
  std::string dir = test_scratch_dir("zenity");
  std::string old_path = getenv("PATH");
  fake_zenity(const std::string& answer, int status) {
    std::string script = "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\" >> '" + dir + "args'; done\n";
    if (!answer.empty()) script += "echo '" + answer + "'\n";
    script += "exit " + std::to_string(status) + "\n";
    test_write_file(dir + "zenity", script);
    chmod((dir + "zenity").c_str(), 0755);
    setenv("PATH", (dir + ":" + old_path).c_str(), 1);
  }
  ~fake_zenity() { setenv("PATH", old_path.c_str(), 1); }
  // Its arguments so far, one a line.
  std::string args() { return test_read_file(dir + "args"); }
};
