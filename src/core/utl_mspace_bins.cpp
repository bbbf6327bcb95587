// The bins of an mspace: circular lists of exact-size small chunks and bitwise
// tries of large chunks, with the designated victim between them. Callers hold
// the mspace's lock. A link that does not point back, or a chunk below the
// mspace's lowest address, means the heap was overwritten: the process aborts.
#include "core/utl_mspace_chunk.h"

static inline unsigned idx2bit(unsigned i) { return 1u << i; }
static inline unsigned least_bit(unsigned x) { return x & (0u - x); }
static inline unsigned left_bits(unsigned x) { return (x << 1) | (0u - (x << 1)); }
static inline unsigned bit2idx(unsigned x) { return (unsigned)__builtin_ctz(x); }

unsigned ms_tree_index(size_t s) {
  size_t x = s >> MS_TREEBIN_SHIFT;
  if (x == 0) return 0;
  if (x > 0xFFFF) return MS_NTREEBINS - 1;
  unsigned k = (unsigned)(MS_WORD_BITS - 1 - __builtin_clzl(x));
  return (k << 1) + (unsigned)((s >> (k + (MS_TREEBIN_SHIFT - 1))) & 1);
}

size_t ms_minsize_for_tree_index(unsigned i) {
  return ((size_t)1 << ((i >> 1) + MS_TREEBIN_SHIFT)) | ((size_t)(i & 1) << ((i >> 1) + MS_TREEBIN_SHIFT - 1));
}

void ms_init_bins(malloc_state* m) {
  for (unsigned i = 0; i < MS_NSMALLBINS; ++i) {
    malloc_chunk* b = ms_smallbin_at(m, i);
    b->fd = b->bk = b;
  }
}

void ms_insert_small_chunk(malloc_state* m, malloc_chunk* p, size_t s) {
  unsigned i = ms_small_index(s);
  malloc_chunk* b = ms_smallbin_at(m, i);
  malloc_chunk* f = b;
  if (!(m->small_map & idx2bit(i))) {
    m->small_map |= idx2bit(i);
  } else {
    f = b->fd;
    if (!ms_ok_address(m, f)) ms_corrupt();
  }
  b->fd = p;
  f->bk = p;
  p->fd = f;
  p->bk = b;
}

void ms_unlink_small_chunk(malloc_state* m, malloc_chunk* p, size_t s) {
  malloc_chunk* f = p->fd;
  malloc_chunk* b = p->bk;
  unsigned i = ms_small_index(s);
  malloc_chunk* bin = ms_smallbin_at(m, i);
  if (chunksize(p) != ms_small_index2size(i)) ms_corrupt();
  if (f == b) {  // p was the bin's only chunk
    if (f != bin) ms_corrupt();
    m->small_map &= ~idx2bit(i);
    bin->fd = bin->bk = bin;
    return;
  }
  if ((f != bin && !ms_ok_address(m, f)) || (b != bin && !ms_ok_address(m, b)) || f->bk != p || b->fd != p) ms_corrupt();
  f->bk = b;
  b->fd = f;
}

void ms_unlink_first_small_chunk(malloc_state* m, malloc_chunk* b, malloc_chunk* p, unsigned i) {
  malloc_chunk* f = p->fd;
  if (chunksize(p) != ms_small_index2size(i) || p->bk != b) ms_corrupt();
  if (b == f) {
    m->small_map &= ~idx2bit(i);
    b->fd = b->bk = b;
    return;
  }
  if (!ms_ok_address(m, f) || f->bk != p) ms_corrupt();
  b->fd = f;
  f->bk = b;
}

void ms_replace_dv(malloc_state* m, malloc_chunk* p, size_t s) {
  size_t dvs = m->dv_size;
  if (dvs) {
    if (!ms_is_small(dvs)) ms_corrupt();
    ms_insert_small_chunk(m, m->dv, dvs);
  }
  m->dv_size = s;
  m->dv = p;
}

// The trie: each node holds one size; its child 0 subtree holds the sizes
// whose next bit (below the bits the path has fixed) is 0, child 1 those with 1.
// Chunks of a size already present hang in the node's circular list and have
// no parent. The root's parent is the bin's own slot, so it is never null.
void ms_insert_large_chunk(malloc_state* m, malloc_chunk* x, size_t s) {
  unsigned i = ms_tree_index(s);
  malloc_chunk** h = &m->tree_bins[i];
  x->index = i;
  x->child[0] = x->child[1] = nullptr;
  if (!(m->tree_map & idx2bit(i))) {
    m->tree_map |= idx2bit(i);
    *h = x;
    x->parent = (malloc_chunk*)h;
    x->fd = x->bk = x;
    return;
  }
  malloc_chunk* t = *h;
  size_t k = s << ms_leftshift_for_tree_index(i);
  for (;;) {
    if (chunksize(t) != s) {
      malloc_chunk** c = &t->child[(k >> (MS_WORD_BITS - 1)) & 1];
      k <<= 1;
      if (*c) {
        t = *c;
      } else {
        if (!ms_ok_address(m, c)) ms_corrupt();
        *c = x;
        x->parent = t;
        x->fd = x->bk = x;
        return;
      }
    } else {
      malloc_chunk* f = t->fd;
      if (!ms_ok_address(m, t) || !ms_ok_address(m, f)) ms_corrupt();
      t->fd = f->bk = x;
      x->fd = f;
      x->bk = t;
      x->parent = nullptr;
      return;
    }
  }
}

