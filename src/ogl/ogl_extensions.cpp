// The capability probe: what the driver of the window's context can do,
// what we let it do on the drivers we know to misbehave, and the report of
// both in the log.
#include "ogl/ogl_extensions.h"
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_version.h"
#include "core/utl_cmdline.h"
#include "core/utl_thread.h"
#include "files/translate.h"
#include "ogl/ogl_driver.h"
#include "platform/plat_sysinfo.h"
#include "widgets/reno.h"

OGL_extensions glExt;

static const char k_source[] = "RUvozuz/OGL/OGL_extensions";

// ---------------------------------------------------------------------------
// Buffer names: threads with shared contexts make and free names from one
// pool, so each such driver call is made under one lock.

static UTL_critical_section lock;
static PFNGLGENBUFFERSPROC s_core_gen_buffers = nullptr;
static PFNGLDELETEBUFFERSPROC s_core_delete_buffers = nullptr;

void APIENTRY MY_glGenBuffers(GLsizei n, GLuint* buffers) {
  UTL_critical_section_lock(&lock);
  if (s_core_gen_buffers) s_core_gen_buffers(n, buffers);
  UTL_critical_section_unlock(&lock);
}

void APIENTRY MY_glDeleteBuffers(GLsizei n, const GLuint* buffers) {
  UTL_critical_section_lock(&lock);
  if (s_core_delete_buffers) s_core_delete_buffers(n, buffers);
  UTL_critical_section_unlock(&lock);
}

// ---------------------------------------------------------------------------
// Switching capabilities off after a failure while running.

static void warn_ogl_trouble(int line) {
  __MACIBM_alert(0, UTL_translate_string("There was a problem setting up OpenGL."),
                 UTL_translate_string("You can still fly, but you may experience pauses during flight while scenery "
                                      "loads."),
                 "",
                 UTL_translate_string("(Please send your log.txt file to Corvane Research for debugging purposes.)"),
                 t_warning, k_source, line);
}

void OGL_extensions::threaded_ogl_failed() {
  if (!threaded_avail) return;
  threaded_avail = 0;
  warn_ogl_trouble(__LINE__);
}

void OGL_extensions::framebuf_failed() {
  if (!framebuf_avail) return;
  framebuf_avail = 0;
  frameblit_avail = 0;
  warn_ogl_trouble(__LINE__);
}

// ---------------------------------------------------------------------------
// The probe.

