// The thread caches of the pool allocator: power-of-two bins of freed
// blocks, newest at the head, evicted oldest first from the tail.
#include "core/utl_pool_cache.h"
#include <stdio.h>
#include <stdlib.h>

void threadcache_double_free(void* mem) {
  fprintf(stderr, "Attempt to free already freed memory block %p - aborting!\n", mem);
  abort();
}

void RemoveCacheEntries(threadcache_state* tc, unsigned age) {
  if (!tc->cached_bytes) return;
  for (threadcache_bin& bin : tc->bins) {
    while (bin.tail && tc->free_count - bin.tail->free_stamp >= age) {
      cached_block* blk = bin.tail;
      bin.tail = blk->prev;
      if (bin.tail)
        bin.tail->next = nullptr;
      else
        bin.head = nullptr;
      if (!blk->bin_size || blk->bin_size > chunk_usable(mem2chunk(blk)) || tc->cached_bytes < blk->bin_size) abort();
      tc->cached_bytes -= blk->bin_size;
      mspace_free(nullptr, blk);
    }
  }
}

void ReleaseFreeInCache(threadcache_state* tc) {
  for (unsigned age = 64; age >= 1 && tc->cached_bytes >= NED_CACHE_LIMIT; age >>= 1) RemoveCacheEntries(tc, age);
}
