// The pool allocator: pools of locked mspaces with per-thread caches.
#include "core/utl_pool_alloc.h"
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <new>
#include "core/utl_mspace_chunk.h"
#include "core/utl_pool_cache.h"

static constinit pool_state syspool;
// Two threads that meet an unset default pool must not both set it up.
static constinit recursive_spin_lock syspool_setup_lock;

// Every allocation and free reads the calling thread's value under the pool's
// key. For the default pool, which lives as long as the process and takes
// nearly every call, the value is mirrored in a plain thread-local word so that
// the lookup costs one load instead of a call into the threads library. The key
// keeps the value too: it stays the record of what each thread is.
static constinit thread_local intptr_t syspool_value = 0;
// The calling thread's id, set when the thread makes its first cache. Every
// call checks that the cache it found is the caller's; a thread that made none
// still holds 0 here and so fails that check as it should.
static constinit thread_local pthread_t this_thread = 0;

static inline intptr_t thread_value(pool_state* p) {
  return p == &syspool ? syspool_value : (intptr_t)pthread_getspecific(p->cache_key);
}

static void set_thread_value(pool_state* p, intptr_t v) {
  if (p == &syspool) syspool_value = v;
  pthread_setspecific(p->cache_key, (void*)v);
}

static bool InitPool(pool_state* p, size_t capacity, int threads) {
  recursive_spin_lock_clear(&p->lock);
  recursive_spin_lock_acquire(&p->lock);
  mspace m = nullptr;
  if (pthread_key_create(&p->cache_key, nullptr) == 0) {
    m = create_mspace(capacity, 1);
    if (!m) pthread_key_delete(p->cache_key);
  }
  if (!m) {
    if (threads < 0) abort();  // the default pool: nothing can allocate without it
    recursive_spin_lock_release(&p->lock);
    return false;
  }
  m->ext_pointer = p;
  p->mspaces[0].store(m, std::memory_order_release);
  // Published last: a pool whose max_mspaces is set is ready.
  p->max_mspaces.store(threads >= 1 && threads <= NED_MAX_MSPACES ? threads : NED_MAX_MSPACES, std::memory_order_release);
  recursive_spin_lock_release(&p->lock);
  return true;
}

static void set_up_syspool() {
  recursive_spin_lock_acquire(&syspool_setup_lock);
  if (syspool.max_mspaces.load(std::memory_order_relaxed) == 0) InitPool(&syspool, 0, -1);
  recursive_spin_lock_release(&syspool_setup_lock);
}

static inline pool_state* pool_or_sys(pool_state* p) {
  if (p) return p;
  if (__builtin_expect(syspool.max_mspaces.load(std::memory_order_acquire) == 0, 0)) set_up_syspool();
  return &syspool;
}

// Cache records sit on cache lines of their own: each is written by its
// thread on every operation, and sharing a line would make the threads fight over it.
constexpr size_t kCacheLine = 64;
constexpr size_t kCacheRecord = (sizeof(threadcache_state) + kCacheLine - 1) & ~(kCacheLine - 1);

static threadcache_state* AllocCache(pool_state* p) {
  recursive_spin_lock_acquire(&p->lock);
  int n = 0;
  while (n < NED_CACHE_SLOTS && p->caches[n]) ++n;
  threadcache_state* tc = nullptr;
  if (n < NED_CACHE_SLOTS)
    tc = (threadcache_state*)mspace_memalign(p->mspaces[0].load(std::memory_order_acquire), kCacheLine, kCacheRecord);
  if (tc) {
    memset((void*)tc, 0, kCacheRecord);
    if (!this_thread) this_thread = pthread_self();
    tc->owner_thread = this_thread;
    tc->mspace_index = 0;
    p->caches[n] = tc;
  }
  recursive_spin_lock_release(&p->lock);
  if (tc) set_thread_value(p, n + 1);
  return tc;
}

