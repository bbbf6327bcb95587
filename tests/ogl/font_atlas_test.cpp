// The glyph atlas: placing glyphs in rows, growing by powers of two, its
// memory statistic, uploading only when it changed, failed glyphs, and the
// bound that keeps it inside the scratch image.
#include <gtest/gtest.h>
#include <algorithm>
#include "core/scratch.h"
#include "core/utl_stat.h"
#include "ogl/font_fixture.h"
#include "tex/tman.h"

namespace {

bool power_of_two(int n) { return n > 0 && (n & (n - 1)) == 0; }

// Reloads slot at size points (from path when given), then puts the
// interface size back for later resets.
TT_font_info* reload(int slot, float size, const std::string& path = "") {
  if (!path.empty()) tt_names[slot] = path;
  tt_sizes[slot] = size;
  TT_reset_font((tt_t)slot);
  tt_sizes[slot] = 10.5f;
  return tt_font[slot];
}

// The glyph of code failed with err: no advance, no atlas rows, nothing drawn.
void expect_failed(TT_font_info* f, uint32_t code, int err) {
  EXPECT_EQ(f->require_char(code), 0);
  ASSERT_NE(f->find(code), nullptr);
  EXPECT_EQ(f->find(code)->err, err);
  EXPECT_EQ(f->height, 0);
}

TEST_F(Font, GlyphsPastTheAtlasWidthStartARowBelowTheTallest) {
  TT_font_info* f = tt_font[0];
  int row_start_tallest = 0, first_row_tallest = 0;
  uint32_t wrapped = 0;
  for (uint32_t code = 'A'; code < 0x500 && !wrapped; ++code) {
    const int before_x = f->pen_x;
    f->require_char(code);
    const OGL_char_info* c = f->find(code);
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(power_of_two(f->height)) << f->height;
    if (c->top > 0) {
      wrapped = code;
      EXPECT_GT(before_x + (c->right - c->left), 1024);
      EXPECT_EQ(c->left, 0);
      row_start_tallest = c->top;
    } else {
      first_row_tallest = std::max(first_row_tallest, c->bottom - c->top);
      EXPECT_LE(c->right, 1024);
    }
  }
  ASSERT_NE(wrapped, 0u);
  EXPECT_EQ(row_start_tallest, first_row_tallest);
  EXPECT_GE(f->height, f->row_base + f->row_height);
}

TEST_F(Font, TheMemoryStatisticFollowsTheAtlasRows) {
  EXPECT_EQ(TT_font_tex_mem(), 0);  // both slots were just reset
  OGL_string(white, 100, 300, "Hello", 9999, cs_regular, just_left);
  const int regular = tt_font[0]->height;
  EXPECT_GT(regular, 0);
  EXPECT_EQ(TT_font_tex_mem(), regular);
  OGL_string(white, 100, 300, "Hello", 9999, cs_bold, just_left);
  EXPECT_EQ(TT_font_tex_mem(), regular + tt_font[1]->height);
  for (uint32_t code = 0x400; code < 0x600; ++code) tt_font[0]->require_char(code);
  EXPECT_GT(tt_font[0]->height, regular);
  EXPECT_EQ(TT_font_tex_mem(), tt_font[0]->height + tt_font[1]->height);
  TT_reset_font(tt_regular);
  EXPECT_EQ(TT_font_tex_mem(), tt_font[1]->height);
  TT_reset_font(tt_both);
  EXPECT_EQ(TT_font_tex_mem(), 0);
  UTL_stat::init_stats();
  int registered = 0;
  for (UTL_stat* s : UTL_stat_registry().at(stat_memory))
    if (std::string(s->name) == "font/tex_mem") ++registered;
  EXPECT_EQ(registered, 1);
}

TEST_F(Font, TheAtlasIsUploadedOnlyAfterGlyphsWereAdded) {
  TT_font_info* f = tt_font[0];
  OGL_string(white, 100, 300, "Hello", 9999, cs_regular, just_left);
  const int uploads = f->uploads;
  EXPECT_GE(uploads, 1);
  EXPECT_EQ(tman.tex_dx_tot(360), 1024);
  EXPECT_EQ(tman.tex_dy_tot(360), f->height);
  EXPECT_EQ(tman.get_path(360), "scratch_array-fonts");
  for (int frame = 0; frame < 3; ++frame) OGL_string(white, 100, 300, "olleHlleH", 9999, cs_regular, just_left);
  EXPECT_EQ(f->uploads, uploads);
  EXPECT_EQ(f->dirty, 0);
  OGL_string(white, 100, 300, "Hellq", 9999, cs_regular, just_left);
  EXPECT_EQ(f->uploads, uploads + 1);
  // Measuring caches glyphs without uploading; the next drawn line does.
  OGL_measure_string("xyz");
  EXPECT_EQ(f->uploads, uploads + 1);
  EXPECT_EQ(f->dirty, 1);
  OGL_string(white, 100, 300, "x", 9999, cs_regular, just_left);
  EXPECT_EQ(f->uploads, uploads + 2);
}

TEST_F(Font, AFailedGlyphIsRememberedAndNeverRetried) {
  TT_font_info* f = reload(0, 1500);  // where a 'W' is wider than the atlas
  expect_failed(f, 'W', tt_err_atlas_full);
  // Back at the interface size the glyph would fit, but it is not tried again.
  FT_Set_Char_Size(f->face, 0, 672, 72, 72);
  EXPECT_EQ(f->require_char('W'), 0);
  EXPECT_EQ(f->find('W')->err, tt_err_atlas_full);
  EXPECT_GT(f->require_char('V'), 0);
  OGL_string(white, 100, 300, "W", 9999, cs_regular, just_left);
  EXPECT_TRUE(lit(0, 0, 800, 600).empty());
  EXPECT_EQ(OGL_measure_string("WV"), f->require_char('V'));
}

TEST_F(Font, OnlyEightBitGreyBitmapsEnterTheAtlas) {
  // A bitmap-only font renders one-bit rows padded to four bytes.
  expect_failed(reload(0, 13, "/usr/share/fonts/X11/misc/7x13.pcf.gz"), 'A', tt_err_not_grey);
  OGL_string(white, 100, 300, "AAA", 9999, cs_regular, just_left);
  EXPECT_TRUE(lit(0, 0, 800, 600).empty());
}

TEST_F(Font, TensOfThousandsOfCodePointsStayInsideTheScratchImage) {
  // Large glyphs fill the atlas after a few thousand; the rest must fail
  // rather than grow it past what the scratch image holds.
  TT_font_info* f = reload(1, 60);
  int failed = 0;
  for (uint32_t code = 0x20; code < 0x20 + 20000; ++code) {
    const float adv = f->require_char(code);
    const OGL_char_info* c = f->find(code);
    ASSERT_NE(c, nullptr);
    if (c->err) {
      EXPECT_EQ(c->err, tt_err_atlas_full);
      EXPECT_EQ(adv, 0);
      ++failed;
    }
    ASSERT_LE(f->height, 16384);
  }
  EXPECT_EQ(f->height, 16384);
  EXPECT_GT(failed, 1000);
  EXPECT_EQ(f->sync_tex(), 1);
  EXPECT_EQ(scratch_dy, 16384);
  EXPECT_EQ(tman.tex_dy_tot(361), 16384);
  // Unmapped code points of every plane draw the font's missing-glyph box.
  TT_reset_font(tt_regular);
  for (uint32_t code = 0xE000; code < 0xE000 + 5000; ++code) tt_font[0]->require_char(code + (code & 7) * 0x10000);
  EXPECT_LE(tt_font[0]->height, 16384);
  OGL_string(white, 100, 300, "\xEE\x80\x80 \xF3\xB0\x80\x80", 9999, cs_regular, just_left);
  EXPECT_FALSE(lit(90, 290, 40, 20).empty());
}

}  // namespace
