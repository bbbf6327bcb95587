#include "core/randrat.h"
#include <cstdlib>
#include "core/xtim.h"

float randrat[randrat_size];

void fill_randrat() {
  srand(1);
  for (float& r : randrat) r = (float)rand() * (1.0f / 2147483648.0f) * 0.9999f;
  const unsigned seed = (unsigned)(xtim_class::microsecs() & 0xffffffffu);
  srand(seed);
  for (unsigned i = 0; i < seed % 1000; ++i) (void)rand();
}
