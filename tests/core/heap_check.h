// Tests' heap walker: checks every invariant of an mspace's chunks and bins.
// It allocates nothing while it walks (the heap under test may be the one
// that would serve it): addresses go into two arrays mapped once.
#pragma once
#include <stdarg.h>
#include <stdio.h>
#include <sys/mman.h>
#include <algorithm>
#include <string>
#include "core/utl_mspace_chunk.h"

class heap_checker {
 public:
  explicit heap_checker(mspace m) : m_(m) {}

  // "" when the mspace is sound, else the first fault found. segment_bytes
  // receives the bytes of its regions (its footprint less its mapped chunks).
  std::string run(size_t* segment_bytes = nullptr) {
    if (!ms_ok_magic(m_)) return "wrong magic";
    if (!buffers()) return "no memory for the walker";
    ms_lock(m_);
    walked_ = binned_ = 0;
    error_[0] = 0;
    size_t seg_bytes = 0;
    bool ok = walk_segments(&seg_bytes) && check_victim() && check_small_bins() && check_tree_bins() && compare();
    ms_unlock(m_);
    if (segment_bytes) *segment_bytes = seg_bytes;
    return ok ? std::string() : std::string(error_);
  }

 private:
  static constexpr size_t kCap = (size_t)1 << 22;
  mspace m_;
  size_t walked_ = 0, binned_ = 0;
  char error_[256];

