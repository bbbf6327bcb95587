// System memory of the mspace heap: parameters, mspace creation, growing by
// segments, directly mapped chunks, trimming and statistics.
#include "core/utl_heap_sys.h"
#include <errno.h>
#include <stdio.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>
#include <new>
#include "core/utl_mspace_chunk.h"

malloc_params mparams;
static recursive_spin_lock magic_init_mutex;

int init_mparams() {
  if (mparams.page_size.load(std::memory_order_acquire) != 0) return 0;
  mparams.mmap_threshold.store((size_t)256 << 10, std::memory_order_relaxed);
  mparams.trim_threshold.store((size_t)2 << 20, std::memory_order_relaxed);
  mparams.default_flags.store(MS_USE_MMAP | MS_USE_LOCK | MS_NONCONTIGUOUS, std::memory_order_relaxed);
  // A footer is its mspace's address XOR this run's magic, so a stray word is
  // unlikely to pass for one; the low bits stay clear like an address's.
  size_t s = (size_t)time(nullptr) ^ (size_t)0x55555555U;
  s |= 8;
  s &= ~(size_t)7;
  recursive_spin_lock_acquire(&magic_init_mutex);
  if (mparams.magic.load(std::memory_order_relaxed) == 0) mparams.magic.store(s, std::memory_order_relaxed);
  recursive_spin_lock_release(&magic_init_mutex);
  long page = sysconf(_SC_PAGESIZE);
  mparams.granularity.store((size_t)1 << 20, std::memory_order_relaxed);
  mparams.page_size.store(page > 0 ? (size_t)page : 4096, std::memory_order_release);
  return 0;
}

int mspace_mallopt(int param_number, int value) {
  ms_ensure_init();
  size_t val = value == -1 ? MS_MAX_SIZE : (size_t)value;
  switch (param_number) {
    case MSPACE_TRIM_THRESHOLD:
      mparams.trim_threshold.store(val, std::memory_order_relaxed);
      return 1;
    case MSPACE_GRANULARITY:
      if (val < mparams.page_size.load(std::memory_order_relaxed) || (val & (val - 1)) != 0) return 0;
      mparams.granularity.store(val, std::memory_order_relaxed);
      return 1;
    case MSPACE_MMAP_THRESHOLD:
      mparams.mmap_threshold.store(val, std::memory_order_relaxed);
      return 1;
    default:
      return 0;
  }
}

// s plus one granule, rounded down to whole granules (at least one granule
// more than s needs when s is already whole).
static size_t granule_round(size_t s) {
  size_t g = mparams.granularity.load(std::memory_order_relaxed);
  return (s + g) & ~(g - 1);
}