namespace {

typedef int OGL_extensions::*flag_t;

// The version string as a number: "2.1 Mesa 7.0" gives 210.
int version_number(const std::string& v) {
  int major = 0, minor = 0;
  if (sscanf(v.c_str(), "%d.%d", &major, &minor) == 2) return major * 100 + minor * 10;
  static const struct {
    const char* text;
    int number;
  } known[] = {{"1.1", 110}, {"1.2", 120}, {"1.3", 130}, {"1.4", 140}, {"1.5", 150}, {"2.0", 200}, {"2.1", 210}};
  for (const auto& k : known)
    if (v.compare(0, 3, k.text) == 0) return k.number;
  return 100;
}

// A capability the core of a version brings, or one of up to two extensions.
struct detection {
  flag_t flag;
  int above;  // the version must be greater; -1: the version alone never sets it
  const char* ext1;
  const char* ext2;
};

const detection k_detections[] = {
    {&OGL_extensions::buniform_avail, -1, "GL_EXT_bindable_uniform", nullptr},
    {&OGL_extensions::aniso_avail, -1, "GL_EXT_texture_filter_anisotropic", nullptr},
    {&OGL_extensions::dis_fog_avail, -1, "GL_NV_fog_distance", nullptr},
    {&OGL_extensions::tex_clamp_avail, 119, "GL_EXT_texture_edge_clamp", "GL_SGIS_texture_edge_clamp"},
    {&OGL_extensions::multitex_avail, 129, "GL_ARB_multitexture", nullptr},
    {&OGL_extensions::add_env_avail, 129, "GL_ARB_texture_env_add", "GL_EXT_texture_env_add"},
    {&OGL_extensions::combine_avail, 129, "GL_ARB_texture_env_combine", "GL_EXT_texture_env_combine"},
    {&OGL_extensions::tex_comp_avail, 129, "GL_ARB_texture_compression", nullptr},
    {&OGL_extensions::fsaa_avail, 129, "GL_ARB_multisample", nullptr},
    {&OGL_extensions::automini_avail, 139, "GL_SGIS_generate_mipmap", nullptr},
    // depth_tex_avail needs two extensions at once: below.
    {&OGL_extensions::sblendf_avail, 139, "GL_EXT_blend_func_separate", nullptr},
    {&OGL_extensions::vbo_avail, 149, "GL_ARB_vertex_buffer_object", nullptr},
    {&OGL_extensions::occlude_avail, 149, "GL_ARB_occlusion_query", nullptr},
    {&OGL_extensions::stencil_two_side_avail, -1, "GL_EXT_stencil_two_side", nullptr},
    {&OGL_extensions::stencil_separate_avail, 199, nullptr, nullptr},
    {&OGL_extensions::vprog_avail, -1, "GL_ARB_vertex_program", nullptr},
    {&OGL_extensions::fprog_avail, -1, "GL_ARB_fragment_program", nullptr},
    {&OGL_extensions::sprites_avail, 199, "GL_ARB_point_sprite", nullptr},
    {&OGL_extensions::shad_objs_avail, 199, "GL_ARB_shader_objects", nullptr},
    {&OGL_extensions::vshader_avail, 199, "GL_ARB_vertex_shader", nullptr},
    {&OGL_extensions::fshader_avail, 199, "GL_ARB_fragment_shader", nullptr},
    {&OGL_extensions::glsl_avail, 199, "GL_ARB_shading_language_100", nullptr},
    {&OGL_extensions::sblende_avail, 199, "GL_EXT_blend_equation_separate", nullptr},
    {&OGL_extensions::drawbuf_avail, 199, "GL_ARB_draw_buffers", nullptr},
    {&OGL_extensions::non_pots_avail, 199, "GL_ARB_texture_non_power_of_two", nullptr},
    {&OGL_extensions::pbo_avail, 209, "GL_ARB_pixel_buffer_object", nullptr},
    {&OGL_extensions::shad_lod_avail, 299, "GL_ARB_shader_texture_lod", "GL_EXT_gpu_shader4"},
    {&OGL_extensions::framebuf_avail, 299, "GL_EXT_framebuffer_object", "GL_ARB_framebuffer_object"},
    {&OGL_extensions::frameblit_avail, 299, "GL_EXT_framebuffer_blit", "GL_ARB_framebuffer_object"},
    {&OGL_extensions::drawbuf2_avail, 299, "GL_EXT_draw_buffers2", nullptr},
    {&OGL_extensions::packed_stencil, 299, "GL_EXT_packed_depth_stencil", nullptr},
    {&OGL_extensions::tex_float_avail, 299, "GL_ARB_texture_float", nullptr},
    {&OGL_extensions::texture_rg, 299, "GL_ARB_texture_rg", nullptr},
    {&OGL_extensions::framebuffer_srgb, 299, "GL_ARB_framebuffer_sRGB", "GL_EXT_framebuffer_sRGB"},
    {&OGL_extensions::gshader_avail, 319, "GL_ARB_geometry_shader4", "GL_EXT_geometry_shader4"},
    {&OGL_extensions::instance_avail, 399, "GL_ARB_instanced_arrays", nullptr},
};

// A capability switched off on a renderer and system version known to fail
// with it; the user can insist with the workaround's own option.
struct workaround {
  flag_t flag;
  const char* renderer;   // contained in the renderer string, or equal to it (whole)
  const char* renderer2;  // a second whole-string match, or null
  int whole;
  int max_system;  // the workaround holds up to this system version; -1 on every version
  const char* option;
  const char* log_line;
};

const workaround k_workarounds[] = {
    {&OGL_extensions::occlude_avail, "NVIDIA NV34MAP OpenGL Engine", nullptr, 0, 0x103F, "--use_pixel_counters",
     "Disabling occlusion queries on OS X 10.3 for nVidia.\n"},
    {&OGL_extensions::occlude_avail, "NVIDIA GeForce 7300 GT OpenGL Engine", nullptr, 0, 0x1048,
     "--use_pixel_counters", "Disabling occlusion queries on OS X 10.4 for nVidia 7300 GT on 10.4.8.\n"},
    {&OGL_extensions::idx_vram_avail, "NVIDIA", nullptr, 0, 0x1064, "--use_idx_vram",
     "Disabling VRAM index buffers for nVidia drivers on OS X.\n"},
    {&OGL_extensions::subtex_avail, "NVIDIA", nullptr, 0, 0x105F, "--use_subtex",
     "Disabling glSubTexImage2D for nVidia drivers on OS X.\n"},
    {&OGL_extensions::glsl_avail, "Intel GMA 950 OpenGL Engine", nullptr, 0, -1, "--use_glsl",
     "Disabling GLSL for GMA 950.\n"},
    {&OGL_extensions::framebuf_avail, "Intel GMA 950 OpenGL Engine", nullptr, 0, 0x104F, "--use_fbos",
     "Disabling FBOs for GMA 950.\n"},
    {&OGL_extensions::sprites_avail, "ATI Radeon HD 2600 PRO OpenGL Engine", "ATI Radeon HD 2400 XT OpenGL Engine", 1,
     0x1052, "--use_sprites", "Disabling point sprites for Radeon HD on OS X.\n"},
    {&OGL_extensions::pbo_avail, "ATI", nullptr, 0, 0x1061, "--use_pbos", "Disabling PBOs for ATI hw on OS X.\n"},
};

// A command-line override: sets value into one or two capabilities.
struct override_option {
  const char* option;
  flag_t flag;
  flag_t flag2;
  int value;
};

const override_option k_overrides[] = {
    {"--limited_glsl", &OGL_extensions::first_gen_shaders, nullptr, 1},
    {"--unlimited_glsl", &OGL_extensions::first_gen_shaders, nullptr, 0},
    {"--no_vbos", &OGL_extensions::vbo_avail, &OGL_extensions::pbo_avail, 0},
    {"--no_pbos", &OGL_extensions::pbo_avail, nullptr, 0},
    {"--no_sprites", &OGL_extensions::sprites_avail, nullptr, 0},
    {"--no_pixel_counters", &OGL_extensions::occlude_avail, nullptr, 0},
    {"--no_idx_vram", &OGL_extensions::idx_vram_avail, nullptr, 0},
    {"--no_subtex", &OGL_extensions::subtex_avail, nullptr, 0},
    {"--no_aniso_filtering", &OGL_extensions::aniso_avail, nullptr, 0},  // and the anisotropy, below
    {"--no_hw_mipmap", &OGL_extensions::automini_avail, nullptr, 0},
    {"--no_vshaders", &OGL_extensions::vprog_avail, nullptr, 0},
    {"--no_fshaders", &OGL_extensions::fprog_avail, nullptr, 0},
    {"--no_glsl", &OGL_extensions::glsl_avail, nullptr, 0},
    {"--no_shader_lod", &OGL_extensions::shad_lod_avail, nullptr, 0},
    {"--use_shader_lod", &OGL_extensions::shad_lod_avail, nullptr, 1},
    {"--no_fbos", &OGL_extensions::framebuf_avail, nullptr, 0},
    {"--no_fbo_blit", &OGL_extensions::frameblit_avail, nullptr, 0},
    {"--no_threaded_ogl", &OGL_extensions::threaded_avail, nullptr, 0},
    {"--no_sblendf", &OGL_extensions::sblendf_avail, nullptr, 0},
    {"--no_sblende", &OGL_extensions::sblende_avail, nullptr, 0},
    {"--no_instancing", &OGL_extensions::instance_avail, nullptr, 0},
    {"--no_tex_rg", &OGL_extensions::texture_rg, nullptr, 0},
    {"--no_srgb", &OGL_extensions::framebuffer_srgb, nullptr, 0},
};

std::string driver_string(GLenum name) {
  const char* s = OGL_driver_now().get_string(name);
  return s ? s : "";
}

GLint driver_integer(GLenum name) {
  GLint v = 0;
  OGL_driver_now().get_integer(name, &v);
  return v;
}

bool contains(const std::string& s, const char* text) { return text && s.find(text) != std::string::npos; }

// Looks up one entry point into its slot; a missing one is logged.
template <class F>
int load_proc(F& slot, const char* name) {
  slot = reinterpret_cast<F>(glGetProcAddress(name));
  if (slot) return 1;
  xer_group() << "WARNING: extension missing proc " << name << ".  This is a problem with your video driver.\n";
  return 0;
}

// What the probe learns besides the record's fields: the report prints it.
struct probe_findings {
  int version = 100;
  GLint vprog_instructions = 0;
  GLint fprog_limits[4] = {0, 0, 0, 0};
  GLint vertex_limits[5] = {0, 0, 0, 0, 0};
  GLint fragment_uniforms = 0;
  std::string glsl_text = "n/a";
  GLfloat max_point_size = 0;
};

}  // namespace

