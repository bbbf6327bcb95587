// Blocks of an mspace: allocation from the bins, the victim and top, freeing
// with coalescing, resizing, aligned and grouped allocation, and the lock.
#include "core/utl_mspace.h"
#include <errno.h>
#include <sched.h>
#include <string.h>
#include "core/utl_mspace_chunk.h"

void recursive_spin_lock_clear(recursive_spin_lock* l) {
  l->owner.store(0, std::memory_order_relaxed);
  l->count = 0;
  l->word.store(0, std::memory_order_release);
}

static void take_as_owner(recursive_spin_lock* l, pthread_t me) {
  if (l->owner.load(std::memory_order_relaxed) != 0) abort();
  l->owner.store(me, std::memory_order_relaxed);
  l->count = 1;
}

void recursive_spin_lock_acquire(recursive_spin_lock* l) {
  pthread_t me = pthread_self();
  if (l->owner.load(std::memory_order_relaxed) == me) {
    ++l->count;
    return;
  }
  unsigned spins = 0;
  for (;;) {
    unsigned expected = 0;
    if (l->word.load(std::memory_order_relaxed) == 0 &&
        l->word.compare_exchange_weak(expected, 1, std::memory_order_acquire, std::memory_order_relaxed))
      break;
    if (++spins == 64) {
      sched_yield();
      spins = 0;
    }
  }
  take_as_owner(l, me);
}

int recursive_spin_lock_try(recursive_spin_lock* l) {
  pthread_t me = pthread_self();
  if (l->owner.load(std::memory_order_relaxed) == me) {
    ++l->count;
    return 1;
  }
  unsigned expected = 0;
  if (!l->word.compare_exchange_strong(expected, 1, std::memory_order_acquire, std::memory_order_relaxed)) return 0;
  take_as_owner(l, me);
  return 1;
}

void recursive_spin_lock_release(recursive_spin_lock* l) {
  if (l->owner.load(std::memory_order_relaxed) != pthread_self()) abort();
  if (--l->count == 0) {
    l->owner.store(0, std::memory_order_relaxed);
    l->word.exchange(0, std::memory_order_release);
  }
}

static malloc_state* checked(mspace msp) {
  if (!ms_ok_magic(msp)) ms_corrupt();
  return msp;
}

// The mspace that owns an in-use block, checked. The in-use bit is tested
// first: once a chunk is free its footer holds a size, not an owner.
static malloc_state* owner_of(void* mem) {
  malloc_chunk* p = mem2chunk(mem);
  if (!cinuse(p)) ms_corrupt();
  return checked(ms_owner(p));
}

static inline unsigned idx2bit(unsigned i) { return 1u << i; }
static inline unsigned least_bit(unsigned x) { return x & (0u - x); }
static inline unsigned left_bits(unsigned x) { return (x << 1) | (0u - (x << 1)); }

static void* malloc_locked(malloc_state* m, size_t bytes) {
  size_t nb;
  if (bytes <= MS_MAX_SMALL_REQUEST) {
    nb = ms_request2size(bytes);
    unsigned idx = ms_small_index(nb);
    unsigned smallbits = m->small_map >> idx;
    if (smallbits & 3u) {  // an exact fit, or one 8 bytes larger: used whole
      idx += ~smallbits & 1u;
      malloc_chunk* b = ms_smallbin_at(m, idx);
      malloc_chunk* p = b->fd;
      ms_unlink_first_small_chunk(m, b, p, idx);
      ms_set_inuse_and_pinuse(m, p, ms_small_index2size(idx));
      return chunk2mem(p);
    }
    if (nb > m->dv_size) {
      if (smallbits) {  // split the first chunk of the next non-empty small bin
        unsigned leftbits = (smallbits << idx) & left_bits(idx2bit(idx));
        unsigned i = (unsigned)__builtin_ctz(least_bit(leftbits));
        malloc_chunk* b = ms_smallbin_at(m, i);
        malloc_chunk* p = b->fd;
        ms_unlink_first_small_chunk(m, b, p, i);
        size_t rsize = ms_small_index2size(i) - nb;
        if (rsize < MS_MIN_CHUNK) {
          ms_set_inuse_and_pinuse(m, p, ms_small_index2size(i));
        } else {
          ms_set_size_and_pinuse_of_inuse(m, p, nb);
          malloc_chunk* r = chunk_plus(p, nb);
          ms_set_size_and_pinuse_of_free(r, rsize);
          ms_replace_dv(m, r, rsize);
        }
        return chunk2mem(p);
      }
      if (m->tree_map) return ms_tmalloc_small(m, nb);
    }
  } else if (bytes >= MS_MAX_REQUEST) {
    nb = MS_MAX_SIZE;  // no chunk is this large: straight to system memory, which refuses it
  } else {
    nb = ms_pad_request(bytes);
    if (m->tree_map) {
      void* mem = ms_tmalloc_large(m, nb);
      if (mem) return mem;
    }
  }

  if (nb <= m->dv_size) {
    size_t rsize = m->dv_size - nb;
    malloc_chunk* p = m->dv;
    if (rsize >= MS_MIN_CHUNK) {
      malloc_chunk* r = m->dv = chunk_plus(p, nb);
      m->dv_size = rsize;
      ms_set_size_and_pinuse_of_free(r, rsize);
      ms_set_size_and_pinuse_of_inuse(m, p, nb);
    } else {
      size_t dvs = m->dv_size;
      m->dv_size = 0;
      m->dv = nullptr;
      ms_set_inuse_and_pinuse(m, p, dvs);
    }
    return chunk2mem(p);
  }
  if (nb < m->top_size) return ms_carve_top(m, nb);
  return ms_sys_alloc(m, nb);
}

