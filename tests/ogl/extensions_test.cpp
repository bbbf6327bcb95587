// The capability switches that run after start-up, the buffer binds and the
// token names of log lines.
#include <gtest/gtest.h>
#include <cstring>
#include <vector>
#include "core/utl_cmdline.h"
#include "core/utl_stat.h"
#include "ogl/ogl_extensions.h"
#include "support/xer_capture.h"

namespace {

const char k_trouble[] =
    "\nThere was a problem setting up OpenGL.\n"
    "You can still fly, but you may experience pauses during flight while scenery loads.\n"
    "\n"
    "(Please send your log.txt file to Corvane Research for debugging purposes.)\n"
    "(RUvozuz/OGL/OGL_extensions line ";

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

struct scripted {
  scripted() {
    glExt = OGL_extensions{};
    cmdline.options.clear();
    cmdline.options["--qa_script"] = "";
  }
  ~scripted() {
    cmdline.options.clear();
    glExt = OGL_extensions{};
  }
};

TEST(FailureSwitches, EachWarnsOnceAndOnlyClears) {
  scripted s;
  xer_capture log;
  glExt.framebuf_avail = glExt.frameblit_avail = 1;
  glExt.threaded_ogl_failed();
  glExt.threaded_ogl_failed();
  EXPECT_EQ(glExt.threaded_avail, 0);
  EXPECT_EQ(count(log.text(), k_trouble), 1);

  glExt.framebuf_failed();
  glExt.framebuf_failed();
  EXPECT_EQ(glExt.framebuf_avail, 0);
  EXPECT_EQ(glExt.frameblit_avail, 0);
  EXPECT_EQ(count(log.text(), k_trouble), 2);
}

TEST(FailureSwitches, NothingToSwitchOffIsSilent) {
  scripted s;
  xer_capture log;
  glExt.threaded_avail = 0;
  glExt.frameblit_avail = 1;  // the blit alone does not count as framebuffers in use
  glExt.threaded_ogl_failed();
  glExt.framebuf_failed();
  EXPECT_EQ(glExt.frameblit_avail, 1);
  EXPECT_EQ(log.text(), "");
}

// ---------------------------------------------------------------------------

std::vector<std::pair<GLenum, GLuint>> s_binds;
void APIENTRY record_bind(GLenum target, GLuint name) { s_binds.push_back({target, name}); }

float stat_value(const char* name) {
  UTL_stat::init_stats();
  for (const auto& type_set : UTL_stat_registry())
    for (UTL_stat* s : type_set.second)
      if (strcmp(s->name, name) == 0) return s->value;
  ADD_FAILURE() << name << " is not registered";
  return -1;
}

TEST(BindVbo, RepeatsAreSkippedPerTargetAndCounted) {
  glExt = OGL_extensions{};
  glExt.glBindBufferARB = record_bind;
  s_binds.clear();
  const float binds = stat_value("num_xdl_bind"), index_binds = stat_value("num_xdl_bind_ind");

  OGL_bind_vbo(0);  // both start out believing 0 is bound
  OGL_bind_vbo_ind(0);
  OGL_bind_vbo(5);
  OGL_bind_vbo(5);
  OGL_bind_vbo_ind(5);  // its own record: bound although the array target has 5
  OGL_bind_vbo_ind(5);
  OGL_bind_vbo(6);
  OGL_bind_vbo(5);
  OGL_bind_vbo(0);
  OGL_bind_vbo_ind(0);

  const std::vector<std::pair<GLenum, GLuint>> want = {
      {GL_ARRAY_BUFFER_ARB, 5},         {GL_ELEMENT_ARRAY_BUFFER_ARB, 5}, {GL_ARRAY_BUFFER_ARB, 6},
      {GL_ARRAY_BUFFER_ARB, 5},         {GL_ARRAY_BUFFER_ARB, 0},         {GL_ELEMENT_ARRAY_BUFFER_ARB, 0}};
  EXPECT_EQ(s_binds, want);
  EXPECT_EQ(stat_value("num_xdl_bind") - binds, 4);
  EXPECT_EQ(stat_value("num_xdl_bind_ind") - index_binds, 2);
  glExt = OGL_extensions{};
}

// ---------------------------------------------------------------------------

TEST(TokenNames, KnowsItsHundredTokensAndWritesTheRestInHex) {
  int known = 0;
  for (unsigned t = 0; t < 0x10000; ++t)
    if (OGL_get_token_name(t).compare(0, 2, "0x") != 0) ++known;
  EXPECT_EQ(known, 100);

  const struct {
    unsigned token;
    const char* name;
  } cases[] = {
      {GL_POINTS, "GL_POINTS"},
      {GL_POLYGON, "GL_POLYGON"},
      {GL_RGBA32F_ARB, "GL_RGBA32F_ARB"},
      {GL_LUMINANCE_ALPHA16F_ARB, "GL_LUMINANCE_ALPHA16F_ARB"},
      {GL_ALPHA4, "GL_ALPHA4"},
      {GL_INTENSITY, "GL_INTENSITY"},
      {GL_R3_G3_B2, "GL_R3_G3_B2"},
      {GL_RGBA16, "GL_RGBA16"},
      {GL_DEPTH24_STENCIL8_EXT, "GL_DEPTH24_STENCIL8_EXT"},
      {GL_DEPTH_COMPONENT32_ARB, "GL_DEPTH_COMPONENT32_ARB"},
      {GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT, "GL_FRAMEBUFFER_INCOMPLETE_ATTACHMENT_EXT"},
      {GL_FRAMEBUFFER_UNSUPPORTED_EXT, "GL_FRAMEBUFFER_UNSUPPORTED_EXT"},
      {GL_COMPRESSED_RGBA_S3TC_DXT5_EXT, "GL_COMPRESSED_RGBA_S3TC_DXT5_EXT"},
      {GL_BYTE, "GL_BYTE"},
      {GL_DOUBLE, "GL_DOUBLE"},
      {GL_FLOAT_VEC2_ARB, "GL_FLOAT_VEC2_ARB"},
      {GL_SAMPLER_2D_SHADOW_ARB, "GL_SAMPLER_2D_SHADOW_ARB"},
      // Between listed ranges: a status code no longer in the standard, and
      // the unsized RGBA.
      {0x8CD8, "0x00008cd8"},
      {GL_RGBA, "0x00001908"},
      {0xDEADBEEFu, "0xdeadbeef"},
  };
  for (const auto& c : cases) EXPECT_EQ(OGL_get_token_name(c.token), c.name);
}

}  // namespace
