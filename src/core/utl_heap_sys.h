// System memory of the mspace heap: the global parameters, creating and
// destroying mspaces, giving memory back, and the statistics. All memory comes
// from private anonymous mappings; the program break is never used.
#pragma once
#include <stddef.h>
#include "core/utl_mspace.h"

// The ten-word statistics record of a heap (bytes unless said otherwise). It
// takes the place of the C library's record of that name: <malloc.h> and this
// header do not go into one file.
struct mallinfo {
  size_t arena;     // chunks in the mspace's regions, free space at top included
  size_t ordblks;   // free chunks (a count), top included
  size_t smblks;    // always 0
  size_t hblks;     // always 0
  size_t hblkhd;    // directly mapped chunks
  size_t usmblks;   // the largest footprint so far
  size_t fsmblks;   // always 0
  size_t uordblks;  // in use
  size_t fordblks;  // free
  size_t keepcost;  // the top chunk: what trimming could give back
};

// Parameter numbers of mspace_mallopt.
constexpr int MSPACE_TRIM_THRESHOLD = -1;
constexpr int MSPACE_GRANULARITY = -2;
constexpr int MSPACE_MMAP_THRESHOLD = -3;

// Sets the global parameters once per process (the first heap operation does it); returns 0.
int init_mparams();
// Sets a global parameter for later decisions: 1 when set, 0 when refused (an
// unknown number, or a granularity that is not a power of two of at least a page).
int mspace_mallopt(int param_number, int value);
// A new mspace in a mapping of its own, locked when locked is non-zero; null when
// the capacity is too large or the system refuses the mapping. Capacity 0 gives the default size.
mspace create_mspace(size_t capacity, int locked);
// A new mspace laid out over the caller's memory, which it never unmaps; null
// when capacity cannot hold the state and the top foot.
mspace create_mspace_with_base(void* base, size_t capacity, int locked);
// Unmaps every region the mspace mapped (the mspace is gone); returns the bytes unmapped.
size_t destroy_mspace(mspace msp);
// Gives free memory at top (beyond pad bytes) and empty regions back: 1 when any went back, else 0.
int mspace_trim(mspace msp, size_t pad);
// Bytes the mspace holds from the system now.
size_t mspace_footprint(mspace msp);
// The most bytes it ever held.
size_t mspace_max_footprint(mspace msp);
// The statistics record of the mspace.
struct mallinfo mspace_mallinfo(mspace msp);
// Prints the largest and current system bytes and the bytes in use to the standard error stream.
void mspace_malloc_stats(mspace msp);