void* ms_internal_malloc(malloc_state* m, size_t bytes) {
  ms_lock(m);
  void* mem = malloc_locked(m, bytes);
  ms_unlock(m);
  return mem;
}

static void free_locked(malloc_state* m, malloc_chunk* p) {
  if (!ms_ok_address(m, p) || !cinuse(p)) ms_corrupt();
  size_t psize = chunksize(p);
  malloc_chunk* next = chunk_plus(p, psize);
  if (!pinuse(p)) {
    size_t prevsize = ch_foot(p);
    if (prevsize & MS_MAPPED_FOOT) {
      ms_unmap_chunk(m, p);
      return;
    }
    malloc_chunk* prev = chunk_minus(p, prevsize);
    psize += prevsize;
    p = prev;
    if (!ms_ok_address(m, prev)) ms_corrupt();
    if (p != m->dv) {
      ms_unlink_chunk(m, p, prevsize);
    } else if ((ch_head(next) & INUSE_BITS) == INUSE_BITS) {
      m->dv_size = psize;
      ms_set_free_with_pinuse(p, psize, next);
      return;
    }
  }
  if (!(p < next) || !pinuse(next)) ms_corrupt();  // a chunk freed twice fails here
  if (!cinuse(next)) {
    if (next == m->top) {
      size_t tsize = m->top_size += psize;
      m->top = p;
      ch_set_head(p, tsize | PINUSE);
      if (p == m->dv) {
        m->dv = nullptr;
        m->dv_size = 0;
      }
      if (ms_should_trim(m, tsize)) ms_sys_trim(m, 0);
      return;
    }
    if (next == m->dv) {
      size_t dsize = m->dv_size += psize;
      m->dv = p;
      ms_set_size_and_pinuse_of_free(p, dsize);
      return;
    }
    size_t nsize = chunksize(next);
    psize += nsize;
    ms_unlink_chunk(m, next, nsize);
    ms_set_size_and_pinuse_of_free(p, psize);
    if (p == m->dv) {
      m->dv_size = psize;
      return;
    }
  } else {
    ms_set_free_with_pinuse(p, psize, next);
  }
  if (ms_is_small(psize)) {
    ms_insert_small_chunk(m, p, psize);
  } else {
    ms_insert_large_chunk(m, p, psize);
    if (--m->release_checks == 0) ms_release_unused_segments(m);
  }
}

void ms_internal_free(malloc_state* m, void* mem) {
  ms_lock(m);
  free_locked(m, mem2chunk(mem));
  ms_unlock(m);
}

void* mspace_malloc(mspace msp, size_t bytes) { return ms_internal_malloc(checked(msp), bytes); }

void mspace_free(mspace, void* mem) {
  if (!mem) return;
  ms_internal_free(owner_of(mem), mem);
}

void* mspace_calloc(mspace msp, size_t n, size_t elem_size) {
  malloc_state* m = checked(msp);
  size_t req = 0;
  if (n != 0 && __builtin_mul_overflow(n, elem_size, &req)) req = MS_MAX_SIZE;
  void* mem = ms_internal_malloc(m, req);
  if (mem && !is_mmapped(mem2chunk(mem))) memset(mem, 0, req);  // fresh mappings are zero already
  return mem;
}

