// Allocation front end and the memory report. Every allocation of the program
// goes through xmalloc/xcalloc/xfree or the global operator new and delete
// defined here, which take memory from the one heap chosen for the process.
// Any thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <new>

// Non-zero when the pool allocator serves the program; the first call makes
// the choice, which then holds for the whole run. This system's heap serves
// threads well, so the answer here is 0.
int want_ned();
// A block of size bytes from the chosen heap (0 is passed on as 0), or null
// when memory runs out. Never throws and calls no new-handler.
void* xmalloc(unsigned long size);
// A zero-filled block of count * size bytes, or null.
void* xcalloc(unsigned long count, unsigned long size);
// Returns a block of xmalloc or xcalloc to its heap; null is ignored.
void xfree(void* block);
// As xmalloc and xfree; the source file and line are accepted for callers
// that pass them and not used.
void* xmalloc_tracked(const char* file, int line, unsigned long size);
void xfree_tracked(const char* file, int line, void* block);

// Forms of operator new that name their caller's source file and line (not
// used). The plain forms replace the standard library's for the whole program.
void* operator new(std::size_t size, const char* file, int line);
void* operator new[](std::size_t size, const char* file, int line);
void* operator new(std::size_t size, const std::nothrow_t&, const char* file, int line) noexcept;
void* operator new[](std::size_t size, const std::nothrow_t&, const char* file, int line) noexcept;
void operator delete(void* block, const char* file, int line) noexcept;
void operator delete[](void* block, const char* file, int line) noexcept;

// Writes one memory report, headed by reason, to "MemoryLog.txt" in app_path
// (the first report of the process replaces the file, later ones append; the
// standard output when it cannot be opened) and says so in the log.
void dump_mem_stats(const char* reason);
// The remote command "Dump Memory Info": a report with the reason
// "Remote command (from plugin)".
void DumpMemCmd();
// A byte count scaled for the report: the number, and its unit letter
// 'G', 'M', 'K' or 'B'.
unsigned long long mem_to_number(uint64_t bytes);
char mem_to_suffix(uint64_t bytes);
// The name of a region's share mode ("Copy-on-write" ... "Shared-Aliased",
// else "Unknown").
const char* sm_string(unsigned char share_mode);

// A pool of 32768-byte blocks from xmalloc that hands out small pieces and
// frees them all at once when it is destroyed. Not thread-safe.
class UTL_lazy_mempool {
 public:
  UTL_lazy_mempool();
  // Frees every block and takes its size off global_total.
  ~UTL_lazy_mempool();
  UTL_lazy_mempool(const UTL_lazy_mempool&) = delete;
  UTL_lazy_mempool& operator=(const UTL_lazy_mempool&) = delete;

  // A piece of size bytes aligned for any type, or null when size does not fit
  // a block or no block can be had.
  void* alloc(unsigned long size);
  // Logs the allocated, wasted and ready byte counts.
  void dump();

  long total_allocated;
  long total_wasted;
  void* blocks;  // each block's first word links the next
  char* cursor;  // next free byte of the newest block
  long total_ready;

  // Bytes held in blocks by all pools together ("memory/lazy_pools").
  static inline float global_total = 0;
  static const unsigned long block_size = 32768;
};
