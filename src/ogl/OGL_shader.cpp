// The shader record: construction, the program-in-use record and its stack,
// the list of live shaders and the source dump.
#include "ogl/OGL_shader.h"
#include <algorithm>
#include "core/globs.h"

OGL_shader* OGL_shader::current_shader = nullptr;
std::vector<OGL_shader*> OGL_shader::stack;
std::set<OGL_shader*> OGL_shader::shaders;
UTL_remote_cmd cmd_do_pick_tex("Reload Pixel Shaders...", OGL_shader::do_reload);

OGL_shader::OGL_shader(const std::string& vert, const std::string& geom, const std::string& frag,
                       const char* prefix_text, const std::vector<std::string>& uniforms,
                       const std::vector<std::string>& attributes)
    : vert_path(OGL_shader_path(vert)),
      geom_path(geom.empty() ? std::string() : OGL_shader_path(geom)),
      frag_path(OGL_shader_path(frag)),
      uniform_names(uniforms),
      attribute_names(attributes) {
  init(prefix_text);
}

OGL_shader::OGL_shader(const char* vert, const char* geom, const char* frag, const char* prefix_text,
                       const char* const* uniforms, const char* const* attributes)
    : OGL_shader(std::string(vert ? vert : ""), std::string(geom ? geom : ""), std::string(frag ? frag : ""),
                 prefix_text, OGL_shader_names(uniforms), OGL_shader_names(attributes)) {}

void OGL_shader::init(const char* prefix_text) {
  prefix = prefix_text ? prefix_text : "// no prefix\n";
  uniform_locs.assign(uniform_names.size(), -1);
  attribute_locs.assign(attribute_names.size(), -1);
  uniform_cache.assign(uniform_names.size(), uniform_cache_t());
  program = glExt.glCreateProgramObjectARB();
  shaders.insert(this);
  reload(0);
}

OGL_shader::~OGL_shader() {
  shaders.erase(this);
  for (GLhandleARB obj : {frag_obj, geom_obj, vert_obj})
    if (obj) glExt.glDeleteObjectARB(obj);
  glExt.glDeleteObjectARB(program);
}

void OGL_shader::bind() {
  if (current_shader == this) return;
  glExt.glUseProgramObjectARB(program);
  current_shader = this;
}

void OGL_shader::unbind_shaders() {
  if (!current_shader) return;
  glExt.glUseProgramObjectARB(0);
  current_shader = nullptr;
}

void OGL_shader::push() { stack.push_back(current_shader); }

void OGL_shader::pop() {
  OGL_shader* s = stack.back();
  stack.pop_back();
  if (s)
    s->bind();
  else
    unbind_shaders();
}

void OGL_shader::reload_all_shaders(int running) {
  // A copy: a shader's alert may run frames that make or free shaders.
  const std::vector<OGL_shader*> all(shaders.begin(), shaders.end());
  for (OGL_shader* s : all)
    if (shaders.count(s)) s->reload(running);
}

void OGL_shader::do_reload() { reload_all_shaders(1); }

void OGL_shader::fetch_locations() {
  for (size_t i = 0; i < attribute_names.size(); ++i)
    attribute_locs[i] = glExt.glGetAttribLocationARB(program, attribute_names[i].c_str());
  for (size_t i = 0; i < uniform_names.size(); ++i)
    uniform_locs[i] = glExt.glGetUniformLocationARB(program, uniform_names[i].c_str());
}

void OGL_shader::dump() {
  const struct {
    GLhandleARB obj;
    const char* heading;
    const std::string& path;
  } stages[] = {{vert_obj, "SHADER SOURCE FOR VERTEX SHADER: ", vert_path},
                {geom_obj, "SHADER SOURCE FOR GEOMETRY SHADER: ", geom_path},
                {frag_obj, "SHADER SOURCE FOR FRAGMENT SHADER: ", frag_path}};
  for (const auto& s : stages) {
    if (!s.obj) continue;
    GLint len = 0;
    glExt.glGetObjectParameterivARB(s.obj, GL_OBJECT_SHADER_SOURCE_LENGTH_ARB, &len);
    std::string src((size_t)std::max(len, 0) + 1, '\0');
    GLsizei got = 0;
    glExt.glGetShaderSourceARB(s.obj, (GLsizei)src.size(), &got, src.data());
    src.resize((size_t)std::clamp<GLsizei>(got, 0, (GLsizei)src.size()));
    xer_group() << s.heading << s.path << "\n" << src << "\n";
  }
  if (!geom_obj) return;
  GLint out = 0, in_type = 0, out_type = 0;
  glExt.glGetObjectParameterivARB(program, GL_GEOMETRY_VERTICES_OUT_EXT, &out);
  glExt.glGetObjectParameterivARB(program, GL_GEOMETRY_INPUT_TYPE_EXT, &in_type);
  glExt.glGetObjectParameterivARB(program, GL_GEOMETRY_OUTPUT_TYPE_EXT, &out_type);
  xer_group() << "Prog: " << program << "\n"
              << "GL_GEOMETRY_VERTICES_OUT_EXT: " << out << "\n"
              << "GL_GEOMETRY_INPUT_TYPE_EXT: " << OGL_get_token_name((unsigned)in_type) << "\n"
              << "GL_GEOMETRY_OUTPUT_TYPE_EXT: " << OGL_get_token_name((unsigned)out_type) << "\n";
}
