#include "ogl/ogl_driver.h"
#include "ogl/ogl_extensions.h"

void* (*OGL_window_proc_address)(const char* name) = nullptr;

static const char* real_get_string(GLenum name) { return reinterpret_cast<const char*>(glGetString(name)); }
static void real_get_integer(GLenum name, GLint* out) { glGetIntegerv(name, out); }
static void real_get_float(GLenum name, GLfloat* out) { glGetFloatv(name, out); }

static const OGL_driver s_real = {real_get_string, real_get_integer, real_get_float, aglGetProcAddress};
static const OGL_driver* s_now = &s_real;

const OGL_driver& OGL_driver_real() { return s_real; }
const OGL_driver& OGL_driver_now() { return *s_now; }

const OGL_driver* OGL_driver_use(const OGL_driver* driver) {
  const OGL_driver* old = s_now;
  s_now = driver ? driver : &s_real;
  return old;
}
