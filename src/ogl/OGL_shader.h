// GLSL programs built from source files in the resources' "shaders" folder:
// up to three stages (vertex, optional geometry, fragment) with #include
// expansion and a generated header of platform and capability defines in
// front of the owner's prefix. Every call goes through the ARB shader-object
// slots of glExt. One record says which program is in use, so binding the
// same shader twice costs nothing; uniform values are cached the same way.
// Every live shader is listed so "Reload Pixel Shaders..." can rebuild them
// all from disc while the program runs. Main thread, with the window's
// context current.
#pragma once
#include <GL/gl.h>
#include <GL/glext.h>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>
#include "core/utl_remote_cmd.h"
#include "ogl/ogl_extensions.h"

// The last values sent to one uniform; kind 0 until something is sent after
// a link, 1 one integer (held as a float), 6 two floats.
struct uniform_cache_t {
  int32_t kind = 0;
  float v[4] = {0, 0, 0, 0};
};

class OGL_shader {
 public:
  // Builds (reload(0)) a program from stage file names; an empty geometry
  // name means two stages. A null prefix gives "// no prefix\n".
  OGL_shader(const std::string& vert, const std::string& geom, const std::string& frag, const char* prefix,
             const std::vector<std::string>& uniforms, const std::vector<std::string>& attributes);
  // The same from C strings and null-terminated name arrays; a null geometry
  // name means two stages, a null array no names.
  OGL_shader(const char* vert, const char* geom, const char* frag, const char* prefix, const char* const* uniforms,
             const char* const* attributes);
  // Leaves the list of shaders and deletes the stage objects and the program.
  ~OGL_shader();
  OGL_shader(const OGL_shader&) = delete;
  OGL_shader& operator=(const OGL_shader&) = delete;

  // The program handle; it never changes, whatever reload does.
  GLhandleARB get_gl_id() const { return program; }
  // The location of uniform / attribute i at the last link, -1 when the
  // linker does not know the name; an index outside the list throws
  // std::out_of_range.
  long get_uniform_loc(int i) const { return uniform_locs.at(i); }
  long get_attribute_loc(int i) const { return attribute_locs.at(i); }

  // Makes this program current; no driver call when it already is.
  void bind();
  // Back to the fixed-function pipeline when a shader is current; else nothing.
  static void unbind_shaders();
  // Saves current_shader (null included) / makes the last saved one current.
  static void push();
  static void pop();

  // (Re)builds the program from its files, keeping its handle. running is
  // non-zero when called while the program runs: a failure is then a warning
  // and the old program stays in use; at construction it is the quit alert.
  // The build is tried again only after an alert that a user answered.
  // Returns 1 when every stage compiled and the program linked.
  int reload(int running);
  // reload(running) on every live shader, in address order.
  static void reload_all_shaders(int running);
  // Writes the stage sources the driver holds to the log.
  void dump();
  // The action of "Reload Pixel Shaders...".
  static void do_reload();

  // Uniform i as one integer (kind 1) / two floats (kind 6): sent only when
  // the location is known and the kind or a value differs from the last
  // values sent since the link.
  void set_uniform_int(int i, int value) {
    uniform_cache_t& c = uniform_cache.at(i);
    if (uniform_locs[i] == -1) return;
    if (c.kind == 1 && c.v[0] == (float)value) return;
    c.kind = 1;
    c.v[0] = (float)value;
    glExt.glUniform1iARB((GLint)uniform_locs[i], value);
  }
  void set_uniform_2f(int i, float a, float b) {
    uniform_cache_t& c = uniform_cache.at(i);
    if (uniform_locs[i] == -1) return;
    if (c.kind == 6 && c.v[0] == a && c.v[1] == b) return;
    c.kind = 6;
    c.v[0] = a;
    c.v[1] = b;
    glExt.glUniform2fARB((GLint)uniform_locs[i], a, b);
  }

  // The shader whose program is in use; null is the fixed-function pipeline.
  static OGL_shader* current_shader;
  static std::vector<OGL_shader*> stack;
  static std::set<OGL_shader*> shaders;

 private:
  void init(const char* prefix_text);
  void fetch_locations();
  int link_stages(const std::string& prefix_text);

  GLhandleARB program = 0;
  GLhandleARB vert_obj = 0, geom_obj = 0, frag_obj = 0;
  int linked = 0;  // the program holds a working build
  std::string vert_path, geom_path, frag_path;
  std::string prefix;
  std::vector<std::string> uniform_names, attribute_names;
  std::vector<long> uniform_locs, attribute_locs;
  std::vector<uniform_cache_t> uniform_cache;
};

// "Reload Pixel Shaders...": rebuilds every shader from disc.
extern UTL_remote_cmd cmd_do_pick_tex;

// Source assembly, shared by the build and its tests.
// The names of a null-terminated array (none for a null array).
std::vector<std::string> OGL_shader_names(const char* const* list);
// The path of a shader file: rsrc_path + "/shaders/" + name, from the root folder.
std::string OGL_shader_path(const std::string& name);
// Expands #include "name" directives of text in place, at most depth levels
// deep; problems are logged and leave the directive.
void OGL_shader_expand_includes(std::string& text, int depth);
// The platform and capability defines; has_gshader gives HAS_GSHADER 1.
std::string OGL_shader_platform_header(bool has_gshader);
// The #version, #extension and stage defines in front of one stage.
std::string OGL_shader_stage_header(GLenum stage);

// One flag of a variant table; a table ends with a row whose name is null.
struct OGL_conditional_t {
  const char* name;
  int values;
};

// A family of variants of one shader, keyed by small integer flags that
// become "#define FLAG value" lines of the prefix. Variants are built on
// first bind and owned until the family goes.
class OGL_shader_conditional {
 public:
  // Stores the names and the flag table; builds nothing. Null arguments mean
  // none.
  OGL_shader_conditional(const char* vert, const char* geom, const char* frag, const char* const* uniforms,
                         const char* const* attributes, const OGL_conditional_t* flags, const char* extra_prefix);
  ~OGL_shader_conditional();
  OGL_shader_conditional(const OGL_shader_conditional&) = delete;
  OGL_shader_conditional& operator=(const OGL_shader_conditional&) = delete;

  // The variant id of one value per flag in table order: a mixed-radix
  // number, the first flag least significant; 0 without flags.
  int id_from_flags(const int* values) const;
  // The flag values of id, in table order; returns the number of flags.
  int flags_from_id(int id, int* values) const;
  // Builds variant id now, replacing (and deleting) any earlier one.
  void build(int id);
  // Binds variant id, building it first when missing.
  void bind(int id);
  // The variant's own; it must have been built or bound before.
  OGL_shader* variant(int id) { return variants.at(id); }
  GLhandleARB get_gl_id(int id) { return variant(id)->get_gl_id(); }
  long get_uniform_loc(int id, int i) { return variant(id)->get_uniform_loc(i); }
  long get_attribute_loc(int id, int i) { return variant(id)->get_attribute_loc(i); }
  void dump(int id) { variant(id)->dump(); }

 private:
  std::string extra_prefix;
  std::string vert, geom, frag;
  std::vector<std::string> uniform_names, attribute_names;
  std::vector<std::string> flag_names;
  std::vector<int> flag_values;
  std::unordered_map<int, OGL_shader*> variants;
};