#define OGL_LOAD_ONE(name, type) ok &= load_proc(e.name, #name);
// Every function of the group is tried, so the log names all that are missing.
#define OGL_LOAD_GROUP(guard, LIST) \
  if (guard) {                      \
    int ok = 1;                     \
    LIST(OGL_LOAD_ONE)              \
    if (!ok) guard = 0;             \
  }

static void load_entry_points(OGL_extensions& e) {
  OGL_LOAD_GROUP(e.vbo_avail, OGL_PROCS_BUFFER)
  UTL_critical_section_create(&lock);
  s_core_gen_buffers = reinterpret_cast<PFNGLGENBUFFERSPROC>(glGetProcAddress("glGenBuffers"));
  s_core_delete_buffers = reinterpret_cast<PFNGLDELETEBUFFERSPROC>(glGetProcAddress("glDeleteBuffers"));
  e.glGenBuffersARB = MY_glGenBuffers;
  e.glDeleteBuffersARB = MY_glDeleteBuffers;
  if (e.pbo_avail && !e.vbo_avail) {
    xer_group() << "Disabling PBOs because VBOs are not available.  This probably means that VBOs are disabled for "
                   "compatibility reasons.\n";
    e.pbo_avail = 0;
  }
  OGL_LOAD_GROUP(e.vprog_avail, OGL_PROCS_PROGRAM)
  OGL_LOAD_GROUP(e.occlude_avail, OGL_PROCS_QUERY)
  OGL_LOAD_GROUP(e.shad_objs_avail, OGL_PROCS_SHADER_OBJECT)
  OGL_LOAD_GROUP(e.gshader_avail, OGL_PROCS_GEOMETRY_SHADER)
  OGL_LOAD_GROUP(e.buniform_avail, OGL_PROCS_BINDABLE_UNIFORM)
  OGL_LOAD_GROUP(e.vshader_avail, OGL_PROCS_VERTEX_SHADER)
  OGL_LOAD_GROUP(e.framebuf_avail, OGL_PROCS_FRAMEBUFFER)
  OGL_LOAD_GROUP(e.frameblit_avail, OGL_PROCS_BLIT)
  OGL_LOAD_GROUP(e.tex_comp_avail, OGL_PROCS_COMPRESSED)
  OGL_LOAD_GROUP(e.sblende_avail, OGL_PROCS_BLEND_EQUATION)
  OGL_LOAD_GROUP(e.drawbuf_avail, OGL_PROCS_DRAW_BUFFERS)
  OGL_LOAD_GROUP(e.drawbuf2_avail, OGL_PROCS_INDEXED)
  OGL_LOAD_GROUP(e.sblendf_avail, OGL_PROCS_BLEND_FUNC)
  OGL_LOAD_GROUP(e.instance_avail, OGL_PROCS_INSTANCING_LOAD)
  OGL_LOAD_GROUP(e.stencil_two_side_avail, OGL_PROCS_STENCIL_TWO_SIDE)
  OGL_LOAD_GROUP(e.stencil_separate_avail, OGL_PROCS_STENCIL_SEPARATE)
}

