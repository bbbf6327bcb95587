// Render targets on the real driver: through a framebuffer object and by
// copying from the window, nesting, blits, and an incomplete target.
#include <gtest/gtest.h>
#include <algorithm>
#include "ogl/shader_fixture.h"
#include "shell/wins.h"
#include "support/xer_capture.h"
#include "tex/TEX_bind.h"
#include "tex/tman.h"

namespace {

int attaches = 0, blits = 0;
PFNGLFRAMEBUFFERTEXTURE2DEXTPROC real_attach = nullptr;
PFNGLBLITFRAMEBUFFEREXTPROC real_blit = nullptr;
void APIENTRY count_attach(GLenum a, GLenum b, GLenum c, GLuint d, GLint e) { ++attaches, real_attach(a, b, c, d, e); }
void APIENTRY count_blit(GLint a, GLint b, GLint c, GLint d, GLint e, GLint f, GLint g, GLint h, GLbitfield m,
                         GLenum n) {
  ++blits, real_blit(a, b, c, d, e, f, g, h, m, n);
}


class Targets : public ShaderTest {
 protected:
  static constexpr int first_ref = 600;
  void SetUp() override {
    ShaderTest::SetUp();
    saved_wins = wins;
    wins.x_pix = 800;
    wins.y_pix = 600;
    seams();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  void TearDown() override {
    for (int ref = first_ref; ref < first_ref + 8; ++ref)
      if (tman.tex_exists(ref)) tman.unload_texture(ref);
    g_alert_handler = nullptr;
    wins = saved_wins;
    ShaderTest::TearDown();
  }
  static void seams() {
    real_attach = glExt.glFramebufferTexture2DEXT, real_blit = glExt.glBlitFramebufferEXT;
    glExt.glFramebufferTexture2DEXT = count_attach, glExt.glBlitFramebufferEXT = count_blit;
    attaches = blits = 0;
  }
  // A rectangle in pixels of what is drawn into now, in a plain colour.
  static void paint(int x0, int y0, int x1, int y1, float r, float g, float b) {
    glViewport(0, 0, wins.x_pix, wins.y_pix);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, wins.x_pix, 0, wins.y_pix, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    OGL_setstate(fog_off, 0, lit_off, al_none, deR_off, deW_off);
    glColor4f(r, g, b, 1);
    glRecti(x0, y0, x1, y1);
  }
  // Texel (x, y) of a target's texture as 0xRRGGBB.
  static uint32_t texel(int ref, int x, int y) {
    const int w = (int)tman.tex_dx_tot(ref), h = (int)tman.tex_dy_tot(ref);
    std::vector<unsigned char> px((size_t)w * h * 4);
    glBindTexture(GL_TEXTURE_2D, tman.get_known_obj(ref)->get_gl_name());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    TEX_reset_bind();
    const unsigned char* p = &px[((size_t)y * w + x) * 4];
    return (uint32_t)p[0] << 16 | p[1] << 8 | p[2];
  }
  static GLint binding() {
    GLint b = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &b);
    return b;
  }
  wins_class saved_wins;
};

TEST_F(Targets, ATargetsTextureHoldsTheDrawingWithOrWithoutFramebuffers) {
  for (int no_fbos = 0; no_fbos < 2; ++no_fbos) {
    if (no_fbos) {
      cmdline.options["--no_fbos"] = "";
      probe();
      seams();
    }
    EXPECT_EQ(glExt.framebuf_avail, !no_fbos);
    OGL_framebuffer t(first_ref, 2, 0, 256, 256, 0, 0, "paint");
    t.begin_render(1);
    EXPECT_EQ(wins.x_pix, 256);
    EXPECT_EQ(wins.y_pix, 256);
    EXPECT_EQ(OGL_framebuffer::mObjNow, &t);
    paint(0, 0, 256, 256, 0, 0, 1);
    paint(0, 0, 128, 64, 1, 0, 0);
    t.end_render();
    EXPECT_EQ(wins.x_pix, 800);
    EXPECT_EQ(OGL_framebuffer::mObjNow, nullptr);
    EXPECT_EQ(tman.tex_dx_tot(first_ref), 256);
    EXPECT_EQ(tman.get_path(first_ref), no_fbos ? "fbo-paint-copytex" : "fbo-paint-fbo");
    struct probe_point {
      int x, y;
      uint32_t rgb;
    };
    for (const probe_point p : {probe_point{0, 0, 0xff0000}, {127, 63, 0xff0000}, {128, 63, 0x0000ff},
                                {127, 64, 0x0000ff}, {255, 255, 0x0000ff}})
      EXPECT_EQ(texel(first_ref, p.x, p.y), p.rgb) << no_fbos << " " << p.x << "," << p.y;
    // Through a framebuffer the window is left as it was.
    glFinish();
    if (!no_fbos) {
      EXPECT_EQ(gl_pixel(10, 10), 0x000000ffu);
    }
    tman.unload_texture(first_ref);
  }
}

TEST_F(Targets, WithoutFramebuffersABigTargetIsHalvedToFitTheWindow) {
  cmdline.options["--no_fbos"] = "";
  probe();
  wins.x_pix = 1024;
  wins.y_pix = 768;
  OGL_framebuffer t(first_ref, 2, 0, 2048, 1536, 0, 0, "big");
  t.begin_render(1);
  EXPECT_EQ(t.get_copy_width(), 1024);
  EXPECT_EQ(t.get_copy_height(), 768);
  EXPECT_EQ(wins.x_pix, 1024);
  EXPECT_EQ(wins.view_top, 768);
  t.end_render();
  EXPECT_EQ(tman.tex_dx_tot(first_ref), 1024);
  EXPECT_EQ(tman.tex_dy_tot(first_ref), 768);
}

TEST_F(Targets, ASecondRenderAtTheSameSizeOnlyBinds) {
  OGL_framebuffer t(first_ref, 2, 0, 64, 64, 0, 0, "again");
  const float flushes = g_fbo_flushes.value;
  t.begin_render(1);
  t.end_render();
  const unsigned name = tman.get_known_obj(first_ref)->get_gl_name();
  EXPECT_EQ(attaches, 1);
  t.begin_render(1);
  EXPECT_EQ(binding(), (GLint)t.get_fbo());
  t.end_render();
  EXPECT_EQ(attaches, 1);
  EXPECT_EQ(tman.get_known_obj(first_ref)->get_gl_name(), name);
  EXPECT_EQ(g_fbo_flushes.value, flushes + 2);
  t.set_render_size(32, 32);
  t.begin_render(1);
  t.end_render();
  EXPECT_EQ(attaches, 2);
  EXPECT_EQ(tman.tex_dx_tot(first_ref), 32);
}

TEST_F(Targets, AnInnerTargetGivesBackTheOuterOne) {
  OGL_framebuffer outer(first_ref, 0x1002, OGL_framebuffer::make_depth, 64, 64, 0, 0, "outer");
  OGL_framebuffer inner(first_ref + 1, 2, 0, 32, 32, 0, 0, "inner");
  outer.begin_render(1);
  EXPECT_EQ(OGL_framebuffer::mTypeNow, 1);
  paint(0, 0, 64, 64, 0, 1, 0);
  inner.begin_render(1);
  EXPECT_EQ(OGL_framebuffer::mTypeNow, 0);
  EXPECT_EQ(OGL_framebuffer::mObjNow, &inner);
  EXPECT_EQ(wins.x_pix, 32);
  paint(0, 0, 32, 32, 1, 0, 0);
  inner.end_render();
  EXPECT_EQ(OGL_framebuffer::mTypeNow, 1);
  EXPECT_EQ(OGL_framebuffer::mObjNow, &outer);
  EXPECT_EQ(wins.x_pix, 64);
  EXPECT_EQ(binding(), (GLint)outer.get_fbo());
  paint(48, 48, 64, 64, 0, 0, 1);
  outer.end_render();
  EXPECT_EQ(OGL_framebuffer::mTypeNow, 0);
  EXPECT_EQ(OGL_framebuffer::mObjNow, nullptr);
  EXPECT_EQ(binding(), 0);
  EXPECT_EQ(texel(first_ref, 10, 10), 0x00ff00u);  // the inner drawing stayed in its own
  EXPECT_EQ(texel(first_ref, 60, 60), 0x0000ffu);
  EXPECT_EQ(texel(first_ref + 1, 10, 10), 0xff0000u);
}

TEST_F(Targets, BlitsOfTheSameKindCopyAndOthersDraw) {
  struct blit_case {
    const char* what;
    int source_flags;
    int blits;
  };
  const blit_case cases[] = {{"ordinary to ordinary", 2, 1}, {"float to ordinary", 0x1002, 0}};
  for (const blit_case& c : cases) {
    OGL_framebuffer src(first_ref, c.source_flags, 0, 64, 64, 0, 0, "src");
    OGL_framebuffer dest(first_ref + 2, 2, 0, 64, 64, 0, 0, "dest");
    src.begin_render(1);
    paint(0, 0, 64, 64, 0, 1, 0);
    paint(0, 0, 32, 32, 1, 1, 0);
    src.end_render();
    blits = 0;
    src.blit_to(&dest, false, false, false);
    EXPECT_EQ(blits, c.blits) << c.what;
    EXPECT_EQ(OGL_shader::current_shader, nullptr) << c.what;
    EXPECT_EQ(OGL_framebuffer::mObjNow, nullptr) << c.what;
    EXPECT_EQ(texel(first_ref + 2, 10, 10), 0xffff00u) << c.what;
    EXPECT_EQ(texel(first_ref + 2, 50, 50), 0x00ff00u) << c.what;
    tman.unload_texture(first_ref);
    tman.unload_texture(first_ref + 2);
  }
}

std::vector<int> alert_kinds;
void record_alert(int kind, const std::string*, const char*, int) { alert_kinds.push_back(kind); }

TEST_F(Targets, AnIncompleteTargetIsReportedAndRendersByCopying) {
  alert_kinds.clear();
  g_alert_handler = record_alert;
  OGL_framebuffer outer(first_ref, 2, 0, 64, 64, 0, 0, "outer");
  OGL_framebuffer empty(first_ref + 1, 2, 0, 0, 0, 0, 0, "empty");
  outer.begin_render(1);
  paint(0, 0, 64, 64, 0, 0, 1);
  xer_capture log;
  empty.begin_render(1);
  const std::string text = log.text();
  EXPECT_NE(text.find("Info for FBO: empty (GL_FRAMEBUFFER_INCOMPLETE_"), std::string::npos) << text;
  EXPECT_NE(text.find("   Attachment GL_COLOR_ATTACHMENT0_EXT: GL_TEXTURE "), std::string::npos) << text;
  EXPECT_NE(text.find("       Mip level 0: 0 x 0 format = "), std::string::npos) << text;
  EXPECT_NE(text.find("   Attachment GL_DEPTH_ATTACHMENT_EXT: 0\n"), std::string::npos) << text;
  EXPECT_EQ(glExt.framebuf_avail, 0);
  EXPECT_EQ(binding(), 0);  // drawing goes to the window, to be copied
  EXPECT_EQ(OGL_framebuffer::mObjNow, &empty);
  glViewport(0, 0, 8, 8);
  glClear(GL_COLOR_BUFFER_BIT);
  empty.end_render();
  EXPECT_EQ(binding(), (GLint)outer.get_fbo());
  EXPECT_EQ(OGL_framebuffer::mObjNow, &outer);
  EXPECT_EQ(wins.x_pix, 64);
  paint(0, 0, 16, 16, 1, 0, 0);
  outer.end_render();
  EXPECT_EQ(texel(first_ref, 8, 8), 0xff0000u);
  EXPECT_EQ(texel(first_ref, 40, 40), 0x0000ffu);

  // One warning, however many targets follow.
  OGL_framebuffer later(first_ref + 3, 2, 0, 16, 16, 0, 0, "later");
  later.begin_render(1);
  later.end_render();
  EXPECT_EQ(std::count(alert_kinds.begin(), alert_kinds.end(), (int)t_warning), 1);
}

// The alert screen switches to the fixed-function pipeline and the window's
// framebuffer directly, then resets both records: the same shader and
// target must bind again afterwards rather than be skipped as current.
TEST_F(Targets, AfterTheAlertScreensResetTheSameShaderAndTargetBindAgain) {
  shader_file("paint.glsl", k_paint_glsl);
  OGL_shader s("paint.glsl", nullptr, "paint.glsl", "#define PAINT 1.0\n", nullptr, nullptr);
  OGL_framebuffer t(first_ref, 0x1002, 0, 16, 16, 0, 0, "reset");
  t.begin_render(1);
  s.bind();
  gl_seams::real_use(0);
  glExt.glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
  OGL_shader::unbind_shaders();
  OGL_framebuffer::reset_to_window();
  EXPECT_EQ(OGL_shader::current_shader, nullptr);
  EXPECT_EQ(OGL_framebuffer::mObjNow, nullptr);
  EXPECT_EQ(OGL_framebuffer::mTypeNow, 0);
  EXPECT_EQ(binding(), 0);
  EXPECT_EQ(current_program(), 0);
  gl_seams::reset();
  s.bind();
  EXPECT_EQ(gl_seams::use_program, 1);
  EXPECT_EQ(current_program(), (GLint)s.get_gl_id());
  wins = saved_wins;
  t.begin_render(1);
  EXPECT_EQ(binding(), (GLint)t.get_fbo());
  EXPECT_EQ(OGL_framebuffer::mObjNow, &t);
  t.end_render();
  EXPECT_EQ(binding(), 0);
}

}  // namespace
