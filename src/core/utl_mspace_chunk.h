// Inside the mspace heap: the chunk format, the state record, the global
// parameters and the small steps shared by the block operations
// (utl_mspace.cpp, utl_mspace_bins.cpp), the system-memory layer
// (utl_heap_sys.cpp) and the pool allocator. Every size and offset follows from
// the machine's word size and the 16-byte block alignment.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <atomic>
#include "core/utl_heap_sys.h"
#include "core/utl_mspace.h"

// A chunk: prev_foot and head, then the user memory. Free chunks keep their
// bin links in the first user words; only free chunks of the tree bins use
// child, parent and index.
struct malloc_chunk {
  size_t prev_foot;  // previous chunk free: its size; in use: its footer; mapped chunk: offset | 1
  size_t head;       // size | CINUSE | PINUSE
  malloc_chunk* fd;
  malloc_chunk* bk;
  malloc_chunk* child[2];
  malloc_chunk* parent;
  size_t index;
};

// One region of an mspace. The first record lives in the state, the others in
// small in-use chunks at the ends of older regions.
struct malloc_segment {
  char* base;
  size_t size;
  malloc_segment* next;
  unsigned flags;  // MS_SEG_MAPPED, MS_SEG_EXTERN
};

constexpr size_t MS_WORD = sizeof(size_t);
constexpr size_t MS_WORD_BITS = MS_WORD * 8;
constexpr size_t MS_ALIGN = alignof(max_align_t);
constexpr size_t MS_ALIGN_MASK = MS_ALIGN - 1;
static_assert(MS_ALIGN == 16, "blocks are 16-byte aligned");
static_assert(MS_ALIGN >= 2 * MS_WORD && MS_ALIGN % (2 * MS_WORD) == 0, "the two header words keep blocks aligned");

constexpr size_t MS_CHUNK_OVERHEAD = 2 * MS_WORD;  // head and footer of a chunk in use
constexpr size_t MS_MIN_CHUNK = (offsetof(malloc_chunk, child) + MS_ALIGN_MASK) & ~MS_ALIGN_MASK;
constexpr size_t MS_MAX_REQUEST = (size_t)(0 - MS_MIN_CHUNK) << 2;
constexpr size_t MS_MIN_REQUEST = MS_MIN_CHUNK - MS_CHUNK_OVERHEAD - 1;
constexpr size_t MS_MAX_SIZE = ~(size_t)0;

constexpr size_t PINUSE = 1;  // the previous chunk is in use
constexpr size_t CINUSE = 2;  // this chunk is in use
constexpr size_t INUSE_BITS = PINUSE | CINUSE;
constexpr size_t FLAG_BITS = 7;
constexpr size_t MS_MAPPED_FOOT = 1;  // bit 0 of prev_foot of a directly mapped chunk
constexpr size_t FENCEPOST_HEAD = INUSE_BITS | MS_WORD;

constexpr unsigned MS_NSMALLBINS = 32;
constexpr unsigned MS_NTREEBINS = 32;
constexpr unsigned MS_SMALLBIN_SHIFT = 3;
constexpr unsigned MS_TREEBIN_SHIFT = 8;
constexpr size_t MS_MIN_LARGE_SIZE = (size_t)1 << MS_TREEBIN_SHIFT;
constexpr size_t MS_MAX_SMALL_SIZE = MS_MIN_LARGE_SIZE - 1;
constexpr size_t MS_MAX_SMALL_REQUEST = MS_MAX_SMALL_SIZE - MS_ALIGN_MASK - MS_CHUNK_OVERHEAD;

// mspace flags
constexpr unsigned MS_USE_MMAP = 1;
constexpr unsigned MS_USE_LOCK = 2;
constexpr unsigned MS_NONCONTIGUOUS = 4;
// segment flags
constexpr unsigned MS_SEG_MAPPED = 1;
constexpr unsigned MS_SEG_EXTERN = 8;

constexpr size_t MS_RELEASE_CHECK_RATE = 4095;

