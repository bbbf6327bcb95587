// The OpenGL capability record, filled once at start-up by the probe and read
// without a lock from any thread. After the probe, flags are only ever
// cleared (by the two failure switches). Extension functions are called only
// through the record's slots, which are null while not loaded.
#pragma once
#include <string>
#include "ogl/ogl_entry_points.h"
#include "platform/plat_libraries.h"

class OGL_extensions {
 public:
  // Loads the system's OpenGL library ("OpenGL.framework") into
  // gBundleRefOpenGL; a failure raises the loader's alert, which ends the
  // program. The window code calls it when it makes the first context; every
  // look-up needs it first.
  static void init_entry_points();

  // The probe: asks the driver of the current context what it can do, fills
  // this record and the limits of reno, applies the driver workarounds and
  // the command-line overrides, writes the capability report to the log and
  // refuses (kind 2, unless "--force_run") or warns about hardware that
  // cannot run the program. Main thread, once, with the window's context current.
  void init_extensions();

  // When threaded use is still on: turns it off and warns the user once;
  // otherwise does nothing. Any thread (off the main thread the warning
  // travels as a queued alert).
  void threaded_ogl_failed();
  // When framebuffer objects are still on: turns them and the blit off and
  // warns the user once; otherwise does nothing.
  void framebuf_failed();

  // Entry points, null when not loaded. After the probe the slots of
  // glGenBuffersARB and glDeleteBuffersARB always hold MY_glGenBuffers and
  // MY_glDeleteBuffers.
#define OGL_SLOT(name, type) type name = nullptr;
  OGL_PROCS_ALL(OGL_SLOT)
#undef OGL_SLOT

  // Capabilities (0 or 1) and limits.
  int multitex_avail = 0;
  int tex_clamp_avail = 0;
  int add_env_avail = 0;
  int combine_avail = 0;
  int dis_fog_avail = 0;
  int instance_avail = 0;
  int stencil_two_side_avail = 0;
  int stencil_separate_avail = 0;
  int tex_comp_avail = 0;
  int vbo_avail = 0;
  int pbo_avail = 0;
  int vprog_avail = 0;
  int fprog_avail = 0;
  int automini_avail = 0;
  int aniso_avail = 0;
  int fsaa_avail = 0;
  int sprites_avail = 0;
  int depth_tex_avail = 0;
  int occlude_avail = 0;
  int shad_objs_avail = 0;
  int vshader_avail = 0;
  int fshader_avail = 0;
  int gshader_avail = 0;
  int buniform_avail = 0;
  int glsl_avail = 0;
  int first_gen_shaders = 0;  // first-generation shader hardware: keep shaders short
  int glsl_version = 0;       // 100, 110 or 120 with GLSL, else 0
  int shad_lod_avail = 0;
  int framebuf_avail = 0;
  int frameblit_avail = 0;
  int sblendf_avail = 0;  // separate blend function
  int sblende_avail = 0;  // separate blend equation
  int drawbuf_avail = 0;
  int drawbuf2_avail = 0;
  int packed_stencil = 0;
  int texture_rg = 0;
  int framebuffer_srgb = 0;
  int tex_float_avail = 0;
  // Worker threads may get OpenGL contexts of their own. The probe turns it
  // off, so the general pool has no threads.
  int threaded_avail = 1;
  int non_pots_avail = 0;
  int idx_vram_avail = 1;  // index buffers may live in video memory
  int subtex_avail = 1;    // glTexSubImage2D may update textures
  int max_tex_size = 0;    // the driver's largest texture edge in pixels
};

extern OGL_extensions glExt;
// The system's OpenGL library, loaded by init_entry_points; stays loaded.
extern PLAT_library gBundleRefOpenGL;

// The entry point of that name in the OpenGL library, else the window
// system's answer (OGL_window_proc_address); null when neither has it.
void* aglGetProcAddress(const char* name);
// As the driver in force looks it up (aglGetProcAddress for the real one);
// a name ending in "ARB" or "EXT" that is not found is asked once more
// without those letters, and that answer (null included) is returned.
void* glGetProcAddress(const char* name);

// The driver's core glGenBuffers and glDeleteBuffers under one spin lock, so
// threads with shared contexts never make or free buffer names at once.
void APIENTRY MY_glGenBuffers(GLsizei n, GLuint* buffers);
void APIENTRY MY_glDeleteBuffers(GLsizei n, const GLuint* buffers);

// Bind a buffer object to GL_ARRAY_BUFFER / GL_ELEMENT_ARRAY_BUFFER through
// the glBindBufferARB slot; a name just bound by the same function is not
// bound again. Each call made adds 1 to "num_xdl_bind" / "num_xdl_bind_ind".
void OGL_bind_vbo(GLuint name);
void OGL_bind_vbo_ind(GLuint name);
// Forgets the names both binders bound last, after code bound buffers
// directly: the next call of each reaches the driver whatever its name.
void OGL_forget_vbo_binds();

// The OpenGL name of a token for log lines ("GL_RGBA16F_ARB"), or "0x%08x"
// of its value for a token it does not know.
std::string OGL_get_token_name(unsigned token);
