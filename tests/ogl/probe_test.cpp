// The capability probe against drivers it cannot meet in CI: versions,
// extension lists, renderers with known faults, missing entry points and
// driver limits, each with the command-line options that bend the result.
#include <gtest/gtest.h>
#include <utility>
#include <vector>
#include "fake_driver.h"
#include "widgets/reno.h"

namespace {

typedef int OGL_extensions::*flag_t;
typedef std::vector<std::pair<flag_t, int>> flags_t;  // capability, value after the probe

#define F(name) &OGL_extensions::name

const char k_passing[] = "GL_ARB_multitexture GL_EXT_blend_func_separate";

struct probe_case {
  const char* what;
  const char* version;
  const char* renderer;
  const char* vendor;
  std::string extensions;
  std::vector<std::string> options;
  int system;  // the system version; -1: the query fails
  std::vector<std::string> missing;
  flags_t expect;
  std::vector<std::string> log_has;
  std::vector<std::string> log_lacks;
};

const char k_llvmpipe[] = "llvmpipe (LLVM 15.0.6, 256 bits)";
const std::string k_glsl_exts = std::string(k_passing) +
                                " GL_ARB_shader_objects GL_ARB_vertex_shader GL_ARB_fragment_shader "
                                "GL_ARB_shading_language_100";

std::vector<probe_case> cases() {
  return {
      // Versions and thresholds: the version must be greater than the threshold.
      {"1.1 sets nothing by version", "1.1 Mesa", k_llvmpipe, "Mesa", k_passing, {}, -1, {},
       {{F(tex_clamp_avail), 0}, {F(multitex_avail), 1}}, {"OpenGL Version   : 1.1 Mesa (110)\n"}, {}},
      {"1.2 clamps edges", "1.2", k_llvmpipe, "Mesa", k_passing, {}, -1, {},
       {{F(tex_clamp_avail), 1}, {F(combine_avail), 0}}, {"(120)"}, {}},
      {"1.3 brings the 1.3 core", "1.3", k_llvmpipe, "Mesa", "", {"--force_run"}, -1, {},
       {{F(multitex_avail), 1}, {F(add_env_avail), 1}, {F(combine_avail), 1}, {F(tex_comp_avail), 1},
        {F(fsaa_avail), 1}, {F(automini_avail), 0}, {F(depth_tex_avail), 0}},
       {}, {}},
      {"1.4 brings mipmaps, depth textures, blend func", "1.4", k_llvmpipe, "Mesa", "", {}, -1, {},
       {{F(automini_avail), 1}, {F(depth_tex_avail), 1}, {F(sblendf_avail), 1}, {F(vbo_avail), 0}},
       {}, {}},
      {"1.5 brings buffers and queries", "1.5.0 NVIDIA 1.0", k_llvmpipe, "Mesa", "", {}, -1, {},
       {{F(vbo_avail), 1}, {F(occlude_avail), 1}, {F(sprites_avail), 0}, {F(stencil_separate_avail), 0}},
       {"(150)"}, {}},
      {"2.0 brings GLSL", "2.0", k_llvmpipe, "Mesa", "", {}, -1, {},
       {{F(stencil_separate_avail), 1}, {F(sprites_avail), 1}, {F(shad_objs_avail), 1}, {F(vshader_avail), 1},
        {F(fshader_avail), 1}, {F(glsl_avail), 1}, {F(sblende_avail), 1}, {F(drawbuf_avail), 1},
        {F(non_pots_avail), 1}, {F(pbo_avail), 0}},
       {}, {}},
      {"2.1 with the driver's release numbers", "2.1 Mesa 7.0.4", k_llvmpipe, "Mesa", "", {}, -1, {},
       {{F(pbo_avail), 1}, {F(framebuf_avail), 0}}, {"(210)"}, {}},
      {"3.0 brings framebuffers", "3.0 Mesa", k_llvmpipe, "Mesa", "", {}, -1, {},
       {{F(shad_lod_avail), 1}, {F(framebuf_avail), 1}, {F(frameblit_avail), 1}, {F(drawbuf2_avail), 1},
        {F(packed_stencil), 1}, {F(tex_float_avail), 1}, {F(texture_rg), 1}, {F(framebuffer_srgb), 1},
        {F(gshader_avail), 0}},
       {}, {}},
      {"3.2 brings geometry shaders", "3.2", k_llvmpipe, "Mesa", "", {}, -1, {},
       {{F(gshader_avail), 1}, {F(instance_avail), 0}}, {"(320)"}, {}},
      {"a compatibility profile reads as its version", "4.5 (Compatibility Profile) Mesa 22.3.6", k_llvmpipe,
       "Mesa", "", {}, -1, {},
       {{F(instance_avail), 1}, {F(buniform_avail), 0}, {F(aniso_avail), 0}, {F(dis_fog_avail), 0},
        {F(stencil_two_side_avail), 0}, {F(vprog_avail), 0}, {F(fprog_avail), 0}},
       {"(450)"}, {}},
      {"junk reads as 1.0", "OpenGL ES-CM", k_llvmpipe, "Mesa", k_passing, {}, -1, {}, {{F(tex_clamp_avail), 0}},
       {"OpenGL Version   : OpenGL ES-CM (100)\n"}, {}},

      // Extensions are found by substring.
      {"either edge-clamp extension", "1.1", k_llvmpipe, "Mesa", std::string(k_passing) + " GL_SGIS_texture_edge_clamp",
       {}, -1, {}, {{F(tex_clamp_avail), 1}}, {}, {}},
      {"a longer name beginning with GL_ARB_shadow", "1.3", k_llvmpipe, "Mesa",
       std::string(k_passing) + " GL_ARB_depth_texture GL_ARB_shadow_ambient", {}, -1, {},
       {{F(depth_tex_avail), 1}}, {}, {}},
      {"depth textures need the shadow half too", "1.3", k_llvmpipe, "Mesa",
       std::string(k_passing) + " GL_ARB_depth_texture", {}, -1, {}, {{F(depth_tex_avail), 0}}, {}, {}},
      {"the ARB framebuffer object brings the blit", "2.1", k_llvmpipe, "Mesa", "GL_ARB_framebuffer_object", {}, -1,
       {}, {{F(framebuf_avail), 1}, {F(frameblit_avail), 1}}, {}, {}},
      {"gpu_shader4 brings shader LOD", "2.1", k_llvmpipe, "Mesa", "GL_EXT_gpu_shader4", {}, -1, {},
       {{F(shad_lod_avail), 1}}, {}, {}},

      // Workarounds: the renderer, the system version and the user's say.
      {"NV34 on 10.3", "1.5", "NVIDIA NV34MAP OpenGL Engine", "NVIDIA Corporation", "", {}, 0x1039, {},
       {{F(occlude_avail), 0}}, {"Disabling occlusion queries on OS X 10.3 for nVidia.\n"}, {}},
      {"NV34 on 10.4", "1.5", "NVIDIA NV34MAP OpenGL Engine", "NVIDIA Corporation", "", {}, 0x1040, {},
       {{F(occlude_avail), 1}}, {}, {"Disabling occlusion"}},
      {"NV34 when the system cannot say", "1.5", "NVIDIA NV34MAP OpenGL Engine", "NVIDIA Corporation", "", {}, -1, {},
       {{F(occlude_avail), 1}, {F(idx_vram_avail), 1}, {F(subtex_avail), 1}}, {}, {"Disabling"}},
      {"NV34 with the user insisting", "1.5", "NVIDIA NV34MAP OpenGL Engine", "NVIDIA Corporation", "",
       {"--use_pixel_counters"}, 0x1039, {}, {{F(occlude_avail), 1}}, {}, {"Disabling occlusion"}},
      {"7300 GT up to 10.4.8", "2.0", "NVIDIA GeForce 7300 GT OpenGL Engine", "NVIDIA Corporation", "", {}, 0x1048,
       {}, {{F(occlude_avail), 0}},
       {"Disabling occlusion queries on OS X 10.4 for nVidia 7300 GT on 10.4.8.\n"}, {}},
      {"NVIDIA index buffers and sub-textures", "2.1", "NVIDIA GeForce 8600M GT OpenGL Engine", "NVIDIA Corporation",
       "", {}, 0x1058, {}, {{F(idx_vram_avail), 0}, {F(subtex_avail), 0}},
       {"Disabling VRAM index buffers for nVidia drivers on OS X.\n",
        "Disabling glSubTexImage2D for nVidia drivers on OS X.\n"},
       {}},
      {"NVIDIA after 10.5 keeps sub-textures", "2.1", "NVIDIA GeForce 8600M GT OpenGL Engine", "NVIDIA Corporation",
       "", {"--use_idx_vram"}, 0x1062, {}, {{F(idx_vram_avail), 1}, {F(subtex_avail), 1}}, {}, {"Disabling"}},
      {"GMA 950 loses GLSL on every system", "2.0", "Intel GMA 950 OpenGL Engine", "Intel Inc.",
       "GL_EXT_framebuffer_object", {}, -1, {}, {{F(glsl_avail), 0}, {F(framebuf_avail), 1}},
       {"Disabling GLSL for GMA 950.\n"}, {"FBOs"}},
      {"GMA 950 before 10.5 loses framebuffers", "2.0", "Intel GMA 950 OpenGL Engine", "Intel Inc.",
       "GL_EXT_framebuffer_object", {"--use_glsl"}, 0x104F, {}, {{F(glsl_avail), 1}, {F(framebuf_avail), 0}},
       {"Disabling FBOs for GMA 950.\n"}, {"GLSL for"}},
      {"Radeon HD sprites, whole name", "2.0", "ATI Radeon HD 2400 XT OpenGL Engine", "ATI Technologies Inc.",
       "GL_ARB_pixel_buffer_object", {}, 0x1052, {}, {{F(sprites_avail), 0}, {F(pbo_avail), 0}},
       {"Disabling point sprites for Radeon HD on OS X.\n", "Disabling PBOs for ATI hw on OS X.\n"}, {}},
      {"Radeon HD sprites, name with more after it", "2.0", "ATI Radeon HD 2400 XT OpenGL Engine (rev 2)",
       "ATI Technologies Inc.", "GL_ARB_pixel_buffer_object", {"--use_pbos"}, 0x1052, {},
       {{F(sprites_avail), 1}, {F(pbo_avail), 1}}, {}, {"Disabling"}},
      {"no workaround, but first-generation shaders still", "2.0", "NVIDIA GeForce 7300 GT OpenGL Engine",
       "NVIDIA Corporation", "GL_ARB_pixel_buffer_object", {"--no_workaround"}, 0x1030, {},
       {{F(occlude_avail), 1}, {F(idx_vram_avail), 1}, {F(subtex_avail), 1}, {F(first_gen_shaders), 1}}, {},
       {"Disabling"}},
      {"the second fragment-program generation is not first", "2.0", "NVIDIA GeForce 8600M GT OpenGL Engine",
       "NVIDIA Corporation", "GL_NV_fragment_program2", {"--no_workaround"}, -1, {},
       {{F(first_gen_shaders), 0}}, {}, {}},

      // Entry points: every missing one is named, its group's guard falls,
      // and names ending in ARB or EXT fall back to the core name.
      {"missing query procs", "1.5", k_llvmpipe, "Mesa", "", {}, -1,
       {"glGenQueriesARB", "glGenQueries", "glEndQueryARB", "glEndQuery"},
       {{F(occlude_avail), 0}, {F(vbo_avail), 1}},
       {"WARNING: extension missing proc glGenQueriesARB.  This is a problem with your video driver.\n"
        "WARNING: extension missing proc glEndQueryARB.  This is a problem with your video driver.\n"},
       {}},
      {"the core name stands in for the ARB one", "1.5", k_llvmpipe, "Mesa", "", {}, -1, {"glGenQueriesARB"},
       {{F(occlude_avail), 1}}, {}, {"WARNING"}},
      {"a core name has no shorter name to try", "2.0", k_llvmpipe, "Mesa", "", {}, -1,
       {"glStencilOpSeparate"}, {{F(stencil_separate_avail), 0}},
       {"missing proc glStencilOpSeparate."}, {}},
      {"missing buffer procs take PBOs along", "2.1", k_llvmpipe, "Mesa", "", {}, -1,
       {"glMapBufferARB", "glMapBuffer"}, {{F(vbo_avail), 0}, {F(pbo_avail), 0}},
       {"missing proc glMapBufferARB.",
        "Disabling PBOs because VBOs are not available.  This probably means that VBOs are disabled for "
        "compatibility reasons.\n"},
       {}},
      {"missing shader objects take GLSL along", "3.2", k_llvmpipe, "Mesa", "", {}, -1,
       {"glLinkProgramARB", "glLinkProgram"},
       {{F(shad_objs_avail), 0}, {F(vshader_avail), 0}, {F(fshader_avail), 0}, {F(gshader_avail), 0},
        {F(glsl_avail), 0}},
       {"glsl_avail       : 0 (n/a/0)\n"}, {}},
      {"missing draw buffers", "2.0", k_llvmpipe, "Mesa", "", {}, -1, {"glDrawBuffersARB", "glDrawBuffers"},
       {{F(drawbuf_avail), 0}, {F(sblende_avail), 1}}, {}, {}},

      // Dependencies between capabilities.
      {"fragment programs need vertex programs", "2.0", k_llvmpipe, "Mesa", "GL_ARB_fragment_program", {}, -1, {},
       {{F(fprog_avail), 0}}, {}, {}},
      {"GLSL needs both shader kinds", "1.5", k_llvmpipe, "Mesa",
       std::string(k_passing) + " GL_ARB_shader_objects GL_ARB_vertex_shader GL_ARB_shading_language_100", {}, -1,
       {}, {{F(vshader_avail), 1}, {F(glsl_avail), 0}, {F(glsl_version), 0}}, {}, {}},

      // Command-line options win over detection and workarounds.
      {"--no_vshaders is about ARB programs", "2.0", k_llvmpipe, "Mesa", "GL_ARB_vertex_program",
       {"--use_vprogs", "--no_vshaders"}, -1, {}, {{F(vprog_avail), 0}, {F(vshader_avail), 1}, {F(glsl_avail), 1}},
       {}, {}},
      {"--no_glsl", "2.0", k_llvmpipe, "Mesa", "", {"--no_glsl"}, -1, {},
       {{F(glsl_avail), 0}, {F(vshader_avail), 1}}, {}, {}},
      {"--use_shader_lod without the extension", "2.0", k_llvmpipe, "Mesa", "", {"--use_shader_lod"}, -1, {},
       {{F(shad_lod_avail), 1}}, {}, {}},
      {"--no_vbos takes PBOs along", "2.1", k_llvmpipe, "Mesa", "", {"--no_vbos"}, -1, {},
       {{F(vbo_avail), 0}, {F(pbo_avail), 0}}, {}, {}},
      {"--limited_glsl and the rest", "3.0", k_llvmpipe, "Mesa", "",
       {"--limited_glsl", "--no_sprites", "--no_pixel_counters", "--no_idx_vram", "--no_subtex", "--no_hw_mipmap",
        "--no_fbos", "--no_fbo_blit", "--no_sblende", "--no_tex_rg", "--no_srgb", "--no_shader_lod"},
       -1, {},
       {{F(first_gen_shaders), 1}, {F(sprites_avail), 0}, {F(occlude_avail), 0}, {F(idx_vram_avail), 0},
        {F(subtex_avail), 0}, {F(automini_avail), 0}, {F(framebuf_avail), 0}, {F(frameblit_avail), 0},
        {F(sblende_avail), 0}, {F(texture_rg), 0}, {F(framebuffer_srgb), 0}, {F(shad_lod_avail), 0},
        {F(sblendf_avail), 1}},
       {}, {}},
      {"--unlimited_glsl over the NVIDIA rule", "4.1", "NVIDIA GeForce FX", "NVIDIA Corporation", "",
       {"--unlimited_glsl", "--no_instancing"}, -1, {}, {{F(first_gen_shaders), 0}, {F(instance_avail), 0}}, {}, {}},
      {"threads never get contexts", "2.1", k_llvmpipe, "Mesa", "", {}, -1, {}, {{F(threaded_avail), 0}},
       {"threaded_avail   : 0\n"}, {}},
  };
}

void PrintTo(const probe_case& c, std::ostream* os) { *os << c.what; }

class Probe : public ::testing::TestWithParam<probe_case> {};

TEST_P(Probe, FlagsAndLog) {
  const probe_case& c = GetParam();
  fake_gl gl;
  gl.version = c.version;
  gl.renderer = c.renderer;
  gl.vendor = c.vendor;
  gl.extensions = c.extensions;
  for (const std::string& m : c.missing) gl.missing.insert(m);
  fake_driver_scope scope(gl);
  scope.system_version(c.system);
  fake_option("--qa_script");
  for (const std::string& o : c.options) fake_option(o);
  const std::string log = scope.probe();
  for (const auto& [flag, value] : c.expect) {
    EXPECT_EQ(glExt.*flag, value) << c.what;
  }
  for (const std::string& s : c.log_has)
    EXPECT_NE(log.find(s), std::string::npos) << c.what << ": " << s << "\n" << log;
  for (const std::string& s : c.log_lacks)
    EXPECT_EQ(log.find(s), std::string::npos) << c.what << ": " << s << "\n" << log;
  // Whatever the driver lacks, the buffer-name slots are the locked ones.
  EXPECT_EQ(glExt.glGenBuffersARB, &MY_glGenBuffers);
  EXPECT_EQ(glExt.glDeleteBuffersARB, &MY_glDeleteBuffers);
}

INSTANTIATE_TEST_SUITE_P(Cases, Probe, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<probe_case>& info) {
                           return "case" + std::to_string(info.index);
                         });

}  // namespace
