// The fixed-function replacement shader: every variant links, and each
// drawing it replaces reads back as the fixed-function pipeline draws it.
#include <gtest/gtest.h>
#include <cmath>
#include <set>
#include "ogl/ogl_legacy_shader.h"
#include "ogl/shader_fixture.h"
#include "tex/TEX_bind.h"
#include "widgets/colr.h"

namespace {

class Legacy : public ShaderTest {
 protected:
  void SetUp() override {
    ShaderTest::SetUp();
    glGenTextures(2, tex);
    // Two 4 x 4 textures of distinct texels, sampled texel by texel.
    for (int t = 0; t < 2; ++t) {
      unsigned char px[4 * 4 * 4];
      for (int i = 0; i < 16; ++i) {
        px[i * 4 + 0] = (unsigned char)(255 - i * 13 * (t + 1) % 256);
        px[i * 4 + 1] = (unsigned char)(40 + i * 12);
        px[i * 4 + 2] = (unsigned char)(t ? 250 - i * 9 : 90 + i * 10);
        px[i * 4 + 3] = 255;
      }
      glBindTexture(GL_TEXTURE_2D, tex[t]);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
      glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
      glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, px);
    }
    glActiveTextureARB(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, tex[1]);
    glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, tex[0]);
    TEX_reset_bind();

    const GLfloat light_dir[4] = {0.3f, 0.5f, 0.8f, 0}, fog_colour[4] = {0.9f, 0.2f, 0.4f, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, 1);
    glFogf(GL_FOG_END, 10);
    glFogfv(GL_FOG_COLOR, fog_colour);
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-1, 1, -1, 1, 0, 20);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, light_dir);  // in eye space: the modelview is the identity
  }
  void TearDown() override {
    OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
    glDeleteTextures(2, tex);
    TEX_reset_bind();
    ShaderTest::TearDown();
  }
  // A quad over the 64 x 64 corner whose corners differ in colour, texture
  // coordinates, normal and eye distance (2 to 8).
  static std::vector<uint8_t> draw() {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    struct corner {
      float x, y, z, r, g, b, nx, ny, nz;
    };
    const corner quad[4] = {{-1, -1, -2, 1, 0.8f, 0.6f, 0, 0, 1},
                            {-1, 1, -4, 0.7f, 1, 0.5f, 0.6f, 0, 0.8f},
                            {1, 1, -8, 0.9f, 0.6f, 1, 0, 0.6f, 0.8f},
                            {1, -1, -6, 0.5f, 0.9f, 0.8f, -0.6f, -0.6f, 0.53f}};
    glBegin(GL_QUADS);
    for (const corner& c : quad) {
      glColor4f(c.r, c.g, c.b, 1);
      glNormal3f(c.nx, c.ny, c.nz);
      glMultiTexCoord2fARB(GL_TEXTURE0, (c.x + 1) / 2, (c.y + 1) / 2);
      glMultiTexCoord2fARB(GL_TEXTURE1, (1 - c.y) / 2, (c.x + 1) / 2);
      glVertex3f(c.x, c.y, c.z);
    }
    glEnd();
    return gl_read_back(0, 0, 64, 64);
  }
  GLuint tex[2] = {0, 0};
};

TEST_F(Legacy, AllTwentyFourVariantsLink) {
  std::set<GLhandleARB> programs;
  for (int type : {0, 1})
    for (ogl_fog_mode fog : {fog_on, fog_off})
      for (int units = 0; units < 3; ++units)
        for (ogl_lit_mode lit : {lit_on, lit_off}) {
          OGL_framebuffer::mTypeNow = type;
          OGL_set_legacy_shader(fog, units, lit, al_none, deR_off, deW_off);
          ASSERT_NE(OGL_shader::current_shader, nullptr);
          const GLhandleARB p = OGL_shader::current_shader->get_gl_id();
          GLint linked = 0;
          glExt.glGetObjectParameterivARB(p, GL_OBJECT_LINK_STATUS_ARB, &linked);
          EXPECT_EQ(linked, 1) << type << fog << units << lit;
          EXPECT_EQ(current_program(), (GLint)p);
          programs.insert(p);
        }
  OGL_framebuffer::mTypeNow = 0;
  EXPECT_EQ(programs.size(), 24u);
  EXPECT_FALSE(glIsEnabled(GL_FOG));  // fixed-function fog stays off under the shader
}

TEST_F(Legacy, DrawingMatchesTheFixedFunctionPipeline) {
  struct scene {
    const char* what;
    ogl_fog_mode fog;
    int units;
    ogl_lit_mode lit;
  };
  const scene scenes[] = {
      {"coloured", fog_off, 0, lit_off}, {"textured", fog_off, 1, lit_off}, {"two units", fog_off, 2, lit_off},
      {"lit", fog_off, 0, lit_on},       {"fogged", fog_on, 0, lit_off},     {"all of it", fog_on, 2, lit_on},
  };
  for (const scene& s : scenes) {
    OGL_shader::unbind_shaders();
    OGL_setstate(s.fog, s.units, s.lit, al_none, deR_off, deW_off);
    const std::vector<uint8_t> fixed = draw();
    gl_seams::reset();
    OGL_set_legacy_shader(s.fog, s.units, s.lit, al_none, deR_off, deW_off);
    ASSERT_NE(OGL_shader::current_shader, nullptr) << s.what;
    const std::vector<uint8_t> shaded = draw();
    OGL_shader::unbind_shaders();
    int worst = 0;
    for (size_t i = 0; i < fixed.size(); ++i) worst = std::max(worst, std::abs(fixed[i] - shaded[i]));
    EXPECT_LE(worst, 2) << s.what;
    EXPECT_NE(fixed[(32 * 64 + 32) * 4], 0) << s.what;  // something was drawn
  }
}

TEST_F(Legacy, SamplersAreSetOnceAndGammaOnlyForFloatTargets) {
  OGL_set_legacy_shader(fog_off, 2, lit_off, al_none, deR_off, deW_off);
  GLint unit = -1;
  glExt.glGetUniformivARB(OGL_shader::current_shader->get_gl_id(),
                          (GLint)OGL_shader::current_shader->get_uniform_loc(1), &unit);
  EXPECT_EQ(unit, 1);
  gl_seams::reset();
  OGL_set_legacy_shader(fog_off, 2, lit_off, al_none, deR_off, deW_off);
  EXPECT_EQ(gl_seams::use_program + gl_seams::uniform_1i + gl_seams::uniform_2f, 0);

  // Rendering into a float target: colours go into linear space.
  OGL_framebuffer::mTypeNow = 1;
  OGL_set_legacy_shader(fog_off, 0, lit_off, al_none, deR_off, deW_off);
  OGL_framebuffer::mTypeNow = 0;
  GLfloat pair[2] = {};
  glExt.glGetUniformfvARB(OGL_shader::current_shader->get_gl_id(),
                          (GLint)OGL_shader::current_shader->get_uniform_loc(2), pair);
  EXPECT_FLOAT_EQ(pair[0], colr.gamma_den);
  EXPECT_FLOAT_EQ(pair[1], 1 / colr.gamma_den);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor4f(0.5f, 0.5f, 0.5f, 1);
  glBegin(GL_QUADS);
  glVertex2f(-1, -1), glVertex2f(-1, 1), glVertex2f(1, 1), glVertex2f(1, -1);
  glEnd();
  glFinish();
  const int expect = (int)std::lround(255 * std::pow(0.5, colr.gamma_den));
  EXPECT_NEAR((int)(gl_pixel(10, 10) >> 24), expect, 2);
}

}  // namespace
