// Stand-in for the data-file reader (xmap.h): a read-only memory-mapped
// window on a whole file. Only what the archive and digest code uses.
#pragma once
#include <string>

class xmap_class {
 public:
  // Maps the file at path (offset 0 and length 0: the whole file); mem_beg
  // stays null when the file cannot be opened or mapped, or is empty.
  xmap_class(std::string path, int offset, int length);
  ~xmap_class();
  xmap_class(const xmap_class&) = delete;
  xmap_class& operator=(const xmap_class&) = delete;

  std::string path;
  char* mem_beg = nullptr;
  char* mem_cur = nullptr;
  char* mem_end = nullptr;
  int fd = -1;
};
