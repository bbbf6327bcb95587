// The probe and the state cache against a real driver: Mesa's software
// renderer in the program's own window on the test X server.
#include <gtest/gtest.h>
#include <sstream>
#include <cstdlib>
#include <regex>
#include "core/utl_cmdline.h"
#include "ogl/ogl_driver.h"
#include "ogl/ogl_extensions.h"
#include "ogl/ogl_state.h"
#include "support/gl_console.h"
#include "support/xer_capture.h"
#include "widgets/reno.h"

namespace {

const bool gl_ready = gl_console_register();

class RealContext : public ::testing::Test {
 protected:
  void SetUp() override {
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

};

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

TEST_F(RealContext, ReportedFlagsAreLlvmpipes) {
  xer_capture log;
  glExt.init_extensions();
  std::istringstream in(log.text());
  std::string flags;
  bool in_flags = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("threaded_avail", 0) == 0) in_flags = true;
    if (!in_flags || line.size() < 20) continue;
    // The flag, without the limits some lines add in brackets.
    flags += line.substr(0, 19) + line.substr(19, line.find(" (", 19) - 19) + "\n";
    if (line.rfind("framebuffer_srgb", 0) == 0) break;
  }
  EXPECT_EQ(flags,
            "threaded_avail   : 0\ntex_clamp_avail  : 1\nadd_env_avail    : 1\ncombine_avail    : 1\n"
            "dis_fog_avail    : 1\ninstance_avail   : 1\ntwo-sided stencil: 1\nseparate stencil : 1\n"
            "tex_comp_avail   : 1\nvbo_avail        : 1\npbo_avail        : 1\nautomini_avail   : 1\n"
            "aniso_avail      : 1\nfsaa_avail       : 1\nocclude_avail    : 1\nsprites_avail    : 1\n"
            "sblend_avail     : 1/1\nvprog_avail      : 1\nfprog_avail      : 1\ndepth_tex_avail  : 1\n"
            "shad_objs_avail  : 1\nvshader_avail    : 1\nfshader_avail    : 1\nglsl_avail       : 1\n"
            "first-gen shaders: 0\ngshader_avail    : 1\nbuniform_avail   : 0\nshad_lod_avail   : 1\n"
            "framebuf_avail   : 1\nframeblit_avail  : 1\ndrawbuf_avail    : 1\ndrawbuf2_avail   : 1\n"
            "tex_float_avail  : 1\nnon_pots_avail   : 1\npacked_stencil   : 1\ntexture_rg       : 1\n"
            "framebuffer_srgb : 1\n");
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
