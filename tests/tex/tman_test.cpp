// The texture manager: numbers, the path map, misuse, the splash line, the
// failure flags and the resolution factor.
#include <gtest/gtest.h>
#include "core/scratch.h"
#include "core/utl_mem.h"
#include "core/xtim.h"
#include "shell/wins.h"
#include "platform/plat_clock.h"
#include "shell/hl_init.h"
#include "tex/tex_gl.h"
#include "tex/tex_support.h"
#include "tex/tman.h"
#include "widgets/reno.h"

namespace {

const bool gl = tex_gl_register();

// A missing file under fail mode 0: an object without any upload.
const char* missing = "no/such/texture.png";

TEST(Tman, AnEmptyPathTouchesNothing) {
  tman_class t;
  EXPECT_EQ(t.load_texture(tex_fail_silent, 0, 1, tex_load_now, ""), 0);
  EXPECT_EQ(t.load_texture_obj(tex_fail_silent, 1, tex_load_now, ""), nullptr);
  EXPECT_EQ(t.load_texture_idx(tex_fail_silent, 5, 1, tex_load_now, ""), 0);
  EXPECT_EQ(t.path_count(), 0);
  EXPECT_EQ(t.fetch_ref(5), 0);
}

TEST(Tman, DynamicNumbersStartAt1243AndReuseTheLowestFreeOne) {
  tman_class t;
  std::vector<TEX_obj*> objs;
  for (int i = 0; i < 5; ++i)
    objs.push_back(t.load_texture_obj(tex_fail_silent, 1, tex_load_now, "dyn/" + std::to_string(i) + ".png"));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(objs[i]->get_number(), 1243 + i);
  t.unregister_one_texture(objs[2]);
  delete objs[2];
  EXPECT_EQ(t.fetch_ref(1245), 0);
  EXPECT_EQ(t.load_texture(tex_fail_silent, 0, 1, tex_load_now, "dyn/again.png"), 1245);
  EXPECT_EQ(t.load_texture(tex_fail_silent, 0, 1, tex_load_now, "dyn/more.png"), 1248);
}

TEST(Tman, OnePathOneObject) {
  tman_class t;
  const int before = TEX_obj::total_texes();
  TEX_obj* a = t.load_texture_obj(tex_fail_silent, 1, tex_load_now, "a/b/../c.png");
  TEX_obj* b = t.load_texture_obj(tex_fail_silent, 1, tex_load_now, "a/c.png");
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->ref_count(), 2);
  EXPECT_EQ(a->get_path(), "a/c.png");
  EXPECT_EQ(t.path_count(), 1);
  EXPECT_EQ(TEX_obj::total_texes(), before + 1);
}

