// Turning code addresses into names for crash reports: the loaded image that
// holds an address, and the function, source file and line from the image's
// symbol and debugging tables.
#pragma once
#include <cstddef>

// The loaded image (executable or shared library) that holds addr: its file,
// the address it is loaded at, and the nearest exported symbol at or below
// addr with that symbol's address (name null when there is none). 1 when an
// image holds addr, else 0 with nothing filled.
int PLAT_image_of(const void* addr, const char** image_path, void** image_base,
                  const char** symbol_name, void** symbol_addr);

// Reads the image's full symbol table and its line tables for addr. Copies the
// name of the function symbol that holds addr into symbol (at most symbol_len
// bytes with the NUL) and its start into *symbol_addr; the source file and line
// of addr into file and *line. Each part stays as it was when the tables do not
// know it. Safe on any thread; allocates nothing from the program's heap.
void PLAT_debug_info(const void* addr, char* symbol, size_t symbol_len, void** symbol_addr,
                     char* file, size_t file_len, int* line);
