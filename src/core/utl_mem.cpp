#include "core/utl_mem.h"
#include <atomic>
#include <cstdlib>
#include <exception>
#include "core/utl_pool_alloc.h"
#include "core/utl_remote_cmd.h"
#include "core/utl_stat.h"

// Built here, in the unit every program links, so that they always exist.
static UTL_stat g_memory_used(&UTL_lazy_mempool::global_total, "memory/lazy_pools", stat_memory);
static UTL_remote_cmd dump_mem_now("Dump Memory Info", DumpMemCmd);

// ---- The heap -------------------------------------------------------------
// The choice is made by the first allocation of the process, during static
// initialisation, before a second thread exists; blocks always go back to the
// heap they came from because the choice never changes. The pool allocator
// pays only where the system heap makes threads queue on one lock; this
// system's heap keeps an arena per thread, so the system heap serves us,
// except in builds made to run the whole program on the pool allocator.
static std::atomic<char> first_time{1};
static std::atomic<char> ned_ok{1};

int want_ned() {
  if (first_time.load(std::memory_order_relaxed)) {
    first_time.store(0, std::memory_order_relaxed);
    ned_ok.store(UTL_heap_route_to_pool() ? 1 : 0, std::memory_order_relaxed);
  }
  return ned_ok.load(std::memory_order_relaxed);
}

// Every allocation and release below goes through these three.
static void* heap_alloc(std::size_t size) { return want_ned() ? nedmalloc(size) : malloc(size); }
static void* heap_calloc(std::size_t count, std::size_t size) {
  return want_ned() ? nedcalloc(count, size) : calloc(count, size);
}
static void* heap_alloc_aligned(std::size_t size, std::size_t align) {
  if (align < sizeof(void*)) align = sizeof(void*);
  if (want_ned()) return nedmemalign(align, size ? size : 1);
  void* p = nullptr;
  return posix_memalign(&p, align, size ? size : 1) == 0 ? p : nullptr;
}
static void heap_free(void* block) {
  if (want_ned())
    nedfree(block);
  else
    free(block);
}

// ---- C-style entry points -------------------------------------------------
void* xmalloc(unsigned long size) { return heap_alloc(size); }
void* xcalloc(unsigned long count, unsigned long size) { return heap_calloc(count, size); }
void xfree(void* block) { heap_free(block); }
void* xmalloc_tracked(const char*, int, unsigned long size) { return heap_alloc(size); }
void xfree_tracked(const char*, int, void* block) { heap_free(block); }

// ---- operator new and delete ---------------------------------------------
// Runs the new-handler once; false when there is none. Only bad_alloc may
// leave an allocation function, so anything else the handler throws ends the
// program.
static bool run_new_handler() {
  std::new_handler h = std::get_new_handler();
  if (!h) return false;
  try {
    h();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    std::terminate();
  }
  return true;
}

static void* new_throwing(std::size_t size, std::size_t align) {
  if (size == 0) size = 1;
  for (;;) {
    void* p = align ? heap_alloc_aligned(size, align) : heap_alloc(size);
    if (p) return p;
    if (!run_new_handler()) throw std::bad_alloc();
  }
}

static void* new_nothrow(std::size_t size, std::size_t align) noexcept {
  try {
    return new_throwing(size, align);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void* operator new(std::size_t size) { return new_throwing(size, 0); }
void* operator new[](std::size_t size) { return new_throwing(size, 0); }
void* operator new(std::size_t size, const char*, int) { return new_throwing(size, 0); }
void* operator new[](std::size_t size, const char*, int) { return new_throwing(size, 0); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return new_nothrow(size, 0); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return new_nothrow(size, 0); }
void* operator new(std::size_t size, const std::nothrow_t&, const char*, int) noexcept {
  return new_nothrow(size, 0);
}
void* operator new[](std::size_t size, const std::nothrow_t&, const char*, int) noexcept {
  return new_nothrow(size, 0);
}
void* operator new(std::size_t size, std::align_val_t a) { return new_throwing(size, (std::size_t)a); }
void* operator new[](std::size_t size, std::align_val_t a) { return new_throwing(size, (std::size_t)a); }
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return new_nothrow(size, (std::size_t)a);
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return new_nothrow(size, (std::size_t)a);
}

void operator delete(void* p) noexcept { heap_free(p); }
void operator delete[](void* p) noexcept { heap_free(p); }
void operator delete(void* p, std::size_t) noexcept { heap_free(p); }
void operator delete[](void* p, std::size_t) noexcept { heap_free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { heap_free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { heap_free(p); }
void operator delete(void* p, const char*, int) noexcept { heap_free(p); }
void operator delete[](void* p, const char*, int) noexcept { heap_free(p); }
void operator delete(void* p, std::align_val_t) noexcept { heap_free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { heap_free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { heap_free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { heap_free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { heap_free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { heap_free(p); }