void ms_unlink_large_chunk(malloc_state* m, malloc_chunk* x) {
  malloc_chunk* xp = x->parent;
  malloc_chunk* r;
  if (x->bk != x) {
    // Another chunk of the same size takes x's place.
    malloc_chunk* f = x->fd;
    r = x->bk;
    if (!ms_ok_address(m, f) || f->bk != x || r->fd != x) ms_corrupt();
    f->bk = r;
    r->fd = f;
  } else {
    // Replace x by its rightmost-deepest leaf.
    malloc_chunk** rp;
    if ((r = *(rp = &x->child[1])) != nullptr || (r = *(rp = &x->child[0])) != nullptr) {
      malloc_chunk** cp;
      while (*(cp = &r->child[1]) != nullptr || *(cp = &r->child[0]) != nullptr) r = *(rp = cp);
      if (!ms_ok_address(m, rp)) ms_corrupt();
      *rp = nullptr;
    }
  }
  if (!xp) return;  // x hung in a node's list and was not in the trie
  malloc_chunk** h = &m->tree_bins[x->index];
  if (x == *h) {
    if ((*h = r) == nullptr) m->tree_map &= ~idx2bit((unsigned)x->index);
  } else {
    if (!ms_ok_address(m, xp)) ms_corrupt();
    if (xp->child[0] == x)
      xp->child[0] = r;
    else if (xp->child[1] == x)
      xp->child[1] = r;
    else
      ms_corrupt();
  }
  if (!r) return;
  if (!ms_ok_address(m, r)) ms_corrupt();
  r->parent = xp;
  for (int side = 0; side < 2; ++side) {
    malloc_chunk* c = x->child[side];
    if (!c) continue;
    if (!ms_ok_address(m, c)) ms_corrupt();
    r->child[side] = c;
    c->parent = r;
  }
}

void ms_insert_chunk(malloc_state* m, malloc_chunk* p, size_t s) {
  if (ms_is_small(s))
    ms_insert_small_chunk(m, p, s);
  else
    ms_insert_large_chunk(m, p, s);
}

void ms_unlink_chunk(malloc_state* m, malloc_chunk* p, size_t s) {
  if (ms_is_small(s))
    ms_unlink_small_chunk(m, p, s);
  else
    ms_unlink_large_chunk(m, p);
}

// Splits chunk v (already off its bin) of size nb + rsize: the front nb bytes
// are returned in use; a remainder too small for a chunk stays with them.
static void* carve(malloc_state* m, malloc_chunk* v, size_t nb, size_t rsize, bool remainder_to_dv) {
  if (rsize < MS_MIN_CHUNK) {
    ms_set_inuse_and_pinuse(m, v, rsize + nb);
  } else {
    ms_set_size_and_pinuse_of_inuse(m, v, nb);
    malloc_chunk* r = chunk_plus(v, nb);
    ms_set_size_and_pinuse_of_free(r, rsize);
    if (remainder_to_dv)
      ms_replace_dv(m, r, rsize);
    else
      ms_insert_chunk(m, r, rsize);
  }
  return chunk2mem(v);
}

void* ms_tmalloc_small(malloc_state* m, size_t nb) {
  unsigned i = bit2idx(least_bit(m->tree_map));
  malloc_chunk* t = m->tree_bins[i];
  malloc_chunk* v = t;
  size_t rsize = chunksize(t) - nb;
  while ((t = ms_leftmost_child(t)) != nullptr) {
    size_t trem = chunksize(t) - nb;
    if (trem < rsize) {
      rsize = trem;
      v = t;
    }
  }
  if (!ms_ok_address(m, v) || chunksize(v) != nb + rsize) ms_corrupt();
  ms_unlink_large_chunk(m, v);
  return carve(m, v, nb, rsize, true);
}

void* ms_tmalloc_large(malloc_state* m, size_t nb) {
  malloc_chunk* v = nullptr;
  size_t rsize = 0 - nb;  // unsigned: any chunk of at least nb fits better than this
  malloc_chunk* t;
  unsigned idx = ms_tree_index(nb);
  if ((t = m->tree_bins[idx]) != nullptr) {
    // Walk down the request's own path, remembering the deepest right subtree
    // not taken: it holds the next larger sizes.
    size_t sizebits = nb << ms_leftshift_for_tree_index(idx);
    malloc_chunk* rst = nullptr;
    for (;;) {
      size_t trem = chunksize(t) - nb;
      if (trem < rsize) {
        v = t;
        if ((rsize = trem) == 0) break;
      }
      malloc_chunk* rt = t->child[1];
      t = t->child[(sizebits >> (MS_WORD_BITS - 1)) & 1];
      if (rt && rt != t) rst = rt;
      if (!t) {
        t = rst;
        break;
      }
      sizebits <<= 1;
    }
  }
  if (!t && !v) {
    unsigned leftbits = left_bits(idx2bit(idx)) & m->tree_map;
    if (leftbits) t = m->tree_bins[bit2idx(least_bit(leftbits))];
  }
  while (t) {  // the smallest chunk of the subtree lies on its leftmost path
    size_t trem = chunksize(t) - nb;
    if (trem < rsize) {
      rsize = trem;
      v = t;
    }
    t = ms_leftmost_child(t);
  }
  if (!v || rsize >= m->dv_size - nb) return nullptr;
  if (!ms_ok_address(m, v) || chunksize(v) != nb + rsize) ms_corrupt();
  ms_unlink_large_chunk(m, v);
  return carve(m, v, nb, rsize, false);
}