static void check_thread_view(threadcache_state* tc, int mymspace) {
  if (mymspace < 0 || mymspace >= NED_MAX_MSPACES) abort();
  if (tc && !pthread_equal(tc->owner_thread, this_thread)) abort();
}

// A thread without a cache so far, or one that runs without.
[[gnu::noinline]] static threadcache_state* uncached_thread(pool_state* p, intptr_t v, int* mymspace) {
  threadcache_state* tc = nullptr;
  if (v < 0) {
    *mymspace = (int)-(v + 1);
  } else {
    tc = AllocCache(p);
    if (!tc) set_thread_value(p, -1);
    *mymspace = tc ? tc->mspace_index : 0;
  }
  check_thread_view(tc, *mymspace);
  return tc;
}

// The calling thread's cache in the pool (null when it has none) and its mspace index.
static inline threadcache_state* GetThreadCache(pool_state* p, int* mymspace) {
  intptr_t v = thread_value(p);
  if (__builtin_expect(v <= 0, 0)) return uncached_thread(p, v, mymspace);
  threadcache_state* tc = p->caches[v - 1];
  if (!tc) abort();
  *mymspace = tc->mspace_index;
  check_thread_view(tc, *mymspace);
  return tc;
}

static mspace take_if_free(pool_state* p, int n) {
  mspace m = p->mspaces[n].load(std::memory_order_acquire);
  return m && recursive_spin_lock_try(&m->lock) ? m : nullptr;
}

// The thread's mspace is busy: take another one that is free, or make a new
// one while the pool has room, or else wait for the thread's own.
static mspace FindMSpace(pool_state* p, threadcache_state* tc, int* mymspace, size_t size) {
  mspace m = nullptr;
  int n;
  for (n = *mymspace + 1; n < NED_MAX_MSPACES && p->mspaces[n].load(std::memory_order_acquire); ++n)
    if ((m = take_if_free(p, n))) goto found;
  for (n = 0; n < *mymspace; ++n)
    if ((m = take_if_free(p, n))) goto found;
  for (n = 0; n < NED_MAX_MSPACES && p->mspaces[n].load(std::memory_order_acquire); ++n) {
  }
  if (n < p->max_mspaces.load(std::memory_order_relaxed) && (m = create_mspace(size, 1))) {
    m->ext_pointer = p;
    recursive_spin_lock_acquire(&p->lock);
    int limit = p->max_mspaces.load(std::memory_order_relaxed);
    for (n = 0; n < limit && p->mspaces[n].load(std::memory_order_relaxed); ++n) {
    }
    if (n < limit) {
      recursive_spin_lock_acquire(&m->lock);
      p->mspaces[n].store(m, std::memory_order_release);
      recursive_spin_lock_release(&p->lock);
      goto found;
    }
    recursive_spin_lock_release(&p->lock);
    destroy_mspace(m);
  }
  m = p->mspaces[*mymspace].load(std::memory_order_acquire);
  recursive_spin_lock_acquire(&m->lock);
  return m;
found:
  if (tc)
    tc->mspace_index = n;
  else
    set_thread_value(p, -(intptr_t)(n + 1));
  *mymspace = n;
  return m;
}

// The thread's mspace, locked once by the caller's thread (release with done_with).
static mspace GetMSpace(pool_state* p, threadcache_state* tc, int* mymspace, size_t size) {
  mspace m = p->mspaces[*mymspace].load(std::memory_order_acquire);
  if (!m) abort();
  if (!recursive_spin_lock_try(&m->lock)) m = FindMSpace(p, tc, mymspace, size);
  if (m->lock.word.load(std::memory_order_relaxed) == 0) abort();
  return m;
}

static void done_with(mspace m) { recursive_spin_lock_release(&m->lock); }

// Usable size of a block handed to free or resize; a chunk not in use stops the process.
static size_t block_usable(void* mem) {
  size_t head = ch_head(mem2chunk(mem));
  size_t usable = (head & CINUSE) ? head_usable(head) : 0;
  if (!usable) abort();
  return usable;
}

