// Texture objects loaded from files and memory, read back from the driver.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include "core/scratch.h"
#include "core/utl_mem.h"
#include "ogl/ogl_extensions.h"
#include "platform/plat_bundle.h"
#include "support/test_env.h"
#include "support/xer_capture.h"
#include "tex/TEX_bind.h"
#include "tex/tex_gl.h"
#include "tex/tex_support.h"
#include "widgets/reno.h"

namespace {

const bool gl = tex_gl_register();

class TexLoad : public testing::Test {
 protected:
  void SetUp() override {
    tex_defaults();
    dir = test_scratch_dir("texload");
  }
  std::string png(const std::string& name, int w, int h, uint32_t colour = 0xFF0000FF) {
    const std::string p = dir + name;
    make_png(p, w, h, [=](int, int) { return colour; });
    return p;
  }
  // A file texture under a fresh manual number, loaded and bound directly.
  TEX_obj* load(const std::string& path, int flags, tex_fail_mode fail = tex_fail_silent) {
    return load_bound(next_ref++, path, flags, fail);
  }
  std::string dir;
  static int next_ref;
};
int TexLoad::next_ref = 500;

TEST_F(TexLoad, TheFlagsChooseWrapsFiltersAndFormats) {
  const std::string p = png("wf.png", 4, 4);
  struct c {
    int flags;
    int wrap_s, wrap_t, min, mag, internal;
  };
  const c cases[] = {
      {0x001, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, GL_RGB},
      {0x002, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, GL_RGBA},
      {0x003, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, GL_ALPHA},
      {0x401, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, GL_LINEAR, GL_LINEAR, GL_RGB},
      {0x801, GL_CLAMP_TO_EDGE, GL_REPEAT, GL_LINEAR, GL_LINEAR, GL_RGB},
      {0x041, GL_REPEAT, GL_REPEAT, GL_NEAREST, GL_NEAREST, GL_RGB},
      {0x061, GL_REPEAT, GL_REPEAT, GL_NEAREST, GL_NEAREST, GL_RGB},
      {0x021, GL_REPEAT, GL_REPEAT, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR, GL_RGB},
      {0x2001, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, GL_RGB8},
      {0x2002, GL_REPEAT, GL_REPEAT, GL_LINEAR, GL_LINEAR, GL_RGBA8},
  };
  for (const c& k : cases) {
    TEX_obj* o = load(p, k.flags);
    ASSERT_TRUE(o && o->vram() > 0) << k.flags;
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S), k.wrap_s) << std::hex << k.flags;
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T), k.wrap_t) << std::hex << k.flags;
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER), k.min) << std::hex << k.flags;
    EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER), k.mag) << std::hex << k.flags;
    const int internal = level_param(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT);
    // Mesa reports unsized formats by the sized ones it chose for them.
    if (k.internal == GL_RGB8 || k.internal == GL_RGBA8)
      EXPECT_EQ(internal, k.internal) << std::hex << k.flags;
    else
      EXPECT_TRUE(internal == k.internal || internal == (k.internal == GL_RGB ? GL_RGB8 : k.internal == GL_RGBA ? GL_RGBA8 : GL_ALPHA8))
          << std::hex << k.flags << " " << internal;
  }
}

TEST_F(TexLoad, FloatPixelsGetAHalfFloatTexture) {
  float* px = (float*)xmalloc(4 * 4 * 4 * sizeof(float));
  for (int i = 0; i < 64; ++i) px[i] = 0.5f;
  ASSERT_EQ(tman.load_texture_mem_idx(next_ref, 0x1002, (unsigned char*)px, 4, 4, "float"), next_ref);
  bind_direct(tman.get_known_obj(next_ref++));
  EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA16F_ARB);
}

TEST_F(TexLoad, A3DTextureIs128By32By16) {
  std::vector<unsigned char>* keep = new std::vector<unsigned char>(128 * 512 * 3, 0x40);
  ASSERT_EQ(tman.load_texture_mem_idx(next_ref, 0x11, keep->data(), 128, 512, "volume"), 0 + next_ref);
  TEX_obj* o = tman.get_known_obj(next_ref++);
  EXPECT_EQ(o->get_target(), (GLenum)GL_TEXTURE_3D);
  glBindTexture(GL_TEXTURE_3D, o->get_gl_name());
  EXPECT_EQ(level_param(GL_TEXTURE_3D, GL_TEXTURE_WIDTH), 128);
  EXPECT_EQ(level_param(GL_TEXTURE_3D, GL_TEXTURE_HEIGHT), 32);
  EXPECT_EQ(level_param(GL_TEXTURE_3D, GL_TEXTURE_DEPTH), 16);
  EXPECT_EQ(read_tex(GL_TEXTURE_3D, GL_RGB, 3)[1000], 0x40);
  glBindTexture(GL_TEXTURE_3D, 0);
}

