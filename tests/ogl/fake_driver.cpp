#include "fake_driver.h"
#include <cstring>
#include "core/utl_cmdline.h"
#include "platform/plat_sysinfo.h"
#include "widgets/reno.h"

fake_gl* g_fake = nullptr;

namespace {

int s_system_version = -1;

int answer_system_version(int* out) {
  if (s_system_version < 0) return -1;
  *out = s_system_version;
  return 0;
}

const char* fake_string(GLenum name) {
  switch (name) {
    case GL_VENDOR: return g_fake->vendor.c_str();
    case GL_RENDERER: return g_fake->renderer.c_str();
    case GL_VERSION: return g_fake->version.c_str();
    case GL_EXTENSIONS: return g_fake->extensions.c_str();
    case GL_SHADING_LANGUAGE_VERSION_ARB: return g_fake->glsl_version;
  }
  return nullptr;
}

void fake_integer(GLenum name, GLint* out) {
  auto it = g_fake->integers.find(name);
  if (it != g_fake->integers.end()) *out = it->second;
}

void fake_float(GLenum name, GLfloat* out) {
  if (name == GL_POINT_SIZE_RANGE) {
    out[0] = g_fake->point_size_range[0];
    out[1] = g_fake->point_size_range[1];
    return;
  }
  auto it = g_fake->floats.find(name);
  if (it != g_fake->floats.end()) *out = it->second;
}

void APIENTRY fake_get_programiv(GLenum target, GLenum name, GLint* out) {
  const auto& table = target == GL_FRAGMENT_PROGRAM_ARB ? g_fake->fragment_program : g_fake->vertex_program;
  auto it = table.find(name);
  if (it != table.end()) *out = it->second;
}

// Stays inside long enough for a second caller to arrive, if the lock
// lets it in.
void buffer_call_body() {
  if (g_fake->in_buffer_call.fetch_add(1) > 0) g_fake->overlapped = 1;
  volatile int spin = 0;
  while (spin < 200) spin = spin + 1;
  g_fake->in_buffer_call.fetch_sub(1);
}

void APIENTRY fake_gen_buffers(GLsizei n, GLuint* names) {
  buffer_call_body();
  ++g_fake->gen_calls;
  for (GLsizei i = 0; i < n; ++i) names[i] = 100 + i;
}

void APIENTRY fake_delete_buffers(GLsizei, const GLuint*) {
  buffer_call_body();
  ++g_fake->delete_calls;
}

// Stands in for every entry point the probe only stores.
void APIENTRY fake_never_called() {}

void* fake_lookup(const char* name) {
  g_fake->looked_up.push_back(name);
  if (g_fake->missing.count(name)) return nullptr;
  if (strcmp(name, "glGetProgramivARB") == 0) return reinterpret_cast<void*>(fake_get_programiv);
  if (strcmp(name, "glGenBuffers") == 0) return reinterpret_cast<void*>(fake_gen_buffers);
  if (strcmp(name, "glDeleteBuffers") == 0) return reinterpret_cast<void*>(fake_delete_buffers);
  return reinterpret_cast<void*>(fake_never_called);
}

const OGL_driver k_fake = {fake_string, fake_integer, fake_float, fake_lookup};

}  // namespace

fake_driver_scope::fake_driver_scope(fake_gl& gl) {
  g_fake = &gl;
  old_ = OGL_driver_use(&k_fake);
  glExt = OGL_extensions{};
  reno = reno_class{};
  cmdline.options.clear();
  s_system_version = -1;
  PLAT_system_version_use(answer_system_version);
  xer << std::fixed;
}

fake_driver_scope::~fake_driver_scope() {
  OGL_driver_use(old_);
  PLAT_system_version_use(nullptr);
  cmdline.options.clear();
  glExt = OGL_extensions{};
  g_fake = nullptr;
}

void fake_driver_scope::system_version(int v) { s_system_version = v; }

std::string fake_driver_scope::probe() {
  glExt.init_extensions();
  return log.text();
}

void fake_option(const std::string& option) {
  const size_t eq = option.find('=');
  if (eq == std::string::npos)
    cmdline.options[option] = "";
  else
    cmdline.options[option.substr(0, eq)] = option.substr(eq + 1);
}
