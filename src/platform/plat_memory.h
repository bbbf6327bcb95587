// What the system says about memory: this process's size, the machine's
// pages and swap, the map of this process's address space, and the heap.
// Figures are in bytes.
#pragma once
#include <cstdint>
#include <vector>

// Share modes of a region of the address space (the numbering the memory
// report prints names for).
enum {
  PLAT_SM_COW = 1,      // private mapping of a file: pages are copied on write
  PLAT_SM_PRIVATE = 2,  // anonymous memory of this process
  PLAT_SM_EMPTY = 3,    // reserved address space without access or pages
  PLAT_SM_SHARED = 4,   // shared with other processes (shared mappings, kernel pages)
};

struct PLAT_process_memory {
  uint64_t page_size = 0;
  uint64_t virtual_size = 0;   // all mapped address space
  uint64_t resident_size = 0;  // pages held in RAM
};

struct PLAT_machine_memory {
  uint64_t free = 0, active = 0, inactive = 0;
  uint64_t wired = 0;  // pages that can never be paged out
  uint64_t swap_total = 0, swap_free = 0, swap_used = 0;
};

struct PLAT_vm_region {
  uintptr_t start = 0, end = 0;
  int readable = 0, writable = 0, executable = 0;
  int share_mode = 0;  // PLAT_SM_...
  int ref_count = 0;   // mappings of this process that map the same object
  uint64_t private_resident = 0, shared_resident = 0;
};

// Heap figures in the shape of the classic mallinfo record.
struct PLAT_heap_stats {
  uint64_t arena = 0;        // space taken from the system other than by mapping
  uint64_t free_chunks = 0;  // number of free blocks
  uint64_t mapped = 0;       // space in blocks mapped on their own
  uint64_t max_total = 0;    // most space ever held
  uint64_t in_use = 0;       // space handed out to the program
  uint64_t free_space = 0;   // space held but free
  uint64_t releasable = 0;   // free space at the top that could go back to the system
};

// Fills this process's figures; 0, or an errno value when they cannot be read.
int PLAT_get_process_memory(PLAT_process_memory* out);
// Fills the machine's figures; 0, or an errno value when they cannot be read.
int PLAT_get_machine_memory(PLAT_machine_memory* out);
// The region that holds addr or, when addr lies in a hole, the next region
// above it, without its residency and reference count; 1 when there is one,
// else 0. Touches no heap, so it may run on the crash path.
int PLAT_vm_region_at(uintptr_t addr, PLAT_vm_region* out);
// Every region of this process's address space in ascending order, with
// residency and reference counts; 0, or an errno value.
int PLAT_get_vm_regions(std::vector<PLAT_vm_region>& out);
// Fills the heap figures of the heap the program allocates from.
void PLAT_get_heap_stats(PLAT_heap_stats* out);