TEST_F(TexLoad, MipmapsMadeByTheDriverOrBySoftware) {
  const std::string p = dir + "mip.png";
  make_png(p, 8, 4, [](int x, int) { return x < 4 ? 0xFF0000FFu : 0x0000FFFFu; });
  for (int automini : {1, 0}) {
    const int saved = glExt.automini_avail;
    glExt.automini_avail = automini;
    load(p, 0x21);
    glExt.automini_avail = saved;
    // Every level down to 1 x 1 exists; the last one is the mean colour.
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_WIDTH, 3), 1) << automini;
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT, 3), 1) << automini;
    unsigned char px[3] = {0, 0, 0};
    glGetTexImage(GL_TEXTURE_2D, 3, GL_RGB, GL_UNSIGNED_BYTE, px);
    EXPECT_NEAR(px[0], 127, 2) << automini;
    EXPECT_NEAR(px[2], 127, 2) << automini;
  }
}

TEST_F(TexLoad, DepthTexturesCompare) {
  unsigned char* px = (unsigned char*)xmalloc(16);
  for (int i = 0; i < 16; ++i) px[i] = 0x80;
  tman.load_texture_mem_idx(next_ref, 7, px, 4, 4, "depth");
  bind_direct(tman.get_known_obj(next_ref++));
  EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_MODE), GL_COMPARE_R_TO_TEXTURE);
  EXPECT_EQ(tex_param(GL_TEXTURE_2D, GL_TEXTURE_COMPARE_FUNC), GL_LEQUAL);
  EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT), GL_DEPTH_COMPONENT24);
}

TEST_F(TexLoad, ColourCode9UploadsOneRedChannel) {
  unsigned char* px = (unsigned char*)xmalloc(16);
  for (int i = 0; i < 16; ++i) px[i] = (unsigned char)(i * 10);
  while (glGetError() != GL_NO_ERROR) {
  }
  ASSERT_EQ(tman.load_texture_mem_idx(next_ref, 9, px, 4, 4, "red"), next_ref);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
  TEX_obj* o = tman.get_known_obj(next_ref++);
  EXPECT_EQ(o->image_format(), 0x2002u);
  bind_direct(o);
  EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_INTERNAL_FORMAT), GL_R8);
  const std::vector<unsigned char> back = read_tex(GL_TEXTURE_2D, GL_RED, 1);
  EXPECT_EQ(back[5], 50);
}

TEST_F(TexLoad, TheTopRowOfAFileIsTheLastTextureRow) {
  const std::string p = dir + "top.png";
  make_png(p, 4, 4, [](int, int y) { return y == 0 ? 0xFF0000FFu : 0x00FF00FFu; });
  load(p, 0x40001);
  const std::vector<unsigned char> px = read_tex(GL_TEXTURE_2D, GL_RGB, 3);
  EXPECT_EQ(px[3 * 12], 255);     // first pixel of the last row: red
  EXPECT_EQ(px[3 * 12 + 1], 0);
  EXPECT_EQ(px[0], 0);            // the first row is green
  EXPECT_EQ(px[1], 255);
}

TEST_F(TexLoad, ASizeThatIsNoPowerOfTwoIsPaddedAndWarned) {
  const std::string p = png("odd.png", 100, 60);
  for (int quiet : {0, 0x4000, 0x8000}) {
    xer_capture log;
    TEX_obj* o = load(p, 0x40001 | quiet);
    EXPECT_EQ(o->vis_dx(), 100);
    EXPECT_EQ(o->vis_dy(), 60);
    EXPECT_EQ(o->tot_dx(), 128);
    EXPECT_EQ(o->tot_dy(), 64);
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), 128);
    EXPECT_EQ(log.text(), quiet ? "" : "WARNING: texture " + p +
                                           " has a size that is not a power of 2; it may not render correctly.\n");
  }
}

