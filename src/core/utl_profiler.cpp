#include "core/utl_profiler.h"

void UTL_profiler_init() {}
void UTL_profiler_start(const char*) {}
void UTL_profiler_stop() {}
