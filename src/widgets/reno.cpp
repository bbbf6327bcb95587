#include "widgets/reno.h"

reno_class reno;

// The framework's other rendering switches belong to programs that draw a
// scene; this one reads none of them.
void reno_class::reno_init() { use_tex_comp = 1; }

void reno_class::reno_wind() {}