#undef OGL_LOAD_GROUP
#undef OGL_LOAD_ONE

static void apply_workarounds(OGL_extensions& e) {
  const std::string& renderer = reno.gl_renderer;
  int system = 0;
  const int have_system = PLAT_system_version(&system) == 0;
  const int no_workaround = cmdline.has_option("--no_workaround");
  for (const workaround& w : k_workarounds) {
    if (!(e.*w.flag) || no_workaround || cmdline.has_option(w.option)) continue;
    const bool match = w.whole ? (renderer == w.renderer || (w.renderer2 && renderer == w.renderer2))
                               : contains(renderer, w.renderer);
    if (!match) continue;
    if (w.max_system >= 0 && !(have_system && system <= w.max_system)) continue;
    xer_group() << w.log_line;
    e.*w.flag = 0;
  }
  // Shader hardware without the second NVIDIA fragment-program generation
  // runs only short shaders.
  if (e.glsl_avail && contains(reno.gl_vendor, "NVIDIA") && !contains(reno.gl_extensions, "GL_NV_fragment_program2"))
    e.first_gen_shaders = 1;
}

static void ask_program_limits(OGL_extensions& e, probe_findings& f) {
  if (e.fprog_avail && e.glGetProgramivARB) {
    e.glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, &f.fprog_limits[0]);
    e.glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_ALU_INSTRUCTIONS_ARB, &f.fprog_limits[1]);
    e.glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_TEX_INSTRUCTIONS_ARB, &f.fprog_limits[2]);
    e.glGetProgramivARB(GL_FRAGMENT_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_TEX_INDIRECTIONS_ARB, &f.fprog_limits[3]);
    if (f.fprog_limits[0] == 0 && !cmdline.has_option("--use_fprogs")) e.fprog_avail = 0;
    if (f.fprog_limits[0] <= 99) e.first_gen_shaders = 1;
  }
  if (e.vprog_avail && e.glGetProgramivARB) {
    e.glGetProgramivARB(GL_VERTEX_PROGRAM_ARB, GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, &f.vprog_instructions);
    if (f.vprog_instructions == 0 && !cmdline.has_option("--use_vprogs")) e.vprog_avail = 0;
  }
  if (e.vshader_avail) {
    f.vertex_limits[0] = driver_integer(GL_MAX_VERTEX_ATTRIBS_ARB);
    f.vertex_limits[1] = driver_integer(GL_MAX_VERTEX_UNIFORM_COMPONENTS_ARB);
    f.vertex_limits[2] = driver_integer(GL_MAX_VARYING_FLOATS_ARB);
    f.vertex_limits[3] = driver_integer(GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS_ARB);
    f.vertex_limits[4] = driver_integer(GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS_ARB);
  }
  if (e.fshader_avail) f.fragment_uniforms = driver_integer(GL_MAX_FRAGMENT_UNIFORM_COMPONENTS_ARB);
  if (e.glsl_avail) {
    e.glsl_version = 100;
    const char* s = OGL_driver_now().get_string(GL_SHADING_LANGUAGE_VERSION_ARB);
    f.glsl_text = s ? s : "<null string>";
    if (f.glsl_text.compare(0, 4, "1.10") == 0) e.glsl_version = 110;
    if (f.glsl_text.compare(0, 4, "1.20") == 0) e.glsl_version = 120;
  }
}