static char* map_region(size_t len) {
  void* p = mmap(nullptr, len, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : (char*)p;
}

static void add_footprint(malloc_state* m, size_t n) {
  size_t f = m->footprint.load(std::memory_order_relaxed) + n;
  m->footprint.store(f, std::memory_order_relaxed);
  if (f > m->max_footprint.load(std::memory_order_relaxed)) m->max_footprint.store(f, std::memory_order_relaxed);
}

static void sub_footprint(malloc_state* m, size_t n) {
  m->footprint.store(m->footprint.load(std::memory_order_relaxed) - n, std::memory_order_relaxed);
}

static bool segment_holds(const malloc_segment* sp, const void* a) {
  return (const char*)a >= sp->base && (const char*)a < sp->base + sp->size;
}

static malloc_segment* segment_holding(malloc_state* m, const void* a) {
  for (malloc_segment* sp = &m->segment; sp; sp = sp->next)
    if (segment_holds(sp, a)) return sp;
  return nullptr;
}

// Whether any segment record (the state's own included) lies inside ss.
static bool has_segment_link(malloc_state* m, const malloc_segment* ss) {
  for (malloc_segment* sp = &m->segment; sp; sp = sp->next)
    if (segment_holds(ss, sp)) return true;
  return false;
}

static bool own_mapping(const malloc_segment* sp) {
  return (sp->flags & MS_SEG_MAPPED) && !(sp->flags & MS_SEG_EXTERN);
}

// Top becomes the chunk at p (moved up to alignment) of psize bytes, followed by the top foot.
static void init_top(malloc_state* m, malloc_chunk* p, size_t psize) {
  size_t offset = ms_align_offset(chunk2mem(p));
  p = chunk_plus(p, offset);
  psize -= offset;
  m->top = p;
  m->top_size = psize;
  ch_set_head(p, psize | PINUSE);
  ch_set_head(chunk_plus(p, psize), MS_TOP_FOOT);
  m->trim_check = mparams.trim_threshold.load(std::memory_order_relaxed);
}

static malloc_state* init_user_mstate(char* tbase, size_t tsize) {
  malloc_chunk* mn = align_as_chunk(tbase);
  malloc_state* m = new (chunk2mem(mn)) malloc_state();
  ch_set_head(mn, MS_STATE_CHUNK | INUSE_BITS);
  m->segment.base = m->least_addr = tbase;
  m->segment.size = tsize;
  m->footprint.store(tsize, std::memory_order_relaxed);
  m->max_footprint.store(tsize, std::memory_order_relaxed);
  m->magic = ms_magic();
  m->release_checks = MS_RELEASE_CHECK_RATE;
  m->flags.store(mparams.default_flags.load(std::memory_order_relaxed) | MS_NONCONTIGUOUS, std::memory_order_relaxed);
  m->ext_pointer = nullptr;
  ms_init_bins(m);
  malloc_chunk* top = chunk_plus(mn, MS_STATE_CHUNK);
  init_top(m, top, (size_t)(tbase + tsize - (char*)top) - MS_TOP_FOOT);
  ms_mark_foot(m, mn, MS_STATE_CHUNK);
  return m;
}

static void set_lock(malloc_state* m, int locked) {
  if (locked)
    m->flags.fetch_or(MS_USE_LOCK, std::memory_order_relaxed);
  else
    m->flags.fetch_and(~MS_USE_LOCK, std::memory_order_relaxed);
}

mspace create_mspace(size_t capacity, int locked) {
  ms_ensure_init();
  size_t page = mparams.page_size.load(std::memory_order_relaxed);
  if (capacity >= (size_t)0 - (MS_STATE_CHUNK + MS_TOP_FOOT + page)) return nullptr;
  size_t rs = capacity == 0 ? mparams.granularity.load(std::memory_order_relaxed) : capacity + MS_TOP_FOOT + MS_STATE_CHUNK;
  size_t tsize = granule_round(rs);
  char* tbase = map_region(tsize);
  if (!tbase) return nullptr;
  malloc_state* m = init_user_mstate(tbase, tsize);
  m->segment.flags = MS_SEG_MAPPED;
  set_lock(m, locked);
  return m;
}

mspace create_mspace_with_base(void* base, size_t capacity, int locked) {
  ms_ensure_init();
  size_t page = mparams.page_size.load(std::memory_order_relaxed);
  if (capacity <= MS_STATE_CHUNK + MS_TOP_FOOT || capacity >= (size_t)0 - (MS_STATE_CHUNK + MS_TOP_FOOT + page))
    return nullptr;
  // A caller's region need not be aligned: the state moves up to alignment and
  // the region's end comes down to it, so that top keeps a whole chunk size.
  char* tbase = (char*)base;
  capacity -= (uintptr_t)(tbase + capacity) & MS_ALIGN_MASK;
  size_t lead = (size_t)((char*)align_as_chunk(tbase) - tbase);
  if (capacity <= lead + MS_STATE_CHUNK + MS_TOP_FOOT) return nullptr;
  malloc_state* m = init_user_mstate(tbase, capacity);
  m->segment.flags = MS_SEG_EXTERN;
  set_lock(m, locked);
  return m;
}

size_t destroy_mspace(mspace msp) {
  if (!ms_ok_magic(msp)) ms_corrupt();
  size_t freed = 0;
  // The state lies in the first region, so read each record before its region goes.
  malloc_segment* sp = &msp->segment;
  while (sp) {
    char* base = sp->base;
    size_t size = sp->size;
    bool own = own_mapping(sp);
    sp = sp->next;
    if (own && munmap(base, size) == 0) freed += size;
  }
  return freed;
}

// A chunk in a mapping of its own: offset, chunk, then footer, fencepost and a zero word.
static void* mmap_alloc(malloc_state* m, size_t nb) {
  size_t mmsize = granule_round(nb + 6 * MS_WORD + MS_ALIGN_MASK);
  if (mmsize <= nb) return nullptr;  // wrapped round
  char* mm = map_region(mmsize);
  if (!mm) return nullptr;
  size_t offset = ms_align_offset(mm + 2 * MS_WORD);
  size_t psize = mmsize - offset - MS_MMAP_FOOT_PAD;
  malloc_chunk* p = (malloc_chunk*)(mm + offset);
  ch_set_foot(p, offset | MS_MAPPED_FOOT);
  ch_set_head(p, psize | CINUSE);
  ms_mark_foot(m, p, psize);
  ch_set_head(chunk_plus(p, psize), FENCEPOST_HEAD);
  ch_set_head(chunk_plus(p, psize + MS_WORD), 0);
  if (mm < m->least_addr) m->least_addr = mm;
  add_footprint(m, mmsize);
  if ((uintptr_t)chunk2mem(p) & MS_ALIGN_MASK) ms_corrupt();
  return chunk2mem(p);
}

int ms_unmap_chunk(malloc_state* m, malloc_chunk* p) {
  size_t offset = ch_foot(p) & ~MS_MAPPED_FOOT;
  size_t len = chunksize(p) + offset + MS_MMAP_FOOT_PAD;
  if (munmap((char*)p - offset, len) != 0) return 0;
  sub_footprint(m, len);
  return 1;
}

// A new region just below a segment: the request comes from its start, the
// rest joins the segment's old first chunk.
static void* prepend_alloc(malloc_state* m, char* newbase, char* oldbase, size_t nb) {
  malloc_chunk* p = align_as_chunk(newbase);
  malloc_chunk* oldfirst = align_as_chunk(oldbase);
  size_t psize = (size_t)((char*)oldfirst - (char*)p);
  malloc_chunk* q = chunk_plus(p, nb);
  size_t qsize = psize - nb;
  ms_set_size_and_pinuse_of_inuse(m, p, nb);
  if (oldfirst == m->top) {
    size_t tsize = m->top_size += qsize;
    m->top = q;
    ch_set_head(q, tsize | PINUSE);
  } else if (oldfirst == m->dv) {
    size_t dsize = m->dv_size += qsize;
    m->dv = q;
    ms_set_size_and_pinuse_of_free(q, dsize);
  } else {
    if (!cinuse(oldfirst)) {
      size_t nsize = chunksize(oldfirst);
      ms_unlink_chunk(m, oldfirst, nsize);
      oldfirst = chunk_plus(oldfirst, nsize);
      qsize += nsize;
    }
    ms_set_free_with_pinuse(q, qsize, oldfirst);
    ms_insert_chunk(m, q, qsize);
  }
  return chunk2mem(p);
}

// A new region that touches no segment: top moves there, and the end of the
// old top's region gets a chunk holding the old segment record, then fenceposts.
static void add_segment(malloc_state* m, char* tbase, size_t tsize) {
  malloc_chunk* old_top = m->top;
  malloc_segment* oldsp = segment_holding(m, old_top);
  char* old_end = oldsp->base + oldsp->size;
  char* rawsp = old_end - (MS_SEGMENT_CHUNK + 4 * MS_WORD + MS_ALIGN_MASK);
  char* asp = rawsp + ms_align_offset(rawsp + 2 * MS_WORD);
  char* csp = asp < (char*)old_top + MS_MIN_CHUNK ? (char*)old_top : asp;
  malloc_chunk* sp = (malloc_chunk*)csp;
  malloc_segment* ss = (malloc_segment*)chunk2mem(sp);
  malloc_chunk* tnext = chunk_plus(sp, MS_SEGMENT_CHUNK);

  init_top(m, (malloc_chunk*)tbase, tsize - MS_TOP_FOOT);
  ms_set_size_and_pinuse_of_inuse(m, sp, MS_SEGMENT_CHUNK);
  *ss = m->segment;
  m->segment.base = tbase;
  m->segment.size = tsize;
  m->segment.flags = MS_SEG_MAPPED;
  m->segment.next = ss;

  int nfences = 0;
  for (malloc_chunk* p = tnext;;) {
    malloc_chunk* nextp = chunk_plus(p, MS_WORD);
    ch_set_head(p, FENCEPOST_HEAD);
    ++nfences;
    if ((char*)&nextp->head >= old_end) break;
    p = nextp;
  }
  if (nfences < 2) ms_corrupt();

  if (csp != (char*)old_top) {
    size_t psize = (size_t)(csp - (char*)old_top);
    ms_set_free_with_pinuse(old_top, psize, sp);
    ms_insert_chunk(m, old_top, psize);
  }
}

void* ms_sys_alloc(malloc_state* m, size_t nb) {
  ms_ensure_init();
  if ((m->flags.load(std::memory_order_relaxed) & MS_USE_MMAP) &&
      nb >= mparams.mmap_threshold.load(std::memory_order_relaxed)) {
    void* mem = mmap_alloc(m, nb);
    if (mem) return mem;
  }
  size_t asize = granule_round(nb + MS_TOP_FOOT + 1);
  char* tbase = asize > nb ? map_region(asize) : nullptr;
  if (!tbase) {
    errno = ENOMEM;
    return nullptr;
  }
  add_footprint(m, asize);

  malloc_segment* sp = &m->segment;
  while (sp && tbase != sp->base + sp->size) sp = sp->next;
  if (sp && own_mapping(sp) && segment_holds(sp, m->top)) {  // appended after top's region
    sp->size += asize;
    init_top(m, m->top, m->top_size + asize);
  } else {
    if (tbase < m->least_addr) m->least_addr = tbase;
    sp = &m->segment;
    while (sp && sp->base != tbase + asize) sp = sp->next;
    if (sp && own_mapping(sp)) {
      char* oldbase = sp->base;
      sp->base = tbase;
      sp->size += asize;
      return prepend_alloc(m, tbase, oldbase, nb);
    }
    add_segment(m, tbase, asize);
  }
  if (nb < m->top_size) return ms_carve_top(m, nb);
  errno = ENOMEM;
  return nullptr;
}

size_t ms_release_unused_segments(malloc_state* m) {
  size_t released = 0;
  size_t nsegs = 0;
  malloc_segment* pred = &m->segment;
  malloc_segment* sp = pred->next;
  while (sp) {
    char* base = sp->base;
    size_t size = sp->size;
    malloc_segment* next = sp->next;
    ++nsegs;
    if (own_mapping(sp)) {
      malloc_chunk* p = align_as_chunk(base);
      size_t psize = chunksize(p);
      if (!cinuse(p) && p != m->top && (char*)p + psize >= base + size - MS_TOP_FOOT) {
        if (p == m->dv) {
          m->dv = nullptr;
          m->dv_size = 0;
        } else {
          ms_unlink_chunk(m, p, psize);
        }
        if (munmap(base, size) == 0) {
          released += size;
          sub_footprint(m, size);
          sp = pred;  // the record lay in the region just unmapped
          sp->next = next;
        } else {
          ms_insert_chunk(m, p, psize);
        }
      }
    }
    pred = sp;
    sp = next;
  }
  m->release_checks = nsegs > MS_RELEASE_CHECK_RATE ? nsegs : MS_RELEASE_CHECK_RATE;
  return released;
}

int ms_sys_trim(malloc_state* m, size_t pad) {
  size_t released = 0;
  if (pad >= MS_MAX_REQUEST || !m->top) return 0;
  pad += MS_TOP_FOOT;
  if (m->top_size > pad) {
    // Whole granules from the end of top's region, always leaving part of one.
    size_t unit = mparams.granularity.load(std::memory_order_relaxed);
    size_t extra = ((m->top_size - pad + (unit - 1)) / unit - 1) * unit;
    malloc_segment* sp = segment_holding(m, m->top);
    if (extra && sp && own_mapping(sp) && sp->size >= extra && !has_segment_link(m, sp) &&
        munmap(sp->base + sp->size - extra, extra) == 0) {
      released = extra;
      sp->size -= extra;
      sub_footprint(m, extra);
      init_top(m, m->top, m->top_size - extra);
    }
  }
  released += ms_release_unused_segments(m);
  // Nothing to give back although top is large: stop trying on every free.
  if (released == 0 && m->top_size > m->trim_check) m->trim_check = MS_MAX_SIZE;
  return released != 0;
}

int mspace_trim(mspace msp, size_t pad) {
  if (!ms_ok_magic(msp)) ms_corrupt();
  ms_lock(msp);
  int result = ms_sys_trim(msp, pad);
  ms_unlock(msp);
  return result;
}

size_t mspace_footprint(mspace msp) {
  if (!ms_ok_magic(msp)) ms_corrupt();
  return msp->footprint.load(std::memory_order_relaxed);
}

size_t mspace_max_footprint(mspace msp) {
  if (!ms_ok_magic(msp)) ms_corrupt();
  return msp->max_footprint.load(std::memory_order_relaxed);
}

// Walks every segment's chunks up to top or a fencepost (lock held): the sum of
// their sizes, and the size and count of the free ones. The fenceposts that end
// a region count as used, so that footprint less sum is the mapped chunks alone.
static void walk_chunks(malloc_state* m, size_t* sum, size_t* free_bytes, size_t* free_count) {
  for (malloc_segment* sp = &m->segment; sp; sp = sp->next) {
    malloc_chunk* q = align_as_chunk(sp->base);
    while (segment_holds(sp, q) && q != m->top) {
      if (ch_head(q) == FENCEPOST_HEAD) {
        *sum += (size_t)(sp->base + sp->size - (char*)q);
        break;
      }
      size_t sz = chunksize(q);
      *sum += sz;
      if (!cinuse(q)) {
        *free_bytes += sz;
        ++*free_count;
      }
      q = chunk_plus(q, sz);
    }
  }
}

struct mallinfo mspace_mallinfo(mspace msp) {
  if (!ms_ok_magic(msp)) ms_corrupt();
  struct mallinfo nm = {};
  ms_lock(msp);
  if (msp->top) {
    size_t nfree = 1;  // top
    size_t mfree = msp->top_size + MS_TOP_FOOT;
    size_t sum = mfree;
    walk_chunks(msp, &sum, &mfree, &nfree);
    size_t footprint = msp->footprint.load(std::memory_order_relaxed);
    nm.arena = sum;
    nm.ordblks = nfree;
    nm.hblkhd = footprint - sum;
    nm.usmblks = msp->max_footprint.load(std::memory_order_relaxed);
    nm.uordblks = footprint - mfree;
    nm.fordblks = mfree;
    nm.keepcost = msp->top_size;
  }
  ms_unlock(msp);
  return nm;
}

void mspace_malloc_stats(mspace msp) {
  if (!ms_ok_magic(msp)) ms_corrupt();
  size_t maxfp = 0, fp = 0, used = 0;
  ms_lock(msp);
  if (msp->top) {
    maxfp = msp->max_footprint.load(std::memory_order_relaxed);
    fp = msp->footprint.load(std::memory_order_relaxed);
    size_t sum = 0, free_bytes = 0, free_count = 0;
    walk_chunks(msp, &sum, &free_bytes, &free_count);
    used = fp - (msp->top_size + MS_TOP_FOOT) - free_bytes;
  }
  ms_unlock(msp);
  fprintf(stderr, "max system bytes = %10lu\n", (unsigned long)maxfp);
  fprintf(stderr, "system bytes     = %10lu\n", (unsigned long)fp);
  fprintf(stderr, "in use bytes     = %10lu\n", (unsigned long)used);
}
