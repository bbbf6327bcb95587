// The hover-help bubble and the cursor pass. The system cursor never shows in
// a screenshot, so its calls are counted by a window system that is the real
// one but for the cursor.
#include "click_fixture.h"
#include "platform/plat_video.h"

namespace {

struct cursor_calls {
  int hides = 0, shows = 0, arrows = 0;
};
cursor_calls g_calls;

class Help : public Clicks {
 protected:
  void SetUp() override {
    Clicks::SetUp();
    counting_ = PLAT_video();
    counting_.cursor_hide = [] { ++g_calls.hides; };
    counting_.cursor_show = [] { ++g_calls.shows; };
    counting_.cursor_arrow = [] { ++g_calls.arrows; };
    real_ = PLAT_video_use(&counting_);
    g_calls = {};
  }
  void TearDown() override {
    PLAT_video_use(real_);
    Clicks::TearDown();
  }
  // One frame whose application sets the help text and the cursor id.
  void frame_with(const std::string& text, int cursor = 0) {
    d->frame([&] {
      help.text = text;
      mnw.cursor = cursor;
    });
  }
  quad_extent bubble() const { return extent_of(d->trace(), panel_rect(17)); }

  PLAT_video_backend counting_{};
  const PLAT_video_backend* real_ = nullptr;
};

TEST_F(Help, BubbleAfterOneSecondAtRest) {
  d->move(400, 300);
  frame_with("Some help");
  d->advance(0.99 - 1 / 60.0);
  frame_with("Some help");
  EXPECT_FALSE(bubble().found);
  EXPECT_TRUE(help.text.empty());
  d->advance(0.02 - 1 / 60.0);
  frame_with("Some help");
  EXPECT_TRUE(bubble().found);
  EXPECT_TRUE(help.text.empty());
  const auto s = strings_in(52);
  ASSERT_EQ(s.size(), 1u);
  EXPECT_EQ(s[0].text, "Some help");
  // A frame without a widget's text has no bubble.
  frame_with("");
  EXPECT_FALSE(bubble().found);
}

TEST_F(Help, BubbleHeightFollowsTheTextLength) {
  const struct {
    size_t bytes;
    float h;
  } cases[] = {{10, 60}, {249, 60}, {250, 70}, {1399, 290}, {1400, 300}, {3000, 300}};
  d->move(600, 200);
  frame_with("");
  d->advance(2);
  for (const auto& c : cases) {
    frame_with(std::string(c.bytes, 'x'));
    const quad_extent e = bubble();
    ASSERT_TRUE(e.found) << c.bytes;
    // The panel reaches 14 below and 4 above the frame asked for, h + 20 high.
    EXPECT_FLOAT_EQ(e.height(), c.h + 20 + 14 + 4) << c.bytes;
    // Left of and above the mouse.
    EXPECT_FLOAT_EQ(e.left + 9, 600 - 415 - 10) << c.bytes;
    EXPECT_FLOAT_EQ(e.bottom + 14, 200 + 15 - 10) << c.bytes;
    const auto s = strings_in(52);
    ASSERT_EQ(s.size(), 1u);
    EXPECT_FLOAT_EQ(s[0].x, 600 - 415 + 3);
    EXPECT_FLOAT_EQ(s[0].y, 215 + c.h - 11);
  }
}

TEST_F(Help, BubbleStaysInsideTheWindow) {
  // Mouse positions in window units; with sub-window 2 the frame's edges are
  // checked in window units too.
  const struct {
    int window;
    int mx, my;
    float frame_left, frame_right, frame_top;  // -1: not checked
  } cases[] = {
      {0, 5, 590, 0, -1, 590},   {0, 810, 100, -1, 800, -1}, {0, 100, 5, 0, -1, -1},
      {2, 60, 590, 0, -1, 590},  {2, 812, 200, -1, 800, -1},
  };
  for (const auto& c : cases) {
    open_window(c.window);
    d->move(c.mx, c.my);
    d->modal_frame([] { help.text = "Edge"; });
    d->advance(2);
    d->modal_frame([] { help.text = "Edge"; });
    const quad_extent e = bubble();
    ASSERT_TRUE(e.found) << c.window << " " << c.mx << "," << c.my;
    const float ox = wins.win_x, oy = wins.win_y;
    if (c.frame_left >= 0) {
      EXPECT_FLOAT_EQ(e.left + 9 + ox, c.frame_left) << c.window << " " << c.mx;
    }
    if (c.frame_right >= 0) {
      EXPECT_FLOAT_EQ(e.right - 9 + ox, c.frame_right) << c.window << " " << c.mx;
    }
    if (c.frame_top >= 0) {
      EXPECT_FLOAT_EQ(e.top - 4 + oy, c.frame_top) << c.window << " " << c.my;
    }
    EXPECT_TRUE(help.text.empty());
  }
  open_window(0);
}

TEST_F(Help, StartingAWindowEmptiesTheText) {
  help.text = "left over";
  open_window(2);
  EXPECT_TRUE(help.text.empty());
  open_window(0);
}

TEST_F(Help, IdleCursorHidesOnceAndComesBack) {
  d->move(400, 300);
  frame_with("");
  d->advance(10.5);
  frame_with("");
  EXPECT_EQ(g_calls.hides, 1);
  frame_with("");
  EXPECT_EQ(g_calls.hides, 1);
  EXPECT_EQ(g_calls.shows, 0);
  d->move(420, 300);
  frame_with("");
  EXPECT_EQ(g_calls.shows, 1);
  frame_with("");
  EXPECT_EQ(g_calls.shows, 1);
  EXPECT_EQ(g_calls.hides, 1);
}

TEST_F(Help, SubWindowsKeepTheCursor) {
  open_window(2);
  d->move(400, 300);
  d->modal_frame([] {});
  d->advance(11);
  d->modal_frame([] {});
  EXPECT_EQ(g_calls.hides, 0);
  open_window(0);
  // Dialog windows always have the arrow, even when a widget asks for a sprite.
  for (int w : {991, 992, 994, 999, 1000}) {
    g_calls = {};
    OS_mouse_showing = 1;
    int sprite = 0;
    d->frame([&] {
      mnw.cursor = 20;
      help.mouse_help_per_wind(w);
      sprite = extent_of(d->trace(), k_cursor_other.r).found;
      mnw.cursor = 0;
    });
    const bool arrow = w >= 992 && w <= 999;
    EXPECT_EQ(g_calls.hides, arrow ? 0 : 1) << w;
    EXPECT_EQ(sprite, arrow ? 0 : 1) << w;
  }
  open_window(0);
}

TEST_F(Help, ResizeCornerHasTheArrow) {
  const struct {
    int x, y, arrow;
  } cases[] = {{785, 0, 1}, {800, 15, 1}, {792, 8, 1}, {784, 8, 0}, {792, 16, 0}};
  for (const auto& c : cases) {
    g_calls = {};
    OS_mouse_showing = 1;
    d->move(c.x, c.y);
    frame_with("", 20);
    EXPECT_EQ(g_calls.hides, c.arrow ? 0 : 1) << c.x << "," << c.y;
  }
}

TEST_F(Help, CursorSprites) {
  const struct {
    int id;
    bool held;
    atlas_rect r;
    int ox, oy;
  } cases[] = {
      {20, false, {168, 325, 198, 355}, 0, 0}, {5, false, {230, 328, 261, 357}, -4, 1},
      {18, false, {328, 325, 358, 355}, 0, 0}, {18, true, {360, 325, 390, 355}, 0, 0},
      {19, true, {360, 293, 390, 323}, 0, 0},  {13, false, {487, 309, 506, 333}, 1, -5},
      {3, false, {199, 328, 261, 357}, 0, 0},  {99, false, {168, 325, 198, 355}, 0, 0},
  };
  const int mx = 401, my = 303;
  for (const auto& c : cases) {
    if (c.held) {
      d->press(mx, my);
    } else {
      d->release(mx, my);
    }
    frame_with("", c.id);
    const quad_extent e = extent_of(d->trace(), c.r);
    ASSERT_TRUE(e.found) << c.id;
    const float w = c.r.width(), h = c.r.height();
    EXPECT_FLOAT_EQ(e.width(), w) << c.id;
    EXPECT_FLOAT_EQ(e.height(), h) << c.id;
    EXPECT_FLOAT_EQ(e.left, mx - c.ox - std::floor(w / 2)) << c.id;
    EXPECT_FLOAT_EQ(e.bottom, my - c.oy - std::floor(h / 2)) << c.id;
    // The last quad is the sprite, atlas x along screen x and y along y.
    const OGL_quad_call& q = d->trace().quads.back();
    EXPECT_FLOAT_EQ(q.corner[0][2] * k_atlas_size, c.r.u0) << c.id;
    EXPECT_FLOAT_EQ(q.corner[0][3] * k_atlas_size, c.r.v0) << c.id;
    EXPECT_FLOAT_EQ(q.corner[2][3] * k_atlas_size, c.r.v1) << c.id;
  }
  d->release(mx, my);
  frame_with("");
  EXPECT_EQ(g_calls.hides, 1);
  EXPECT_EQ(g_calls.shows, 1);
}

TEST_F(Help, HandingTheCursorBackSetsTheArrowOnce) {
  d->move(400, 300);
  frame_with("", 1);
  EXPECT_EQ(g_calls.arrows, 0);
  EXPECT_EQ(mouse_was_plugin, 1);
  frame_with("", 0);
  EXPECT_EQ(g_calls.arrows, 1);
  frame_with("", 0);
  EXPECT_EQ(g_calls.arrows, 1);
  EXPECT_EQ(g_calls.hides + g_calls.shows, 0);
}

}  // namespace
