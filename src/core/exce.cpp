#include "core/exce.h"
#include "core/globs.h"
#include "core/hl_thread.h"
#include "core/hl_alert.h"

exce_class::exce_class() : file("no exception"), line(0), severity(3) {}

exce_class::exce_class(std::string a, std::string b, std::string c, std::string d,
                       const char* f, int l, int sev)
    : s1(std::move(a)), s2(std::move(b)), s3(std::move(c)), s4(std::move(d)), file(f), line(l), severity(sev) {}

exce_class::exce_class(const exce_class& o) = default;

exce_class& exce_class::operator=(const exce_class& o) {
  line = o.line;
  file = o.file;
  severity = o.severity;
  s1 = o.s1;
  s2 = o.s2;
  s3 = o.s3;
  s4 = o.s4;
  return *this;
}

exce_class::~exce_class() {}

void exce_class::Report() {
  if (THREAD_is_inited() && !THREAD_is_main_thread()) {
    xer_group() << "EXCEPTION REPORTED FROM THREAD!!  File: " << file << ", line " << line << ".\n"
                << s1 << "\n" << s2 << "\n" << s3 << "\n" << s4 << "\n";
    app_done = 1;
    MACIBM_finishup(1);
    return;
  }
  __MACIBM_alert(0, s1, s2, s3, s4, severity, file, line);
}

void exce_class::LogAndContinue() {
  xer_group() << "Logging " << (severity == 0 ? "non-fatal" : "fatal") << " Exception thrown from file: " << file
              << ", line " << line << ".\n"
              << s1 << "\n" << s2 << "\n" << s3 << "\n" << s4 << "\n";
}

void exce_class::MakeFatal() { severity = 3; }
