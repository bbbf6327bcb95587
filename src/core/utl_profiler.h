// Profiling hooks. No profiler is built into this program: they do nothing,
// and may be called in any order, any number of times.
#pragma once

void UTL_profiler_init();
void UTL_profiler_start(const char* section);
void UTL_profiler_stop();