TEST_F(TexLoad, TheResolutionSettingShrinks) {
  const std::string p = png("big.png", 1024, 512);
  reno.tex_res = 2;
  struct c {
    int flags, w, h;
  };
  for (const c& k : {c{0x1, 128, 64}, c{0x40001, 1024, 512}, c{0x10001, 256, 128}, c{0x20001, 64, 32}}) {
    TEX_obj* o = load(p, k.flags);
    EXPECT_EQ(o->vis_dx(), k.w) << std::hex << k.flags;
    EXPECT_EQ(o->vis_dy(), k.h) << std::hex << k.flags;
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_WIDTH), k.w) << std::hex << k.flags;
    EXPECT_EQ(level_param(GL_TEXTURE_2D, GL_TEXTURE_HEIGHT), k.h) << std::hex << k.flags;
  }
  // Each side keeps a pixel; no width rounds down to nothing.
  const std::string tiny = png("tiny.png", 4, 4);
  reno.tex_res = 0;
  TEX_obj* o = load(tiny, 1);
  EXPECT_EQ(o->vis_dx(), 1);
  EXPECT_EQ(o->vis_dy(), 1);
  // At 1/64 these square sides keep exactly one pixel each: w x (1 / w)
  // falls just short of 1 in float arithmetic.
  for (int w : {41, 47, 55, 61}) {
    TEX_obj* odd = load(png("w" + std::to_string(w) + ".png", w, w), 0x24001);
    EXPECT_EQ(odd->vis_dx(), 1) << w;
    EXPECT_EQ(odd->vis_dy(), 1) << w;
    EXPECT_EQ(odd->tot_dx(), 2) << w;
    EXPECT_GT(odd->vram(), 0) << w;
  }
}

void load_wide(const std::string& p) {
  log_scripted_to_stderr();
  tman.load_texture(tex_fail_silent, 600, 0x40001, tex_load_now, p);
}

TEST_F(TexLoad, AnImageOver2048IsACrashAlert) {
  const std::string p = png("wide.png", 4096, 2);
  EXPECT_EXIT(load_wide(p), testing::ExitedWithCode(1),
              "Trying to create a texture either less than 1 or greater than 2048!\n[^\n]*wide.png\nvalue:\n4096\n");
}

void load_missing(tex_fail_mode mode) {
  log_scripted_to_stderr();
  tman.load_texture(mode, 601, 1, tex_load_now, "not/here.png");
}

TEST_F(TexLoad, FailModes) {
  for (int mode : {0, 1, 2, 3, 5}) {
    xer_capture log;
    const int before = TEX_obj::loaded_texes();
    EXPECT_EQ(tman.load_texture((tex_fail_mode)mode, 610 + mode, 1, tex_load_now, "not/here.png"), 0);
    EXPECT_EQ(TEX_obj::loaded_texes(), before);
    EXPECT_EQ(tman.tex_loaded(610 + mode), 1);
    EXPECT_EQ(tman.tex_err(610 + mode), 1);
    EXPECT_EQ(tman.tex_dx_tot(610 + mode), 2);
    EXPECT_EQ(log.text(), mode ? "WARNING: we are missing the texture: not/here.png.\n" : "") << mode;
  }
  // Fallbacks were never counted as loaded, and deleting them does not
  // uncount them.
  const int loaded = TEX_obj::loaded_texes();
  const int alive = TEX_obj::total_texes();
  tman.unload_texture(610);
  EXPECT_EQ(TEX_obj::loaded_texes(), loaded);
  EXPECT_EQ(TEX_obj::total_texes(), alive - 1);
  EXPECT_TRUE(tman.has_scene_load_fail());
  EXPECT_TRUE(tman.has_plane_load_fail());
  EXPECT_TRUE(tman.has_instl_load_fail());
  // A failed object binds the placeholder's name.
  TEX_reset_bind();
  tman.bind_ref(611, 0, 0);
  EXPECT_EQ(bound_2d(), 934);
  EXPECT_EXIT(load_missing(tex_fail_quit), testing::ExitedWithCode(1),
              "WARNING: we are missing the texture: not/here.png.\n(.|\n)*Trying to load a texture that you do not "
              "have!\nThis smacks of a mis-installed copy of Duvizo!\nGet a new download from https://"
              "www.duvizo.example/. The missing file is:\nnot/here.png\n");
}

TEST_F(TexLoad, TheCompressedFilePreference) {
  // foo.dds holds PNG bytes: whichever candidate is chosen decodes.
  const std::string base = dir + "foo";
  make_png(base + ".png", 2, 2, [](int, int) { return 0xFF0000FFu; });
  make_png(base + ".dds", 2, 2, [](int, int) { return 0x0000FFFFu; });
  struct c {
    int comp_avail, setting, flags, blue;
  };
  for (const c& k : {c{1, 1, 1, 255}, c{0, 1, 1, 0}, c{1, 0, 1, 0}, c{1, 1, 0x201, 0}}) {
    const int saved = glExt.tex_comp_avail;
    glExt.tex_comp_avail = k.comp_avail;
    reno.use_tex_comp = k.setting;
    load(base + ".png", k.flags | 0x40000);
    glExt.tex_comp_avail = saved;
    const std::vector<unsigned char> px = read_tex(GL_TEXTURE_2D, GL_RGB, 3);
    ASSERT_EQ(px.size(), 12u);
    EXPECT_EQ(px[2], k.blue) << k.comp_avail << k.setting << k.flags;
  }
}

