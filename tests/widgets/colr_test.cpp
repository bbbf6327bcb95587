#include <gtest/gtest.h>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numbers>
#include "core/xtim.h"
#include "platform/plat_clock.h"
#include "platform/plat_sysinfo.h"
#include "support/xer_capture.h"
#include "widgets/colr.h"

namespace {

struct rgb {
  float r, g, b;
};

void expect_colour(const float* got, rgb want, const char* what, int index) {
  EXPECT_NEAR(got[0], want.r, 1e-5) << what << " " << index;
  EXPECT_NEAR(got[1], want.g, 1e-5) << what << " " << index;
  EXPECT_NEAR(got[2], want.b, 1e-5) << what << " " << index;
}

TEST(ColourTable, Construction) {
  auto c = std::make_unique<colr_class>();
  const struct {
    int id;
    rgb want;
  } rows[] = {
      {0, {1, 1, 1}},       {12, {0, 0, 0}},     {57, {1, 1, 1}},     {62, {1, 0.5f, 0}},
      {73, {0.2f, 0.2f, 0.8f}}, {81, {0, 0, 0}}, {113, {0, 0, 0}},    {112, {1, 1, 0.9f}},
      // Never listed: black until something assigns them.
      {11, {0, 0, 0}},      {39, {0, 0, 0}},     {53, {0, 0, 0}},     {91, {0, 0, 0}},
      {114, {0, 0, 0}},
  };
  for (const auto& row : rows) expect_colour(c->col[row.id], row.want, "id", row.id);
  for (float t : c->tint) EXPECT_EQ(t, 1.0f);
  EXPECT_EQ(c->dim, 0.0f);
  EXPECT_EQ(c->green_mono, 0);
  EXPECT_EQ(c->pulse, 0.0f);
}

TEST(ColourTable, RainbowSpectrumAndRamps) {
  auto c = std::make_unique<colr_class>();
  const struct {
    int index;
    rgb want;
  } rainbow[] = {
      {0, {1, 0, 0}},
      {200, {1, 0.32f, 0.08f}},
      {400, {1, 1, 0}},
      {600, {0, 1, 0}},
      {800, {0, 0, 1}},
      {100, {1, 0.16f, 0.04f}},  // halfway from red to orange
      {999, {0.8f * 0.995f, 0, 0.005f + 0.8f * 0.995f}},
  };
  for (const auto& row : rainbow) expect_colour(c->spectrum[row.index], row.want, "rainbow", row.index);

  for (int mode = 1; mode <= 3; ++mode) {
    c->spectrum_init(mode);
    for (int i : {0, 1, 500, 999}) {
      rgb want = {0, 0, 0};
      (&want.r)[mode - 1] = i / 1000.0f;
      expect_colour(c->spectrum[i], want, "ramp", mode * 10000 + i);
    }
  }

  // Any other mode leaves the spectrum as it was.
  c->spectrum_init(0);
  float before[colr_class::spectrum_size][3];
  std::memcpy(before, c->spectrum, sizeof(before));
  for (int mode : {7, 4, -1}) {
    c->spectrum_init(mode);
    EXPECT_EQ(std::memcmp(before, c->spectrum, sizeof(before)), 0) << mode;
  }
}

TEST(ColourTable, LitArcTintsByColour53) {
  auto c = std::make_unique<colr_class>();
  c->col_assign(53, 0.5f, 0.25f, 1);
  c->col_assign(11, 1, 1, 1);
  c->col_assign(14, 0.2f, 0.4f, 0.6f);
  c->col_assign(16, 1, 0, 0.5f);
  c->set_lit_arc();
  expect_colour(c->col[54], {0.5f, 0.25f, 1}, "id", 54);
  expect_colour(c->col[55], {0.1f, 0.1f, 0.6f}, "id", 55);
  expect_colour(c->col[56], {0.5f, 0, 0.5f}, "id", 56);
  expect_colour(c->col[53], {0.5f, 0.25f, 1}, "id", 53);
}

// The system-version query answers what the current case says.
int s_version = 0;
int query_fails(int*) { return -1; }
int query_answers(int* out) {
  *out = s_version;
  return 0;
}

class Gamma : public testing::Test {
 protected:
  void TearDown() override { PLAT_system_version_use(nullptr); }
};

// The table as the image loaders expect it: x and y kept as floats, then
// y * 255 + 0.5 truncated.
void expect_gamma_table(const colr_class& c, float num, float den) {
  const double e = static_cast<float>(num / den);
  for (int i = 0; i < 256; ++i) {
    const float x = static_cast<float>(i / 255.0);
    const float y = i == 0 ? 0.0f : static_cast<float>(std::pow(static_cast<double>(x), e));
    EXPECT_EQ(c.gamma_table[i], static_cast<int>(y * 255.0 + 0.5)) << num << "/" << den << " entry " << i;
  }
}

TEST_F(Gamma, SystemVersionChoosesTheDenominator) {
  const struct {
    const char* name;
    int (*query)(int*);
    int version;
    float den;
    int changed;
  } cases[] = {
      {"not available", query_fails, 0, 1.8f, 0},
      {"10.5.15", query_answers, 0x105F, 1.8f, 0},
      {"10.6.0", query_answers, 0x1060, 2.2f, 1},
      {"10.11", query_answers, 0x10B0, 2.2f, 1},
  };
  for (const auto& k : cases) {
    s_version = k.version;
    PLAT_system_version_use(k.query);
    auto c = std::make_unique<colr_class>();
    EXPECT_EQ(c->gamma_num, 1.8f) << k.name;
    EXPECT_EQ(c->gamma_den, k.den) << k.name;
    EXPECT_EQ(c->gamma_changed, k.changed) << k.name;
    expect_gamma_table(*c, 1.8f, k.den);
    if (!k.changed)
      for (int i = 0; i < 256; ++i) ASSERT_EQ(c->gamma_table[i], i) << k.name;
    else
      EXPECT_GT(c->gamma_table[128], 128) << k.name;  // mid-tones brighten
  }
}

TEST_F(Gamma, ThisSystemKeepsPicturesUnchanged) {
  // The program's own table, built before main on a system with no version.
  EXPECT_EQ(colr.gamma_den, 1.8f);
  EXPECT_EQ(colr.gamma_changed, 0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(colr.gamma_table[i], i);
}

TEST_F(Gamma, RebuildFollowsTheRatio) {
  auto c = std::make_unique<colr_class>();
  c->gamma_den = 2.2f;
  EXPECT_EQ(c->rebuild_gamma(), 1);
  EXPECT_EQ(c->gamma_changed, 1);
  expect_gamma_table(*c, 1.8f, 2.2f);
  c->gamma_den = 1.8f;
  EXPECT_EQ(c->rebuild_gamma(), 0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(c->gamma_table[i], i);
}

TEST(ColourTable, OutOfRangeIdChangesNothingAndIsLogged) {
  auto c = std::make_unique<colr_class>();
  const colr_class before = *c;
  xer_capture log;
  c->col_assign(-1, 0.5f, 0.5f, 0.5f);
  c->col_assign(115, 0.5f, 0.5f, 0.5f);
  // Neighbouring fields too: id 115 would land on the pulse, -1 in the gamma table.
  EXPECT_EQ(std::memcmp(&before, c.get(), sizeof(colr_class)), 0);
  const std::string text = log.text();
  EXPECT_NE(text.find("col_assign: colour id -1 is outside the table; ignored.\n"), std::string::npos) << text;
  EXPECT_NE(text.find("col_assign: colour id 115 is outside the table; ignored.\n"), std::string::npos) << text;
}

uint64_t s_now = 0;
uint64_t fake_clock() { return s_now; }

// The glow is driven by the program clock; a clock moved by hand shows its period.
TEST(ColourTable, PulseRepeatsEvery2PiOver15Seconds) {
  s_now = PLAT_microseconds() + 1000000;
  xtim_set_clock(fake_clock);
  xtim = xtim_class();
  xtim_forget_frames();
  auto frame_after = [](double secs) {
    s_now += static_cast<uint64_t>(std::llround(secs * 1e6));
    xtim.xtim_update();
    return colr.pulse;
  };
  const double period = 2 * std::numbers::pi / 15;
  frame_after(0);
  const float p = frame_after(0.7);
  EXPECT_NEAR(p, 0.8f + 0.2f * std::sin(15 * 0.7f), 1e-5);
  EXPECT_NEAR(frame_after(period), p, 1e-5);
  EXPECT_NEAR(frame_after(period * 3), p, 1e-5);
  EXPECT_NEAR(frame_after(period / 2), 1.6f - p, 1e-5);  // half a period: the mirror image

  xtim_set_clock(nullptr);
  xtim = xtim_class();
  xtim_forget_frames();
}

}  // namespace