static void ask_texture_limits(OGL_extensions& e, probe_findings& f) {
  const OGL_driver& d = OGL_driver_now();
  reno.max_aniso = 1.0f;
  if (e.aniso_avail) d.get_float(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &reno.max_aniso);
  reno.num_tex_units = driver_integer(GL_MAX_TEXTURE_UNITS);
  reno.num_img_units = e.fprog_avail ? driver_integer(GL_MAX_TEXTURE_IMAGE_UNITS_ARB) : reno.num_tex_units;
  reno.num_tex_coords = e.vprog_avail ? driver_integer(GL_MAX_TEXTURE_COORDS_ARB) : reno.num_tex_units;
  if (reno.num_tex_units == 0) reno.num_tex_units = 1;
  e.max_tex_size = driver_integer(GL_MAX_TEXTURE_SIZE);
  GLfloat range[2] = {0, 0};
  d.get_float(GL_POINT_SIZE_RANGE, range);
  f.max_point_size = range[1];
}

static void apply_options(OGL_extensions& e) {
  if (cmdline.has_option("--num_units")) {
    // Texture code binds on unit 0 at least, whatever the user asks for.
    const int n = atoi(cmdline.get_option("--num_units").c_str());
    reno.num_tex_units = n < 1 ? 1 : n;
  }
  for (const override_option& o : k_overrides) {
    if (!cmdline.has_option(o.option)) continue;
    e.*o.flag = o.value;
    if (o.flag2) e.*o.flag2 = o.value;
  }
  if (cmdline.has_option("--no_aniso_filtering")) reno.max_aniso = 1.0f;
}

