#include "platform/plat_memory.h"
#include <errno.h>
#include <fcntl.h>
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PLAT_SANITIZER_HEAP 1
// The sanitizer runtime's heap figures (its header does not ship with every compiler).
extern "C" {
size_t __sanitizer_get_current_allocated_bytes();
size_t __sanitizer_get_heap_size();
size_t __sanitizer_get_free_bytes();
size_t __sanitizer_get_unmapped_bytes();
}
#endif

// Calls fn on each line of a /proc text file (without its line feed) until fn
// returns non-zero. Reads through a stack buffer and never allocates, so the
// crash path may use it; a line longer than the buffer is cut short.
typedef int (*line_fn)(const char* line, void* ctx);
static int read_lines(const char* path, line_fn fn, void* ctx) {
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  char buf[8192];
  size_t have = 0;
  bool skipping = false;  // dropping the tail of a line that did not fit
  int stop = 0, err = 0;
  while (!stop) {
    ssize_t n = read(fd, buf + have, sizeof(buf) - 1 - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      break;
    }
    have += (size_t)n;
    size_t pos = 0;
    while (!stop) {
      char* nl = (char*)memchr(buf + pos, '\n', have - pos);
      if (!nl) break;
      *nl = 0;
      if (!skipping) stop = fn(buf + pos, ctx);
      skipping = false;
      pos = (size_t)(nl - buf) + 1;
    }
    memmove(buf, buf + pos, have - pos);
    have -= pos;
    if (stop) break;
    if (n == 0) {
      buf[have] = 0;
      if (have && !skipping) fn(buf, ctx);
      break;
    }
    if (have == sizeof(buf) - 1) {
      buf[have] = 0;
      if (!skipping) stop = fn(buf, ctx);
      skipping = true;
      have = 0;
    }
  }
  close(fd);
  return err;
}

// "Name:   123 kB" lines of /proc/self/status and /proc/meminfo.
struct kb_field {
  const char* name;
  uint64_t* out;
};
struct kb_fields {
  const kb_field* fields;
  int count, found;
};

static int take_kb_field(const char* line, void* ctx) {
  kb_fields* f = (kb_fields*)ctx;
  const char* colon = strchr(line, ':');
  if (!colon) return 0;
  size_t len = (size_t)(colon - line);
  for (int i = 0; i < f->count; ++i) {
    if (strlen(f->fields[i].name) == len && memcmp(f->fields[i].name, line, len) == 0) {
      *f->fields[i].out = strtoull(colon + 1, nullptr, 10) * 1024u;
      ++f->found;
    }
  }
  return 0;
}

static int read_kb_fields(const char* path, const kb_field* fields, int count) {
  kb_fields f{fields, count, 0};
  int err = read_lines(path, take_kb_field, &f);
  if (err) return err;
  return f.found ? 0 : ENODATA;
}

int PLAT_get_process_memory(PLAT_process_memory* out) {
  *out = PLAT_process_memory();
  long page = sysconf(_SC_PAGESIZE);
  out->page_size = page > 0 ? (uint64_t)page : 4096u;
  const kb_field fields[] = {{"VmSize", &out->virtual_size}, {"VmRSS", &out->resident_size}};
  return read_kb_fields("/proc/self/status", fields, 2);
}

int PLAT_get_machine_memory(PLAT_machine_memory* out) {
  *out = PLAT_machine_memory();
  const kb_field fields[] = {{"MemFree", &out->free},         {"Active", &out->active},
                             {"Inactive", &out->inactive},    {"Unevictable", &out->wired},
                             {"SwapTotal", &out->swap_total}, {"SwapFree", &out->swap_free}};
  int err = read_kb_fields("/proc/meminfo", fields, 6);
  out->swap_used = out->swap_total > out->swap_free ? out->swap_total - out->swap_free : 0;
  return err;
}

// One header line of /proc/self/maps (or smaps):
// "start-end perms offset major:minor inode   path".
struct map_entry {
  PLAT_vm_region r;
  unsigned long dev_major = 0, dev_minor = 0;
  uint64_t inode = 0;
  bool vsyscall = false;
};

static bool is_lower_hex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

