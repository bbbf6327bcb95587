// The memory report "MemoryLog.txt": the process's and the machine's memory,
// the map of the address space, and the heap's figures.
#include <cstdio>
#include <string>
#include <vector>
#include "core/globs.h"
#include "core/utl_mem.h"
#include "core/utl_pool_alloc.h"
#include "platform/plat_memory.h"
#include "platform/plat_symbols.h"

static int first_dump = 1;

unsigned long long mem_to_number(uint64_t b) {
  if (b > 15032385536ull) return b >> 30;
  if (b * 10 > 14680064ull) return b >> 20;  // more than 1.4 MiB
  if (b * 10 > 14336ull) return b >> 10;     // more than 1.4 KiB
  return b;
}

char mem_to_suffix(uint64_t b) {
  if (b > 15032385536ull) return 'G';
  if (b * 10 > 14680064ull) return 'M';
  if (b * 10 > 14336ull) return 'K';
  return 'B';
}

const char* sm_string(unsigned char sm) {
  switch (sm) {
    case 1: return "Copy-on-write";
    case 2: return "Private";
    case 3: return "Empty";
    case 4: return "Shared";
    case 5: return "True-Shared";
    case 6: return "Private-Aliased";
    case 7: return "Shared-Aliased";
    default: return "Unknown";
  }
}

// One line of the report: its label, a scaled figure with its unit letter,
// and the explanation after it.
struct figure_line {
  const char* label;
  uint64_t bytes;
  const char* tail;
};

static void put_lines(FILE* f, const figure_line* lines, size_t count) {
  for (size_t i = 0; i < count; ++i)
    fprintf(f, "%s%5llu%c%s\n", lines[i].label, mem_to_number(lines[i].bytes), mem_to_suffix(lines[i].bytes),
            lines[i].tail);
}

// The file name of the loaded image that holds addr: "null" when the image
// has no file name, "" when no image holds it.
static std::string image_name(uintptr_t addr) {
  const char *path = nullptr, *sym = nullptr;
  void *base = nullptr, *sym_addr = nullptr;
  if (!PLAT_image_of((const void*)addr, &path, &base, &sym, &sym_addr)) return std::string();
  if (!path || !*path) return "null";
  std::string p(path);
  size_t slash = p.rfind('/');
  return slash == std::string::npos ? p : p.substr(slash + 1);
}

static void write_os_info(FILE* f) {
  PLAT_process_memory pm;
  PLAT_machine_memory mm;
  PLAT_get_process_memory(&pm);
  PLAT_get_machine_memory(&mm);
  fprintf(f, "OS X Info:\n");
  // The system gives the swap figures in bytes; they are printed as such.
  const figure_line lines[] = {
      {"    Page size:        ", pm.page_size, "      This is the size of one virtual memory page."},
      {"    Vsize (reported): ", pm.virtual_size,
       "      This is the total virtual address space used by Duvizo (including empty regions)."},
      {"    Rsize:            ", pm.resident_size,
       "      This is the total amount of real RAM used by Duvizo (virtual pages resident in RAM)."},
      {"    Free pages:       ", mm.free, "      This is the total free RAM on the machine."},
      {"    Active Pages:     ", mm.active,
       "      This is the total actively used RAM among all apps - it probably can't be paged out without causing "
       "huge performance problems."},
      {"    Inactive Pages:   ", mm.inactive,
       "      This is the total inactive RAM from all apps - pages that is elligible to be paged out since it hasn't "
       "been used recently."},
      {"    Wired Pages:      ", mm.wired,
       "      This is the total wired RAM - pages that are 'wired down' and cannot ever be paged out."},
      {"    Total Swap Pages: ", mm.swap_total, ""},
      {"    Avail Swap Pages: ", mm.swap_free, ""},
      {"    Used  Swap Pages: ", mm.swap_used, ""},
  };
  put_lines(f, lines, sizeof(lines) / sizeof(lines[0]));
}

