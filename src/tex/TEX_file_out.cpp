#include "tex/TEX_file_out.h"
#include <sys/stat.h>
#include "files/file_paths.h"

TEX_file_out::TEX_file_out(const std::string& path) : full(path) {
  set_path_to_full(full);
  file = fopen(full.c_str(), "wb");
  struct stat st;
  regular = file && fstat(fileno(file), &st) == 0 && S_ISREG(st.st_mode);
}

TEX_file_out::~TEX_file_out() {
  if (file) finish(0);
}

int TEX_file_out::finish(int ok) {
  if (!file) return 0;
  // A short write shows in the stream's error flag or at the close.
  if (ferror(file)) ok = 0;
  if (fclose(file) != 0) ok = 0;
  file = nullptr;
  if (!ok && regular) remove(full.c_str());
  return ok;
}
