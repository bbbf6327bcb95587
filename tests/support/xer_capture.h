// Points the log xer at a scratch file for one test and reads back what was
// logged.
#pragma once
#include <string>
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
};
