// Debug set-up, symbolised stack crawls and two debugging aids. No state;
// any thread (a crawl covers the calling thread only).
#pragma once
#include <cstdint>
#include <cstdio>

// What is known about one code address. Texts hold at most 1023 characters
// (longer names are cut); source_line is -1 when no line is known.
struct symbol_info {
  char image_path[1024];  // file of the loaded image that holds the address
  void* image_base;       // where that image is loaded
  char symbol_name[1024]; // nearest function symbol at or below the address
  void* symbol_addr;      // that symbol's address
  char source_file[1024];
  int source_line;
};

// One record of the frame-pointer chain, as it lies at a frame pointer.
struct stack_frame {
  stack_frame* next_frame;  // the caller's record
  void* return_addr;        // the return address into the caller
};

// Ignores the broken-pipe signal, so a write to a closed socket or pipe fails
// with an error instead of ending the process.
void UTL_debug_init();
// Writes the numbered back-trace of the calling thread to out: first, when
// code_addr is given, line 0 for that address (where a fault happened); then
// one line per frame from first_frame (null: the caller of UTL_dump_stack).
// Stops at a frame record that is not mapped readable and writable, at a
// chain that does not climb, or after 100 lines.
void UTL_dump_stack(FILE* out, void* first_frame, void* code_addr);
// Writes one back-trace line for addr: "name + distance (file:line) (image + offset)".
void print_symbol(FILE* out, void* addr);
// Fills info for addr from the loaded images and their symbol and line tables.
void UTL_get_debug_symbol(void* addr, symbol_info* info);
// 1 when all of [start, start + len) is mapped with the asked-for access
// (an empty range is valid), else 0.
int UTL_valid_memory(void* start, uint32_t len, int need_read, int need_write);
// Writes a hex and text dump of len bytes at addr, 16 bytes a line.
void dump_hex(FILE* out, void* addr, int32_t len);