TEST_F(TexLoad, ResourcePathsAreTakenAsGiven) {
  const std::string bundle = dir + "App.app", res = bundle + "/Contents/Resources/";
  ASSERT_EQ(test_run("mkdir -p '" + res + "'"), 0);
  make_png(res + "pic.png", 2, 2, [](int, int) { return 0xFF0000FFu; });
  make_png(res + "pic.dds", 2, 2, [](int, int) { return 0x0000FFFFu; });
  const std::string old = PLAT_bundle_path();
  PLAT_set_bundle_path(bundle);
  const int saved = glExt.tex_comp_avail;
  glExt.tex_comp_avail = 1;
  reno.use_tex_comp = 1;
  TEX_obj* o = load("RESOURCE:pic.png", 0x40001);
  glExt.tex_comp_avail = saved;
  PLAT_set_bundle_path(old);
  ASSERT_GT(o->vram(), 0);
  EXPECT_EQ(read_tex(GL_TEXTURE_2D, GL_RGB, 3)[0], 255);
}

void load_long() {
  log_scripted_to_stderr();
  tman.load_texture(tex_fail_silent, 620, 1, tex_load_now, std::string(500, 'a'));
}

TEST_F(TexLoad, APathOf500CharactersIsTooLong) {
  EXPECT_EXIT(load_long(), testing::ExitedWithCode(1), "String too long!\naaaa");
}

TEST_F(TexLoad, ASameSizeReloadKeepsItsName) {
  const std::string a = png("ra.png", 4, 4, 0xFF0000FF), b = png("rb.png", 4, 4, 0x00FF00FF);
  tman.load_texture(tex_fail_silent, 630, 0x40001, tex_load_now, a);
  const unsigned name = tman.get_known_obj(630)->get_gl_name();
  tman.load_texture(tex_fail_silent, 630, 0x40001, tex_load_now, b);
  TEX_obj* o = tman.get_known_obj(630);
  EXPECT_EQ(o->get_gl_name(), name);
  bind_direct(o);
  EXPECT_EQ(read_tex(GL_TEXTURE_2D, GL_RGB, 3)[1], 255);
  EXPECT_EQ(read_tex(GL_TEXTURE_2D, GL_RGB, 3)[0], 0);
}

TEST_F(TexLoad, MemoryPixelsReplaceAFileTextureUnderItsNumber) {
  tman.load_texture(tex_fail_silent, 632, 0x40001, tex_load_now, png("m.png", 4, 4, 0xFF0000FF));
  const int loaded = TEX_obj::loaded_texes();
  unsigned char* px = (unsigned char*)xmalloc(48);
  for (int i = 0; i < 48; ++i) px[i] = i % 3 == 2 ? 255 : 0;
  EXPECT_EQ(tman.load_texture_mem_idx(632, 1, px, 4, 4, "blue"), 632);
  bind_direct(tman.get_known_obj(632));
  EXPECT_EQ(read_tex(GL_TEXTURE_2D, GL_RGB, 3)[2], 255);
  EXPECT_EQ(read_tex(GL_TEXTURE_2D, GL_RGB, 3)[0], 0);
  tman.unload_texture(632);
  EXPECT_EQ(TEX_obj::loaded_texes(), loaded - 1);
}

int frees = 0;
void counting_free(void* p) {
  ++frees;
  xfree(p);
}

TEST_F(TexLoad, MemoryBuffersAreFreedButNeverTheScratchImage) {
  TEX_obj_free = counting_free;
  frees = 0;
  unsigned char* px = (unsigned char*)xmalloc(4 * 4 * 3);
  tman.load_texture_mem_idx(640, 1, px, 4, 4, "mem");
  EXPECT_EQ(frees, 1);
  scratch_dx = scratch_dy = 4;
  tman.load_texture(tex_fail_silent, 641, 1, tex_load_now, "scratch_array-test");
  tman.unload_texture(641);
  tman.unload_texture(640);
  EXPECT_EQ(frees, 1);
  // A file's decoded buffer goes at the end of its load.
  load(png("f.png", 2, 2), 1);
  EXPECT_EQ(frees, 2);
  TEX_obj_free = xfree;
}

TEST_F(TexLoad, ThePlaceholderIsFourGreyPixelsUnder934) {
  tman.TEX_init();
  TEX_obj* o = tman.get_known_obj(934);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->get_gl_name(), 934u);
  TEX_reset_bind();
  tman.bind_ref(934, 0, 0);
  EXPECT_EQ(bound_2d(), 934);
  const std::vector<unsigned char> px = read_tex(GL_TEXTURE_2D, GL_RGB, 3);
  ASSERT_EQ(px.size(), 12u);
  for (unsigned char b : px) EXPECT_EQ(b, 0x82);
}

}  // namespace
