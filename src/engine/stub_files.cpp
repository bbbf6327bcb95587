#include "engine/stub_files.h"

void get_path_with_path(std::string& out, const std::string& in) {
  if (in.empty()) {
    out.clear();
    return;
  }
  const size_t slash = in.rfind('/', in.size() - 2 < in.size() ? in.size() - 2 : 0);
  out = slash == std::string::npos ? std::string() : in.substr(0, slash + 1);
}

void get_file_with_path(std::string& out, const std::string& in) {
  if (in.empty()) {
    out.clear();
    return;
  }
  const size_t slash = in.rfind('/', in.size() - 2 < in.size() ? in.size() - 2 : 0);
  out = slash == std::string::npos ? in : in.substr(slash + 1);
}
