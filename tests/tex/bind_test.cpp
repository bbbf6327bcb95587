// Binding through the unit cache, recorded and read back from the driver.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ogl/ogl_extensions.h"
#include "tex/TEX_bind.h"
#include "tex/tex_gl.h"
#include "widgets/reno.h"

namespace {

const bool gl = tex_gl_register();

std::vector<std::string> calls;
const TEX_bind_calls recorder = {
    [](GLenum unit) { calls.push_back("active " + std::to_string(unit - GL_TEXTURE0)); },
    [](GLenum, GLuint name) { calls.push_back("bind " + std::to_string(name)); },
    [](GLenum, GLenum pname, GLint value) {
      if (pname == GL_TEXTURE_ENV_MODE) calls.push_back("mode " + std::to_string(value));
      // Scales and combiner arguments are not what these cases are about.
    },
    [](GLenum, GLenum, const GLfloat*) { calls.push_back("colour"); },
};

class Bind : public testing::Test {
 protected:
  void SetUp() override {
    TEX_reset_bind();
    TEX_bind_calls_use(&recorder);
    calls.clear();
    gKillTex.value = 0;
  }
  void TearDown() override {
    TEX_bind_calls_use(nullptr);
    TEX_reset_bind();
    gKillTex.value = 0;
  }
  std::vector<std::string> take() { return std::exchange(calls, {}); }
};

using v = std::vector<std::string>;
const std::string modulate = "mode " + std::to_string(GL_MODULATE);

TEST_F(Bind, TheCacheSkipsWhatTheUnitAlreadyHolds) {
  TEX_bind_ref(5, 0, 0, GL_TEXTURE_2D);
  EXPECT_EQ(take(), (v{"bind 5", modulate}));
  TEX_bind_ref(5, 0, 0, GL_TEXTURE_2D);
  EXPECT_EQ(take(), v{});
  // 33 binds a changed texture and leaves the environment alone.
  TEX_bind_ref(6, 0, 33, GL_TEXTURE_2D);
  EXPECT_EQ(take(), v{"bind 6"});
  // 0 after 33 on that texture: the unit still modulates.
  TEX_bind_ref(6, 0, 0, GL_TEXTURE_2D);
  EXPECT_EQ(take(), v{});
  TEX_bind_ref(6, 0, GL_REPLACE, GL_TEXTURE_2D);
  EXPECT_EQ(take(), v{"mode " + std::to_string(GL_REPLACE)});
  TEX_reset_bind();
  TEX_bind_ref(6, 0, GL_REPLACE, GL_TEXTURE_2D);
  EXPECT_EQ(take(), (v{"bind 6", "mode " + std::to_string(GL_REPLACE)}));
}

TEST_F(Bind, UnitsAbove0AreEnteredAndLeft) {
  TEX_bind_ref(7, 2, 0, GL_TEXTURE_2D);
  EXPECT_EQ(take(), (v{"active 2", "bind 7", modulate, "active 0"}));
  TEX_bind_calls_use(nullptr);
  TEX_bind_ref(7, 3, 0, GL_TEXTURE_2D);
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
  EXPECT_EQ(active, GL_TEXTURE0);
  glActiveTextureARB(GL_TEXTURE3);
  EXPECT_EQ(bound_2d(), 7);
  glActiveTextureARB(GL_TEXTURE0);
}

TEST_F(Bind, KillTexBindsThePlaceholderForAllButTheAtlas) {
  gKillTex.value = 1;
  TEX_bind_ref(359, 0, 33, GL_TEXTURE_2D);
  EXPECT_EQ(take(), v{"bind 359"});
  for (int name : {1, 360, 934, 2000}) {
    TEX_reset_bind();
    TEX_bind_ref(name, 0, 33, GL_TEXTURE_2D);
    EXPECT_EQ(take(), v{"bind 934"}) << name;
  }
  EXPECT_EQ(gKillTex.name, std::string("perf/kill_tex"));
}

TEST_F(Bind, TintAndBlendLevelSetTheUnitsColourOnly) {
  TEX_bind_calls_use(nullptr);
  TEX_set_tint(1, 0.25f, 0.5f, 0.75f, 1.0f);
  TEX_set_blend_level(0, 0.5f);
  GLint active = 0;
  glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
  EXPECT_EQ(active, GL_TEXTURE0);
  GLfloat c[4];
  glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c);
  EXPECT_EQ(std::vector<float>(c, c + 4), (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f}));
  glActiveTextureARB(GL_TEXTURE1);
  glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c);
  glActiveTextureARB(GL_TEXTURE0);
  EXPECT_EQ(std::vector<float>(c, c + 4), (std::vector<float>{0.25f, 0.5f, 0.75f, 1.0f}));
  // A unit the hardware lacks is left alone.
  TEX_bind_calls_use(&recorder);
  TEX_set_tint(reno.num_tex_units, 1, 1, 1, 1);
  EXPECT_EQ(take(), v{});
}

struct recipe_case {
  int mode;
  GLint rgb, alpha;
  std::vector<GLint> rgb_args, alpha_args;  // source, operand pairs
  GLint rgb_scale, alpha_scale;
  float colour;  // -1: not set by the recipe
};

