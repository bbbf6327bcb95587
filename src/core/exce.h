// The failure record that carries an alert from any thread to the main thread.
#pragma once
#include <string>

class exce_class {
 public:
  exce_class();  // empty lines, "no exception", line 0, severity 3
  exce_class(std::string s1, std::string s2, std::string s3, std::string s4,
             const char* file, int line, int severity);
  exce_class(const exce_class& o);
  exce_class& operator=(const exce_class& o);
  virtual ~exce_class();

  // On the main thread (or with threads not up): raises the alert of this
  // severity. Off the main thread: logs the record, sets app_done and runs the
  // finish-up with saving.
  void Report();
  // Logs the record and returns; shows nothing.
  void LogAndContinue();
  // Makes it a crash record (severity 3).
  void MakeFatal();

  std::string s1, s2, s3, s4;
  const char* file;  // a constant string that lives for the whole run
  int line;
  int severity;  // 1 warning, 2 quit, 3 crash
};
