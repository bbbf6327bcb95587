#include "files/stub_issue4_xmap.h"
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include "files/stub_issue4_paths.h"

xmap_class::xmap_class(std::string p, int offset, int length) : path(p) {
  (void)offset;
  (void)length;
  set_path_to_full(p);
  fd = open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  struct stat st;
  if (fstat(fd, &st) != 0 || st.st_size <= 0) return;
  void* m = mmap(nullptr, st.st_size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (m == MAP_FAILED) return;
  mem_beg = mem_cur = static_cast<char*>(m);
  mem_end = mem_beg + st.st_size;
}

xmap_class::~xmap_class() {
  if (mem_beg) munmap(mem_beg, mem_end - mem_beg);
  if (fd >= 0) close(fd);
}
