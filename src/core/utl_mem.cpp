#include "core/utl_mem.h"

void dump_mem_stats(const char*) {}