TEST(Tman, NormalisationTakesOutWholeParentSteps) {
  const std::pair<const char*, const char*> cases[] = {
      {"a/b/../c.png", "a/c.png"},  {"a/b/c/../../d", "a/d"},   {"a/b/..c/d", "a/b/..c/d"},
      {"a/b/..", "a"},              {"../x/y", "../x/y"},       {"a/../../b", "a/../../b"},
      {"RESOURCE:x/../y.png", "RESOURCE:x/../y.png"}, {"plain.png", "plain.png"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(TEX_normalize_path(in), out) << in;
}

void misuse(int what) {
  log_scripted_to_stderr();
  tman_class t;
  switch (what) {
    case 0: t.load_texture(tex_fail_silent, 5, 1, (tex_load_time)3, "x.png"); break;
    case 1: t.load_texture(tex_fail_silent, 1244, 1, tex_load_now, "x.png"); break;
    case 2: t.load_texture(tex_fail_silent, -1, 1, tex_load_now, "x.png"); break;
    case 3:
      t.load_texture(tex_fail_silent, 359, 1, tex_load_now, missing);
      t.unload_texture(359);
      t.bind_ref(359, 0, 0);
      break;
    case 4: t.load_texture(tex_fail_silent, 0, 1, tex_load_now, "dyn.png"); t.unload_texture(1243); break;
    case 5: t.unload_texture(1300); break;
    case 6: t.load_texture_mem_idx(5, 0, nullptr, 3, 4, "odd"); break;
    case 7: t.load_texture_idx(tex_fail_silent, 5, 0x200000, tex_load_now, "f.png"); break;
    case 8: t.load_texture_idx(tex_fail_silent, 5, 0x40, tex_load_now, "f.png"); break;
    case 9: t.load_texture_mem_idx(5, 1, nullptr, 1, 70000, "tall"); break;
  }
}

TEST(TmanDeathTest, MisuseIsACrashAlert) {
  const std::pair<int, const char*> cases[] = {
      {0, "Trying to create an invalid texture load_time!\nx.png\nvalue:\n3\n"},
      {1, "Trying to bind too low or high a manual_ref!\nx.png\nvalue:\n1244\n"},
      {2, "Trying to bind too low or high a manual_ref!\nx.png\nvalue:\n-1\n"},
      {3, "Null texture - how\\?\n\nref=   359\n"},
      {4, "Error: dynamic textures should be released, not unloaded.\ndyn.png\n1243.000000\n"},
      {5, "Error: dynamic textures should be released, not unloaded.\n\n1300.000000\n"},
      {6, "Error: texture buffer has non-power-of-2 dims\nodd\n"},
      {7, "Trying to bind an invalid filter type!\nf.png\nvalue:\n2097152\n"},
      {8, "BAD color enum for tman - see tman.h for valid colors!  We cannot pass 0.\n"},
      {9, "Trying to create a texture either less than 1 or greater than the hw size!\ntall\nvalue:\n70000\n"},
  };
  for (const auto& [what, text] : cases) EXPECT_EXIT(misuse(what), testing::ExitedWithCode(1), text) << what;
}

TEST(Tman, ManualNumber1243IsAccepted) {
  tman_class t;
  t.load_texture(tex_fail_silent, 1243, 1, tex_load_now, missing);
  EXPECT_EQ(t.tex_exists(1243), 1);
  EXPECT_EQ(t.tex_err(1243), 1);
  EXPECT_EQ(t.tex_exists(-1), 0);
  EXPECT_EQ(t.tex_dx_vis(99999), 0);
  EXPECT_EQ(t.get_path(-4), "");
}

uint64_t fake_now = 0;
uint64_t fake_clock() { return fake_now; }
std::vector<std::string> shown;
void record(const std::string& text, const float* fraction) {
  EXPECT_EQ(fraction, nullptr);
  shown.push_back(text);
}

TEST(Tman, TheSplashNamesTheFirstLoadAfterASecondsPause) {
  xtim_class::microsecs();  // the clock's start is taken from the system's
  fake_now = PLAT_microseconds() + 10000000;
  xtim_set_clock(fake_clock);
  g_show_init_hook = record;
  tman_class t;
  struct step {
    uint64_t advance_us;
    int ref;
    const char* path;
    bool shown;
  };
  const step steps[] = {
      {5000000, 100, "RESOURCE:map.png", true},  {500000, 101, "RESOURCE:b.png", false},
      {1100000, 0, "dyn.png", false},           {1100000, 359, "atlas.png", false},
      {1100000, 277, "x.png", false},           {1100000, 934, "x.png", false},
      {1100000, 397, "x.png", false},           {1100000, 412, "x.png", false},
      {1100000, 150, "scratch_array-x", false}, {1100000, 413, "y.png", true},
      {1000000, 414, "z.png", false},
  };
  scratch_dx = scratch_dy = 2;
  for (const step& s : steps) {
    shown.clear();
    fake_now += s.advance_us;
    t.load_texture(tex_fail_silent, s.ref, 1, tex_load_now, s.path);
    if (s.shown) {
      ASSERT_EQ(shown.size(), 1u) << s.path;
      EXPECT_EQ(shown[0], std::string("Loading bitmap ") + s.path + ".");
    } else {
      EXPECT_TRUE(shown.empty()) << s.ref << " " << s.path;
    }
  }
  // Load time 0 or 1 is not announced either.
  shown.clear();
  fake_now += 2000000;
  t.load_texture(tex_fail_silent, 120, 1, tex_load_1, "late.png");
  EXPECT_TRUE(shown.empty());
  g_show_init_hook = nullptr;
  xtim_set_clock(nullptr);
}

TEST(Tman, EachNoticeShowsUntilMutedAndNeverAfter) {
  struct kind {
    void (tman_class::*got)();
    bool (tman_class::*has)();
    void (tman_class::*mute)();
    void (tman_class::*reset)();
  };
  const kind kinds[] = {
      {&tman_class::got_scene_load_fail, &tman_class::has_scene_load_fail, &tman_class::mute_scene_load_fail,
       &tman_class::reset_scene_load_fail},
      {&tman_class::got_plane_load_fail, &tman_class::has_plane_load_fail, &tman_class::mute_plane_load_fail,
       &tman_class::reset_plane_load_fail},
      {&tman_class::got_instl_load_fail, &tman_class::has_instl_load_fail, &tman_class::mute_instl_load_fail,
       &tman_class::reset_instl_load_fail},
  };
  for (int i = 0; i < 3; ++i) {
    tman_class t;
    const kind& k = kinds[i];
    EXPECT_FALSE((t.*k.has)()) << i;
    (t.*k.got)();
    EXPECT_TRUE((t.*k.has)()) << i;
    for (int j = 0; j < 3; ++j) {
      if (j == i) continue;
      EXPECT_FALSE((t.*kinds[j].has)()) << i << " " << j;
    }
    (t.*k.reset)();
    EXPECT_FALSE((t.*k.has)()) << i;
    (t.*k.got)();
    (t.*k.mute)();
    EXPECT_FALSE((t.*k.has)()) << i;
    (t.*k.got)();
    EXPECT_FALSE((t.*k.has)()) << i;
  }
}

TEST(Tman, ScaleRatioBySetting) {
  const std::pair<int, float> cases[] = {{0, 1.0f / 32}, {1, 1.0f / 16}, {2, 1.0f / 8},
                                         {3, 0.25f},     {4, 0.5f},      {5, 1.0f}, {9, 1.0f}};
  const int saved = reno.tex_res;
  for (const auto& [setting, factor] : cases) {
    reno.tex_res = setting;
    EXPECT_EQ(tman_class::scale_rat(), factor) << setting;
  }
  reno.tex_res = saved;
}

}  // namespace

namespace {

TEST(Tman, VideoMemoryIsTheFrameBuffersAndEveryTexture) {
  tman_class t;
  wins.x_pix = 800;
  wins.y_pix = 600;
  const int64_t frame = 800LL * 600 * 96 / 8;
  EXPECT_EQ(t.tot_vram(), frame);
  unsigned char* px = (unsigned char*)xmalloc(48);
  t.load_texture_mem_idx(5, 1, px, 4, 4, "vram");
  EXPECT_EQ(t.tex_vram(5), 48);
  EXPECT_EQ(t.tot_vram(), frame + 48);
  EXPECT_FALSE(t.has_alpha(5));
  EXPECT_EQ(t.tex_mode(5), GL_RGB);
}

TEST(Tman, TheLastReleaseForgetsTheTexture) {
  TEX_obj* a = tman.load_texture_obj(tex_fail_silent, 1, tex_load_now, "kill/me.png");
  const int ref = a->get_number();
  const int paths = tman.path_count();
  EXPECT_EQ(tman.load_texture_obj(tex_fail_silent, 1, tex_load_now, "kill/x/../me.png"), a);
  a->release_kill();
  EXPECT_EQ(tman.get_known_obj(ref), a);
  a->release_kill();
  EXPECT_EQ(tman.get_known_obj(ref), nullptr);
  EXPECT_EQ(tman.path_count(), paths - 1);
  // Suspended ones wait for the purge.
  TEX_obj* b = tman.load_texture_obj(tex_fail_silent, 1, tex_load_now, "purge/me.png");
  b->release_suspend();
  EXPECT_EQ(tman.get_known_obj(b->get_number()), b);
  const int n = b->get_number();
  tman.purge_unused_texes();
  EXPECT_EQ(tman.get_known_obj(n), nullptr);
}

}  // namespace
