// The probe and the state cache against a real driver: Mesa under the test
// X server, through a hidden SDL window of our own. SDL is opened at run time
// so this program needs nothing of it at link time.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>
#include <dlfcn.h>
#include <cstdlib>
#include <regex>
#include "core/utl_cmdline.h"
#include "ogl/ogl_driver.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_state.h"
#include "support/xer_capture.h"
#include "widgets/reno.h"

namespace {

struct sdl_calls {
  decltype(&SDL_Init) init;
  decltype(&SDL_GetError) get_error;
  decltype(&SDL_CreateWindow) create_window;
  decltype(&SDL_DestroyWindow) destroy_window;
  decltype(&SDL_GL_CreateContext) create_context;
  decltype(&SDL_GL_DeleteContext) delete_context;
  decltype(&SDL_Quit) quit;
};

template <class F>
bool sym(void* lib, const char* name, F& out) {
  out = reinterpret_cast<F>(dlsym(lib, name));
  return out != nullptr;
}

class RealContext : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!getenv("DISPLAY")) {
      why_not_ = "no X display";
      return;
    }
    void* lib = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
      why_not_ = "no SDL2 library";
      return;
    }
    if (!(sym(lib, "SDL_Init", sdl_.init) && sym(lib, "SDL_GetError", sdl_.get_error) &&
          sym(lib, "SDL_CreateWindow", sdl_.create_window) && sym(lib, "SDL_DestroyWindow", sdl_.destroy_window) &&
          sym(lib, "SDL_GL_CreateContext", sdl_.create_context) &&
          sym(lib, "SDL_GL_DeleteContext", sdl_.delete_context) && sym(lib, "SDL_Quit", sdl_.quit))) {
      why_not_ = "SDL2 lacks a function we use";
      return;
    }
    if (sdl_.init(SDL_INIT_VIDEO) != 0) {
      why_not_ = std::string("SDL_Init: ") + sdl_.get_error();
      return;
    }
    window_ = sdl_.create_window("ogl test", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
    if (window_) context_ = sdl_.create_context(window_);
    if (!context_) why_not_ = std::string("no OpenGL context: ") + sdl_.get_error();
  }
  static void TearDownTestSuite() {
    if (context_) sdl_.delete_context(context_);
    if (window_) sdl_.destroy_window(window_);
    if (sdl_.quit) sdl_.quit();
    context_ = nullptr;
    window_ = nullptr;
  }
  void SetUp() override {
    // Every run of CI has the X server; a missing context is a failure there.
    ASSERT_NE(context_, nullptr) << why_not_;
    glExt = OGL_extensions{};
    reno = reno_class{};
    cmdline.options.clear();
    cmdline.options["--qa_script"] = "";
    OGL_setstate_forget();
  }
  void TearDown() override {
    cmdline.options.clear();
    glExt = OGL_extensions{};
    OGL_setstate_forget();
  }

  static sdl_calls sdl_;
  static SDL_Window* window_;
  static SDL_GLContext context_;
  static std::string why_not_;
};

sdl_calls RealContext::sdl_ = {};
SDL_Window* RealContext::window_ = nullptr;
SDL_GLContext RealContext::context_ = nullptr;
std::string RealContext::why_not_;

