#include "core/utl_localtime.h"
#include <mutex>

static std::mutex s_time_lock;

void UTL_local_time_init() {
  std::lock_guard<std::mutex> hold(s_time_lock);
  tzset();
}

time_t UTL_local_to_time(struct tm& tm) {
  std::lock_guard<std::mutex> hold(s_time_lock);
  return mktime(&tm);
}

bool UTL_time_to_local(time_t t, struct tm& out) {
  std::lock_guard<std::mutex> hold(s_time_lock);
  return localtime_r(&t, &out) != nullptr;
}
