#include "installer/inst_text.h"
#include <climits>
#include <cmath>
#include <cstdio>
#include "files/translate.h"

// Every text of the screens fits the 256 bytes the screens were laid out for.
static std::string format_float(const char* fmt, float value) {
  char buf[256];
  snprintf(buf, sizeof buf, fmt, value);
  return buf;
}

std::string size_string(float kb) {
  // The switch to gigabytes comes at 1000 MB, so no size reads "1001 MB".
  if (kb > 1024000.0f) return format_float("%.1f GB", kb / 1048576.0f);
  if (kb > 1024.0f) return format_float("%.0f MB", kb / 1024.0f);
  return format_float("%.0f KB", kb);
}

std::string int_str(int n) {
  char buf[256];
  snprintf(buf, sizeof buf, "%d", n);
  return buf;
}

std::string flt_str(const char* fmt, float value) { return format_float(fmt, value); }

// A count for the plural rule: truncated towards zero, held inside int (a
// download estimate can be infinite or absurd), and 0 for a value that is
// not a number.
static int count_of(double v) {
  if (std::isnan(v)) return 0;
  if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(v);
}

static std::string counted(int n, const char* singular, const char* plural) {
  return UTL_string_sub(UTL_translate_plural(n, singular, plural), int_str(n));
}

std::string time_str(float seconds) {
  const double s = seconds;
  if (s < 120) return counted(count_of(s), "%1:seconds% second", "%1:seconds% seconds");
  // Written as "not below 7200" so that a value that is not a number, which
  // compares false both ways, reads as hours.
  if (!(s < 7200)) return counted(count_of(s / 3600), "%1:hours% hour", "%1:hours% hours");
  return counted(count_of(s / 60), "%1:minutes% minute", "%1:minutes% minutes");
}

std::string rate_str(float kb_per_second) {
  return counted(count_of(kb_per_second), "%1:rate% kilobyte/second", "%1:rate% kilobytes/second");
}