TEST_F(RealContext, ProbeOfLlvmpipePassesAndFillsTheRecord) {
  xer_capture log;
  xer << std::fixed;
  OGL_extensions::init_entry_points();
  ASSERT_NE(gBundleRefOpenGL, nullptr);
  glExt.init_extensions();
  const std::string text = log.text();

  EXPECT_EQ(text.compare(0, 19, "OpenGL Vendor    : "), 0) << text;
  EXPECT_EQ(reno.gl_vendor, reinterpret_cast<const char*>(glGetString(GL_VENDOR)));
  EXPECT_EQ(reno.gl_renderer, reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
  // A compatibility context of OpenGL 2.1 or later, read as its number.
  EXPECT_TRUE(std::regex_search(text, std::regex("\nOpenGL Version   : [2-9]\\.[0-9][^\n]* \\([2-9][0-9]0\\)\n")))
      << text;
  // A software renderer the probe lets through without a word.
  EXPECT_EQ(text.find("(RUvozuz/OGL/OGL_extensions line "), std::string::npos) << text;
  EXPECT_EQ(text.find("WARNING: extension missing proc"), std::string::npos) << text;
  EXPECT_EQ(glExt.multitex_avail, 1);
  EXPECT_EQ(glExt.vbo_avail, 1);
  EXPECT_EQ(glExt.glsl_avail, 1);
  EXPECT_EQ(glExt.framebuf_avail, 1);
  EXPECT_EQ(glExt.threaded_avail, 0);
  EXPECT_GE(reno.num_tex_units, 1);
  EXPECT_GT(glExt.max_tex_size, 0);
  EXPECT_NE(glExt.glBindFramebufferEXT, nullptr);
  EXPECT_NE(glExt.glUseProgramObjectARB, nullptr);

  // Buffer names come from the real driver through the locked slots.
  GLuint names[2] = {0, 0};
  glExt.glGenBuffersARB(2, names);
  EXPECT_NE(names[0], 0u);
  EXPECT_NE(names[0], names[1]);
  OGL_bind_vbo(names[0]);
  EXPECT_EQ(glExt.glIsBufferARB(names[0]), GL_TRUE);
  OGL_bind_vbo(0);
  glExt.glDeleteBuffersARB(2, names);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

// What the cache believes, asked of the driver.
void expect_state(bool fog, int units, bool lit, bool blend, bool alpha_test, bool depth, bool depth_write) {
  EXPECT_EQ(glIsEnabled(GL_FOG), fog);
  EXPECT_EQ(glIsEnabled(GL_LIGHTING), lit);
  EXPECT_EQ(glIsEnabled(GL_LIGHT0), lit);
  EXPECT_EQ(glIsEnabled(GL_BLEND), blend);
  EXPECT_EQ(glIsEnabled(GL_ALPHA_TEST), alpha_test);
  EXPECT_EQ(glIsEnabled(GL_DEPTH_TEST), depth);
  GLboolean mask = GL_FALSE;
  glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
  EXPECT_EQ(mask == GL_TRUE, depth_write);
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
  EXPECT_EQ(active, GL_TEXTURE0);
  for (int i = 0; i < reno.num_tex_units && i < 8; ++i) {
    glActiveTextureARB(GL_TEXTURE0 + i);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), i < units) << "unit " << i;
  }
  glActiveTextureARB(GL_TEXTURE0);
}

TEST_F(RealContext, StateCacheAgreesWithTheDriver) {
  GLint units = 0;
  glGetIntegerv(GL_MAX_TEXTURE_UNITS, &units);
  ASSERT_GE(units, 4);
  reno.num_tex_units = 4;
  // The cache believes depth writes off, so make it so before it starts.
  glDepthMask(GL_FALSE);

  OGL_setstate(fog_on, 3, lit_on, al_blend_test, deR_on, deW_on);
  expect_state(true, 3, true, true, true, true, true);
  OGL_setstate(fog_off, 1, lit_off, al_test, deR_off, deW_off);
  expect_state(false, 1, false, false, true, false, false);
  OGL_setstate(fog_off, 9, lit_off, al_blend, deR_off, deW_off);
  expect_state(false, 4, false, true, false, false, false);
  OGL_setstate(fog_off, 9, lit_off, ogl_al_mode(7), deR_off, deW_off);
  expect_state(false, 4, false, true, false, false, false);
  OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
  expect_state(false, 0, false, false, false, false, false);

  reno.num_tex_units = 2;
  OGL_setclientstate(nrm_on, col_on, 0x0B);  // units 0, 1 and 3
  EXPECT_TRUE(glIsEnabled(GL_NORMAL_ARRAY));
  EXPECT_TRUE(glIsEnabled(GL_COLOR_ARRAY));
  for (int i = 0; i < 4; ++i) {
    glClientActiveTextureARB(GL_TEXTURE0 + i);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_COORD_ARRAY), i < 2) << "unit " << i;
  }
  glClientActiveTextureARB(GL_TEXTURE0);
  OGL_setclientstate(nrm_off, col_off, 0);
  EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_COLOR_ARRAY));
  GLint client = 0;
  glGetIntegerv(GL_CLIENT_ACTIVE_TEXTURE, &client);
  EXPECT_EQ(client, GL_TEXTURE0);
  for (int i = 0; i < 2; ++i) {
    glClientActiveTextureARB(GL_TEXTURE0 + i);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY)) << "unit " << i;
  }
  glClientActiveTextureARB(GL_TEXTURE0);
  EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

}  // namespace
