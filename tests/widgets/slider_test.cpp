// The sliders through real frames: where the thumb sits, the arrows'
// auto-repeat on the clock's tick, page steps, dragging, bad limits and
// indices, and the horizontal bar's fill, thumb and input zone.
#include <functional>
#include "click_fixture.h"
#include "core/hl_alert.h"
#include "core/xtim.h"
#include "widgets/butn_slider.h"

namespace {

constexpr float sx = 400, bottom = 100, top = 300;

class Sliders : public Clicks {
 protected:
  void SetUp() override {
    Clicks::SetUp();
    for (int& g : slider_grabbed) g = 0;
  }
  // One frame of a 0..100 slider on v; its result.
  int frame(int* v, int min = 0, int max = 100) {
    int r = -1;
    d->frame([&] { r = BTN_vert_slider(0, sx, bottom, top, min, max, v); });
    return r;
  }
  float thumb_centre() const { return extent_of(d->trace(), k_scroll_thumb).bottom + 12; }
};

TEST_F(Sliders, ThumbRunsFromBelowTheTopToAboveTheBottom) {
  const struct {
    int value;
    float centre;
  } rows[] = {{0, top - 10}, {100, bottom + 9}, {50, (top - 10 + bottom + 9) / 2}, {-20, top - 10}, {300, bottom + 9}};
  for (const auto& r : rows) {
    int v = r.value;
    frame(&v);
    EXPECT_FLOAT_EQ(thumb_centre(), r.centre) << r.value;
    EXPECT_EQ(v, std::clamp(r.value, 0, 100)) << r.value;
  }
}

TEST_F(Sliders, HoldingAnArrowRepeatsOnTheTickAfterAQuarterSecond) {
  int v = 50;
  // Frames of 0.05 s from the clock's start: the 0.2-s tick comes every
  // fifth frame, at 0.25 s, 0.5 s...
  auto step = [&] {
    d->advance(0.05 - 1.0 / 60);
    frame(&v);
  };
  for (int i = 0; i < 4; ++i) step();  // up to 0.15 s
  d->press(static_cast<int>(sx), static_cast<int>(bottom - 10));
  step();  // the press, at 0.2 s
  EXPECT_EQ(v, 51);
  int ticks = 0, early_ticks = 0;
  for (int i = 0; i < 20; ++i) {  // held for 1 s
    step();
    if (xtim.act_fire5 && mnw.held_quarter) ++ticks;
    if (xtim.act_fire5 && !mnw.held_quarter) ++early_ticks;
    EXPECT_EQ(v, 51 + ticks) << "at frame " << i;
  }
  EXPECT_EQ(early_ticks, 1) << "the tick at 0.25 s comes before the quarter second is up";
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(v, 54);
  d->release(static_cast<int>(sx), static_cast<int>(bottom - 10));
  for (int i = 0; i < 10; ++i) step();
  EXPECT_EQ(v, 54);
}

TEST_F(Sliders, ClicksStepByArrowsAndPagesWithinTheLimits) {
  const struct {
    const char* what;
    int start, dx;
    float y;
    int want;
  } rows[] = {
      {"upper arrow", 50, 0, top + 10, 49},
      {"upper arrow at min", 0, 0, top + 10, 0},
      {"lower arrow at max", 100, 0, bottom - 10, 100},
      {"track above the thumb", 50, 11, top - 20, 40},
      {"track above the thumb near min", 5, 0, top - 2, 0},
      {"track below the thumb", 50, -11, bottom + 20, 60},
      {"track below the thumb near max", 95, 0, bottom + 3, 100},
      {"beside the column", 50, 12, top - 20, 50},
  };
  for (const auto& r : rows) {
    int v = r.start;
    const int mx = static_cast<int>(sx) + r.dx;
    d->press(mx, static_cast<int>(r.y));
    EXPECT_EQ(frame(&v), 0) << r.what;
    d->release(mx, static_cast<int>(r.y));
    frame(&v);
    EXPECT_EQ(v, r.want) << r.what;
  }
}

TEST_F(Sliders, DraggingTheThumbPastEitherEndGivesTheLimits) {
  int v = 50;
  frame(&v);
  const int thumb = static_cast<int>(thumb_centre());
  d->press(static_cast<int>(sx), thumb);
  EXPECT_EQ(frame(&v), 1);
  EXPECT_EQ(v, 50);
  const struct {
    int x, y, want;
  } moves[] = {{static_cast<int>(sx) + 200, static_cast<int>(top) + 100, 0},
               {static_cast<int>(sx) - 200, static_cast<int>(bottom) - 100, 100},
               {static_cast<int>(sx), static_cast<int>(top - 11), 0},
               {static_cast<int>(sx), static_cast<int>(bottom + 11), 100},
               {static_cast<int>(sx), static_cast<int>(bottom + top) / 2, 50}};
  for (const auto& m : moves) {
    d->move(m.x, m.y);
    EXPECT_EQ(frame(&v), 1);
    EXPECT_EQ(v, m.want) << m.y;
  }
  EXPECT_EQ(extent_of(d->trace(), k_scroll_thumb).found, 1);
  EXPECT_EQ(d->trace().quads.back().col, 52) << "grabbed parts are lit";
  d->release(static_cast<int>(sx), static_cast<int>(top) + 100);
  EXPECT_EQ(frame(&v), 0);
  EXPECT_EQ(v, 50);
}

TEST_F(Sliders, BadLimitsDrawTheBarAloneAndBadIndicesAlert) {
  int v = 5;
  d->press(static_cast<int>(sx), static_cast<int>(top + 10));
  EXPECT_EQ(frame(&v, 10, 10), 0);
  EXPECT_EQ(v, 5);
  EXPECT_EQ(extent_of(d->trace(), k_vbar).found, 1);
  EXPECT_EQ(extent_of(d->trace(), k_scroll_thumb).found, 0);
  EXPECT_EQ(extent_of(d->trace(), k_scroll_up).found, 0);

  for (int index : {4, -1, 1000}) {
    d->frame([&] { BTN_vert_slider(index, sx, bottom, top, 0, 100, &v); });
    ASSERT_EQ(d->alerts().size(), 1u) << index;
    const frame_alert& a = d->alerts()[0];
    EXPECT_EQ(a.kind, t_crash);
    EXPECT_EQ(a.lines, (std::vector<std::string>{"Too many sliders!", "", "", ""}));
    EXPECT_EQ(a.source, "RUvozuz/OOPS_cpp/butn");
    EXPECT_EQ(a.line, 727);
  }
  d->frame([&] { BTN_vert_slider(3, sx, bottom, top, 0, 100, &v); });
  EXPECT_TRUE(d->alerts().empty());
}

constexpr float hx = 200, hy = 300, hw = 100;

TEST_F(Sliders, HorizontalBarTakesTheMouseOnlyNearItAndWhenEditable) {
  const struct {
    const char* what;
    float lo, hi, start;
    int editable, dx, dy;
    float want;
    int set;
  } rows[] = {
      {"middle", 0, 10, 2, 1, 50, 0, 5, 1},
      {"left of the bar, in the zone", 0, 10, 2, 1, -15, 15, 0, 1},
      {"right of the bar, in the zone", 0, 10, 2, 1, 115, -15, 10, 1},
      {"outside the zone", 0, 10, 2, 1, 50, 25, 2, 0},
      {"reversed ends", 10, 0, 2, 1, 25, 0, 2.5f, 1},
      {"equal ends, right", 5, 5, 5, 1, 100, 0, 5.01f, 1},
      {"equal ends, left", 5, 5, 5, 1, 0, 0, 5, 1},
      {"not editable", 0, 10, 2, 0, 50, 0, 2, 0},
      {"out of range, untouched", 0, 10, 20, 1, 50, 25, 20, 0},
  };
  for (const auto& r : rows) {
    float v = r.start;
    int set = -1;
    const int px = static_cast<int>(hx) + r.dx, py = static_cast<int>(hy) + r.dy;
    d->press(px, py);
    d->frame([&] { set = BTN_horz_slider(hx, hy, hw, 57, r.lo, r.hi, &v, r.editable, "", ""); });
    EXPECT_FLOAT_EQ(v, r.want) << r.what;
    EXPECT_EQ(set, r.set) << r.what;
    EXPECT_EQ(extent_of(d->trace(), k_value_thumb).found, r.editable) << r.what;
    d->release(px, py);
    d->frame([] {});
  }
}

TEST_F(Sliders, HorizontalBarStopsWhenTheMouseLeavesWhileHeld) {
  float v = 2;
  auto draw = [&] { return BTN_horz_slider(hx, hy, hw, 57, 0, 10, &v, 1, "", ""); };
  d->press(static_cast<int>(hx + 30), static_cast<int>(hy));
  d->frame(draw);
  EXPECT_FLOAT_EQ(v, 3);
  d->move(static_cast<int>(hx + 80), static_cast<int>(hy + 40));
  int set = -1;
  d->frame([&] { set = draw(); });
  EXPECT_EQ(set, 0);
  EXPECT_FLOAT_EQ(v, 3);
  d->move(static_cast<int>(hx + 80), static_cast<int>(hy));
  d->frame(draw);
  EXPECT_FLOAT_EQ(v, 8) << "coming back while still held sets it again";
}

TEST_F(Sliders, HorizontalBarFillsUpToTheValueUnlessColour81) {
  const struct {
    int colour;
    float value;
    int filled;
    float width;
  } rows[] = {{62, 5, 1, 50}, {62, 3.7f, 1, 38}, {81, 5, 0, 0}, {62, 0, 0, 0}, {62, 20, 1, 100}};
  for (const auto& r : rows) {
    float v = r.value;
    d->frame([&] { BTN_horz_slider(hx, hy, hw, r.colour, 0, 10, &v, 0, "Lo|Hi", "Cap"); });
    const quad_extent fill = extent_of(d->trace(), bar_rect(8));
    EXPECT_EQ(fill.found, r.filled) << r.colour << " " << r.value;
    if (fill.found) {
      EXPECT_FLOAT_EQ(fill.left, hx) << r.value;
      EXPECT_FLOAT_EQ(fill.width(), r.width) << r.value;
      EXPECT_EQ(d->trace().quads.back().col, r.colour);
    }
    bool caption = false;
    for (const OGL_string_call& t : strings_in(48))
      caption = caption || (t.text == "Cap" && t.x == hx + hw / 2 && t.y == hy + 15 && t.just == just_centre);
    EXPECT_TRUE(caption);
  }
}

}  // namespace
