#include "platform/plat_symbols.h"
#include <backtrace.h>
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#include <stdint.h>
#include <string.h>

int PLAT_image_of(const void* addr, const char** image_path, void** image_base,
                  const char** symbol_name, void** symbol_addr) {
  Dl_info info;
  if (!dladdr(addr, &info)) return 0;
  *image_path = info.dli_fname;
  // The main program is named as it was started ("./prog"), which means
  // nothing once the current folder changes; the kernel knows its full path.
  if (info.dli_fname && info.dli_fname[0] != '/') {
    static thread_local char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof(exe) - 1);
    if (n > 0) {
      exe[n] = 0;
      *image_path = exe;
    }
  }
  *image_base = info.dli_fbase;
  *symbol_name = info.dli_sname;
  *symbol_addr = info.dli_saddr;
  return 1;
}

// The tables are read once per process, on the first look-up; a program
// without debugging entries just yields no file and line.
static void ignore_error(void*, const char*, int) {}

static backtrace_state* tables() {
  static backtrace_state* state = backtrace_create_state(nullptr, 1, ignore_error, nullptr);
  return state;
}

static void copy_text(char* dst, size_t len, const char* src) {
  if (!len) return;
  strncpy(dst, src, len - 1);
  dst[len - 1] = 0;
}

struct debug_answer {
  char* symbol;
  size_t symbol_len;
  void** symbol_addr;
  char* file;
  size_t file_len;
  int* line;
};

static void take_symbol(void* data, uintptr_t, const char* name, uintptr_t value, uintptr_t) {
  debug_answer* a = (debug_answer*)data;
  if (!name || !*name) return;
  copy_text(a->symbol, a->symbol_len, name);
  *a->symbol_addr = (void*)value;
}

// Called once per inlined level, innermost first; the last call is the
// function that holds the code, whose name the crawl prints, so its file and
// line are the ones to keep.
static int take_line(void* data, uintptr_t, const char* file, int line, const char*) {
  debug_answer* a = (debug_answer*)data;
  if (!file || !*file) return 0;
  copy_text(a->file, a->file_len, file);
  *a->line = line;
  return 0;
}

void PLAT_debug_info(const void* addr, char* symbol, size_t symbol_len, void** symbol_addr,
                     char* file, size_t file_len, int* line) {
  backtrace_state* st = tables();
  if (!st) return;
  debug_answer a{symbol, symbol_len, symbol_addr, file, file_len, line};
  backtrace_syminfo(st, (uintptr_t)addr, take_symbol, ignore_error, &a);
  backtrace_pcinfo(st, (uintptr_t)addr, take_line, ignore_error, &a);
}
