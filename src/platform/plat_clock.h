// The system's clocks.
#pragma once
#include <cstdint>

// Microseconds on a monotonic clock that never jumps with the wall time; its
// zero is arbitrary (compare two readings).
uint64_t PLAT_microseconds();
