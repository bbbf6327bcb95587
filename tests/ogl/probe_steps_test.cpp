// The probe's later steps: driver limits, the GLSL version, the unit counts,
// the report, the look-up and its retry, the locked buffer names, and the
// refusals and warnings about hardware.
#include <gtest/gtest.h>
#include <thread>
#include <vector>
#include "core/hl_version.h"
#include "fake_driver.h"
#include "widgets/reno.h"

namespace {

const char k_where[] = "(RUvozuz/OGL/OGL_extensions line ";
const char k_programs[] =
    "GL_ARB_multitexture GL_EXT_blend_func_separate GL_ARB_vertex_program GL_ARB_fragment_program";

// ---------------------------------------------------------------------------

struct program_case {
  GLint fragment_instructions;
  GLint vertex_instructions;
  const char* option;
  int fprog, vprog, first_gen;
};

void PrintTo(const program_case& c, std::ostream* os) {
  *os << c.fragment_instructions << "/" << c.vertex_instructions << " " << (c.option ? c.option : "");
}

class ProgramLimits : public ::testing::TestWithParam<program_case> {};

TEST_P(ProgramLimits, ClearOrLimitPrograms) {
  const program_case& c = GetParam();
  fake_gl gl;
  gl.version = "1.5";  // no GLSL, so nothing else marks the shaders as first-generation
  gl.extensions = k_programs;
  gl.fragment_program = {{GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, c.fragment_instructions},
                         {GL_MAX_PROGRAM_NATIVE_ALU_INSTRUCTIONS_ARB, 7},
                         {GL_MAX_PROGRAM_NATIVE_TEX_INSTRUCTIONS_ARB, 8},
                         {GL_MAX_PROGRAM_NATIVE_TEX_INDIRECTIONS_ARB, 9}};
  gl.vertex_program = {{GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, c.vertex_instructions}};
  fake_driver_scope scope(gl);
  if (c.option) fake_option(c.option);
  const std::string log = scope.probe();
  EXPECT_EQ(glExt.fprog_avail, c.fprog);
  EXPECT_EQ(glExt.vprog_avail, c.vprog);
  EXPECT_EQ(glExt.first_gen_shaders, c.first_gen);
  EXPECT_NE(log.find("fprog_avail      : " + std::to_string(c.fprog) + " (" +
                     std::to_string(c.fragment_instructions) + "/7/8/9)\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("vprog_avail      : " + std::to_string(c.vprog) + " (" + std::to_string(c.vertex_instructions) +
                     ")\n"),
            std::string::npos)
      << log;
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramLimits,
                         ::testing::Values(program_case{0, 128, nullptr, 0, 1, 1},
                                           program_case{0, 128, "--use_fprogs", 1, 1, 1},
                                           program_case{99, 128, nullptr, 1, 1, 1},
                                           program_case{100, 128, nullptr, 1, 1, 0},
                                           // Vertex programs fall after the dependency check:
                                           // fragment programs stay.
                                           program_case{100, 0, nullptr, 1, 0, 0},
                                           program_case{100, 0, "--use_vprogs", 1, 1, 0}));

// ---------------------------------------------------------------------------

struct glsl_case {
  const char* text;  // null: the driver has no answer
  int version;
  const char* shown;
};

void PrintTo(const glsl_case& c, std::ostream* os) { *os << (c.text ? c.text : "null"); }

class GlslVersion : public ::testing::TestWithParam<glsl_case> {};

TEST_P(GlslVersion, FromTheLanguageString) {
  const glsl_case& c = GetParam();
  fake_gl gl;
  gl.glsl_version = c.text;
  fake_driver_scope scope(gl);
  const std::string log = scope.probe();
  ASSERT_EQ(glExt.glsl_avail, 1);
  EXPECT_EQ(glExt.glsl_version, c.version);
  EXPECT_NE(log.find(std::string("glsl_avail       : 1 (") + c.shown + "/" + std::to_string(c.version) + ")\n"),
            std::string::npos)
      << log;
}

INSTANTIATE_TEST_SUITE_P(Cases, GlslVersion,
                         ::testing::Values(glsl_case{"1.10 NVIDIA via Cg compiler", 110, "1.10 NVIDIA via Cg compiler"},
                                           glsl_case{"1.20", 120, "1.20"}, glsl_case{"1.2", 100, "1.2"},
                                           glsl_case{"4.50", 100, "4.50"},
                                           glsl_case{nullptr, 100, "<null string>"}));

// ---------------------------------------------------------------------------

struct units_case {
  const char* what;
  const char* version;
  const char* extensions;
  GLint units, image_units, coords;
  const char* option;
  const char* report;  // the "max tex units" line's value
  int units_after, image_after, coords_after;
};

void PrintTo(const units_case& c, std::ostream* os) { *os << c.what; }

class TextureUnits : public ::testing::TestWithParam<units_case> {};

TEST_P(TextureUnits, CountsAndReport) {
  const units_case& c = GetParam();
  fake_gl gl;
  gl.version = c.version;
  gl.extensions = c.extensions;
  gl.integers = {{GL_MAX_TEXTURE_UNITS, c.units},
                 {GL_MAX_TEXTURE_IMAGE_UNITS_ARB, c.image_units},
                 {GL_MAX_TEXTURE_COORDS_ARB, c.coords}};
  gl.fragment_program = {{GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, 1000}};
  gl.vertex_program = {{GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, 1000}};
  fake_driver_scope scope(gl);
  if (c.option) fake_option(c.option);
  const std::string log = scope.probe();
  EXPECT_NE(log.find(std::string("max tex units    : ") + c.report + "\n"), std::string::npos) << c.what << "\n" << log;
  EXPECT_EQ(reno.num_tex_units, c.units_after) << c.what;
  EXPECT_EQ(reno.num_img_units, c.image_after) << c.what;
  EXPECT_EQ(reno.num_tex_coords, c.coords_after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextureUnits,
    ::testing::Values(
        units_case{"a driver that says no units has one", "1.5", "", 0, 16, 8, nullptr, "1 (0/0)", 1, 0, 0},
        units_case{"image units and coordinates come with programs", "1.5", k_programs, 4, 16, 8, nullptr,
                   "4 (16/8)", 4, 16, 8},
        units_case{"without programs they are the unit count", "1.5", "", 4, 16, 8, nullptr, "4 (4/4)", 4, 4, 4},
        units_case{"GLSL raises the count after the report line", "2.1", k_programs, 4, 16, 8, nullptr, "4 (16/8)",
                   16, 16, 8},
        units_case{"the user's count", "1.5", "", 4, 16, 8, "--num_units=2", "2 (4/4)", 2, 4, 4},
        units_case{"a count of none is one", "1.5", "", 4, 16, 8, "--num_units=0", "1 (4/4)", 1, 4, 4},
        units_case{"a negative count is one", "1.5", "", 4, 16, 8, "--num_units=-3", "1 (4/4)", 1, 4, 4},
        units_case{"no value is one", "1.5", "", 4, 16, 8, "--num_units", "1 (4/4)", 1, 4, 4}),
    [](const ::testing::TestParamInfo<units_case>& info) { return "case" + std::to_string(info.index); });

TEST(ProbeLimits, AnisotropyOnlyWithTheExtensionAndNotAgainstTheUser) {
  const struct {
    const char* extensions;
    const char* option;
    float aniso;
  } cases[] = {{"", nullptr, 1.0f},
               {"GL_EXT_texture_filter_anisotropic", nullptr, 16.0f},
               {"GL_EXT_texture_filter_anisotropic", "--no_aniso_filtering", 1.0f}};
  for (const auto& c : cases) {
    fake_gl gl;
    gl.extensions = std::string("GL_ARB_multitexture ") + c.extensions;
    gl.floats = {{GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, 16.0f}};
    fake_driver_scope scope(gl);
    if (c.option) fake_option(c.option);
    scope.probe();
    EXPECT_EQ(reno.max_aniso, c.aniso) << c.extensions << " " << (c.option ? c.option : "");
    EXPECT_EQ(glExt.aniso_avail, c.aniso > 1.0f ? 1 : 0);
  }
}

// ---------------------------------------------------------------------------

TEST(ProbeReport, WholeReportOfAKnownDriver) {
  fake_gl gl;
  gl.extensions =
      "GL_ARB_multitexture GL_EXT_blend_func_separate GL_EXT_texture_filter_anisotropic GL_ARB_vertex_program "
      "GL_ARB_fragment_program";
  gl.integers = {{GL_MAX_TEXTURE_UNITS, 4},
                 {GL_MAX_TEXTURE_IMAGE_UNITS_ARB, 16},
                 {GL_MAX_TEXTURE_COORDS_ARB, 8},
                 {GL_MAX_TEXTURE_SIZE, 8192},
                 {GL_MAX_VERTEX_ATTRIBS_ARB, 16},
                 {GL_MAX_VERTEX_UNIFORM_COMPONENTS_ARB, 4096},
                 {GL_MAX_VARYING_FLOATS_ARB, 60},
                 {GL_MAX_COMBINED_TEXTURE_IMAGE_UNITS_ARB, 32},
                 {GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS_ARB, 12},
                 {GL_MAX_FRAGMENT_UNIFORM_COMPONENTS_ARB, 1024}};
  gl.floats = {{GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, 16.0f}};
  gl.point_size_range[1] = 255;
  gl.fragment_program = {{GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, 16384},
                         {GL_MAX_PROGRAM_NATIVE_ALU_INSTRUCTIONS_ARB, 8192},
                         {GL_MAX_PROGRAM_NATIVE_TEX_INSTRUCTIONS_ARB, 4096},
                         {GL_MAX_PROGRAM_NATIVE_TEX_INDIRECTIONS_ARB, 2048}};
  gl.vertex_program = {{GL_MAX_PROGRAM_NATIVE_INSTRUCTIONS_ARB, 16383}};
  fake_driver_scope scope(gl);
  reno.use_vsync1 = 1;
  EXPECT_EQ(scope.probe(),
            "OpenGL Vendor    : Mesa\n"
            "OpenGL Render    : llvmpipe (LLVM 15.0.6, 256 bits)\n"
            "OpenGL Version   : 2.1 Mesa 22.3.6 (210)\n"
            "OpenGL Extensions: GL_ARB_multitexture GL_EXT_blend_func_separate GL_EXT_texture_filter_anisotropic "
            "GL_ARB_vertex_program GL_ARB_fragment_program\n"
            "threaded_avail   : 0\n"
            "tex_clamp_avail  : 1\n"
            "add_env_avail    : 1\n"
            "combine_avail    : 1\n"
            "dis_fog_avail    : 0\n"
            "instance_avail   : 0\n"
            "two-sided stencil: 0\n"
            "separate stencil : 1\n"
            "tex_comp_avail   : 1\n"
            "vbo_avail        : 1\n"
            "pbo_avail        : 1\n"
            "automini_avail   : 1\n"
            "aniso_avail      : 1\n"
            "fsaa_avail       : 1\n"
            "occlude_avail    : 1\n"
            "sprites_avail    : 1\n"
            "sblend_avail     : 1/1\n"
            "vprog_avail      : 1 (16383)\n"
            "fprog_avail      : 1 (16384/8192/4096/2048)\n"
            "depth_tex_avail  : 1\n"
            "shad_objs_avail  : 1\n"
            "vshader_avail    : 1 (16/4096/60/32/12/1024)\n"
            "fshader_avail    : 1 (1024)\n"
            "glsl_avail       : 1 (1.20/120)\n"
            "first-gen shaders: 0\n"
            "gshader_avail    : 0\n"
            "buniform_avail   : 0\n"
            "shad_lod_avail   : 0\n"
            "framebuf_avail   : 0\n"
            "frameblit_avail  : 0\n"
            "drawbuf_avail    : 1\n"
            "drawbuf2_avail   : 0\n"
            "tex_float_avail  : 0\n"
            "non_pots_avail   : 1\n"
            "packed_stencil   : 0\n"
            "texture_rg       : 0\n"
            "framebuffer_srgb : 0\n"
            "max tex units    : 4 (16/8)\n"
            "max iso filtering: 16.000000\n"
            "max texture size : 8192 (hardware limit)\n"
            "max point size   : 255.000000\n"
            "idx in vram      : 1\n"
            "use_vsync1       : 1\n"
            "use_vsync2       : 0\n");
  EXPECT_EQ(reno.num_tex_units, 16);
  EXPECT_EQ(glExt.max_tex_size, 8192);
}

// ---------------------------------------------------------------------------

TEST(ProcLookup, SuffixRetryOnceWithTheCoreName) {
  const struct {
    const char* name;
    std::vector<std::string> missing;
    bool found;
    std::vector<std::string> asked;
  } cases[] = {
      {"glFoo", {}, true, {"glFoo"}},
      {"glFooARB", {}, true, {"glFooARB"}},
      {"glFooARB", {"glFooARB"}, true, {"glFooARB", "glFoo"}},
      {"glFooEXT", {"glFooEXT", "glFoo"}, false, {"glFooEXT", "glFoo"}},
      {"glFooNV", {"glFooNV"}, false, {"glFooNV"}},
      {"glFooARBARB", {"glFooARBARB", "glFooARB"}, false, {"glFooARBARB", "glFooARB"}},
      {"glFooarb", {"glFooarb"}, false, {"glFooarb"}},
  };
  for (const auto& c : cases) {
    fake_gl gl;
    gl.missing = {c.missing.begin(), c.missing.end()};
    fake_driver_scope scope(gl);
    EXPECT_EQ(glGetProcAddress(c.name) != nullptr, c.found) << c.name;
    EXPECT_EQ(gl.looked_up, c.asked) << c.name;
  }
}

// ---------------------------------------------------------------------------

TEST(LockedBuffers, WithoutBufferObjectsTheSlotsStillReachTheCore) {
  fake_gl gl;
  gl.version = "1.4";
  fake_driver_scope scope(gl);
  scope.probe();
  ASSERT_EQ(glExt.vbo_avail, 0);
  EXPECT_EQ(glExt.glBindBufferARB, nullptr);
  GLuint names[2] = {0, 0};
  glExt.glGenBuffersARB(2, names);
  glExt.glDeleteBuffersARB(2, names);
  EXPECT_EQ(names[0], 100u);
  EXPECT_EQ(names[1], 101u);
  EXPECT_EQ(gl.gen_calls, 1);
  EXPECT_EQ(gl.delete_calls, 1);
}

TEST(LockedBuffers, ThreadsNeverMakeOrFreeNamesAtOnce) {
  fake_gl gl;
  fake_driver_scope scope(gl);
  scope.probe();
  const int threads = 4, calls = 2000;
  std::vector<std::thread> pool;
  for (int t = 0; t < threads; ++t)
    pool.emplace_back([&] {
      for (int i = 0; i < calls; ++i) {
        GLuint name = 0;
        glExt.glGenBuffersARB(1, &name);
        glExt.glDeleteBuffersARB(1, &name);
      }
    });
  for (std::thread& t : pool) t.join();
  EXPECT_EQ(gl.overlapped, 0);
  EXPECT_EQ(gl.gen_calls, threads * calls);
  EXPECT_EQ(gl.delete_calls, threads * calls);
}

// ---------------------------------------------------------------------------

struct hardware_case {
  const char* what;
  const char* version;
  const char* renderer;
  const char* extensions;
  std::vector<std::string> options;
  std::string alert;  // the lines logged, without the line number; "" for none
};

std::string warning(const std::string& l1, const std::string& l2, const std::string& l3, const std::string& l4) {
  return "\n" + l1 + "\n" + l2 + "\n" + l3 + "\n" + l4 + "\n" + k_where;
}

std::string forced(const std::string& message) {
  return warning(message, "Your system does not meet Duvizo's hardware requirements.",
                 "You have used the force-run command inline option to run Duvizo anyway, but it may crash.",
                 std::string("Go to ") + app_web_site + " for system requirements and tech support information.");
}

const char k_multitex[] =
    "Your graphics hardware cannot support Duvizo. Duvizo requires a graphics card with 16 MB of VRAM and "
    "multitexturing.";
const char k_gl14[] =
    "Your graphics hardware cannot support Duvizo. Your card must at least support OpenGL 1.4 or higher.";
const char k_no_drivers[] = "You do not have OpenGL drivers installed!";

std::string software() {
  return warning("I can not find a 3-D accelerator card that can handle OpenGL that has correctly installed drivers.",
                 "I will still let you run the simulator, but the frame rate will NOT allow for a good simulation.",
                 "To fly realistically you must use another edition of Duvizo or get a 3-D accelerator card that "
                 "can handle OpenGL.",
                 std::string("See ") + app_web_site + " for a list of the currently-compatible 3-D video cards.");
}

std::vector<hardware_case> hardware_cases() {
  return {
      {"llvmpipe passes quietly", "4.5 (Compatibility Profile) Mesa 22.3.6", "llvmpipe (LLVM 15.0.6, 256 bits)", "",
       {}, ""},
      {"a later test replaces the message", "1.2", "Some Card", "", {"--force_run"}, forced(k_gl14)},
      {"no multitexturing on 1.2", "1.2", "Some Card", "GL_EXT_blend_func_separate", {"--force_run"},
       forced(k_multitex)},
      {"the Windows stand-in renderer", "1.1", "GDI Generic", "GL_ARB_multitexture GL_EXT_blend_func_separate",
       {"--force_run"}, forced(k_no_drivers)},
      {"only the whole name is the stand-in", "1.1", "GDI Generic 2",
       "GL_ARB_multitexture GL_EXT_blend_func_separate", {}, ""},
      {"1.3 with separate blending passes as 1.4", "1.3", "Some Card", "GL_EXT_blend_func_separate", {}, ""},
      {"unless the user turns it off", "1.3", "Some Card", "GL_EXT_blend_func_separate",
       {"--no_sblendf", "--force_run"}, forced(k_gl14)},
      {"software renderer", "2.1", "Generic", "", {}, software()},
      {"indirect rendering", "2.1", "Mesa GLX Indirect", "", {}, software()},
      {"only the whole name is a software renderer", "2.1", "Generic renderer", "", {}, ""},
  };
}

void PrintTo(const hardware_case& c, std::ostream* os) { *os << c.what; }

class Hardware : public ::testing::TestWithParam<hardware_case> {};

TEST_P(Hardware, RefusalsAndWarnings) {
  const hardware_case& c = GetParam();
  fake_gl gl;
  gl.version = c.version;
  gl.renderer = c.renderer;
  gl.extensions = c.extensions;
  fake_driver_scope scope(gl);
  fake_option("--qa_script");
  for (const std::string& o : c.options) fake_option(o);
  const std::string log = scope.probe();
  if (c.alert.empty()) {
    EXPECT_EQ(log.find(k_where), std::string::npos) << c.what << "\n" << log;
  } else {
    const size_t at = log.find(c.alert);
    EXPECT_NE(at, std::string::npos) << c.what << "\n" << log;
    // One alert only.
    EXPECT_EQ(log.find(k_where, at + c.alert.size()), std::string::npos) << c.what << "\n" << log;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, Hardware, ::testing::ValuesIn(hardware_cases()),
                         [](const ::testing::TestParamInfo<hardware_case>& info) {
                           return "case" + std::to_string(info.index);
                         });

TEST(HardwareDeathTest, RefusedHardwareEndsTheProgram) {
  EXPECT_EXIT(
      {
        fake_gl gl;
        gl.version = "1.2";
        gl.extensions = "";
        fake_driver_scope scope(gl);
        xer.close();
        xer.clear();
        xer.open("/dev/stderr");
        fake_option("--qa_script");
        glExt.init_extensions();
        _exit(4);
      },
      ::testing::ExitedWithCode(1),
      "OpenGL 1\\.4 or higher\\.\nFirst, try updating or re-installing your graphics drivers\\.\n"
      "If this does not help, check your graphics card specifications\\.\nFor tech support, email ");
}

}  // namespace
