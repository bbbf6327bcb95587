// The mspace heap: one private heap of boundary-tagged chunks with exact-size
// small bins, bitwise-trie tree bins, a designated victim and a top chunk.
// Every block in use carries a footer naming its mspace, so any thread may free
// or resize it. Blocks are 16-byte aligned. System memory, creation and the
// statistics live in utl_heap_sys.h; the pool allocator (utl_pool_alloc.h) is
// the only user in the program.
#pragma once
#include <pthread.h>
#include <stddef.h>
#include <atomic>

// A spin lock that its holder may take again; mspaces and pools use it.
// `word` is 0 free, 1 taken; only compare-and-swap takes it, only an exchange frees it.
struct recursive_spin_lock {
  std::atomic<pthread_t> owner{0};  // holding thread, 0 when free
  unsigned count = 0;               // the holder's recursion depth
  std::atomic<unsigned> word{0};
};

// Sets all three fields to 0.
void recursive_spin_lock_clear(recursive_spin_lock* l);
// Takes the lock, spinning and yielding every 64 failed attempts; a holder just counts up.
void recursive_spin_lock_acquire(recursive_spin_lock* l);
// One compare-and-swap, no spinning: 1 when the caller now holds the lock (also when it held it), else 0.
int recursive_spin_lock_try(recursive_spin_lock* l);
// Releases one level; the caller must hold the lock (else the process aborts).
void recursive_spin_lock_release(recursive_spin_lock* l);

struct malloc_state;
typedef malloc_state* mspace;

// Every operation aborts the process when the mspace (or, for a block, its
// owner named by the footer) does not carry the run's magic, and holds the
// mspace's lock while it works when the mspace was made locked.

// A block of at least bytes usable bytes, or null (errno ENOMEM).
void* mspace_malloc(mspace msp, size_t bytes);
// Returns the block to the mspace its footer names; msp is ignored, null is ignored.
void mspace_free(mspace msp, void* mem);
// A zero-filled block of n * elem_size bytes, or null (also when the product overflows).
void* mspace_calloc(mspace msp, size_t n, size_t elem_size);
// Resizes the block in its own mspace (null mem: mspace_malloc on msp); null on
// failure with the old block untouched.
void* mspace_realloc(mspace msp, void* mem, size_t bytes);
// A block whose address is a multiple of alignment (raised to a power of two), or null.
void* mspace_memalign(mspace msp, size_t alignment, size_t bytes);
// n zero-filled blocks of elem_size bytes carved from one chunk; their addresses
// go into chunks (or into a new array carved with them). Null on failure.
void** mspace_independent_calloc(mspace msp, size_t n, size_t elem_size, void** chunks);
// n blocks of sizes[i] bytes carved from one chunk, as above.
void** mspace_independent_comalloc(mspace msp, size_t n, size_t* sizes, void** chunks);
