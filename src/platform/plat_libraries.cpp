#include "platform/plat_libraries.h"
#include <dlfcn.h>

std::string PLAT_framework_library(const std::string& framework) {
  static const struct {
    const char* framework;
    const char* library;
  } table[] = {
      {"OpenGL.framework", "libGL.so.1"},
      // The window system: what Carbon is to the Mac program, SDL is here.
      {"Carbon.framework", "libSDL2-2.0.so.0"},
  };
  for (const auto& row : table)
    if (framework == row.framework) return row.library;
  return "";
}

PLAT_library PLAT_load_library(const std::string& file) {
  return dlopen(file.c_str(), RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
}

void* PLAT_library_symbol(PLAT_library lib, const char* name) { return lib ? dlsym(lib, name) : nullptr; }

void PLAT_release_library(PLAT_library lib) {
  if (lib) dlclose(lib);
}