// Blocks too small for a cache bin (grouped elements may be) go straight back.
static bool cacheable(size_t usable) { return usable >= NED_MIN_BLOCK && usable <= NED_CACHE_MAX_USABLE; }

// A request the cache did not serve, from the thread's mspace (or the one it moves to).
[[gnu::noinline]] static void* malloc_from_mspace(pool_state* p, threadcache_state* tc, int mymspace, size_t size) {
  mspace m = GetMSpace(p, tc, &mymspace, size);
  void* ret = mspace_malloc(m, size);
  done_with(m);
  return ret;
}

// The bodies of allocation and free, inlined into both forms so that the
// default pool's form knows its pool and reads the thread's value directly.
[[gnu::always_inline]] static inline void* pool_malloc(pool_state* p, size_t size) {
  if (size < NED_MIN_BLOCK) size = NED_MIN_BLOCK;
  int mymspace;
  threadcache_state* tc = GetThreadCache(p, &mymspace);
  if (tc && size <= NED_CACHE_MAX) {
    void* ret = threadcache_malloc(tc, &size);
    if (ret) return ret;
  }
  return malloc_from_mspace(p, tc, mymspace, size);
}

void* nedpmalloc(pool_state* p, size_t size) { return pool_malloc(pool_or_sys(p), size); }

void* nedpcalloc(pool_state* p, size_t count, size_t size) {
  size_t total;
  if (__builtin_mul_overflow(count, size, &total)) return nullptr;
  p = pool_or_sys(p);
  if (total < NED_MIN_BLOCK) total = NED_MIN_BLOCK;
  int mymspace;
  threadcache_state* tc = GetThreadCache(p, &mymspace);
  void* ret = nullptr;
  if (tc && total <= NED_CACHE_MAX) {
    ret = threadcache_malloc(tc, &total);
    if (ret) memset(ret, 0, total);
  }
  if (!ret) {
    mspace m = GetMSpace(p, tc, &mymspace, total);
    ret = mspace_malloc(m, total);
    if (ret && !is_mmapped(mem2chunk(ret))) memset(ret, 0, total);  // fresh mappings are zero already
    done_with(m);
  }
  return ret;
}

void* nedprealloc(pool_state* p, void* mem, size_t size) {
  p = pool_or_sys(p);
  if (size < NED_MIN_BLOCK) size = NED_MIN_BLOCK;
  int mymspace;
  threadcache_state* tc = GetThreadCache(p, &mymspace);
  if (tc && mem && size <= NED_CACHE_MAX) {
    size_t memsize = block_usable(mem);
    void* ret = threadcache_malloc(tc, &size);
    if (ret) {
      memcpy(ret, mem, memsize < size ? memsize : size);
      if (cacheable(memsize))
        threadcache_free(tc, mem, memsize);
      else
        mspace_free(nullptr, mem);
      return ret;
    }
  }
  if (mem) {
    // Resized under its own mspace's lock only: holding the thread's mspace as
    // well would let two threads resizing each other's blocks wait forever.
    return mspace_realloc(nullptr, mem, size);
  }
  mspace m = GetMSpace(p, tc, &mymspace, size);
  void* ret = mspace_malloc(m, size);
  done_with(m);
  return ret;
}

[[gnu::always_inline]] static inline void pool_free(pool_state* p, void* mem) {
  int mymspace;
  threadcache_state* tc = GetThreadCache(p, &mymspace);
  size_t memsize = block_usable(mem);
  if (tc && cacheable(memsize))
    threadcache_free(tc, mem, memsize);
  else
    mspace_free(nullptr, mem);
}

void nedpfree(pool_state* p, void* mem) {
  if (mem) pool_free(pool_or_sys(p), mem);
}

void* nedpmemalign(pool_state* p, size_t alignment, size_t size) {
  p = pool_or_sys(p);
  if (size < NED_MIN_BLOCK) size = NED_MIN_BLOCK;
  int mymspace;
  threadcache_state* tc = GetThreadCache(p, &mymspace);
  mspace m = GetMSpace(p, tc, &mymspace, size);
  void* ret = mspace_memalign(m, alignment, size);
  done_with(m);
  return ret;
}