TEST_F(Bind, The25Recipes) {
  ASSERT_TRUE(glExt.combine_avail);
  TEX_bind_calls_use(nullptr);
  const GLint P = GL_PREVIOUS, T = GL_TEXTURE, C = GL_CONSTANT, Q = GL_PRIMARY_COLOR;
  const GLint rgb = GL_SRC_COLOR, a = GL_SRC_ALPHA, ia = GL_ONE_MINUS_SRC_ALPHA;
  const recipe_case cases[] = {
      {1, GL_ADD, GL_REPLACE, {P, rgb, T, rgb}, {P, a}, 1, 1, -1},
      {2, GL_ADD, GL_ADD, {P, rgb, T, rgb}, {P, a, T, a}, 1, 1, -1},
      {3, GL_INTERPOLATE, GL_REPLACE, {P, rgb, T, rgb, C, rgb}, {P, a}, 1, 1, -1},
      {4, GL_INTERPOLATE, GL_INTERPOLATE, {P, rgb, T, rgb, C, rgb}, {P, a, T, a, C, a}, 1, 1, -1},
      {5, GL_MODULATE, GL_REPLACE, {P, rgb, C, rgb}, {P, a}, 4, 1, -1},
      {6, GL_MODULATE, GL_MODULATE, {P, rgb, C, rgb}, {P, a, C, a}, 4, 4, -1},
      {14, GL_MODULATE, GL_REPLACE, {P, rgb, T, rgb}, {T, a}, 1, 1, -1},
      {15, GL_REPLACE, GL_SUBTRACT, {P, rgb}, {T, a, P, a}, 1, 4, -1},
      {16, GL_REPLACE, GL_MODULATE, {P, rgb}, {P, ia, T, a}, 1, 1, -1},
      {17, GL_MODULATE, GL_REPLACE, {P, rgb, P, ia}, {C, a}, 1, 1, 1},
      {18, GL_REPLACE, GL_REPLACE, {P, rgb}, {P, a}, 1, 1, -1},
      {19, GL_REPLACE, GL_REPLACE, {P, rgb}, {C, a}, 1, 1, 1},
      {20, GL_MODULATE, GL_REPLACE, {P, rgb, T, rgb}, {C, a}, 1, 1, 1},
      {21, GL_MODULATE, GL_REPLACE, {P, rgb, T, rgb}, {P, a}, 1, 1, -1},
      {22, GL_REPLACE, GL_REPLACE, {T, a}, {C, a}, 1, 1, 1},
      {23, GL_REPLACE, GL_REPLACE, {P, rgb}, {T, a}, 1, 1, -1},
      {24, GL_INTERPOLATE, GL_REPLACE, {T, rgb, P, rgb, T, a}, {P, a}, 1, 1, -1},
      {25, GL_INTERPOLATE, GL_REPLACE, {T, rgb, P, rgb, P, a}, {P, a}, 1, 1, -1},
      {26, GL_MODULATE, GL_REPLACE, {P, rgb, T, a}, {P, a}, 1, 1, -1},
      {27, GL_INTERPOLATE, GL_INTERPOLATE, {T, rgb, P, rgb, C, rgb}, {T, a, P, a, C, a}, 1, 1, -1},
      {28, GL_INTERPOLATE, GL_REPLACE, {T, rgb, C, rgb, T, a}, {P, a}, 1, 1, -1},
      {29, GL_MODULATE, GL_REPLACE, {P, rgb, Q, rgb}, {P, a}, 1, 1, -1},
      {30, GL_MODULATE, GL_MODULATE, {P, rgb, C, rgb}, {P, a, C, a}, 1, 1, -1},
      {31, GL_INTERPOLATE, GL_REPLACE, {P, rgb, C, rgb, T, rgb}, {P, a}, 1, 1, 0},
      {32, GL_INTERPOLATE, GL_REPLACE, {Q, rgb, C, rgb, T, rgb}, {T, a}, 1, 1, 0},
  };
  auto env = [](GLenum p) {
    GLint x = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, p, &x);
    return x;
  };
  for (const recipe_case& k : cases) {
    TEX_set_blend_level(0, 0.5f);  // what a recipe without its own colour keeps
    TEX_bind_ref(1, 0, k.mode, GL_TEXTURE_2D);
    EXPECT_EQ(env(GL_TEXTURE_ENV_MODE), GL_COMBINE) << k.mode;
    EXPECT_EQ(env(GL_COMBINE_RGB), k.rgb) << k.mode;
    EXPECT_EQ(env(GL_COMBINE_ALPHA), k.alpha) << k.mode;
    for (size_t i = 0; i < k.rgb_args.size(); i += 2) {
      EXPECT_EQ(env(GL_SOURCE0_RGB + i / 2), k.rgb_args[i]) << k.mode << " rgb " << i / 2;
      EXPECT_EQ(env(GL_OPERAND0_RGB + i / 2), k.rgb_args[i + 1]) << k.mode << " rgb " << i / 2;
    }
    for (size_t i = 0; i < k.alpha_args.size(); i += 2) {
      EXPECT_EQ(env(GL_SOURCE0_ALPHA + i / 2), k.alpha_args[i]) << k.mode << " alpha " << i / 2;
      EXPECT_EQ(env(GL_OPERAND0_ALPHA + i / 2), k.alpha_args[i + 1]) << k.mode << " alpha " << i / 2;
    }
    GLfloat scale = 0;
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_RGB_SCALE, &scale);
    EXPECT_EQ(scale, (float)k.rgb_scale) << k.mode;
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_ALPHA_SCALE, &scale);
    EXPECT_EQ(scale, (float)k.alpha_scale) << k.mode;
    GLfloat c[4];
    glGetTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, c);
    EXPECT_EQ(c[0], k.colour < 0 ? 0.5f : k.colour) << k.mode;
    EXPECT_EQ(c[3], k.colour < 0 ? 0.5f : k.colour) << k.mode;
  }
  // Back to plain modulation, scales reset.
  TEX_bind_ref(1, 0, 0, GL_TEXTURE_2D);
  EXPECT_EQ(env(GL_TEXTURE_ENV_MODE), GL_MODULATE);
  GLfloat scale = 0;
  glGetTexEnvfv(GL_TEXTURE_ENV, GL_RGB_SCALE, &scale);
  EXPECT_EQ(scale, 1.0f);
}

}  // namespace