static void write_vm_map(FILE* f) {
  fprintf(f, "    I will now print the entire map of virtual memory.\n");
  fprintf(f, "        Address           Size    r-private r-shared sharing-mode (ref count)\n");
  std::vector<PLAT_vm_region> regions;
  PLAT_get_vm_regions(regions);
  uint64_t total_size = 0, private_res = 0, shared_res = 0;
  uint64_t largest_empty = 0, total_empty = 0, largest_gap = 0, total_gap = 0;
  uintptr_t at = 0;
  for (const PLAT_vm_region& r : regions) {
    if (r.start > at) {
      const uint64_t gap = r.start - at;
      fprintf(f, "        0x%016llX      %5llu%c               --------\n", (unsigned long long)at,
              mem_to_number(gap), mem_to_suffix(gap));
      if (gap > largest_gap) largest_gap = gap;
      total_gap += gap;
    }
    const uint64_t size = r.end - r.start;
    fprintf(f, "        0x%016llX      %5llu%c       %5llu%c %5llu%c   %20s (% 3d)       %s\n",
            (unsigned long long)r.start, mem_to_number(size), mem_to_suffix(size), mem_to_number(r.private_resident),
            mem_to_suffix(r.private_resident), mem_to_number(r.shared_resident), mem_to_suffix(r.shared_resident),
            sm_string((unsigned char)r.share_mode), r.ref_count, image_name(r.start).c_str());
    if (r.share_mode == PLAT_SM_EMPTY) {
      if (size > largest_empty) largest_empty = size;
      total_empty += size;
    } else {
      total_size += size;
    }
    private_res += r.private_resident;
    shared_res += r.shared_resident;
    at = r.end;
  }
  const figure_line lines[] = {
      {"    Total vsize:     ", total_size,
       "      This is the total non-empty virtual address space used by Duvizo."},
      {"    Total rsize:     ", private_res + shared_res,
       "      This is the total amount of real memory used by Duvizo (shared and exclusive)."},
      {"    Shared rsize:    ", shared_res,
       "      This is the total amonut of real memory used by Duvizo that is shared with other processes."},
      {"    Private rsize:   ", private_res,
       "      This is the total amount of real memory used by Duvizo exclusively (private)."},
      {"    Largest free:    ", largest_empty, "      This is the largest empty region in Duvizo's address space."},
      {"    Total free:      ", total_empty, "      This is the size of all empty regions in Duvizo's address space."},
      {"    Largest gap:     ", largest_gap,
       "      This is the size of the largest unused gap in Duvizo's address space."},
      {"    Total gap:       ", total_gap,
       "      This is the size of all of the gaps in Duvizo's address space - that is, total unused address space."},
  };
  put_lines(f, lines, sizeof(lines) / sizeof(lines[0]));
}

// The figures of the heap in use: the pool allocator's own when every
// allocation goes through it, else the system heap's.
static void get_heap_stats(PLAT_heap_stats* h) {
  if (!want_ned()) {
    PLAT_get_heap_stats(h);
    return;
  }
  const struct mallinfo m = nedmallinfo();
  h->arena = m.arena;
  h->free_chunks = m.ordblks;
  h->mapped = m.hblkhd;
  h->max_total = m.usmblks;
  h->in_use = m.uordblks;
  h->free_space = m.fordblks;
  h->releasable = m.keepcost;
}

static void write_heap_info(FILE* f) {
  PLAT_heap_stats h;
  get_heap_stats(&h);
  fprintf(f, "NED-MALLOC INFO:\n");
  fprintf(f, "    This version of Duvizo is using the NED allocator.\n");
  const figure_line arena = {"    Arena:             ", h.arena,
                             "     This is the space NED is using that was not created using mmap."};
  put_lines(f, &arena, 1);
  fprintf(f, "    Free Chunks:       %5llu       \n", (unsigned long long)h.free_chunks);
  const figure_line lines[] = {
      {"    Mapped Space:      ", h.mapped, "     This is the space NED has allocated for use via mmap."},
      {"    Max Alloc Space:   ", h.max_total, "     This is the most space NED ever had reserved from any source."},
      {"    Total Alloc Space: ", h.in_use + h.free_space,
       "     This is the current space NED has reserved now from any source."},
      {"    Total Free Space:  ", h.free_space, "     This is how much free space NED has in its reserves."},
      {"    Total Used Space:  ", h.in_use, "     This is how much space Duvizo has allocated fmor NED."},
      {"    Releasable Space:  ", h.releasable,
       "     This is how much space NED could give back to the OS if desired."},
  };
  put_lines(f, lines, sizeof(lines) / sizeof(lines[0]));
}

void dump_mem_stats(const char* reason) {
  xer_group() << "I am dumping information about memory to MemoryLog.txt.  This memory dump was generated by: "
              << reason << ".\n";
  const std::string path = app_path + "MemoryLog.txt";
  FILE* f = fopen(path.c_str(), first_dump ? "w" : "a");
  first_dump = 0;
  const bool to_file = f != nullptr;
  if (!to_file) f = stdout;
  fprintf(f, "Memory information dump, generated by: %s.\n", reason);
  write_os_info(f);
  write_vm_map(f);
  write_heap_info(f);
  if (to_file) {
    const bool failed = ferror(f) != 0;
    if (fclose(f) != 0 || failed) xer_group() << "The memory report could not be written to " << path << ".\n";
  } else {
    fflush(stdout);
  }
}

void DumpMemCmd() { dump_mem_stats("Remote command (from plugin)"); }