void** nedpindependent_calloc(pool_state* p, size_t count, size_t size, void** chunks) {
  p = pool_or_sys(p);
  if (size < NED_MIN_BLOCK) size = NED_MIN_BLOCK;
  size_t hint;
  if (__builtin_mul_overflow(count, size, &hint)) hint = 0;
  int mymspace;
  threadcache_state* tc = GetThreadCache(p, &mymspace);
  mspace m = GetMSpace(p, tc, &mymspace, hint);
  void** ret = mspace_independent_calloc(m, count, size, chunks);
  done_with(m);
  return ret;
}

void** nedpindependent_comalloc(pool_state* p, size_t count, size_t* sizes, void** chunks) {
  p = pool_or_sys(p);
  int mymspace;
  threadcache_state* tc = GetThreadCache(p, &mymspace);
  mspace m = GetMSpace(p, tc, &mymspace, 0);
  void** ret = mspace_independent_comalloc(m, count, sizes, chunks);
  done_with(m);
  return ret;
}

struct mallinfo nedpmallinfo(pool_state* p) {
  p = pool_or_sys(p);
  struct mallinfo ret = {};
  for (int n = 0; n < NED_MAX_MSPACES; ++n) {
    mspace m = p->mspaces[n].load(std::memory_order_acquire);
    if (!m) break;
    struct mallinfo t = mspace_mallinfo(m);
    ret.arena += t.arena;
    ret.ordblks += t.ordblks;
    ret.hblkhd += t.hblkhd;
    ret.usmblks += t.usmblks;
    ret.uordblks += t.uordblks;
    ret.fordblks += t.fordblks;
    ret.keepcost += t.keepcost;
  }
  return ret;
}

int nedpmalloc_trim(pool_state* p, size_t pad) {
  p = pool_or_sys(p);
  int ret = 0;
  for (int n = 0; n < NED_MAX_MSPACES; ++n) {
    mspace m = p->mspaces[n].load(std::memory_order_acquire);
    if (!m) break;
    ret += mspace_trim(m, pad);
  }
  return ret;
}

void nedpmalloc_stats(pool_state* p) {
  p = pool_or_sys(p);
  for (int n = 0; n < NED_MAX_MSPACES; ++n) {
    mspace m = p->mspaces[n].load(std::memory_order_acquire);
    if (!m) break;
    mspace_malloc_stats(m);
  }
}

size_t nedpmalloc_footprint(pool_state* p) {
  p = pool_or_sys(p);
  size_t ret = 0;
  for (int n = 0; n < NED_MAX_MSPACES; ++n) {
    mspace m = p->mspaces[n].load(std::memory_order_acquire);
    if (!m) break;
    ret += mspace_footprint(m);
  }
  return ret;
}

int nedpmallopt(pool_state*, int param_number, int value) { return mspace_mallopt(param_number, value); }

void nedpsetvalue(pool_state* p, void* value) { pool_or_sys(p)->user_value = value; }

pool_state* nedcreatepool(size_t capacity, int threads) {
  void* mem = nedpcalloc(nullptr, 1, sizeof(pool_state));
  if (!mem) return nullptr;
  pool_state* p = new (mem) pool_state();
  if (!InitPool(p, capacity, threads)) {
    nedpfree(nullptr, p);
    return nullptr;
  }
  return p;
}

// Hands the cache's blocks back, marks it retired and frees its record (pool lock held).
static void retire_cache(pool_state* p, int slot) {
  threadcache_state* tc = p->caches[slot];
  ++tc->free_count;
  RemoveCacheEntries(tc, 0);
  if (tc->cached_bytes) abort();
  tc->mspace_index = -1;
  tc->owner_thread = 0;
  mspace_free(nullptr, tc);
  p->caches[slot] = nullptr;
}