// The report, with the unit count raised for GLSL between its lines: shaders
// sample every image unit, and the line above shows what the driver said.
static void write_report(OGL_extensions& e, const probe_findings& f) {
  xer_group g;
  g << "OpenGL Vendor    : " << reno.gl_vendor << "\n";
  g << "OpenGL Render    : " << reno.gl_renderer << "\n";
  g << "OpenGL Version   : " << reno.gl_version << " (" << f.version << ")\n";
  g << "OpenGL Extensions: " << reno.gl_extensions << "\n";
  g << "threaded_avail   : " << e.threaded_avail << "\n";
  g << "tex_clamp_avail  : " << e.tex_clamp_avail << "\n";
  g << "add_env_avail    : " << e.add_env_avail << "\n";
  g << "combine_avail    : " << e.combine_avail << "\n";
  g << "dis_fog_avail    : " << e.dis_fog_avail << "\n";
  g << "instance_avail   : " << e.instance_avail << "\n";
  g << "two-sided stencil: " << e.stencil_two_side_avail << "\n";
  g << "separate stencil : " << e.stencil_separate_avail << "\n";
  g << "tex_comp_avail   : " << e.tex_comp_avail << "\n";
  g << "vbo_avail        : " << e.vbo_avail << "\n";
  g << "pbo_avail        : " << e.pbo_avail << "\n";
  g << "automini_avail   : " << e.automini_avail << "\n";
  g << "aniso_avail      : " << e.aniso_avail << "\n";
  g << "fsaa_avail       : " << e.fsaa_avail << "\n";
  g << "occlude_avail    : " << e.occlude_avail << "\n";
  g << "sprites_avail    : " << e.sprites_avail << "\n";
  g << "sblend_avail     : " << e.sblendf_avail << "/" << e.sblende_avail << "\n";
  g << "vprog_avail      : " << e.vprog_avail << " (" << f.vprog_instructions << ")\n";
  g << "fprog_avail      : " << e.fprog_avail << " (" << f.fprog_limits[0] << "/" << f.fprog_limits[1] << "/"
    << f.fprog_limits[2] << "/" << f.fprog_limits[3] << ")\n";
  g << "depth_tex_avail  : " << e.depth_tex_avail << "\n";
  g << "shad_objs_avail  : " << e.shad_objs_avail << "\n";
  g << "vshader_avail    : " << e.vshader_avail << " (" << f.vertex_limits[0] << "/" << f.vertex_limits[1] << "/"
    << f.vertex_limits[2] << "/" << f.vertex_limits[3] << "/" << f.vertex_limits[4] << "/" << f.fragment_uniforms
    << ")\n";
  g << "fshader_avail    : " << e.fshader_avail << " (" << f.fragment_uniforms << ")\n";
  g << "glsl_avail       : " << e.glsl_avail << " (" << f.glsl_text << "/" << e.glsl_version << ")\n";
  g << "first-gen shaders: " << e.first_gen_shaders << "\n";
  g << "gshader_avail    : " << e.gshader_avail << "\n";
  g << "buniform_avail   : " << e.buniform_avail << "\n";
  g << "shad_lod_avail   : " << e.shad_lod_avail << "\n";
  g << "framebuf_avail   : " << e.framebuf_avail << "\n";
  g << "frameblit_avail  : " << e.frameblit_avail << "\n";
  g << "drawbuf_avail    : " << e.drawbuf_avail << "\n";
  g << "drawbuf2_avail   : " << e.drawbuf2_avail << "\n";
  g << "tex_float_avail  : " << e.tex_float_avail << "\n";
  g << "non_pots_avail   : " << e.non_pots_avail << "\n";
  g << "packed_stencil   : " << e.packed_stencil << "\n";
  g << "texture_rg       : " << e.texture_rg << "\n";
  g << "framebuffer_srgb : " << e.framebuffer_srgb << "\n";
  g << "max tex units    : " << reno.num_tex_units << " (" << reno.num_img_units << "/" << reno.num_tex_coords
    << ")\n";
  if (e.glsl_avail && reno.num_img_units > reno.num_tex_units) reno.num_tex_units = reno.num_img_units;
  g << "max iso filtering: " << reno.max_aniso << "\n";
  g << "max texture size : " << e.max_tex_size << " (hardware limit)\n";
  g << "max point size   : " << f.max_point_size << "\n";
  g << "idx in vram      : " << e.idx_vram_avail << "\n";
  g << "use_vsync1       : " << reno.use_vsync1 << "\n";
  g << "use_vsync2       : " << reno.use_vsync2 << "\n";
}