static void* internal_realloc(malloc_state* m, void* oldmem, size_t bytes) {
  if (bytes >= MS_MAX_REQUEST) {
    errno = ENOMEM;
    return nullptr;
  }
  ms_lock(m);
  malloc_chunk* oldp = mem2chunk(oldmem);
  size_t oldsize = chunksize(oldp);
  malloc_chunk* next = chunk_plus(oldp, oldsize);
  if (!ms_ok_address(m, oldp) || !cinuse(oldp) || !(oldp < next) || !pinuse(next)) ms_corrupt();
  size_t nb = ms_request2size(bytes);
  malloc_chunk* newp = nullptr;
  void* extra = nullptr;
  if (is_mmapped(oldp)) {
    // A mapping stays when it is not much larger than needed; it is never moved in place.
    size_t gran = mparams.granularity.load(std::memory_order_relaxed);
    if (!ms_is_small(nb) && oldsize >= nb + MS_WORD && oldsize - nb <= (gran << 1)) newp = oldp;
  } else if (oldsize >= nb) {
    size_t rsize = oldsize - nb;
    newp = oldp;
    if (rsize >= MS_MIN_CHUNK) {
      malloc_chunk* rem = chunk_plus(newp, nb);
      ms_set_inuse(m, newp, nb);
      ms_set_inuse_and_pinuse(m, rem, rsize);
      extra = chunk2mem(rem);
    }
  } else if (next == m->top && oldsize + m->top_size > nb) {
    size_t newtopsize = oldsize + m->top_size - nb;
    malloc_chunk* newtop = chunk_plus(oldp, nb);
    ms_set_inuse(m, oldp, nb);
    ch_set_head(newtop, newtopsize | PINUSE);
    m->top = newtop;
    m->top_size = newtopsize;
    newp = oldp;
  }
  ms_unlock(m);
  if (newp) {
    if (extra) ms_internal_free(m, extra);
    return chunk2mem(newp);
  }
  void* newmem = ms_internal_malloc(m, bytes);
  if (newmem) {
    size_t oc = chunk_usable(oldp);
    memcpy(newmem, oldmem, oc < bytes ? oc : bytes);
    ms_internal_free(m, oldmem);
  }
  return newmem;
}

void* mspace_realloc(mspace msp, void* mem, size_t bytes) {
  if (!mem) return mspace_malloc(msp, bytes);
  return internal_realloc(owner_of(mem), mem, bytes);
}

static void* internal_memalign(malloc_state* m, size_t alignment, size_t bytes) {
  if (alignment <= MS_ALIGN) return ms_internal_malloc(m, bytes);
  if (alignment < MS_MIN_CHUNK) alignment = MS_MIN_CHUNK;
  if (alignment & (alignment - 1)) {
    // Raised to the next power of two; beyond the largest one there is none.
    if (alignment > (MS_MAX_SIZE >> 1) + 1) {
      errno = ENOMEM;
      return nullptr;
    }
    size_t a = MS_ALIGN << 1;
    while (a < alignment) a <<= 1;
    alignment = a;
  }
  if (bytes >= MS_MAX_REQUEST - alignment) {
    errno = ENOMEM;
    return nullptr;
  }
  size_t nb = ms_request2size(bytes);
  char* mem = (char*)ms_internal_malloc(m, nb + alignment + MS_MIN_CHUNK - MS_CHUNK_OVERHEAD);
  if (!mem) return nullptr;
  void* leader = nullptr;
  void* trailer = nullptr;
  malloc_chunk* p = mem2chunk(mem);
  ms_lock(m);
  if ((uintptr_t)mem % alignment != 0) {
    // The first aligned block far enough into the chunk that the part in
    // front of it is a whole chunk of its own.
    char* br = (char*)mem2chunk((void*)(((uintptr_t)mem + alignment - 1) & (0 - alignment)));
    char* pos = (size_t)(br - (char*)p) >= MS_MIN_CHUNK ? br : br + alignment;
    malloc_chunk* newp = (malloc_chunk*)pos;
    size_t leadsize = (size_t)(pos - (char*)p);
    size_t newsize = chunksize(p) - leadsize;
    if (is_mmapped(p)) {
      ch_set_foot(newp, ch_foot(p) + leadsize);
      ch_set_head(newp, newsize | CINUSE);
    } else {
      ms_set_inuse(m, newp, newsize);
      ms_set_inuse(m, p, leadsize);
      leader = chunk2mem(p);
    }
    p = newp;
  }
  if (!is_mmapped(p)) {
    size_t size = chunksize(p);
    if (size > nb + MS_MIN_CHUNK) {
      malloc_chunk* rem = chunk_plus(p, nb);
      ms_set_inuse(m, p, nb);
      ms_set_inuse(m, rem, size - nb);
      trailer = chunk2mem(rem);
    }
  }
  if ((uintptr_t)chunk2mem(p) % alignment != 0) ms_corrupt();
  ms_unlock(m);
  if (leader) ms_internal_free(m, leader);
  if (trailer) ms_internal_free(m, trailer);
  return chunk2mem(p);
}

