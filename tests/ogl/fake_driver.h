// A driver for the capability probe that says what a test wants: strings,
// limits, and which entry points exist. The probe runs against it with a
// fresh capability record, a fresh reno and an empty command line, and the
// log captured.
#pragma once
#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "ogl/ogl_driver.h"
#include "ogl/ogl_extensions.h"
#include "support/xer_capture.h"

struct fake_gl {
  std::string vendor = "Mesa";
  std::string renderer = "llvmpipe (LLVM 15.0.6, 256 bits)";
  std::string version = "2.1 Mesa 22.3.6";
  std::string extensions = "GL_ARB_multitexture GL_EXT_blend_func_separate";
  const char* glsl_version = "1.20";            // GL_SHADING_LANGUAGE_VERSION; may be null
  std::map<GLenum, GLint> integers;              // glGetIntegerv answers; others leave the value alone
  std::map<GLenum, GLfloat> floats;              // glGetFloatv answers
  GLfloat point_size_range[2] = {1, 64};
  std::map<GLenum, GLint> fragment_program;      // glGetProgramivARB of GL_FRAGMENT_PROGRAM_ARB
  std::map<GLenum, GLint> vertex_program;        // and of GL_VERTEX_PROGRAM_ARB
  std::set<std::string> missing;                 // entry points the driver does not have
  std::vector<std::string> looked_up;            // every name asked for, in order
  int gen_calls = 0, delete_calls = 0;           // calls that reached the core buffer functions
  std::atomic<int> in_buffer_call{0};            // callers inside them at once
  std::atomic<int> overlapped{0};                // set when two were inside together
};

// The fake in force, for the functions the look-up hands out.
extern fake_gl* g_fake;

// Puts a fake driver in force with everything the probe reads reset, the
// log captured (fixed floats, as the log is opened) and system versions
// failing; puts it all back at the end.
class fake_driver_scope {
 public:
  explicit fake_driver_scope(fake_gl& gl);
  ~fake_driver_scope();
  // Makes the system version query answer v (-1: fail, as on Linux).
  void system_version(int v);
  // The probe, then what it logged.
  std::string probe();
  xer_capture log;

 private:
  const OGL_driver* old_;
};

// Adds "--name" or "--name=value" to the command line.
void fake_option(const std::string& option);
