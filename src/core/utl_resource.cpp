#include "core/utl_resource.h"
#include <sys/stat.h>
#include "platform/plat_bundle.h"

static const char k_prefix[] = "RESOURCE:";

int UTL_path_is_resource(std::string& path) {
  const size_t len = sizeof(k_prefix) - 1;
  if (path.size() < len || path.compare(0, len, k_prefix) != 0) return 0;
  path.erase(0, len);
  return 1;
}

std::string UTL_resource_get_file(const std::string& name) {
  if (name.empty()) return std::string();
  std::string folder = PLAT_bundle_resources_path();
  if (folder.empty()) return std::string();
  std::string path = folder + name;
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return std::string();
  return path;
}
