// Families of shader variants keyed by flag values.
#include "ogl/OGL_shader.h"

OGL_shader_conditional::OGL_shader_conditional(const char* vert_name, const char* geom_name, const char* frag_name,
                                               const char* const* uniforms, const char* const* attributes,
                                               const OGL_conditional_t* flags, const char* extra)
    : extra_prefix(extra ? extra : ""),
      vert(vert_name ? vert_name : ""),
      geom(geom_name ? geom_name : ""),
      frag(frag_name ? frag_name : ""),
      uniform_names(OGL_shader_names(uniforms)),
      attribute_names(OGL_shader_names(attributes)) {
  for (; flags && flags->name; ++flags) {
    flag_names.emplace_back(flags->name);
    flag_values.push_back(flags->values);
  }
}

OGL_shader_conditional::~OGL_shader_conditional() {
  for (auto& v : variants) {
    if (OGL_shader::current_shader == v.second) OGL_shader::unbind_shaders();
    delete v.second;
  }
}

int OGL_shader_conditional::id_from_flags(const int* values) const {
  int id = 0, radix = 1;
  for (size_t i = 0; i < flag_values.size(); ++i) {
    id += values[i] * radix;
    radix *= flag_values[i];
  }
  return id;
}

int OGL_shader_conditional::flags_from_id(int id, int* values) const {
  for (size_t i = 0; i < flag_values.size(); ++i) {
    values[i] = id % flag_values[i];
    id /= flag_values[i];
  }
  return (int)flag_values.size();
}

void OGL_shader_conditional::build(int id) {
  std::vector<int> values(flag_values.size());
  flags_from_id(id, values.data());
  std::string prefix = extra_prefix;
  for (size_t i = 0; i < flag_names.size(); ++i)
    prefix += "#define " + flag_names[i] + " " + std::to_string(values[i]) + "\n";
  // The old variant goes: left in the map's shadow it would leak, and left
  // current the program-in-use record would point at freed memory.
  auto old = variants.find(id);
  if (old != variants.end()) {
    if (OGL_shader::current_shader == old->second) OGL_shader::unbind_shaders();
    delete old->second;
    variants.erase(old);
  }
  variants[id] = new OGL_shader(vert, geom, frag, prefix.c_str(), uniform_names, attribute_names);
}

void OGL_shader_conditional::bind(int id) {
  auto it = variants.find(id);
  if (it == variants.end()) {
    build(id);
    it = variants.find(id);
  }
  it->second->bind();
}
