#include "widgets/colr.h"

colr_class colr;

void colr_class::col_assign(int id, float red, float green, float blue) {
  if (id < 0 || id >= colour_count) return;
  col[id][0] = red;
  col[id][1] = green;
  col[id][2] = blue;
}
