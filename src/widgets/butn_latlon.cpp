// The latitude and longitude editor.
#include "widgets/butn_latlon.h"
#include <cmath>
#include "widgets/butn_number.h"

namespace {
// One value as degrees and minutes: minutes in 0..60 beside whole degrees,
// or signed within a degree of zero, where the degrees cannot carry a sign.
struct deg_min {
  float deg, min, lower;
  explicit deg_min(float v) : deg(std::trunc(v)) {
    min = deg != 0 ? std::fabs(v - deg) * 60 : v * 60;
    lower = deg != 0 ? 0.0f : -60.0f;
  }
  float value() const { return deg != 0 ? deg + (deg < 0 ? -1 : 1) * min / 60 : min / 60; }
};
}  // namespace

int enter_lat_lon(float* x, float* y, float* lon, float* lat) {
  deg_min o(*lon), a(*lat);
  int changed = 0;
  *y -= 50;
  changed |= BTN_flt(*x, *y, &o.deg, 3, 0, 1, "lon:");
  changed |= BTN_flt_range(*x + 50, *y, &o.min, 5, 3, o.lower, 60, "", nullptr);
  *y -= 50;
  changed |= BTN_flt(*x + 10, *y, &a.deg, 2, 0, 1, "lat:");
  changed |= BTN_flt_range(*x + 50, *y, &a.min, 5, 3, a.lower, 60, "", nullptr);
  *lon = o.value();
  *lat = a.value();
  return changed;
}