void* mspace_memalign(mspace msp, size_t alignment, size_t bytes) {
  return internal_memalign(checked(msp), alignment, bytes);
}

// The sizes of a grouped allocation: every element's chunk size (element_size,
// or 0 when they differ), their sum, and the chunk size of a pointer array of n
// (0 when the caller gives the array). False when a sum does not fit a word.
static bool ialloc_sizes(size_t n, const size_t* sizes, int opts, bool need_array, size_t* element_size,
                         size_t* contents_size, size_t* array_size) {
  *element_size = *contents_size = *array_size = 0;
  if (need_array) {
    size_t bytes;
    if (__builtin_mul_overflow(n, sizeof(void*), &bytes) || bytes >= MS_MAX_REQUEST) return false;
    *array_size = ms_request2size(bytes);
  }
  if (opts & 1) {
    if (sizes[0] >= MS_MAX_REQUEST) return false;
    *element_size = ms_request2size(sizes[0]);
    if (__builtin_mul_overflow(n, *element_size, contents_size)) return false;
  } else {
    for (size_t i = 0; i < n; ++i)
      if (sizes[i] >= MS_MAX_REQUEST || __builtin_add_overflow(*contents_size, ms_request2size(sizes[i]), contents_size))
        return false;
  }
  size_t total;
  return !__builtin_add_overflow(*contents_size, *array_size, &total) && total < MS_MAX_REQUEST;
}

// Grouped allocation: one chunk cut into consecutive in-use chunks. opts bit 0:
// every element has sizes[0] bytes; bit 1: the elements are cleared.
static void** ialloc(malloc_state* m, size_t n, size_t* sizes, int opts, void** chunks) {
  if (n == 0) return chunks ? chunks : (void**)ms_internal_malloc(m, 0);
  size_t element_size, contents_size, array_size;
  if (!ialloc_sizes(n, sizes, opts, chunks == nullptr, &element_size, &contents_size, &array_size)) {
    errno = ENOMEM;
    return nullptr;
  }
  // Held across the call so that no other thread sees direct mapping switched off.
  ms_lock(m);
  unsigned could_map = m->flags.fetch_and(~MS_USE_MMAP, std::memory_order_relaxed) & MS_USE_MMAP;
  char* mem = (char*)ms_internal_malloc(m, contents_size + array_size - MS_CHUNK_OVERHEAD);
  if (could_map) m->flags.fetch_or(MS_USE_MMAP, std::memory_order_relaxed);
  if (!mem) {
    ms_unlock(m);
    return nullptr;
  }
  malloc_chunk* p = mem2chunk(mem);
  size_t remainder_size = chunksize(p);
  if (opts & 2) memset(mem, 0, remainder_size - MS_CHUNK_OVERHEAD - array_size);
  void** marray = chunks;
  if (!marray) {  // the array is the last part of the chunk
    malloc_chunk* array_chunk = chunk_plus(p, contents_size);
    marray = (void**)chunk2mem(array_chunk);
    ms_set_size_and_pinuse_of_inuse(m, array_chunk, remainder_size - contents_size);
    remainder_size = contents_size;
  }
  for (size_t i = 0;; ++i) {
    marray[i] = chunk2mem(p);
    if (i == n - 1) {  // the last element takes what is left
      ms_set_size_and_pinuse_of_inuse(m, p, remainder_size);
      break;
    }
    size_t sz = element_size ? element_size : ms_request2size(sizes[i]);
    remainder_size -= sz;
    ms_set_size_and_pinuse_of_inuse(m, p, sz);
    p = chunk_plus(p, sz);
  }
  ms_unlock(m);
  return marray;
}

void** mspace_independent_calloc(mspace msp, size_t n, size_t elem_size, void** chunks) {
  size_t sz = elem_size;
  return ialloc(checked(msp), n, &sz, 3, chunks);
}

void** mspace_independent_comalloc(mspace msp, size_t n, size_t* sizes, void** chunks) {
  return ialloc(checked(msp), n, sizes, 0, chunks);
}
