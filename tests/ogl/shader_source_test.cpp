// Assembling shader sources: #include expansion over files in a fixture
// shader folder, and the generated headers on the real driver.
#include <gtest/gtest.h>
#include <utility>
#include <vector>
#include "ogl/shader_fixture.h"
#include "support/xer_capture.h"

namespace {

const char k_loop[] = " is part of an include-infinite loop, or at least too many includes.\n";

// A chain main -> c1 -> ... -> c<n>: each file is "<name>[ #include next ]<name>".
std::vector<std::pair<std::string, std::string>> chain(int n) {
  std::vector<std::pair<std::string, std::string>> files;
  for (int i = 1; i <= n; ++i) {
    const std::string me = "c" + std::to_string(i);
    const std::string inner = i < n ? "#include \"c" + std::to_string(i + 1) + "\"" : "end";
    files.emplace_back(me, "<" + me + ">" + inner + "</" + me + ">");
  }
  return files;
}
std::string chain_text(int n, int expanded) {
  std::string open, close;
  for (int i = 1; i <= expanded; ++i) {
    open += "<c" + std::to_string(i) + ">";
    close = "</c" + std::to_string(i) + ">" + close;
  }
  const std::string middle = expanded == n ? "end" : "#include \"c" + std::to_string(expanded + 1) + "\"";
  return open + middle + close;
}
std::string repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

struct include_case {
  const char* what;
  std::vector<std::pair<std::string, std::string>> files;
  std::string main;
  std::string expanded;
  std::string logged;
};

TEST_F(ShaderTest, IncludesExpandTenLevelsAndStopWithALogLine) {
  const include_case cases[] = {
      {"ten nested files expand fully", chain(10), "#include \"c1\"", chain_text(10, 10), ""},
      {"the eleventh level keeps its directive", chain(11), "#include \"c1\"", chain_text(11, 10),
       std::string("Aborted #include directive because c11") + k_loop},
      {"a self-include stops at the same depth", {{"self", "A#include \"self\"B"}}, "#include \"self\"",
       repeat("A", 10) + "#include \"self\"" + repeat("B", 10),
       std::string("Aborted #include directive because self") + k_loop},
      {"a missing quote stops the expansion there", {{"a", "[a]"}},
       "#include \"a\" x #include \"a", "[a] x #include \"a",
       "Aborted #include directive because there was no closign quote.\n"},
      {"a missing file keeps its directive, the scan goes on", {{"a", "[a]"}},
       "#include \"gone\" #include \"a\"", "#include \"gone\" [a]", ""},
      {"names resolve against the shader folder, not the includer", {{"sub/x", "#include \"y\""}, {"y", "[y]"}},
       "#include \"sub/x\"", "[y]", ""},
      {"a directive needs the blank and the quote", {{"a", "[a]"}}, "#include<a> #include  \"a\"",
       "#include<a> #include  \"a\"", ""},
  };
  test_run("mkdir -p '" + app_path + "Resources/shaders/sub'");
  for (const include_case& c : cases) {
    for (const auto& f : c.files) shader_file(f.first, f.second);
    xer_capture log;
    std::string text = c.main;
    OGL_shader_expand_includes(text, 10);
    EXPECT_EQ(text, c.expanded) << c.what;
    EXPECT_EQ(log.text(), c.logged) << c.what;
  }
}

TEST_F(ShaderTest, StageHeadersFollowTheGlslVersionAndTheLodExtension) {
  struct header_case {
    int glsl_version, shad_lod;
    std::string vertex, fragment;
  };
  const std::string v = "#define VSHADER 1\n#define GSHADER 0\n#define FSHADER 0\n";
  const std::string f = "#define VSHADER 0\n#define GSHADER 0\n#define FSHADER 1\n";
  const std::string lod = "#extension GL_ARB_shader_texture_lod : enable\n";
  const std::string no_lod = "#define texture2DGradARB(a,b,c,d) texture2D(a,b)\n";
  const header_case cases[] = {
      {100, 1, v, lod + f},
      {100, 0, v, no_lod + f},
      {119, 1, v, lod + f},
      {120, 1, "#version 120\n" + v, "#version 120\n" + lod + f},
  };
  // What llvmpipe reports ("4.50") counts as the first GLSL version.
  EXPECT_EQ(glExt.glsl_version, 100);
  EXPECT_EQ(glExt.shad_lod_avail, 1);
  for (const header_case& c : cases) {
    glExt.glsl_version = c.glsl_version;
    glExt.shad_lod_avail = c.shad_lod;
    EXPECT_EQ(OGL_shader_stage_header(GL_VERTEX_SHADER_ARB), c.vertex) << c.glsl_version;
    EXPECT_EQ(OGL_shader_stage_header(GL_FRAGMENT_SHADER_ARB), c.fragment) << c.glsl_version << " " << c.shad_lod;
  }
  EXPECT_EQ(OGL_shader_stage_header(GL_GEOMETRY_SHADER_EXT),
            "#version 120\n#extension GL_EXT_geometry_shader4 : enable\n#extension GL_EXT_bindable_uniform : "
            "enable\n#define VSHADER 0\n#define GSHADER 1\n#define FSHADER 0\n");
  EXPECT_EQ(OGL_shader_platform_header(false),
            "#define APL 1\n#define IBM 0\n#define LIN 0\n#define LIMITED 0\n#define HAS_GSHADER 0\n");
  glExt.first_gen_shaders = 1;
  EXPECT_EQ(OGL_shader_platform_header(true),
            "#define APL 1\n#define IBM 0\n#define LIN 0\n#define LIMITED 1\n#define HAS_GSHADER 1\n");
  EXPECT_EQ(OGL_shader_path("legacy.glsl"), "Resources//shaders/legacy.glsl");
}

// The sources the driver holds for each stage, as dump() writes them.
TEST_F(ShaderTest, WithoutAGeometryNameTheProgramHasTwoStages) {
  shader_file("paint.glsl", k_paint_glsl);
  const char* const uniforms[] = {"u_int", nullptr};
  for (int c_strings = 0; c_strings < 2; ++c_strings) {
    OGL_shader* s = c_strings ? new OGL_shader("paint.glsl", nullptr, "paint.glsl", "#define PAINT 1.0\n", uniforms,
                                               nullptr)
                              : new OGL_shader("paint.glsl", "", "paint.glsl", "#define PAINT 1.0\n", {"u_int"}, {});
    GLsizei count = 0;
    GLhandleARB objs[4] = {};
    glExt.glGetAttachedObjectsARB(s->get_gl_id(), 4, &count, objs);
    EXPECT_EQ(count, 2);
    xer_capture log;
    s->dump();
    const std::string text = log.text();
    EXPECT_NE(text.find("SHADER SOURCE FOR VERTEX SHADER: Resources//shaders/paint.glsl\n"
                        "#define VSHADER 1\n#define GSHADER 0\n#define FSHADER 0\n"
                        "#define APL 1\n#define IBM 0\n#define LIN 0\n#define LIMITED 0\n#define HAS_GSHADER 0\n"
                        "#define PAINT 1.0\nuniform int u_int;"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("SHADER SOURCE FOR FRAGMENT SHADER: Resources//shaders/paint.glsl\n"
                        "#extension GL_ARB_shader_texture_lod : enable\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("GEOMETRY"), std::string::npos) << text;
    delete s;
  }
}

}  // namespace
