// What the capability probe asks of the OpenGL driver: its strings, its
// limits and its entry points. The probe goes through the driver in force,
// which is the real one (libGL and the window system) unless a test put a
// fake in place to show drivers it cannot run on.
#pragma once
#include <GL/gl.h>

struct OGL_driver {
  const char* (*get_string)(GLenum name);              // glGetString; null when the driver has none
  void (*get_integer)(GLenum name, GLint* out);        // glGetIntegerv
  void (*get_float)(GLenum name, GLfloat* out);        // glGetFloatv (GL_POINT_SIZE_RANGE writes two)
  void* (*lookup)(const char* name);                   // an entry point by name, or null
};

// The driver in force.
const OGL_driver& OGL_driver_now();
// Puts a driver in force; null puts the real one back. Returns the one replaced.
const OGL_driver* OGL_driver_use(const OGL_driver* driver);
// The real driver: the calls of the current context and aglGetProcAddress.
const OGL_driver& OGL_driver_real();

// The window system's own look-up of entry points, asked when the OpenGL
// library itself has no symbol of that name; null while none is connected.
extern void* (*OGL_window_proc_address)(const char* name);
