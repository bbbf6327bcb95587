#include <cstddef>
#include "core/globs.h"
#include "core/utl_mem.h"

UTL_lazy_mempool::UTL_lazy_mempool()
    : total_allocated(0), total_wasted(0), blocks(nullptr), cursor(nullptr), total_ready(0) {}

UTL_lazy_mempool::~UTL_lazy_mempool() {
  while (blocks) {
    void* b = blocks;
    blocks = *(void**)b;
    xfree(b);
    global_total -= (float)block_size;
  }
}

// Pieces start on this boundary; the block's first bytes hold its link.
static const unsigned long k_align = alignof(std::max_align_t);
static const unsigned long k_header = (sizeof(void*) + k_align - 1) / k_align * k_align;

void* UTL_lazy_mempool::alloc(unsigned long size) {
  const unsigned long need = (size + k_align - 1) / k_align * k_align;
  if (size == 0 || need > block_size - k_header) return nullptr;
  if (!cursor || (unsigned long)total_ready < need) {
    void* b = xmalloc(block_size);
    if (!b) return nullptr;
    *(void**)b = blocks;
    blocks = b;
    global_total += (float)block_size;
    total_wasted += total_ready;
    cursor = (char*)b + k_header;
    total_ready = (long)(block_size - k_header);
  }
  void* p = cursor;
  cursor += need;
  total_ready -= (long)need;
  total_allocated += (long)need;
  return p;
}

void UTL_lazy_mempool::dump() {
  xer_group() << "Total memory allocated: " << total_allocated << "\n"
              << "Total wasted memory: " << total_wasted << "\n"
              << "Total ready memory: " << total_ready << "\n";
}