void neddestroypool(pool_state* p) {
  if (!p || p == &syspool) return;  // the default pool lives as long as the process
  recursive_spin_lock_acquire(&p->lock);
  for (int n = 0; n < NED_CACHE_SLOTS; ++n)
    if (p->caches[n]) retire_cache(p, n);
  for (int n = 0; n < NED_MAX_MSPACES; ++n) {
    mspace m = p->mspaces[n].load(std::memory_order_relaxed);
    if (!m) continue;
    destroy_mspace(m);
    p->mspaces[n].store(nullptr, std::memory_order_relaxed);
  }
  recursive_spin_lock_release(&p->lock);
  pthread_key_delete(p->cache_key);
  p->~pool_state();
  nedpfree(nullptr, p);
}

void neddisablethreadcache(pool_state* p) {
  p = pool_or_sys(p);
  intptr_t v = thread_value(p);
  if (v == 0) {
    set_thread_value(p, -1);
    return;
  }
  if (v < 0) return;
  threadcache_state* tc = p->caches[v - 1];
  double lookups = tc->malloc_count;
  printf("Threadcache utilisation: %lf%% in cache with %lf%% lost to other threads\n", 100.0 * tc->hit_count / lookups,
         100.0 * (lookups - tc->free_count) / lookups);
  set_thread_value(p, -(intptr_t)(tc->mspace_index + 1));
  recursive_spin_lock_acquire(&p->lock);
  retire_cache(p, (int)(v - 1));
  recursive_spin_lock_release(&p->lock);
}

size_t nedblksize(void* mem) { return mem ? block_usable(mem) : 0; }

void* nedgetvalue(pool_state** p, void* mem) {
  if (!mem) return nullptr;
  malloc_chunk* c = mem2chunk(mem);
  if (((uintptr_t)mem & MS_ALIGN_MASK) && ch_head(c) != FENCEPOST_HEAD) return nullptr;
  if (!cinuse(c) || !pinuse(next_chunk(c))) return nullptr;
  if (!pinuse(c) && !is_mmapped(c) && next_chunk(chunk_minus(c, ch_foot(c))) != c) return nullptr;
  malloc_state* fm = ms_owner(c);
  if (!ms_ok_magic(fm) || !ms_ok_address(fm, c) || !fm->ext_pointer) return nullptr;
  pool_state* owner = (pool_state*)fm->ext_pointer;
  if (p) *p = owner;
  return owner->user_value;
}

void* nedmalloc(size_t size) { return pool_malloc(pool_or_sys(nullptr), size); }
void* nedcalloc(size_t count, size_t size) { return nedpcalloc(nullptr, count, size); }
void* nedrealloc(void* mem, size_t size) { return nedprealloc(nullptr, mem, size); }
void nedfree(void* mem) {
  if (mem) pool_free(pool_or_sys(nullptr), mem);
}
void* nedmemalign(size_t alignment, size_t size) { return nedpmemalign(nullptr, alignment, size); }
void** nedindependent_calloc(size_t count, size_t size, void** chunks) {
  return nedpindependent_calloc(nullptr, count, size, chunks);
}
void** nedindependent_comalloc(size_t count, size_t* sizes, void** chunks) {
  return nedpindependent_comalloc(nullptr, count, sizes, chunks);
}
struct mallinfo nedmallinfo() { return nedpmallinfo(nullptr); }
int nedmalloc_trim(size_t pad) { return nedpmalloc_trim(nullptr, pad); }
void nedmalloc_stats() { nedpmalloc_stats(nullptr); }
size_t nedmalloc_footprint() { return nedpmalloc_footprint(nullptr); }
int nedmallopt(int param_number, int value) { return nedpmallopt(nullptr, param_number, value); }
void nedsetvalue(void* value) { nedpsetvalue(nullptr, value); }

#ifndef DUV_POOL_ALLOC
#define DUV_POOL_ALLOC 0
#endif

int UTL_heap_route_to_pool() { return DUV_POOL_ALLOC ? 1 : 0; }