inline constexpr size_t ms_pad_request(size_t n) { return (n + MS_CHUNK_OVERHEAD + MS_ALIGN_MASK) & ~MS_ALIGN_MASK; }
// Chunk size for a request of n bytes (n below MS_MAX_REQUEST).
inline constexpr size_t ms_request2size(size_t n) { return n < MS_MIN_REQUEST ? MS_MIN_CHUNK : ms_pad_request(n); }
// Bytes from p up to the next address whose block would be aligned.
inline size_t ms_align_offset(const void* p) {
  return (MS_ALIGN - ((uintptr_t)p & MS_ALIGN_MASK)) & MS_ALIGN_MASK;
}

constexpr size_t MS_SEGMENT_CHUNK = ms_pad_request(sizeof(malloc_segment));
// Kept free after top: room for a segment-record chunk and the fenceposts behind it.
constexpr size_t MS_TOP_FOOT = ((MS_ALIGN - (2 * MS_WORD & MS_ALIGN_MASK)) & MS_ALIGN_MASK) + MS_SEGMENT_CHUNK + MS_MIN_CHUNK;
// A directly mapped chunk's mapping extends this far past the chunk: footer, fencepost, zero word.
constexpr size_t MS_MMAP_FOOT_PAD = 4 * MS_WORD;

struct malloc_state {
  unsigned small_map;
  unsigned tree_map;
  size_t dv_size;
  size_t top_size;
  char* least_addr;
  malloc_chunk* dv;
  malloc_chunk* top;
  size_t trim_check;
  size_t release_checks;
  size_t magic;
  malloc_chunk* small_bins[(MS_NSMALLBINS + 1) * 2];
  malloc_chunk* tree_bins[MS_NTREEBINS];
  std::atomic<size_t> footprint;      // read without the lock by the footprint readers
  std::atomic<size_t> max_footprint;
  std::atomic<unsigned> flags;        // read without the lock to decide whether to lock
  recursive_spin_lock lock;
  malloc_segment segment;
  void* ext_pointer;                  // the pool that owns the mspace, or null
};

constexpr size_t MS_STATE_CHUNK = ms_pad_request(sizeof(malloc_state));

// The global parameters, set once by init_mparams (utl_heap_sys.cpp).
struct malloc_params {
  std::atomic<size_t> magic;
  std::atomic<size_t> page_size;
  std::atomic<size_t> granularity;
  std::atomic<size_t> mmap_threshold;
  std::atomic<size_t> trim_threshold;
  std::atomic<unsigned> default_flags;
};
extern malloc_params mparams;

inline void ms_ensure_init() {
  if (mparams.page_size.load(std::memory_order_acquire) == 0) init_mparams();
}
inline size_t ms_magic() { return mparams.magic.load(std::memory_order_relaxed); }

// ---- chunk words ----
// head and prev_foot of a chunk in use may be read by a thread that holds no
// lock (to find a block's size or owner) while its neighbour's owner flips a
// flag bit under the lock, so both words are read and written as relaxed atomics.
inline size_t ch_head(const malloc_chunk* p) { return __atomic_load_n(&p->head, __ATOMIC_RELAXED); }
inline void ch_set_head(malloc_chunk* p, size_t v) { __atomic_store_n(&p->head, v, __ATOMIC_RELAXED); }
inline size_t ch_foot(const malloc_chunk* p) { return __atomic_load_n(&p->prev_foot, __ATOMIC_RELAXED); }
inline void ch_set_foot(malloc_chunk* p, size_t v) { __atomic_store_n(&p->prev_foot, v, __ATOMIC_RELAXED); }

inline void* chunk2mem(const malloc_chunk* p) { return (char*)p + 2 * MS_WORD; }
inline malloc_chunk* mem2chunk(const void* mem) { return (malloc_chunk*)((char*)mem - 2 * MS_WORD); }
inline malloc_chunk* chunk_plus(const void* p, size_t s) { return (malloc_chunk*)((char*)p + s); }
inline malloc_chunk* chunk_minus(const void* p, size_t s) { return (malloc_chunk*)((char*)p - s); }
// The first chunk at or after p whose block is aligned.
inline malloc_chunk* align_as_chunk(char* p) { return (malloc_chunk*)(p + ms_align_offset(p + 2 * MS_WORD)); }