  static malloc_chunk**& walked_buf() { static malloc_chunk** b; return b; }
  static malloc_chunk**& binned_buf() { static malloc_chunk** b; return b; }
  static bool buffers() {
    for (malloc_chunk*** b : {&walked_buf(), &binned_buf()}) {
      if (*b) continue;
      void* p = mmap(nullptr, kCap * sizeof(void*), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (p == MAP_FAILED) return false;
      *b = (malloc_chunk**)p;
    }
    return true;
  }

  bool fail(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(error_, sizeof error_, fmt, ap);
    va_end(ap);
    return false;
  }
  bool add(malloc_chunk** buf, size_t* n, malloc_chunk* c) {
    if (*n == kCap) return fail("too many free chunks for the walker");
    buf[(*n)++] = c;
    return true;
  }

  bool walk_segments(size_t* seg_bytes) {
    int tops = 0, nsegs = 0;
    for (malloc_segment* sp = &m_->segment; sp; sp = sp->next) {
      if (++nsegs > 100000) return fail("segment list loops");
      *seg_bytes += sp->size;
      char* end = sp->base + sp->size;
      if (sp->base < m_->least_addr) return fail("segment %p below least_addr", (void*)sp->base);
      malloc_chunk* q = align_as_chunk(sp->base);
      bool prev_inuse = true, prev_free = false;
      for (;;) {
        if ((char*)q + 2 * MS_WORD > end) return fail("walk left segment %p without top or fencepost", (void*)sp->base);
        if (q == m_->top) {
          ++tops;
          if (!pinuse(q) || prev_free) return fail("free chunk before top");
          if (chunksize(q) != m_->top_size) return fail("top head %zx, top_size %zx", ch_head(q), m_->top_size);
          if ((char*)q + m_->top_size + MS_TOP_FOOT != end) return fail("top does not end at its segment's foot");
          break;
        }
        if (ch_head(q) == FENCEPOST_HEAD) {
          if (ch_head(chunk_plus(q, MS_WORD)) != FENCEPOST_HEAD) return fail("single fencepost at %p", (void*)q);
          break;
        }
        size_t sz = chunksize(q);
        if (sz < MS_MIN_CHUNK || (sz & MS_ALIGN_MASK) || (char*)q + sz > end)
          return fail("chunk %p has bad size %zx", (void*)q, sz);
        if (pinuse(q) != prev_inuse) return fail("chunk %p: PINUSE disagrees with its neighbour", (void*)q);
        malloc_chunk* n = chunk_plus(q, sz);
        if (cinuse(q)) {
          if (ch_foot(n) != ((size_t)m_ ^ ms_magic())) return fail("chunk %p in use without its footer", (void*)q);
        } else {
          if (prev_free) return fail("free chunks %p and its neighbour not merged", (void*)q);
          if (ch_foot(n) != sz) return fail("free chunk %p: size not repeated after it", (void*)q);
          if (!add(walked_buf(), &walked_, q)) return false;
        }
        prev_inuse = cinuse(q);
        prev_free = !prev_inuse;
        q = n;
      }
    }
    if (tops != 1) return fail("top found in %d segments", tops);
    return true;
  }

  bool check_victim() {
    if ((m_->dv_size == 0) != (m_->dv == nullptr)) return fail("victim pointer and size disagree");
    if (!m_->dv) return true;
    if (cinuse(m_->dv) || chunksize(m_->dv) != m_->dv_size) return fail("victim %p is not a free chunk of its size", (void*)m_->dv);
    return add(binned_buf(), &binned_, m_->dv);
  }

  bool check_small_bins() {
    for (unsigned i = 0; i < MS_NSMALLBINS; ++i) {
      malloc_chunk* b = ms_smallbin_at(m_, i);
      bool marked = (m_->small_map >> i) & 1;
      if (marked != (b->fd != b)) return fail("small map bit %u wrong", i);
      if (!marked) continue;
      size_t count = 0;
      for (malloc_chunk* f = b->fd; f != b; f = f->fd) {
        if (++count > kCap) return fail("small bin %u loops", i);
        if (f->fd->bk != f || f->bk->fd != f) return fail("small bin %u links broken at %p", i, (void*)f);
        if (cinuse(f) || chunksize(f) != ms_small_index2size(i)) return fail("small bin %u holds %p of wrong size", i, (void*)f);
        if (!add(binned_buf(), &binned_, f)) return false;
      }
    }
    return true;
  }

  // A trie node at depth d below the root: its key bits above d match the path taken.
  bool check_tree(malloc_chunk* t, malloc_chunk* parent, unsigned i, unsigned depth, size_t path) {
    if (depth > MS_WORD_BITS) return fail("tree bin %u too deep", i);
    size_t s = chunksize(t);
    size_t lo = ms_minsize_for_tree_index(i), hi = i + 1 < MS_NTREEBINS ? ms_minsize_for_tree_index(i + 1) : MS_MAX_SIZE;
    if (s < lo || s >= hi || t->index != i) return fail("tree bin %u holds %p of size %zx", i, (void*)t, s);
    if (t->parent != parent) return fail("tree node %p has wrong parent", (void*)t);
    size_t key = s << ms_leftshift_for_tree_index(i);
    if (depth && (key >> (MS_WORD_BITS - depth)) != path) return fail("tree node %p on the wrong branch", (void*)t);
    size_t count = 0;
    malloc_chunk* f = t;
    do {
      if (++count > kCap) return fail("tree list loops at %p", (void*)t);
      if (f->fd->bk != f || f->bk->fd != f) return fail("tree list links broken at %p", (void*)f);
      if (cinuse(f) || chunksize(f) != s) return fail("tree list of %p holds %p", (void*)t, (void*)f);
      if (f != t && f->parent) return fail("list member %p has a parent", (void*)f);
      if (!add(binned_buf(), &binned_, f)) return false;
      f = f->fd;
    } while (f != t);
    for (unsigned side = 0; side < 2; ++side)
      if (t->child[side] && !check_tree(t->child[side], t, i, depth + 1, (path << 1) | side)) return false;
    return true;
  }

  bool check_tree_bins() {
    for (unsigned i = 0; i < MS_NTREEBINS; ++i) {
      malloc_chunk* t = m_->tree_bins[i];
      if (((m_->tree_map >> i) & 1) != (t != nullptr)) return fail("tree map bit %u wrong", i);
      if (t && !check_tree(t, (malloc_chunk*)&m_->tree_bins[i], i, 0, 0)) return false;
    }
    return true;
  }

  // Every free chunk met on the walk is in exactly one bin or is the victim, and no bin holds anything else.
  bool compare() {
    malloc_chunk** a = walked_buf();
    malloc_chunk** b = binned_buf();
    std::sort(a, a + walked_);
    std::sort(b, b + binned_);
    if (std::adjacent_find(b, b + binned_) != b + binned_) return fail("a chunk is in two bins");
    size_t n = std::min(walked_, binned_);
    for (size_t k = 0; k < n; ++k)
      if (a[k] != b[k]) return fail("free chunk %p is not binned, or a binned chunk is not free", (void*)std::min(a[k], b[k]));
    if (walked_ != binned_) return fail("%zu free chunks walked, %zu binned", walked_, binned_);
    return true;
  }
};

// "" when the mspace is sound, else the first fault found.
inline std::string heap_check(mspace m, size_t* segment_bytes = nullptr) { return heap_checker(m).run(segment_bytes); }
