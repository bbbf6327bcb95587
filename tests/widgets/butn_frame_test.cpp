// Bars and panels through real frames, against the coordinate-coded atlas:
// which texel each pixel shows, and what the frame asked OGL_2dquad for.
#include <gtest/gtest.h>
#include <set>
#include "widgets/butn.h"
#include "widget_fixture.h"

namespace {

constexpr float texel_of(float s) { return s * k_atlas_size; }

TEST_F(Widgets, PushButtonBarMapsOneTexelPerPixel) {
  d->frame([] { BTN_frame1(2, 100.5f, 50, 41, 57); });
  ASSERT_EQ(d->captures().size(), 1u);
  const int bar = element("bar 2");
  // Centre 101, width 42: the left cap, one middle tile cut short, the right cap.
  for (int x = 80; x <= 89; ++x) EXPECT_EQ(texel(x, 50), (probe_texel{304 + x - 80, 499, bar})) << x;
  for (int x = 90; x <= 111; ++x) EXPECT_EQ(texel(x, 50), (probe_texel{314 + x - 90, 499, bar})) << x;
  for (int x = 112; x <= 121; ++x) EXPECT_EQ(texel(x, 50), (probe_texel{346 + x - 112, 499, bar})) << x;
  EXPECT_EQ(texel(79, 50), probe_texel{});
  EXPECT_EQ(texel(122, 50), probe_texel{});
  for (int y = 37; y <= 62; ++y) EXPECT_EQ(texel(100, y).v, 486 + y - 37) << y;
  EXPECT_EQ(texel(100, 36), probe_texel{});
  EXPECT_EQ(texel(100, 63), probe_texel{});
}

// The pieces a bar asks for: its left edge after rounding, how many quads,
// and where the last middle tile ends in the atlas.
TEST_F(Widgets, BarPieces) {
  const struct {
    const char* what;
    int style;
    float x, width;
    size_t quads;
    float left;  // the first quad's left edge
  } cases[] = {
      {"a centre of -10.5 rounds to -11", 2, -10.5f, 40, 3, -31},
      {"a centre of 10.5 rounds to 11", 2, 10.5f, 40, 3, -9},
      {"an exact number of tiles draws one more, empty, tile", 2, 200, 84, 5, 158},
      {"the caps overlap when the bar is short", 2, 200, 10, 3, 195},
      {"n = -1 draws only the right cap", 2, 200, -44, 1, 168},
      {"n below -1 draws nothing", 2, 200, -120, 0, 0},
      {"field boxes are 4 wider", 9, 200, 40, 3, 178},
  };
  for (const auto& c : cases) {
    d->frame([&] { BTN_frame1(c.style, c.x, 300, c.width, 57); });
    const auto& q = d->trace().quads;
    ASSERT_EQ(q.size(), c.quads) << c.what;
    if (q.empty()) continue;
    EXPECT_FLOAT_EQ(q[0].corner[0][0], c.left) << c.what;
  }
  // The empty tile of an exact count.
  d->frame([] { BTN_frame1(2, 200, 300, 84, 57); });
  const auto& q = d->trace().quads;
  EXPECT_FLOAT_EQ(q[3].corner[0][0], q[3].corner[2][0]);
  // Only the right cap: its texels are the right cap's.
  d->frame([] { BTN_frame1(2, 200, 300, -44, 57); });
  EXPECT_FLOAT_EQ(texel_of(d->trace().quads[0].corner[0][2]), 346);
  EXPECT_FLOAT_EQ(texel_of(d->trace().quads[0].corner[2][2]), 356);
}

// The cut tile of both bars shows as many texels as it is long.
TEST_F(Widgets, CutTilesAreNotSqueezed) {
  d->frame([] { BTN_frame1(2, 101, 50, 42, 57); });
  const auto& bar = d->trace().quads;
  ASSERT_EQ(bar.size(), 3u);
  EXPECT_FLOAT_EQ(bar[1].corner[2][0] - bar[1].corner[0][0], 22);
  EXPECT_FLOAT_EQ(texel_of(bar[1].corner[2][2]) - texel_of(bar[1].corner[0][2]), 22);

  // Length 50: drawn 58 high from 271; the second tile is cut to 18.
  d->frame([] { BTN_frame0(6, 200, 300, 50); });
  const auto& vbar = d->trace().quads;
  ASSERT_EQ(vbar.size(), 4u);
  EXPECT_FLOAT_EQ(vbar[0].corner[0][1], 271);
  EXPECT_FLOAT_EQ(vbar[2].corner[1][1] - vbar[2].corner[0][1], 18);
  EXPECT_FLOAT_EQ(texel_of(vbar[2].corner[1][3]), 276);
  EXPECT_FLOAT_EQ(vbar[3].corner[1][1], 329);
  const int v = element("vertical bar");
  EXPECT_EQ(texel(200, 318), (probe_texel{112, 275, v}));
  EXPECT_EQ(texel(190, 300), (probe_texel{102, 277, v}));
  EXPECT_GT(check_quads_against_picture(), 1000);
}

TEST_F(Widgets, PanelCells) {
  const struct {
    const char* what;
    int style;
    float width, height;
    size_t columns, rows;  // quads in a row, rows
  } cases[] = {
      {"window background", 14, 300, 200, 11, 6},
      {"a tiny panel keeps one middle row and both side caps", 16, 10, 1, 2, 3},
      {"a panel lower than its caps keeps one middle row", 21, 60, -30, 6, 3},
      {"list panel", 19, 200, 100, 10, 5},
      {"pop-up menu: tiles of 2, the last one empty", 20, 30, 30, 6, 5},
      {"a pop-up menu narrower than its caps keeps both", 20, 10, 10, 2, 3},
  };
  for (const auto& c : cases) {
    d->frame([&] { BTN_frame2(c.style, 100, 100, c.width, c.height, "", 1); });
    const auto& q = d->trace().quads;
    std::set<float> ys;
    for (const auto& quad : q) ys.insert(quad.corner[0][1]);
    EXPECT_EQ(ys.size(), c.rows) << c.what;
    EXPECT_EQ(q.size(), c.columns * c.rows) << c.what;
    if (c.style != 14) continue;
    // Rows from the bottom up, each from left to right.
    for (size_t i = 1; i < q.size(); ++i)
      EXPECT_TRUE(q[i].corner[0][1] > q[i - 1].corner[0][1] ||
                  (q[i].corner[0][1] == q[i - 1].corner[0][1] && q[i].corner[0][0] > q[i - 1].corner[0][0]))
          << c.what << " quad " << i;
  }
}

TEST_F(Widgets, PanelsMapOneTexelPerPixel) {
  for (int style : {14, 16, 19, 21, 22}) {
    d->frame([&] { BTN_frame2(style, 100.0f, 120.0f, 301, 177, "", 1); });
    // Away from the fractional seams every pixel is its texel.
    EXPECT_GT(check_quads_against_picture(), 40000) << style;
  }
  // Style 19's bottom-left cap, whole pixels from its corner.
  d->frame([] { BTN_frame2(19, 100, 100, 200, 100, "", 1); });
  EXPECT_EQ(texel(98, 98), (probe_texel{1, 289, element("panel 19")}));
  EXPECT_EQ(texel(98 + 20, 98 + 17), (probe_texel{21, 306, element("panel 19")}));
  EXPECT_EQ(texel(97, 98), probe_texel{});
}

// Sub-windows other than the alert and the file and question windows get the
// close boxes with their window background.
TEST_F(Widgets, WindowBackgroundCloseBoxes) {
  const struct {
    int win;
    size_t extra;
  } cases[] = {{2, 2}, {1, 2}, {994, 0}, {995, 0}, {996, 0}, {997, 0}, {998, 0}, {999, 0}};
  for (const auto& c : cases) {
    open_window(c.win);
    d->modal_frame([] { BTN_frame2(14, 0, 0, wins.win_dx, wins.win_dy, "", 1); });
    d->modal_frame([] { BTN_frame2(14, 0, 0, 300, 200, "", 1); });
    EXPECT_EQ(d->trace().quads.size(), 66 + c.extra) << c.win;
  }
  open_window(0);
  d->frame([] { BTN_frame2(14, 0, 0, 300, 200, "", 1); });
  EXPECT_EQ(d->trace().quads.size(), 66u);
}

TEST_F(Widgets, ScreenTextureStyles) {
  // Picture-button bars and the wizard panel come from the screen texture.
  d->frame([] {
    BTN_frame1(11, 200, 300, 100, 57);
    BTN_frame2(23, 100, 100, 100, 100, "", 1);
  });
  for (const auto& q : d->trace().quads) EXPECT_EQ(q.tex, 362);
  const auto& bar = d->trace().quads.front();
  EXPECT_FLOAT_EQ(bar.corner[0][2] * k_screen_tex_w, 926);
  EXPECT_FLOAT_EQ(bar.corner[1][3] * k_screen_tex_h, 127);
}

}  // namespace
