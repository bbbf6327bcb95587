// The state cache's driver calls, recorded: what it issues, in what order,
// and what it believes afterwards.
#include <gtest/gtest.h>
#include <cstdio>
#include <set>
#include <string>
#include <vector>
#include "ogl/ogl_state.h"
#include "widgets/reno.h"

namespace {

// The calls as text, e.g. "enable 0x0B60" and "active 2".
std::vector<std::string> s_calls;
std::set<GLenum> s_enabled;  // what glIsEnabled answers

std::string hex(GLenum v) {
  char b[16];
  snprintf(b, sizeof b, "0x%04X", v);
  return b;
}
std::string cap(const char* op, GLenum v) {
  static const struct {
    GLenum v;
    const char* name;
  } names[] = {{GL_FOG, "FOG"},
               {GL_TEXTURE_2D, "TEX2D"},
               {GL_LIGHTING, "LIGHTING"},
               {GL_LIGHT0, "LIGHT0"},
               {GL_BLEND, "BLEND"},
               {GL_ALPHA_TEST, "ALPHA_TEST"},
               {GL_DEPTH_TEST, "DEPTH_TEST"},
               {GL_NORMAL_ARRAY, "NORMALS"},
               {GL_COLOR_ARRAY, "COLORS"},
               {GL_TEXTURE_COORD_ARRAY, "TEXCOORDS"}};
  for (const auto& n : names)
    if (n.v == v) return std::string(op) + " " + n.name;
  return std::string(op) + " " + hex(v);
}

GLboolean rec_is_enabled(GLenum c) { return s_enabled.count(c) ? GL_TRUE : GL_FALSE; }
void rec_enable(GLenum c) { s_calls.push_back(cap("enable", c)); }
void rec_disable(GLenum c) { s_calls.push_back(cap("disable", c)); }
void rec_depth_mask(GLboolean f) { s_calls.push_back(f ? "depth_mask on" : "depth_mask off"); }
void rec_active(GLenum u) { s_calls.push_back("active " + std::to_string(u - GL_TEXTURE0)); }
void rec_enable_client(GLenum a) { s_calls.push_back(cap("enable_client", a)); }
void rec_disable_client(GLenum a) { s_calls.push_back(cap("disable_client", a)); }
void rec_client_active(GLenum u) { s_calls.push_back("client_active " + std::to_string(u - GL_TEXTURE0)); }

const OGL_state_calls k_recorder = {rec_is_enabled, rec_enable,        rec_disable,        rec_depth_mask,
                                    rec_active,     rec_enable_client, rec_disable_client, rec_client_active};

typedef std::vector<std::string> calls_t;

class StateCache : public ::testing::Test {
 protected:
  void SetUp() override {
    old_ = OGL_state_calls_use(&k_recorder);
    OGL_setstate_forget();
    s_calls.clear();
    s_enabled.clear();
    units_ = reno.num_tex_units;
    reno.num_tex_units = 4;
    num_units = 1;
  }
  void TearDown() override {
    OGL_state_calls_use(old_);
    OGL_setstate_forget();
    reno.num_tex_units = units_;
    num_units = 1;
  }
  // The calls one OGL_setstate issued.
  calls_t set(int fog, int units, int lit, int alpha, int depth_read, int depth_write) {
    s_calls.clear();
    OGL_setstate(ogl_fog_mode(fog), units, ogl_lit_mode(lit), ogl_al_mode(alpha), ogl_deR_mode(depth_read),
                 ogl_deW_mode(depth_write));
    return s_calls;
  }
  calls_t client(int normals, int colors, unsigned char mask) {
    s_calls.clear();
    OGL_setclientstate(ogl_nrm_mode(normals), ogl_col_mode(colors), mask);
    return s_calls;
  }
  // The 2-D interface state: fog off, untextured, unlit, opaque, no depth.
  calls_t flat() { return set(fog_off, 0, lit_off, al_none, deR_off, deW_off); }

