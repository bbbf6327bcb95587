// The pool allocator: each pool spreads its blocks over up to four locked
// mspaces, so that threads rarely wait for one another, and keeps for each
// thread a cache of freed small blocks handed out again without a lock. Every
// block is 16-byte aligned. The nedp... forms take a pool (null: the default
// pool `syspool`, set up on first use); the ned... forms act on `syspool`.
#pragma once
#include <pthread.h>
#include <stddef.h>
#include <atomic>
#include "core/utl_heap_sys.h"
#include "core/utl_mspace.h"

struct threadcache_state;

constexpr int NED_MAX_MSPACES = 4;
constexpr int NED_CACHE_SLOTS = 256;

// A thread's value under cache_key: 0 not seen yet; n >= 1 it owns caches[n-1];
// -(k+1) it has no cache and allocates from mspace k.
struct pool_state {
  recursive_spin_lock lock;            // guards caches and mspaces
  void* user_value = nullptr;          // the owner's value, found again by nedgetvalue
  std::atomic<int> max_mspaces{0};     // 1 to 4; 0 while the pool is not set up
  threadcache_state* caches[NED_CACHE_SLOTS] = {};
  pthread_key_t cache_key = 0;
  std::atomic<mspace> mspaces[NED_MAX_MSPACES + 1] = {};  // filled from 0; the entry after the last is null
};

// A block of at least size bytes, or null.
void* nedpmalloc(pool_state* p, size_t size);
// A zero-filled block of count * size bytes, or null (also when the product overflows).
void* nedpcalloc(pool_state* p, size_t count, size_t size);
// The block resized (contents kept up to the smaller size), or null with the old block untouched.
void* nedprealloc(pool_state* p, void* mem, size_t size);
// Returns the block to the thread's cache or to its mspace; null is ignored.
void nedpfree(pool_state* p, void* mem);
// A block whose address is a multiple of alignment, or null.
void* nedpmemalign(pool_state* p, size_t alignment, size_t size);
// count zero-filled blocks of size bytes carved from one chunk, their addresses
// in chunks (or a new array); null on failure.
void** nedpindependent_calloc(pool_state* p, size_t count, size_t size, void** chunks);
// count blocks of sizes[i] bytes carved from one chunk, as above.
void** nedpindependent_comalloc(pool_state* p, size_t count, size_t* sizes, void** chunks);
// The statistics record summed over the pool's mspaces.
struct mallinfo nedpmallinfo(pool_state* p);
// Trims every mspace of the pool; returns how many gave memory back.
int nedpmalloc_trim(pool_state* p, size_t pad);
// Prints each mspace's statistics lines to the standard error stream.
void nedpmalloc_stats(pool_state* p);
// Bytes the pool's mspaces hold from the system.
size_t nedpmalloc_footprint(pool_state* p);
// Sets a global heap parameter (mspace_mallopt); the pool is ignored. 1 set, 0 refused.
int nedpmallopt(pool_state* p, int param_number, int value);
// Stores the owner's value in the pool.
void nedpsetvalue(pool_state* p, void* value);
// A new pool (capacity 0: the default first mspace; threads 1 to 4 mspaces, else 4), or null.
pool_state* nedcreatepool(size_t capacity, int threads);
// Empties every cache, unmaps every mspace and frees the pool; its blocks become invalid. The default pool is kept.
void neddestroypool(pool_state* p);
// Retires the calling thread's cache in the pool, returning its blocks; the
// thread goes on without a cache in the mspace it used last. Prints the cache's hit rates.
void neddisablethreadcache(pool_state* p);
// Usable bytes of a block; 0 for null.
size_t nedblksize(void* mem);
// The owner's value of the pool that made the block, the pool through *p (when
// p is not null); null when the block is not recognised as a pool's.
void* nedgetvalue(pool_state** p, void* mem);

// The same operations on the default pool.
void* nedmalloc(size_t size);
void* nedcalloc(size_t count, size_t size);
void* nedrealloc(void* mem, size_t size);
void nedfree(void* mem);
void* nedmemalign(size_t alignment, size_t size);
void** nedindependent_calloc(size_t count, size_t size, void** chunks);
void** nedindependent_comalloc(size_t count, size_t* sizes, void** chunks);
struct mallinfo nedmallinfo();
int nedmalloc_trim(size_t pad);
void nedmalloc_stats();
size_t nedmalloc_footprint();
int nedmallopt(int param_number, int value);
void nedsetvalue(void* value);

// The allocation front end's heap choice: 1 when this build routes every
// allocation through the default pool (built with DUV_POOL_ALLOC), else 0.
int UTL_heap_route_to_pool();
