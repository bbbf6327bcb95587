// The push button: its size, its press and release frames, the pressed look
// with its early swap, and the side text.
#include "click_fixture.h"
#include "widgets/butn.h"

namespace {

TEST_F(Clicks, ActionWidthZeroWithEmptyTextIs22Wide) {
  d->frame([] { BTN_action(200, 300, 0, 0, 1, "", "-"); });
  const quad_extent e = extent_of(d->trace(), bar_rect(2));
  ASSERT_TRUE(e.found);
  EXPECT_FLOAT_EQ(e.width(), 22);
}

TEST_F(Clicks, ActionActsInThePressFrameOnly) {
  int got = -1;
  d->press(200, 300);
  d->frame([&] { got = BTN_action(200, 300, 80, 0, 1, "Go", "-"); });
  EXPECT_EQ(got, 1);
  d->release(200, 300);
  d->frame([&] { got = BTN_action(200, 300, 80, 0, 1, "Go", "-"); });
  EXPECT_EQ(got, 0);
  // Hit box: x +- width/2, y +- 10, edges included.
  const struct {
    int x, y, hit;
  } cases[] = {{160, 300, 1}, {240, 310, 1}, {159, 300, 0}, {241, 300, 0}, {200, 311, 0}, {200, 289, 0}};
  for (const auto& c : cases) {
    d->press(c.x, c.y);
    d->frame([&] { got = BTN_action(200, 300, 80, 0, 1, "Go", "-"); });
    EXPECT_EQ(got, c.hit) << c.x << "," << c.y;
    d->release(c.x, c.y);
    d->frame([] {});
  }
}

TEST_F(Clicks, ActionPressedLookAndEarlySwap) {
  const struct {
    int lit, style;
    size_t captures;
  } cases[] = {{0, 1, 2}, {1, 1, 1}, {0, 0, 1}, {1, 2, 1}, {0, 2, 2}};
  for (const auto& c : cases) {
    int got = 0;
    d->press(200, 300);
    d->frame([&] { got = BTN_action(200, 300, 120, c.lit, c.style, "", "-"); });
    EXPECT_EQ(got, 1);
    ASSERT_EQ(d->captures().size(), c.captures) << "lit " << c.lit << " style " << c.style;
    // Left of the (empty) label, the first picture shows the top bar.
    const uint32_t p = d->captures()[0].pixel(170, 300);
    const probe_texel t = probe_atlas_colour(p >> 24, p >> 16, p >> 8);
    const bool pressed_or_lit = c.lit || c.captures == 2;
    EXPECT_TRUE((pressed_or_lit ? bar_rect(3) : bar_rect(2)).holds(t.u, t.v))
        << "lit " << c.lit << " style " << c.style << " texel " << t.u << "," << t.v;
    d->release(200, 300);
    d->frame([] {});
  }
}

TEST_F(Clicks, ActionSideText) {
  const struct {
    const char* side;
    bool drawn;
  } cases[] = {{"-", false}, {"", true}, {"--", true}, {"Next step", true}};
  for (const auto& c : cases) {
    d->frame([&] { BTN_action(200, 300, 80, 0, 1, "Go", c.side); });
    const auto s = strings_in(50);
    ASSERT_EQ(s.size(), c.drawn ? 1u : 0u) << '"' << c.side << '"';
    if (!c.drawn) continue;
    EXPECT_EQ(s[0].text, c.side);
    EXPECT_FLOAT_EQ(s[0].x, 200 + 40 + 10);
    EXPECT_FLOAT_EQ(s[0].y, 307);
    EXPECT_EQ(s[0].just, 0);
  }
}

TEST_F(Clicks, ActionLitLabelColourAndHelp) {
  std::string tip;
  d->move(200, 300);
  d->frame([&] {
    BTN_action(200, 300, 80, 1, 2, "Go{Starts it", "-");
    tip = help.text;
  });
  EXPECT_EQ(tip, "Starts it");
  ASSERT_EQ(strings_in(91).size(), 1u);
  d->frame([&] { BTN_action(200, 300, 80, 1, 1, "Go{Starts it", "-"); });
  EXPECT_EQ(strings_in(91).size(), 0u);
  EXPECT_EQ(strings_in(48).size(), 1u);
}

}  // namespace
