#include "core/utl_debug.h"
#include <signal.h>

void UTL_debug_init() { signal(SIGPIPE, SIG_IGN); }

void UTL_dump_stack(FILE*, void*, void*) {}