inline size_t chunksize(const malloc_chunk* p) { return ch_head(p) & ~FLAG_BITS; }
inline bool cinuse(const malloc_chunk* p) { return (ch_head(p) & CINUSE) != 0; }
inline bool pinuse(const malloc_chunk* p) { return (ch_head(p) & PINUSE) != 0; }
inline bool is_mmapped(const malloc_chunk* p) { return !pinuse(p) && (ch_foot(p) & MS_MAPPED_FOOT) != 0; }
inline malloc_chunk* next_chunk(const malloc_chunk* p) { return chunk_plus(p, chunksize(p)); }
// Usable bytes of a block in use whose head word is head: chunk size less head and footer, mapped or not.
inline size_t head_usable(size_t head) { return (head & ~FLAG_BITS) - MS_CHUNK_OVERHEAD; }
inline size_t chunk_usable(const malloc_chunk* p) { return head_usable(ch_head(p)); }

inline bool ms_ok_address(const malloc_state* m, const void* a) { return (const char*)a >= m->least_addr; }
inline bool ms_ok_magic(const malloc_state* m) { return m->magic == ms_magic(); }
// The mspace named by an in-use chunk's footer (not yet checked).
inline malloc_state* ms_owner(const malloc_chunk* p) { return (malloc_state*)(ch_foot(next_chunk(p)) ^ ms_magic()); }
[[noreturn]] inline void ms_corrupt() { abort(); }

// ---- marking chunks (lock held) ----
inline void ms_mark_foot(const malloc_state* m, malloc_chunk* p, size_t s) {
  ch_set_foot(chunk_plus(p, s), (size_t)m ^ ms_magic());
}
// p becomes an in-use chunk of size s; its own PINUSE stays; the next chunk learns p is in use.
inline void ms_set_inuse(const malloc_state* m, malloc_chunk* p, size_t s) {
  ch_set_head(p, (ch_head(p) & PINUSE) | s | CINUSE);
  malloc_chunk* n = chunk_plus(p, s);
  ch_set_head(n, ch_head(n) | PINUSE);
  ms_mark_foot(m, p, s);
}
inline void ms_set_inuse_and_pinuse(const malloc_state* m, malloc_chunk* p, size_t s) {
  ch_set_head(p, s | PINUSE | CINUSE);
  malloc_chunk* n = chunk_plus(p, s);
  ch_set_head(n, ch_head(n) | PINUSE);
  ms_mark_foot(m, p, s);
}
// As above, for a chunk whose next chunk is set up separately.
inline void ms_set_size_and_pinuse_of_inuse(const malloc_state* m, malloc_chunk* p, size_t s) {
  ch_set_head(p, s | PINUSE | CINUSE);
  ms_mark_foot(m, p, s);
}
inline void ms_set_size_and_pinuse_of_free(malloc_chunk* p, size_t s) {
  ch_set_head(p, s | PINUSE);
  ch_set_foot(chunk_plus(p, s), s);
}
inline void ms_set_free_with_pinuse(malloc_chunk* p, size_t s, malloc_chunk* n) {
  ch_set_head(n, ch_head(n) & ~PINUSE);
  ms_set_size_and_pinuse_of_free(p, s);
}

// Carves chunk size nb (below top_size) from the start of top.
inline void* ms_carve_top(malloc_state* m, size_t nb) {
  size_t rsize = m->top_size -= nb;
  malloc_chunk* p = m->top;
  malloc_chunk* r = m->top = chunk_plus(p, nb);
  ch_set_head(r, rsize | PINUSE);
  ms_set_size_and_pinuse_of_inuse(m, p, nb);
  return chunk2mem(p);
}

