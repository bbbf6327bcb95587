// Building a shader's program from its files, at construction and again
// while the program runs.
#include <algorithm>
#include <cstdio>
#include <utility>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "files/translate.h"
#include "files/xmap.h"
#include "ogl/OGL_shader.h"

namespace {

constexpr char src_path[] = "RUvozuz/OGL/OGL_shader";

// The driver's info log of obj, in the log under name with the prefix text
// the stage was given, and on standard output.
void log_info(GLhandleARB obj, const std::string& name, const std::string& prefix_text) {
  GLint len = 0;
  glExt.glGetObjectParameterivARB(obj, GL_OBJECT_INFO_LOG_LENGTH_ARB, &len);
  if (len < 0) len = 0;
  std::string text((size_t)len + 1, '\0');
  GLsizei got = 0;
  glExt.glGetInfoLogARB(obj, len + 1, &got, text.data());
  text.resize((size_t)std::min<GLsizei>(std::max<GLsizei>(got, 0), len));
  xer_group() << "=====" << name << "=====\n"
              << "   (prefix:\n"
              << prefix_text << "end prefix)\n"
              << text << "\n"
              << std::flush;
  std::printf("%s: %s\n", name.c_str(), text.c_str());
}

// A compiled stage object of type from the file at path, 0 when the file
// cannot be read (after the quit alert). ok turns false on any failure.
GLhandleARB compile_stage(GLenum type, const std::string& path, const std::string& platform,
                          const std::string& prefix, bool& ok) {
  xmap_class file(path, 0, 0);
  if (!file.mem_beg) {
    __MACIBM_alert(0, UTL_translate_string("We were unable to load the shader file:"), path, "",
                   UTL_translate_string("Re-run the Duvizo installer/updater to correct this problem."), t_quit,
                   src_path, __LINE__);
    ok = false;
    return 0;
  }
  std::string source(file.mem_beg, file.mem_end);
  OGL_shader_expand_includes(source, 10);
  const std::string stage = OGL_shader_stage_header(type);
  const GLcharARB* parts[4] = {stage.c_str(), platform.c_str(), prefix.c_str(), source.c_str()};
  const GLint lens[4] = {(GLint)stage.size(), (GLint)platform.size(), (GLint)prefix.size(), (GLint)source.size()};
  const GLhandleARB obj = glExt.glCreateShaderObjectARB(type);
  glExt.glShaderSourceARB(obj, 4, parts, lens);
  glExt.glCompileShaderARB(obj);
  GLint status = 0;
  glExt.glGetObjectParameterivARB(obj, GL_OBJECT_COMPILE_STATUS_ARB, &status);
  if (!status) {
    log_info(obj, path, platform + prefix);
    ok = false;
  }
  return obj;
}

}  // namespace

int OGL_shader::link_stages(const std::string& prefix_text) {
  if (geom_obj) {
    glExt.glProgramParameteriEXT(program, GL_GEOMETRY_VERTICES_OUT_EXT, 3);
    glExt.glProgramParameteriEXT(program, GL_GEOMETRY_INPUT_TYPE_EXT, GL_TRIANGLES);
    glExt.glProgramParameteriEXT(program, GL_GEOMETRY_OUTPUT_TYPE_EXT, GL_TRIANGLE_STRIP);
  }
  for (size_t i = 0; i < attribute_names.size(); ++i)
    glExt.glBindAttribLocationARB(program, (GLuint)(i + 5), attribute_names[i].c_str());
  glExt.glLinkProgramARB(program);
  GLint status = 0;
  glExt.glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &status);
  if (!status) log_info(program, vert_path + "+" + frag_path, prefix_text);
  return status != 0;
}

int OGL_shader::reload(int running) {
  for (uniform_cache_t& c : uniform_cache) c.kind = 0;
  const std::string platform = OGL_shader_platform_header(!geom_path.empty());
  for (;;) {
    bool ok = true;
    GLhandleARB fresh[3] = {compile_stage(GL_VERTEX_SHADER_ARB, vert_path, platform, prefix, ok),
                            geom_path.empty() ? 0 : compile_stage(GL_GEOMETRY_SHADER_EXT, geom_path, platform, prefix, ok),
                            compile_stage(GL_FRAGMENT_SHADER_ARB, frag_path, platform, prefix, ok)};
    GLhandleARB* slots[3] = {&vert_obj, &geom_obj, &frag_obj};
    // Swaps the fresh objects onto the program and the old ones into fresh.
    auto swap_stages = [&] {
      for (int i = 0; i < 3; ++i) {
        if (*slots[i]) glExt.glDetachObjectARB(program, *slots[i]);
        if (fresh[i]) glExt.glAttachObjectARB(program, fresh[i]);
        std::swap(*slots[i], fresh[i]);
      }
    };
    // A program that works keeps running until its replacement compiles and
    // links: a bad edit while the program runs must not leave it drawing
    // with nothing.
    if (ok || !linked) {
      swap_stages();
      if (!link_stages(platform + prefix)) {
        ok = false;
        if (linked) {
          swap_stages();
          link_stages(platform + prefix);
        }
      }
    }
    for (GLhandleARB obj : fresh)
      if (obj) glExt.glDeleteObjectARB(obj);
    fetch_locations();
    if (ok) {
      linked = 1;
      return 1;
    }
    // Trying again makes sense only when someone could fix the file while
    // the alert waited; a scripted run would log the same failure for ever.
    const int answered = MACIBM_alert_is_answered();
    __MACIBM_alert(0, "There was a problem processing a GLSL pixel shader.",
                   "You may need to rerun the installer or update your graphics drivers.", vert_path, frag_path,
                   running ? t_warning : t_quit, src_path, __LINE__);
    if (!answered) return 0;
  }
}
