#include "core/utl_debug.h"
#include <signal.h>
#include <cctype>
#include <cstring>
#include "platform/plat_memory.h"
#include "platform/plat_symbols.h"

void UTL_debug_init() { signal(SIGPIPE, SIG_IGN); }

static void copy_text(char* dst, const char* src) {
  strncpy(dst, src ? src : "", 1023);
  dst[1023] = 0;
}

void UTL_get_debug_symbol(void* addr, symbol_info* info) {
  info->image_path[0] = info->symbol_name[0] = info->source_file[0] = 0;
  info->image_base = info->symbol_addr = nullptr;
  info->source_line = -1;
  const char *image = nullptr, *name = nullptr;
  if (!PLAT_image_of(addr, &image, &info->image_base, &name, &info->symbol_addr)) return;
  copy_text(info->image_path, image);
  if (name) copy_text(info->symbol_name, name);
  // The image's full symbol table knows the functions the dynamic table
  // leaves out, and its line tables give the source position.
  PLAT_debug_info(addr, info->symbol_name, sizeof(info->symbol_name), &info->symbol_addr, info->source_file,
                  sizeof(info->source_file), &info->source_line);
}

static const char* base_name(const char* path) {
  const char* b = path;
  for (const char* p = path; *p; ++p)
    if (*p == '/' || *p == '\\') b = p + 1;
  return b;
}

void print_symbol(FILE* out, void* addr) {
  symbol_info info;
  UTL_get_debug_symbol(addr, &info);
  const long dist = (long)((char*)addr - (char*)info.symbol_addr);
  if (info.symbol_name[0] && info.symbol_addr)
    fprintf(out, "%s + %ld", info.symbol_name, dist);
  else if (info.symbol_addr)
    fprintf(out, "0x%016lx + %ld", (unsigned long)info.symbol_addr, dist);
  else
    fprintf(out, "0x%016lx", (unsigned long)addr);
  if (info.source_file[0]) fprintf(out, " (%s:%d)", base_name(info.source_file), info.source_line);
  const long off = (long)((char*)addr - (char*)info.image_base);
  if (info.image_path[0] && info.image_base)
    fprintf(out, " (%s + %ld)\n", base_name(info.image_path), off);
  else if (info.image_base)
    fprintf(out, " (0x%016lx + %ld)\n", (unsigned long)info.image_base, off);
  else
    fputs(" (?" "?" "?)\n", out);  // split: "??)" would read as a trigraph
}

// The walk reads frame records of the stack, which the address sanitizer
// would take for stray reads.
__attribute__((no_sanitize("address"))) static void walk_frames(FILE* out, stack_frame* frame, int line) {
  while (frame) {
    if (!UTL_valid_memory(frame, sizeof(stack_frame), 1, 1)) break;
    if (line > 99) break;
    if ((uintptr_t)frame->next_frame <= (uintptr_t)frame) break;
    fprintf(out, " % 2d) ", line);
    print_symbol(out, frame->return_addr);
    frame = frame->next_frame;
    ++line;
  }
}

// Not inlined: its own frame record is where the walk starts.
__attribute__((noinline)) void UTL_dump_stack(FILE* out, void* first_frame, void* code_addr) {
  int line = 0;
  if (code_addr) {
    fprintf(out, " % 2d) ", 0);
    print_symbol(out, code_addr);
    line = 1;
  }
  walk_frames(out, (stack_frame*)(first_frame ? first_frame : __builtin_frame_address(0)), line);
}

int UTL_valid_memory(void* start, uint32_t len, int need_read, int need_write) {
  const uintptr_t end = (uintptr_t)start + len;
  uintptr_t at = (uintptr_t)start;
  if (end <= at) return 1;
  while (at < end) {
    PLAT_vm_region r;
    if (!PLAT_vm_region_at(at, &r)) return 0;
    if (r.start > at) return 0;
    if (need_read && !r.readable) return 0;
    if (need_write && !r.writable) return 0;
    at = r.end;
  }
  return 1;
}

void dump_hex(FILE* out, void* addr, int32_t len) {
  const unsigned char* p = (const unsigned char*)addr;
  for (int32_t left = len; left > 0; left -= 16, p += 16) {
    fputc(' ', out);
    for (int i = 0; i < 16; ++i) {
      if (i && i % 4 == 0) fputc(' ', out);
      if (i < left)
        fprintf(out, "%02X", p[i]);
      else
        fputs("  ", out);
    }
    fputs("     ", out);
    for (int i = 0; i < 16; ++i) {
      if (i && i % 4 == 0) fputc(' ', out);
      fputc(i < left ? (isprint(p[i]) ? p[i] : '.') : ' ', out);
    }
    fputc('\n', out);
  }
}
