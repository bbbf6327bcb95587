// One thread's cache of recently freed small blocks (part of the pool
// allocator). Only the owning thread touches its cache, so nothing here locks.
// A cached block stays in use in its mspace; its first bytes hold the links.
#pragma once
#include <pthread.h>
#include <stddef.h>
#include <stdlib.h>
#include <bit>
#include "core/utl_mspace_chunk.h"

// The overlay of a cached block's user memory.
struct cached_block {
  unsigned free_stamp;  // the cache's free_count when the block came in
  unsigned bin_size;    // the nominal size of its bin
  cached_block* next;   // toward the tail: older blocks
  cached_block* prev;   // toward the head: newer blocks
};

// The smallest block a pool hands out: the overlay must fit.
constexpr size_t NED_MIN_BLOCK = std::bit_ceil(sizeof(cached_block));
// The largest request the cache serves.
constexpr size_t NED_CACHE_MAX = 8192;
// Bin i holds blocks of nominal size NED_MIN_BLOCK << i, up to NED_CACHE_MAX.
constexpr unsigned NED_CACHE_BINS = (unsigned)(std::countr_zero(NED_CACHE_MAX) - std::countr_zero(NED_MIN_BLOCK) + 1);
// The largest usable size taken in on free: what the mspace gives a request of NED_CACHE_MAX.
constexpr size_t NED_CACHE_MAX_USABLE = ms_request2size(NED_CACHE_MAX) - MS_CHUNK_OVERHEAD;
// Cached bytes (nominal) at which the oldest blocks go back to their mspaces.
constexpr size_t NED_CACHE_LIMIT = (size_t)512 << 10;

struct threadcache_bin {
  cached_block* head;  // newest
  cached_block* tail;  // oldest
};

struct threadcache_state {
  int mspace_index;        // the mspace this thread allocates from; -1 once retired
  pthread_t owner_thread;  // 0 once retired
  unsigned malloc_count;   // lookups made
  unsigned free_count;     // blocks taken in; also the clock of their age
  unsigned hit_count;      // lookups served
  size_t cached_bytes;     // nominal bytes held
  threadcache_bin bins[NED_CACHE_BINS];
};

// Reports a block freed twice in a row on the standard error stream and aborts.
[[noreturn]] void threadcache_double_free(void* mem);
// Returns to their mspaces the blocks cached at least age frees ago (age 0: all).
void RemoveCacheEntries(threadcache_state* tc, unsigned age);
// Evicts with ages 64, 32, ... 1 until the cache holds less than NED_CACHE_LIMIT.
void ReleaseFreeInCache(threadcache_state* tc);

// The two steps on every cached allocation and free are inline.

// Bin of a size: the highest power of two of NED_MIN_BLOCK units not above it.
inline unsigned threadcache_bin_of(size_t size) { return (unsigned)std::bit_width(size / NED_MIN_BLOCK) - 1; }

// Rounds *size (NED_MIN_BLOCK to NED_CACHE_MAX) up to its bin's nominal size and
// returns a cached block of at least that size (from that bin or the next), or
// null; the rounded size stays for the caller's mspace request on a miss.
inline void* threadcache_malloc(threadcache_state* tc, size_t* size) {
  unsigned idx = threadcache_bin_of(*size);
  size_t nominal = NED_MIN_BLOCK << idx;
  if (*size > nominal) {
    ++idx;
    nominal <<= 1;
  }
  if (idx >= NED_CACHE_BINS || nominal > NED_CACHE_MAX) abort();
  *size = nominal;
  threadcache_bin* bin = &tc->bins[idx];
  cached_block* blk = bin->head;
  if ((!blk || blk->bin_size < nominal) && idx + 1 < NED_CACHE_BINS) {
    bin = &tc->bins[idx + 1];
    blk = bin->head;
  }
  ++tc->malloc_count;
  if (!blk) return nullptr;
  bin->head = blk->next;
  if (blk->next)
    blk->next->prev = nullptr;
  else
    bin->tail = nullptr;
  size_t head = ch_head(mem2chunk(blk));
  size_t usable = head_usable(head);
  if (!(head & CINUSE) || usable < blk->bin_size || usable < NED_MIN_BLOCK || usable > NED_CACHE_MAX_USABLE ||
      blk->bin_size < nominal || bin->head == blk || bin->tail == blk || tc->cached_bytes < blk->bin_size)
    abort();
  ++tc->hit_count;
  tc->cached_bytes -= blk->bin_size;
  return blk;
}

// Takes in an in-use block of the given usable size (NED_MIN_BLOCK to
// NED_CACHE_MAX_USABLE) and evicts old blocks past NED_CACHE_LIMIT. A block
// that is already its bin's newest is a double free: message and abort.
inline void threadcache_free(threadcache_state* tc, void* mem, size_t usable) {
  if (usable < NED_MIN_BLOCK || usable > NED_CACHE_MAX_USABLE) abort();
  unsigned idx = threadcache_bin_of(usable);
  size_t nominal = NED_MIN_BLOCK << idx;
  threadcache_bin* bin = &tc->bins[idx];
  if (bin->head == mem) threadcache_double_free(mem);
  cached_block* blk = (cached_block*)mem;
  blk->free_stamp = ++tc->free_count;
  blk->bin_size = (unsigned)nominal;
  blk->prev = nullptr;
  blk->next = bin->head;
  if (bin->head) {
    if (bin->head->bin_size != nominal || bin->head->prev) abort();
    bin->head->prev = blk;
  } else {
    if (bin->tail) abort();
    bin->tail = blk;
  }
  bin->head = blk;
  tc->cached_bytes += nominal;
  if (tc->cached_bytes >= NED_CACHE_LIMIT) ReleaseFreeInCache(tc);
}
