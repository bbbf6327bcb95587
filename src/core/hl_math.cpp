#include "core/hl_math.h"
#include <cstdio>
#include <cstdlib>
#include "core/hl_alert.h"

int int_rand(int low, int high) {
  if (low == high) return low;
  if (high < low) {
    char line[96];
    snprintf(line, sizeof(line), "lo=%1.0f hi=%1.0f", (double)low, (double)high);
    __MACIBM_alert(0, "int rand range negative!", line, "", "", t_crash, "RUvozuz/GenH/hl_math", 604);
    return low;  // not reached: a crash alert ends the program
  }
  // The span of a full-range call does not fit an int.
  const long long span = (long long)high - (long long)low + 1;
  return (int)((long long)low + (long long)rand() % span);
}
