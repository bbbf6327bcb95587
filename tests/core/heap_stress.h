// Tests' randomized heap workload: a fixed-seed generator, a size mix from one
// byte to several megabytes, and blocks whose ends carry a pattern that must
// survive until they are freed.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <algorithm>
#include "core/utl_mspace_chunk.h"

struct stress_rng {
  uint64_t s;
  uint64_t next() {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    return s;
  }
  size_t below(size_t n) { return (size_t)(next() % n); }
};

// Sanitizers slow every access: they get a smaller share of the operations.
inline long stress_ops(long full) {
#if defined(DUV_TSAN)
  return full / 8;
#elif defined(DUV_ASAN)
  return full / 10;
#else
  return full;
#endif
}

// Mostly small, some medium, a few that are mapped on their own or grow the heap.
inline size_t stress_size(stress_rng& r) {
  size_t k = r.below(1000);
  if (k < 650) return 1 + r.below(128);
  if (k < 950) return 129 + r.below(4096 - 128);
  if (k < 999) return 4097 + r.below((size_t)64 << 10);
  return ((size_t)64 << 10) + r.below((size_t)6 << 20);
}

struct stress_block {
  unsigned char* p = nullptr;
  size_t size = 0;
  unsigned char tag = 0;
};

constexpr size_t kStressEdge = 32;  // bytes checked at each end

// The first bytes count up from the tag; the last ones (where they do not
// overlap the first) hold the tag XOR their distance from the end.
inline void stress_fill(const stress_block& b) {
  size_t n = std::min(b.size, kStressEdge);
  for (size_t i = 0; i < n; ++i) b.p[i] = (unsigned char)(b.tag + i);
  for (size_t i = 0; i < n && b.size - 1 - i >= n; ++i) b.p[b.size - 1 - i] = (unsigned char)(b.tag ^ i);
}

// Whether the block still holds its pattern; with keep, only its first keep
// bytes are checked (what a resize must carry over).
inline bool stress_intact(const stress_block& b, size_t keep = ~(size_t)0) {
  size_t n = std::min(b.size, kStressEdge);
  for (size_t i = 0; i < n && i < keep; ++i)
    if (b.p[i] != (unsigned char)(b.tag + i)) return false;
  if (keep != ~(size_t)0) return true;
  for (size_t i = 0; i < n && b.size - 1 - i >= n; ++i)
    if (b.p[b.size - 1 - i] != (unsigned char)(b.tag ^ i)) return false;
  return true;
}

// The whole mapping of a block that has one of its own, else 0.
inline size_t stress_mapping(const void* mem) {
  malloc_chunk* c = mem2chunk(mem);
  if (!is_mmapped(c)) return 0;
  return chunksize(c) + (ch_foot(c) & ~MS_MAPPED_FOOT) + MS_MMAP_FOOT_PAD;
}