 private:
  const OGL_state_calls* old_ = nullptr;
  int units_ = 0;
};

TEST_F(StateCache, FirstCallReadsBackAndSecondIssuesNothing) {
  // A fresh context: all off. The flat state is what it has, depth writes
  // off included, so nothing is issued.
  EXPECT_EQ(flat(), calls_t{});
  const calls_t everything = {"enable FOG",      "enable TEX2D",      "enable LIGHTING", "enable LIGHT0",
                              "enable BLEND",    "enable ALPHA_TEST", "enable DEPTH_TEST", "depth_mask on"};
  EXPECT_EQ(set(fog_on, 1, lit_on, al_blend_test, deR_on, deW_on), everything);
  EXPECT_EQ(set(fog_on, 1, lit_on, al_blend_test, deR_on, deW_on), calls_t{});
}

TEST_F(StateCache, FirstCallBelievesTheDriver) {
  s_enabled = {GL_FOG, GL_TEXTURE_2D, GL_LIGHTING, GL_BLEND, GL_ALPHA_TEST, GL_DEPTH_TEST};
  // Texturing on the active unit counts as the units last applied.
  num_units = 1;
  EXPECT_EQ(set(fog_on, 1, lit_on, al_blend_test, deR_on, deW_off), calls_t{});
  OGL_setstate_forget();
  EXPECT_EQ(flat(), (calls_t{"disable FOG", "disable TEX2D", "disable LIGHTING", "disable LIGHT0", "disable BLEND",
                             "disable ALPHA_TEST", "disable DEPTH_TEST"}));
}

TEST_F(StateCache, TextureUnits) {
  flat();
  EXPECT_EQ(set(fog_off, 1, lit_off, al_none, deR_off, deW_off), calls_t{"enable TEX2D"});
  EXPECT_EQ(num_units, 1);
  EXPECT_EQ(set(fog_off, 3, lit_off, al_none, deR_off, deW_off),
            (calls_t{"enable TEX2D", "active 1", "enable TEX2D", "active 2", "enable TEX2D", "active 0"}));
  EXPECT_EQ(num_units, 3);
  // 3 to 1: units 1 and 2 off, unit 0 left active.
  EXPECT_EQ(set(fog_off, 1, lit_off, al_none, deR_off, deW_off),
            (calls_t{"enable TEX2D", "active 1", "disable TEX2D", "active 2", "disable TEX2D", "active 0"}));
  // 1 to 0 touches only the active unit.
  EXPECT_EQ(flat(), calls_t{"disable TEX2D"});
  EXPECT_EQ(num_units, 0);
  // 0 to 2 enables unit 0 twice over: once on the active unit, once by number.
  EXPECT_EQ(set(fog_off, 2, lit_off, al_none, deR_off, deW_off),
            (calls_t{"enable TEX2D", "active 0", "enable TEX2D", "active 1", "enable TEX2D", "active 0"}));
  EXPECT_EQ(flat(), (calls_t{"disable TEX2D", "active 0", "disable TEX2D", "active 1", "disable TEX2D", "active 0"}));
}

TEST_F(StateCache, CountsAboveTheDriversAreClampedAndRepeatTheUnitStep) {
  flat();
  EXPECT_EQ(set(fog_off, 6, lit_off, al_none, deR_off, deW_off),
            (calls_t{"enable TEX2D", "active 0", "enable TEX2D", "active 1", "enable TEX2D", "active 2",
                     "enable TEX2D", "active 3", "enable TEX2D", "active 0"}));
  EXPECT_EQ(num_units, 4);
  // The cache holds 4, so 6 differs again: the step runs, but no unit changes.
  EXPECT_EQ(set(fog_off, 6, lit_off, al_none, deR_off, deW_off), (calls_t{"enable TEX2D", "active 0"}));
  EXPECT_EQ(set(fog_off, 4, lit_off, al_none, deR_off, deW_off), calls_t{});
  // Negative counts are untextured.
  EXPECT_EQ(set(fog_off, -1, lit_off, al_none, deR_off, deW_off),
            (calls_t{"disable TEX2D", "active 0", "disable TEX2D", "active 1", "disable TEX2D", "active 2",
                     "disable TEX2D", "active 3", "disable TEX2D", "active 0"}));
  EXPECT_EQ(num_units, 0);
  EXPECT_EQ(flat(), calls_t{});
}

TEST_F(StateCache, AlphaModesFollowTheCapabilitiesNotTheLastMode) {
  flat();
  const struct {
    int mode;
    calls_t calls;
  } steps[] = {
      {al_blend, {"enable BLEND"}},
      {al_test, {"disable BLEND", "enable ALPHA_TEST"}},
      {al_blend_test, {"enable BLEND"}},
      {al_blend, {"disable ALPHA_TEST"}},
      // A mode it does not know changes nothing, in the driver or the cache:
      {7, {}},
      {al_blend, {}},
      {-1, {}},
      {al_none, {"disable BLEND"}},
      {al_test, {"enable ALPHA_TEST"}},
      {4, {}},
      {al_test, {}},
  };
  for (const auto& s : steps) EXPECT_EQ(set(fog_off, 0, lit_off, s.mode, deR_off, deW_off), s.calls) << s.mode;
}

TEST_F(StateCache, OtherModeValuesMeanOff) {
  flat();
  EXPECT_EQ(set(fog_on, 0, lit_on, al_none, deR_on, deW_on),
            (calls_t{"enable FOG", "enable LIGHTING", "enable LIGHT0", "enable DEPTH_TEST", "depth_mask on"}));
  EXPECT_EQ(set(2, 0, 2, al_none, 2, 2), (calls_t{"disable FOG", "disable LIGHTING", "disable LIGHT0",
                                                  "disable DEPTH_TEST", "depth_mask off"}));
}

TEST_F(StateCache, ClientArrays) {
  reno.num_tex_units = 2;
  EXPECT_EQ(client(nrm_off, col_off, 0), calls_t{"client_active 0"});
  EXPECT_EQ(client(nrm_on, col_on, 0x03),
            (calls_t{"enable_client NORMALS", "enable_client COLORS", "enable_client TEXCOORDS", "client_active 1",
                     "enable_client TEXCOORDS", "client_active 0"}));
  EXPECT_EQ(client(5, 9, 0x03), calls_t{"client_active 0"});
  EXPECT_EQ(client(nrm_off, col_off, 0x02),
            (calls_t{"disable_client NORMALS", "disable_client COLORS", "disable_client TEXCOORDS",
                     "client_active 0"}));
  // Unit 3 does not exist on two units: nothing for it, but it is remembered
  // as on, so more units later see no change for it.
  EXPECT_EQ(client(nrm_off, col_off, 0x08),
            (calls_t{"client_active 1", "disable_client TEXCOORDS", "client_active 0"}));
  reno.num_tex_units = 4;
  EXPECT_EQ(client(nrm_off, col_off, 0x08), calls_t{"client_active 0"});
  EXPECT_EQ(client(nrm_off, col_off, 0x00),
            (calls_t{"client_active 3", "disable_client TEXCOORDS", "client_active 0"}));
}

}  // namespace