static bool parse_map_header(const char* s, map_entry* e) {
  if (!is_lower_hex(s[0])) return false;
  char* p;
  e->r = PLAT_vm_region();
  e->r.start = (uintptr_t)strtoull(s, &p, 16);
  if (*p != '-') return false;
  e->r.end = (uintptr_t)strtoull(p + 1, &p, 16);
  if (*p != ' ' || strlen(p) < 6) return false;
  const char* perms = p + 1;
  e->r.readable = perms[0] == 'r';
  e->r.writable = perms[1] == 'w';
  e->r.executable = perms[2] == 'x';
  const bool shared = perms[3] == 's';
  strtoull(perms + 5, &p, 16);  // offset
  e->dev_major = strtoul(p, &p, 16);
  if (*p == ':') e->dev_minor = strtoul(p + 1, &p, 16);
  e->inode = strtoull(p, &p, 10);
  while (*p == ' ' || *p == '\t') ++p;
  const char* path = p;
  e->vsyscall = strcmp(path, "[vsyscall]") == 0;
  if (shared || strcmp(path, "[vdso]") == 0 || strcmp(path, "[vvar]") == 0)
    e->r.share_mode = PLAT_SM_SHARED;
  else if (path[0] == '/')
    e->r.share_mode = PLAT_SM_COW;
  else if (!e->r.readable && !e->r.writable && !e->r.executable)
    e->r.share_mode = PLAT_SM_EMPTY;
  else
    e->r.share_mode = PLAT_SM_PRIVATE;
  return true;
}

struct region_search {
  uintptr_t addr;
  PLAT_vm_region* out;
  int found;
};

static int take_region_at(const char* line, void* ctx) {
  region_search* rs = (region_search*)ctx;
  map_entry e;
  if (!parse_map_header(line, &e) || e.r.end <= rs->addr) return 0;
  *rs->out = e.r;
  rs->found = 1;
  return 1;
}

int PLAT_vm_region_at(uintptr_t addr, PLAT_vm_region* out) {
  region_search rs{addr, out, 0};
  if (read_lines("/proc/self/maps", take_region_at, &rs)) return 0;
  return rs.found;
}

static int take_smaps_line(const char* line, void* ctx) {
  std::vector<map_entry>* list = (std::vector<map_entry>*)ctx;
  map_entry e;
  if (parse_map_header(line, &e)) {
    list->push_back(e);
    return 0;
  }
  if (list->empty()) return 0;
  PLAT_vm_region& r = list->back().r;
  const char* colon = strchr(line, ':');
  if (!colon) return 0;
  uint64_t bytes = strtoull(colon + 1, nullptr, 10) * 1024u;
  if (!strncmp(line, "Shared_Clean:", 13) || !strncmp(line, "Shared_Dirty:", 13))
    r.shared_resident += bytes;
  else if (!strncmp(line, "Private_Clean:", 14) || !strncmp(line, "Private_Dirty:", 14))
    r.private_resident += bytes;
  return 0;
}

int PLAT_get_vm_regions(std::vector<PLAT_vm_region>& out) {
  out.clear();
  std::vector<map_entry> list;
  int err = read_lines("/proc/self/smaps", take_smaps_line, &list);
  if (err) return err;
  for (const map_entry& e : list) {
    // The legacy system-call page lies above the user address space.
    if (e.vsyscall) continue;
    PLAT_vm_region r = e.r;
    if (r.share_mode == PLAT_SM_EMPTY) {
      r.ref_count = 0;
    } else if (e.inode == 0) {
      r.ref_count = 1;
    } else {
      r.ref_count = 0;
      for (const map_entry& o : list)
        if (o.inode == e.inode && o.dev_major == e.dev_major && o.dev_minor == e.dev_minor) ++r.ref_count;
    }
    out.push_back(r);
  }
  return 0;
}

#ifdef PLAT_SANITIZER_HEAP
// Under a sanitizer the program allocates from the sanitizer's own heap.
void PLAT_get_heap_stats(PLAT_heap_stats* out) {
  *out = PLAT_heap_stats();
  out->arena = __sanitizer_get_heap_size();
  out->in_use = __sanitizer_get_current_allocated_bytes();
  out->free_space = __sanitizer_get_free_bytes();
  out->releasable = __sanitizer_get_unmapped_bytes();
  out->max_total = out->arena;
}
#else
// The high-water mark of the heap's arenas: the last (all-arena) "max" entry
// of the C library's XML report.
static uint64_t arena_high_water() {
  char* text = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&text, &len);
  if (!f) return 0;
  malloc_info(0, f);
  fclose(f);
  uint64_t max = 0;
  static const char key[] = "<system type=\"max\" size=\"";
  for (const char* p = text ? strstr(text, key) : nullptr; p; p = strstr(p + 1, key))
    max = strtoull(p + sizeof(key) - 1, nullptr, 10);
  free(text);
  return max;
}

void PLAT_get_heap_stats(PLAT_heap_stats* out) {
  struct mallinfo2 mi = mallinfo2();
  out->arena = mi.arena;
  out->free_chunks = mi.ordblks;
  out->mapped = mi.hblkhd;
  uint64_t high = arena_high_water();
  out->max_total = (high > mi.arena ? high : mi.arena) + mi.hblkhd;
  out->in_use = mi.uordblks;
  out->free_space = mi.fordblks;
  out->releasable = mi.keepcost;
}
#endif
