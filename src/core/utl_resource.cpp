#include "core/utl_resource.h"
#include <sys/stat.h>
#include <cstring>
#include "platform/plat_folders.h"

int UTL_path_is_resource(std::string& path) {
  if (path.size() <= 8 || path.compare(0, 9, "RESOURCE:") != 0) return 0;
  path.erase(0, 9);
  return 1;
}

std::string UTL_resource_get_file(const std::string& name) {
  if (name.empty()) return std::string();
  std::string folder = PLAT_resources_folder();
  if (folder.empty()) return std::string();
  std::string p = folder + "/" + name;
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) ? p : std::string();
}
