// The file an image writer creates: made full, opened for binary writing,
// and removed again when writing it failed, so no half-written picture is
// left behind (a device or pipe written to is never removed).
#pragma once
#include <cstdio>
#include <string>

class TEX_file_out {
 public:
  // Opens path (after set_path_to_full) with "wb"; file is null when it
  // cannot be created.
  explicit TEX_file_out(const std::string& path);
  TEX_file_out(const TEX_file_out&) = delete;
  TEX_file_out& operator=(const TEX_file_out&) = delete;
  // Closes the file if finish did not.
  ~TEX_file_out();
  // Closes the file. Returns ok when it was non-zero, no write failed and
  // the close succeeded; otherwise 0, removing a regular file.
  int finish(int ok);

  FILE* file = nullptr;

 private:
  std::string full;
  bool regular = false;
};
