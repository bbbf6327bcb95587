// Points the log xer at a scratch file for one test and reads back what was
// logged.
#pragma once
#include <sstream>
#include <string>
#include <vector>
#include "core/globs.h"
#include "support/test_env.h"

struct xer_capture {
  std::string file = test_scratch_dir("xer") + "log.txt";
  xer_capture() {
    if (xer.is_open()) xer.close();
    xer.clear();
    xer.open(file);
  }
  ~xer_capture() {
    if (xer.is_open()) xer.close();
  }
  std::string text() {
    xer.flush();
    return test_read_file(file);
  }
  // The first of lines that is not logged, in this order, as whole lines
  // (others may come between); "" when all are.
  std::string missing_in_order(const std::vector<std::string>& lines) {
    std::istringstream in(text());
    std::string line;
    for (const std::string& want : lines) {
      bool found = false;
      while (!found && std::getline(in, line)) found = line == want;
      if (!found) return want;
    }
    return "";
  }
};
