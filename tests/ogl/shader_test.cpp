// Shader programs on the real driver: the program-in-use record and its
// stack, the uniform cache, variant ids, build failures and reloading.
#include <gtest/gtest.h>
#include <memory>
#include "core/utl_remote_cmd.h"
#include "ogl/shader_fixture.h"
#include "support/xer_capture.h"

namespace {

const char* const k_uniforms[] = {"u_int", "u_pair", "u_unused", nullptr};

class Shaders : public ShaderTest {
 protected:
  void SetUp() override {
    ShaderTest::SetUp();
    shader_file("paint.glsl", k_paint_glsl);
  }
  static std::unique_ptr<OGL_shader> paint(const char* colour) {
    const std::string prefix = std::string("#define PAINT ") + colour + "\n";
    return std::make_unique<OGL_shader>("paint.glsl", nullptr, "paint.glsl", prefix.c_str(), k_uniforms, nullptr);
  }
  // The colour a full-window quad gets with what is bound now.
  static uint32_t draw_quad() {
    glViewport(0, 0, 800, 600);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor4f(0, 0, 1, 1);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1), glVertex2f(-1, 1), glVertex2f(1, 1), glVertex2f(1, -1);
    glEnd();
    glFinish();
    return gl_pixel(400, 300);
  }
};

TEST_F(Shaders, BindingTheCurrentShaderAgainIssuesNoCall) {
  const size_t before = OGL_shader::shaders.size();
  auto a = paint("1.0"), b = paint("0.5");
  OGL_shader::unbind_shaders();
  EXPECT_EQ(gl_seams::use_program, 0);  // nothing current: no call
  a->bind();
  a->bind();
  EXPECT_EQ(gl_seams::use_program, 1);
  EXPECT_EQ(current_program(), (GLint)a->get_gl_id());
  EXPECT_EQ(OGL_shader::current_shader, a.get());

  // push, bind another, pop: the first is back; a saved null unbinds.
  OGL_shader::push();
  b->bind();
  EXPECT_EQ(current_program(), (GLint)b->get_gl_id());
  OGL_shader::pop();
  EXPECT_EQ(current_program(), (GLint)a->get_gl_id());
  EXPECT_EQ(OGL_shader::current_shader, a.get());
  OGL_shader::unbind_shaders();
  OGL_shader::push();
  a->bind();
  OGL_shader::pop();
  EXPECT_EQ(current_program(), 0);
  EXPECT_EQ(OGL_shader::current_shader, nullptr);
  EXPECT_TRUE(OGL_shader::stack.empty());
  EXPECT_EQ(gl_seams::use_program, 6);
  EXPECT_EQ(OGL_shader::shaders.size(), before + 2);
  b.reset();
  EXPECT_EQ(OGL_shader::shaders.size(), before + 1);
  EXPECT_EQ(OGL_shader::shaders.count(a.get()), 1u);
}

TEST_F(Shaders, UniformsAreSentOnlyOnChangeAndAgainAfterARelink) {
  auto s = paint("1.0");
  s->bind();
  EXPECT_NE(s->get_uniform_loc(0), -1);
  EXPECT_NE(s->get_uniform_loc(1), -1);
  EXPECT_EQ(s->get_uniform_loc(2), -1);  // the linker dropped it
  EXPECT_THROW(s->get_uniform_loc(3), std::out_of_range);

  s->set_uniform_int(0, 3);
  s->set_uniform_int(0, 3);
  s->set_uniform_2f(1, 0.25f, 0.5f);
  s->set_uniform_2f(1, 0.25f, 0.5f);
  EXPECT_EQ(gl_seams::uniform_1i, 1);
  EXPECT_EQ(gl_seams::uniform_2f, 1);
  s->set_uniform_2f(1, 0.25f, 0.75f);
  s->set_uniform_int(0, 4);
  EXPECT_EQ(gl_seams::uniform_1i, 2);
  EXPECT_EQ(gl_seams::uniform_2f, 2);
  GLint i = 0;
  GLfloat f[2] = {};
  glExt.glGetUniformivARB(s->get_gl_id(), (GLint)s->get_uniform_loc(0), &i);
  glExt.glGetUniformfvARB(s->get_gl_id(), (GLint)s->get_uniform_loc(1), f);
  EXPECT_EQ(i, 4);
  EXPECT_EQ(f[1], 0.75f);

  // An unknown location is never sent.
  s->set_uniform_int(2, 1);
  s->set_uniform_2f(2, 1, 2);
  EXPECT_EQ(gl_seams::uniform_1i, 2);
  EXPECT_EQ(gl_seams::uniform_2f, 2);

  // A relink resets the driver's values, so the same values go again.
  const GLhandleARB id = s->get_gl_id();
  EXPECT_EQ(s->reload(1), 1);
  EXPECT_EQ(s->get_gl_id(), id);
  s->set_uniform_int(0, 4);
  s->set_uniform_2f(1, 0.25f, 0.75f);
  EXPECT_EQ(gl_seams::uniform_1i, 3);
  EXPECT_EQ(gl_seams::uniform_2f, 3);
}

