#include "core/globs.h"

std::string app_path;
std::string dvd_path;
std::ofstream ouf;
std::ofstream xer;

const char apt_path_def[] = "Output/preferences/";

static stls_struct make_stls() {
  stls_struct s;
  s.s[5] = apt_path_def;
  return s;
}
stls_struct stls = make_stls();
mnw_struct mnw;
int return_hit = 0, escape_hit = 0, delete_hit = 0;
ren_struct ren;
settings_record stg;
float wx = 0, wy = 0;

std::recursive_mutex& xer_mutex() {
  // Built on first use so a log line from a static initialiser finds it.
  static std::recursive_mutex* m = new std::recursive_mutex;
  return *m;
}

xer_group::xer_group() { xer_mutex().lock(); }

xer_group::~xer_group() {
  xer.flush();
  xer_mutex().unlock();
}
