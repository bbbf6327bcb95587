// Debug set-up and symbolised stack crawls.
#pragma once
#include <cstdio>

// Ignores the broken-pipe signal, so a write to a closed socket or pipe fails
// with an error instead of ending the process.
void UTL_debug_init();
// Writes the numbered back-trace of the calling thread to out, starting at
// first_frame (null: the caller of UTL_dump_stack); code_addr, when given, is
// the address where a fault happened.
void UTL_dump_stack(FILE* out, void* first_frame, void* code_addr);