// ---- locking ----
inline bool ms_use_lock(const malloc_state* m) { return (m->flags.load(std::memory_order_relaxed) & MS_USE_LOCK) != 0; }
inline void ms_lock(malloc_state* m) {
  if (ms_use_lock(m)) recursive_spin_lock_acquire(&m->lock);
}
inline void ms_unlock(malloc_state* m) {
  if (ms_use_lock(m)) recursive_spin_lock_release(&m->lock);
}

// ---- bins (utl_mspace_bins.cpp) ----
inline bool ms_is_small(size_t s) { return (s >> MS_SMALLBIN_SHIFT) < MS_NSMALLBINS; }
inline unsigned ms_small_index(size_t s) { return (unsigned)(s >> MS_SMALLBIN_SHIFT); }
inline size_t ms_small_index2size(unsigned i) { return (size_t)i << MS_SMALLBIN_SHIFT; }
// Small bin i seen as a chunk whose fd and bk are the bin's own pair of words.
inline malloc_chunk* ms_smallbin_at(malloc_state* m, unsigned i) { return (malloc_chunk*)&m->small_bins[i << 1]; }
unsigned ms_tree_index(size_t s);
// Smallest chunk size held by tree bin i.
size_t ms_minsize_for_tree_index(unsigned i);
// How far a size is shifted so that the first trie bit below the bin's leading bits is the top bit.
inline unsigned ms_leftshift_for_tree_index(unsigned i) {
  return i == MS_NTREEBINS - 1 ? 0 : (unsigned)(MS_WORD_BITS - 1 - ((i >> 1) + MS_TREEBIN_SHIFT - 2));
}
// The leftmost child of a trie node: child 0 when there is one, else child 1.
inline malloc_chunk* ms_leftmost_child(const malloc_chunk* t) { return t->child[0] ? t->child[0] : t->child[1]; }

void ms_init_bins(malloc_state* m);
void ms_insert_small_chunk(malloc_state* m, malloc_chunk* p, size_t s);
void ms_unlink_small_chunk(malloc_state* m, malloc_chunk* p, size_t s);
void ms_insert_large_chunk(malloc_state* m, malloc_chunk* x, size_t s);
void ms_unlink_large_chunk(malloc_state* m, malloc_chunk* x);
void ms_insert_chunk(malloc_state* m, malloc_chunk* p, size_t s);
void ms_unlink_chunk(malloc_state* m, malloc_chunk* p, size_t s);
// Takes the first chunk of small bin i off its list.
void ms_unlink_first_small_chunk(malloc_state* m, malloc_chunk* b, malloc_chunk* p, unsigned i);
// The designated victim becomes p of size s; the old victim goes into its small bin.
void ms_replace_dv(malloc_state* m, malloc_chunk* p, size_t s);
// A small request nb served from the smallest chunk of the lowest tree bin.
void* ms_tmalloc_small(malloc_state* m, size_t nb);
// Best fit for a large request nb from the tree bins, unless the victim fits better; null then.
void* ms_tmalloc_large(malloc_state* m, size_t nb);

// ---- block operations on a checked mspace (utl_mspace.cpp) ----
void* ms_internal_malloc(malloc_state* m, size_t bytes);
void ms_internal_free(malloc_state* m, void* mem);

// ---- system memory (utl_heap_sys.cpp), lock held ----
// Serves chunk size nb with new system memory: a mapping of its own or a grown mspace.
void* ms_sys_alloc(malloc_state* m, size_t nb);
// Gives top memory and empty segments back; 1 when anything was released.
int ms_sys_trim(malloc_state* m, size_t pad);
// Unmaps segments whose whole region is one free chunk; returns the bytes unmapped.
size_t ms_release_unused_segments(malloc_state* m);
inline bool ms_should_trim(const malloc_state* m, size_t top_size) { return top_size > m->trim_check; }
// Unmaps a directly mapped chunk; 1 when the system took it back.
int ms_unmap_chunk(malloc_state* m, malloc_chunk* p);
