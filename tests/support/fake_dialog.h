// Puts a fake file dialog program ("yad" unless named otherwise) first on
// PATH for the life of the object: it records its arguments, one a line, and
// answers with the given output and exit status, as the desktop's dialog does
// when the user chooses or cancels. With alone, PATH holds nothing else, so
// no real dialog program can be found.
#pragma once
#include <stdlib.h>
#include <sys/stat.h>
#include <string>
#include "support/test_env.h"

struct fake_dialog {
  std::string dir = test_scratch_dir("dialog");
  std::string old_path = getenv("PATH");
  std::string program;
  fake_dialog(const std::string& answer, int status, const std::string& name = "yad", bool alone = false)
      : program(name) {
    answer_with(answer, status);
    setenv("PATH", (alone ? dir : dir + ":" + old_path).c_str(), 1);
  }
  ~fake_dialog() { setenv("PATH", old_path.c_str(), 1); }
  // Changes the answer of the next runs.
  void answer_with(const std::string& answer, int status) {
    std::string script = "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\" >> '" + dir + "args'; done\n";
    if (!answer.empty()) script += "echo '" + answer + "'\n";
    script += "exit " + std::to_string(status) + "\n";
    test_write_file(dir + program, script);
    chmod((dir + program).c_str(), 0755);
  }
  std::string args() { return test_read_file(dir + "args"); }
};