TEST_F(Shaders, VariantIdsAreMixedRadixFirstFlagLowest) {
  const OGL_conditional_t flags[] = {{"A", 2}, {"B", 3}, {nullptr, 0}};
  OGL_shader_conditional family("paint.glsl", nullptr, "paint.glsl", nullptr, nullptr, flags, nullptr);
  struct id_case {
    int a, b, id;
  };
  for (const id_case c : {id_case{1, 2, 5}, {0, 0, 0}, {1, 0, 1}, {0, 1, 2}, {0, 2, 4}}) {
    const int values[2] = {c.a, c.b};
    EXPECT_EQ(family.id_from_flags(values), c.id);
    int back[2] = {-1, -1};
    EXPECT_EQ(family.flags_from_id(c.id, back), 2);
    EXPECT_EQ(back[0], c.a);
    EXPECT_EQ(back[1], c.b);
  }
  OGL_shader_conditional none("paint.glsl", nullptr, "paint.glsl", nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(none.id_from_flags(nullptr), 0);
  EXPECT_EQ(none.flags_from_id(7, nullptr), 0);
}

TEST_F(Shaders, VariantsCarryTheirFlagsAndARebuildFreesTheCurrentOne) {
  // PAINT comes from the variant's flag line: red where R is 1.
  shader_file("flag.glsl", std::string("#define PAINT float(R), 0.0, 0.0, 1.0\n") + k_paint_glsl);
  const OGL_conditional_t flags[] = {{"R", 2}, {nullptr, 0}};
  OGL_shader_conditional family("flag.glsl", nullptr, "flag.glsl", k_uniforms, nullptr, flags, "// extra\n");
  family.bind(1);
  EXPECT_EQ(draw_quad(), 0xff0000ffu);
  family.bind(0);
  EXPECT_EQ(draw_quad(), 0x000000ffu);
  EXPECT_EQ(current_program(), (GLint)family.get_gl_id(0));

  const size_t live = OGL_shader::shaders.size();
  family.build(0);
  EXPECT_EQ(OGL_shader::shaders.size(), live);  // the old variant is gone
  EXPECT_EQ(OGL_shader::current_shader, nullptr);
  EXPECT_EQ(current_program(), 0);
  family.bind(0);
  EXPECT_EQ(current_program(), (GLint)family.get_gl_id(0));
}

TEST_F(Shaders, ABrokenReloadKeepsTheOldProgramAndReturnsAfterOneTry) {
  auto s = paint("0.0, 1.0, 0.0, 1.0");
  s->bind();
  const GLhandleARB id = s->get_gl_id();
  const std::string path = app_path + "Resources/shaders/paint.glsl";
  struct broken_case {
    const char* what;
    std::string text;
  };
  const broken_case cases[] = {
      {"a compile error", "void main() { this is not glsl }\n"},
      {"a link error", "#if VSHADER\nvoid main() { gl_Position = ftransform(); }\n#else\nvoid f();\n"
                       "void main() { f(); gl_FragColor = vec4(1.0); }\n#endif\n"},
  };
  for (const broken_case& c : cases) {
    ASSERT_TRUE(test_write_file(path, c.text));
    xer_capture log;
    EXPECT_EQ(s->reload(1), 0) << c.what;
    const std::string text = log.text();
    // One failed build, one warning, and back to the caller.
    EXPECT_EQ(text.find("There was a problem processing a GLSL pixel shader."),
              text.rfind("There was a problem processing a GLSL pixel shader."))
        << c.what << "\n"
        << text;
    EXPECT_NE(text.find("There was a problem processing a GLSL pixel shader.\nYou may need to rerun the installer or "
                        "update your graphics drivers.\nResources//shaders/paint.glsl\n"
                        "Resources//shaders/paint.glsl\n(RUvozuz/OGL/OGL_shader line "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("====="), std::string::npos) << text;
    EXPECT_EQ(s->get_gl_id(), id);
    s->bind();
    EXPECT_EQ(draw_quad(), 0x00ff00ffu) << c.what;  // the old program still draws
    GLint linked = 0;
    glExt.glGetObjectParameterivARB(id, GL_OBJECT_LINK_STATUS_ARB, &linked);
    EXPECT_EQ(linked, 1) << c.what;
  }
}

// The alert screen a user answers after mending the file. It goes away
// once answered, so a build that still fails is not tried again.
std::string g_mend_path;
int g_shown = 0;
void mend_while_shown(int, const std::string*, int kind, const std::string&) {
  ++g_shown;
  EXPECT_EQ(kind, t_warning);
  test_write_file(g_mend_path, std::string("#define PAINT_EDIT 1.0, 0.0, 1.0, 1.0\n") + k_paint_glsl);
  g_alert_screens.show_alert_screen = nullptr;
}

TEST_F(Shaders, AnAnsweredWarningBuildsAgainAndPicksUpTheMend) {
  shader_file("paint.glsl", std::string("#define PAINT_EDIT 0.0, 1.0, 0.0, 1.0\n") + k_paint_glsl);
  auto s = paint("PAINT_EDIT");
  g_mend_path = app_path + "Resources/shaders/paint.glsl";
  shader_file("paint.glsl", "broken");
  const alert_screens saved = g_alert_screens;
  const int saved_inited = ogl_inited;
  cmdline.options.clear();
  ogl_inited = 1;
  g_alert_screens.show_alert_screen = mend_while_shown;
  g_shown = 0;
  const int built = s->reload(1);
  g_alert_screens = saved;
  ogl_inited = saved_inited;
  EXPECT_EQ(built, 1);
  EXPECT_EQ(g_shown, 1);
  s->bind();
  EXPECT_EQ(draw_quad(), 0xff00ffffu);
}

TEST_F(Shaders, ReloadPixelShadersRebuildsAnEditedFileInPlace) {
  shader_file("paint.glsl", std::string("#define PAINT_EDIT 1.0, 0.0, 0.0, 1.0\n") + k_paint_glsl);
  auto s = paint("PAINT_EDIT");
  s->bind();
  EXPECT_EQ(draw_quad(), 0xff0000ffu);
  const GLhandleARB id = s->get_gl_id();

  shader_file("paint.glsl", std::string("#define PAINT_EDIT 0.0, 0.0, 1.0, 1.0\n") + k_paint_glsl);
  UTL_remote_cmd* cmd = &cmd_do_pick_tex;
  EXPECT_STREQ(cmd->name, "Reload Pixel Shaders...");
  UTL_remote_cmd::invoke(nullptr, cmd->id);
  EXPECT_EQ(s->get_gl_id(), id);
  EXPECT_EQ(OGL_shader::current_shader, s.get());
  EXPECT_EQ(draw_quad(), 0x0000ffffu);
}

// In a scripted run the quit alert logs its lines and ends the program
// with status 1.
class ShaderDeathTest : public Shaders {};

TEST_F(ShaderDeathTest, AMissingStageFileIsTheQuitAlert) {
  EXPECT_EXIT(
      {
        xer.open("/dev/stderr");
        OGL_shader s("absent.glsl", nullptr, "paint.glsl", nullptr, nullptr, nullptr);
      },
      testing::ExitedWithCode(1),
      "\nWe were unable to load the shader file:\nResources//shaders/absent.glsl\n\n"
      "Re-run the Duvizo installer/updater to correct this problem.\n\\(RUvozuz/OGL/OGL_shader line [0-9]+\\)\n");
}

TEST_F(ShaderDeathTest, ACompileErrorAtConstructionLogsTheDriverAndQuits) {
  shader_file("bad.glsl", "#if FSHADER\nvoid main() { gl_FragColor = nonsense; }\n#else\n"
                          "void main() { gl_Position = ftransform(); }\n#endif\n");
  EXPECT_EXIT(
      {
        xer.open("/dev/stderr");
        OGL_shader s("bad.glsl", nullptr, "bad.glsl", "#define MINE 1\n", nullptr, nullptr);
      },
      testing::ExitedWithCode(1),
      "=====Resources//shaders/bad.glsl=====\n   \\(prefix:\n#define APL 1\n(.|\n)*#define HAS_GSHADER 0\n"
      "#define MINE 1\nend prefix\\)\n(.|\n)*nonsense(.|\n)*"
      "\nThere was a problem processing a GLSL pixel shader.\n");
}

}  // namespace
