// A clean start for the shader and render-target tests on the real driver:
// the capability record probed afresh (other suites of this program leave
// it empty or faked), a scratch root folder with "Resources/shaders/" that
// the shader files are written into (with the shipped "legacy.glsl"), a scripted run so alerts only log, and
// counting seams in front of the driver's program and uniform calls.
#pragma once
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <string>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"
#include "ogl/OGL_framebuffer.h"
#include "ogl/OGL_shader.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_state.h"
#include "support/gl_console.h"
#include "support/test_env.h"
#include "widgets/reno.h"

struct gl_seams {
  static inline int use_program = 0, uniform_1i = 0, uniform_2f = 0;
  static inline PFNGLUSEPROGRAMOBJECTARBPROC real_use = nullptr;
  static inline PFNGLUNIFORM1IARBPROC real_1i = nullptr;
  static inline PFNGLUNIFORM2FARBPROC real_2f = nullptr;
  static void APIENTRY use(GLhandleARB p) { ++use_program, real_use(p); }
  static void APIENTRY u1i(GLint l, GLint v) { ++uniform_1i, real_1i(l, v); }
  static void APIENTRY u2f(GLint l, GLfloat a, GLfloat b) { ++uniform_2f, real_2f(l, a, b); }
  static void install() {
    real_use = glExt.glUseProgramObjectARB, real_1i = glExt.glUniform1iARB, real_2f = glExt.glUniform2fARB;
    glExt.glUseProgramObjectARB = use, glExt.glUniform1iARB = u1i, glExt.glUniform2fARB = u2f;
    reset();
  }
  static void reset() { use_program = uniform_1i = uniform_2f = 0; }
};

class ShaderTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_path = app_path;
    app_path = test_scratch_dir("shaders");
    ASSERT_EQ(test_run("mkdir -p '" + app_path + "Resources/shaders'"), 0);
    // The fixed-function replacement as the build puts it beside the bundle.
    ASSERT_EQ(test_run("cp '" DUV_BINARY_DIR "/Resources/shaders/legacy.glsl' '" + app_path + "Resources/shaders/'"),
              0);
    cmdline.options.clear();
    cmdline.options["--qa_script"] = "";
    probe();
    gl_seams::install();
    OGL_setstate_forget();
    OGL_shader::unbind_shaders();
    OGL_shader::stack.clear();
    OGL_framebuffer::reset_to_window();
  }
  void TearDown() override {
    OGL_shader::unbind_shaders();
    OGL_shader::stack.clear();
    OGL_framebuffer::reset_to_window();
    cmdline.options.clear();
    app_path = saved_path;
    // Later suites draw on the record the test program started with.
    probe();
    OGL_setstate_forget();
  }
  // The probe of the real driver, with the options given so far.
  static void probe() {
    std::ofstream keep;
    keep.swap(xer);  // the probe's report is not what these tests read
    glExt = OGL_extensions{};
    reno = reno_class{};
    OGL_extensions::init_entry_points();
    glExt.init_extensions();
    xer.swap(keep);
  }
  // Writes a shader file into the fixture's shader folder.
  void shader_file(const std::string& name, const std::string& text) {
    ASSERT_TRUE(test_write_file(app_path + "Resources/shaders/" + name, text));
  }
  static GLint current_program() {
    GLint p = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &p);
    return p;
  }
  std::string saved_path;
};

// A two-stage shader in one file that paints a colour given by its prefix,
// with the uniforms "u_int" (int) and "u_pair" (vec2) that change the
// colour so the linker keeps them, and "u_unused", which it drops.
inline const char* k_paint_glsl =
    "uniform int u_int;\n"
    "uniform vec2 u_pair;\n"
    "uniform float u_unused;\n"
    "#if VSHADER\n"
    "void main() { gl_Position = ftransform(); }\n"
    "#endif\n"
    "#if FSHADER\n"
    "void main() { gl_FragColor = vec4(PAINT) + vec4(float(u_int), u_pair, 0.0) * 1e-6; }\n"
    "#endif\n";
