// Assembling a stage's source: the shader folder's paths, #include
// expansion and the generated headers.
#include <string>
#include "core/globs.h"
#include "core/hl_paths.h"
#include "files/xmap.h"
#include "ogl/OGL_shader.h"

std::vector<std::string> OGL_shader_names(const char* const* list) {
  std::vector<std::string> out;
  for (; list && *list; ++list) out.emplace_back(*list);
  return out;
}

std::string OGL_shader_path(const std::string& name) { return std::string(rsrc_path) + "/shaders/" + name; }

void OGL_shader_expand_includes(std::string& text, int depth) {
  static const std::string directive = "#include \"";
  size_t pos = 0;
  for (;;) {
    const size_t at = text.find(directive, pos);
    if (at == std::string::npos) return;
    const size_t name_at = at + directive.size();
    const size_t close = text.find('"', name_at);
    if (close == std::string::npos) {
      xer_group() << "Aborted #include directive because there was no closign quote.\n";
      return;
    }
    const std::string name = text.substr(name_at, close - name_at);
    if (depth <= 0) {
      xer_group() << "Aborted #include directive because " << name
                  << " is part of an include-infinite loop, or at least too many includes.\n";
      return;
    }
    // Included names resolve against the shader folder, never against the
    // including file, so one name means one file wherever it is used.
    xmap_class file(OGL_shader_path(name), 0, 0);
    if (!file.mem_beg) {
      // Left for the compiler to reject, which names the line.
      pos = close + 1;
      continue;
    }
    std::string inner(file.mem_beg, file.mem_end);
    OGL_shader_expand_includes(inner, depth - 1);
    text.replace(at, close + 1 - at, inner);
    pos = at + inner.size();
  }
}

std::string OGL_shader_platform_header(bool has_gshader) {
  std::string h = "#define APL 1\n#define IBM 0\n#define LIN 0\n";
  h += glExt.first_gen_shaders ? "#define LIMITED 1\n" : "#define LIMITED 0\n";
  h += has_gshader ? "#define HAS_GSHADER 1\n" : "#define HAS_GSHADER 0\n";
  return h;
}

std::string OGL_shader_stage_header(GLenum stage) {
  const char* version = glExt.glsl_version > 119 ? "#version 120\n" : "";
  switch (stage) {
    case GL_VERTEX_SHADER_ARB:
      return std::string(version) + "#define VSHADER 1\n#define GSHADER 0\n#define FSHADER 0\n";
    case GL_GEOMETRY_SHADER_EXT:
      return "#version 120\n#extension GL_EXT_geometry_shader4 : enable\n#extension GL_EXT_bindable_uniform : enable\n"
             "#define VSHADER 0\n#define GSHADER 1\n#define FSHADER 0\n";
    default:
      return std::string(version) +
             (glExt.shad_lod_avail ? "#extension GL_ARB_shader_texture_lod : enable\n"
                                   : "#define texture2DGradARB(a,b,c,d) texture2D(a,b)\n") +
             "#define VSHADER 0\n#define GSHADER 0\n#define FSHADER 1\n";
  }
}