static std::string tr(const char* text) { return UTL_translate_string(text); }

static void check_requirements(const OGL_extensions& e, int version) {
  std::string message;
  if (version <= 120 && !e.multitex_avail)
    message = tr("Your graphics hardware cannot support Duvizo. Duvizo requires a graphics card with 16 MB of VRAM "
                "and multitexturing.");
  if (reno.gl_renderer == "GDI Generic") message = tr("You do not have OpenGL drivers installed!");
  if (!e.sblendf_avail && version <= 139)
    message = tr("Your graphics hardware cannot support Duvizo. Your card must at least support OpenGL 1.4 or higher.");
  if (!message.empty()) {
    if (!cmdline.has_option("--force_run"))
      __MACIBM_alert(0, message, tr("First, try updating or re-installing your graphics drivers."),
                     tr("If this does not help, check your graphics card specifications."),
                     tr("For tech support, email ") + app_support_email, t_quit, k_source, __LINE__);
    else
      __MACIBM_alert(0, message, tr("Your system does not meet Duvizo's hardware requirements."),
                     tr("You have used the force-run command inline option to run Duvizo anyway, but it may crash."),
                     tr("Go to ") + app_web_site + tr(" for system requirements and tech support information."),
                     t_warning, k_source, __LINE__);
  }
  const std::string& r = reno.gl_renderer;
  if (r == "GENERIC" || r == "Generic" || r == "generic" || r == "Mesa GLX Indirect")
    __MACIBM_alert(0,
                   tr("I can not find a 3-D accelerator card that can handle OpenGL that has correctly installed "
                      "drivers."),
                   tr("I will still let you run the simulator, but the frame rate will NOT allow for a good "
                      "simulation."),
                   tr("To fly realistically you must use another edition of Duvizo or get a 3-D accelerator card that "
                     "can handle OpenGL."),
                   tr("See ") + app_web_site + tr(" for a list of the currently-compatible 3-D video cards."),
                   t_warning, k_source, __LINE__);
}

void OGL_extensions::init_extensions() {
  reno.gl_vendor = driver_string(GL_VENDOR);
  reno.gl_renderer = driver_string(GL_RENDERER);
  reno.gl_version = driver_string(GL_VERSION);
  reno.gl_extensions = driver_string(GL_EXTENSIONS);

  probe_findings f;
  f.version = version_number(reno.gl_version);

  for (const detection& d : k_detections)
    this->*d.flag = (d.above >= 0 && f.version > d.above) || contains(reno.gl_extensions, d.ext1) ||
                    contains(reno.gl_extensions, d.ext2);
  depth_tex_avail = f.version > 139 || (contains(reno.gl_extensions, "GL_ARB_depth_texture") &&
                                        contains(reno.gl_extensions, "GL_ARB_shadow"));

  apply_workarounds(*this);
  load_entry_points(*this);

  // Capabilities that are useless without the one they build on.
  if (!vprog_avail) fprog_avail = 0;
  if (!shad_objs_avail) fshader_avail = vshader_avail = gshader_avail = 0;
  if (!(vshader_avail && fshader_avail)) glsl_avail = 0;

  ask_program_limits(*this, f);
  ask_texture_limits(*this, f);
  apply_options(*this);
  // Worker threads never get contexts of their own, so the general pool
  // starts without threads.
  threaded_avail = 0;
  write_report(*this, f);
  check_requirements(*this, f.version);
}
