// Allocation front end and the memory report.
#pragma once

// Writes one memory report ("MemoryLog.txt" in app_path) headed by reason.
void dump_mem_stats(const char* reason);
