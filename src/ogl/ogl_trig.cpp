#include "ogl/ogl_trig.h"
#include <cmath>

float lookup_sin[lookup_trig_size];
float lookup_cos[lookup_trig_size];

void fill_trig_tables() {
  const float deg_to_rad = 0.017453294f;
  for (int d = 0; d < lookup_trig_size; ++d) {
    lookup_sin[d] = std::sin(d * deg_to_rad);
    lookup_cos[d] = std::cos(d * deg_to_rad);
  }
}
