#include "files/stub_issue4_paths.h"
#include "core/globs.h"

void set_path_to_full(std::string& path) {
  if (path.empty() || path[0] != '/') path = app_path + path;
}
