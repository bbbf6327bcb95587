// Finding the driver's entry points by name.
#include <cstring>
#include "files/file_launch.h"
#include "ogl/ogl_driver.h"
#include "ogl/ogl_extensions.h"

PLAT_library gBundleRefOpenGL = nullptr;

void OGL_extensions::init_entry_points() { load_bundle_by_filename("OpenGL.framework", 1, &gBundleRefOpenGL); }

void* aglGetProcAddress(const char* name) {
  void* p = gBundleRefOpenGL ? PLAT_library_symbol(gBundleRefOpenGL, name) : nullptr;
  if (!p && OGL_window_proc_address) p = OGL_window_proc_address(name);
  return p;
}

void* glGetProcAddress(const char* name) {
  const OGL_driver& d = OGL_driver_now();
  void* p = d.lookup(name);
  if (p) return p;
  // Drivers that took an extension into the core often export only the core
  // name.
  const size_t n = strlen(name);
  if (n > 3 && (strcmp(name + n - 3, "ARB") == 0 || strcmp(name + n - 3, "EXT") == 0))
    return d.lookup(std::string(name, n - 3).c_str());
  return nullptr;
}
