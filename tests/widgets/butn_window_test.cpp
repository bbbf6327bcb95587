// Close boxes, window layouts, tabs and the direction dial, driven by pushed
// input through real frames.
#include <gtest/gtest.h>
#include "shell/hl_event.h"
#include "widgets/butn.h"
#include "widget_fixture.h"

namespace {

// The press lands in the frame procedure of one pass and the widget sees it in
// the next pass of the modal loop, as in the program.
TEST_F(Widgets, CloseBoxes) {
  open_window(998);  // no shell close boxes: the call alone decides
  const float w = wins.win_dx, h = wins.win_dy;
  const struct {
    float x, y;
    int clicked;
    size_t boxes;
  } cases[] = {
      {7, h - 19, 1, 1},       {25, h - 1, 1, 1},      {26, h - 10, 0, 2},     {16, h - 20, 0, 2},
      {w - 25, h - 19, 1, 2},  {w - 7, h - 1, 1, 2},   {w - 6, h - 10, 0, 2},  {w / 2, h - 10, 0, 2},
  };
  for (const auto& c : cases) {
    d->press(static_cast<int>(wins.win_x + c.x), static_cast<int>(wins.win_y + c.y));
    d->modal_frame([] {});
    int clicked = -1;
    d->modal_frame([&] { clicked = BTN_zap_boxes(0); });
    EXPECT_EQ(clicked, c.clicked) << c.x << "," << c.y;
    EXPECT_EQ(d->trace().quads.size(), c.boxes) << c.x << "," << c.y;
    d->release(static_cast<int>(wins.win_x + c.x), static_cast<int>(wins.win_y + c.y));
    d->modal_frame([] {});
  }
  // Without a press nothing is clicked; the pressed look is the lower box.
  d->modal_frame([] { BTN_zap_boxes(1); });
  ASSERT_EQ(d->trace().quads.size(), 2u);
  EXPECT_FLOAT_EQ(d->trace().quads[0].corner[0][3] * k_atlas_size, 197);
  EXPECT_EQ(check_quads_against_picture(), 2 * 18 * 18);
}

TEST_F(Widgets, AClickOnACloseBoxThroughTheShellClosesTheSubWindow) {
  open_window(2);
  d->modal_frame([] { BTN_fillwin(1, 24); });
  const float top = wins.win_y + wins.win_dy;
  d->press(static_cast<int>(wins.win_x + wins.win_dx - 10), static_cast<int>(top - 10));
  d->modal_frame([] { BTN_fillwin(1, 24); });
  EXPECT_EQ(wins.cur_win, 0);
  // The pressed boxes are shown in a swap of their own before the frame's.
  ASSERT_EQ(d->captures().size(), 2u);
  const uint32_t p = d->captures()[0].pixel(50 + 700 - 16, 110 + 380 - 10);
  EXPECT_EQ(probe_atlas_colour(p >> 24, p >> 16, p >> 8).element, element("close box pressed"));
}

TEST_F(Widgets, Layouts) {
  open_window(998);
  const float w = wins.win_dx, h = wins.win_dy;
  float nx = 0, ny = 0;
  d->modal_frame([&] { BTN_subwin(5, 16, -1, -1, -1, -1, "", &nx, &ny); });
  // From (10, 10) to 10 short of the right edge and 28 + gap short of the top.
  EXPECT_FLOAT_EQ(nx, w - 10 + 10);
  EXPECT_FLOAT_EQ(ny, h - 28 - 5 + 10);
  const auto& q = d->trace().quads;
  EXPECT_FLOAT_EQ(q.front().corner[0][0], 10 - 9);
  EXPECT_FLOAT_EQ(q.front().corner[0][1], 10 - 14);
  EXPECT_FLOAT_EQ(q.back().corner[2][0], w - 10 + 9);
  EXPECT_FLOAT_EQ(q.back().corner[2][1], h - 28 - 5 + 4);

  // The title bar of a window spans h - 66 to h - 40.
  d->modal_frame([] { BTN_fillwin(1, 1); });
  int bar_quads = 0;
  for (const auto& quad : d->trace().quads)
    if (quad.corner[1][3] * k_atlas_size == 513) {
      ++bar_quads;
      EXPECT_FLOAT_EQ(quad.corner[0][1], h - 66);
      EXPECT_FLOAT_EQ(quad.corner[1][1], h - 40);
    }
  EXPECT_GT(bar_quads, 2);
  // Any other type puts a panel of that style inside.
  d->modal_frame([] { BTN_fillwin(0, 22); });
  EXPECT_FLOAT_EQ(d->trace().quads.back().corner[2][0], w - 10 + 6);
  EXPECT_FLOAT_EQ(d->trace().quads.back().corner[2][1], h - 30 + 4);
}

TEST_F(Widgets, TabHitBoxLeansLeft) {
  const float cx = 53, cy = 600 - 38;
  const struct {
    float dx;
    int selects;
  } cases[] = {{45, 0}, {40, 1}, {-45, 1}, {-50, 1}, {-51, 0}};
  for (const auto& c : cases) {
    int value = 3, clicked = -1;
    d->press(static_cast<int>(cx + c.dx), static_cast<int>(cy + 13));
    d->frame([&] { clicked = BTN_tab(0, 0, &value, 7, "Tab"); });
    EXPECT_EQ(clicked, c.selects) << c.dx;
    EXPECT_EQ(value, c.selects ? 7 : 3) << c.dx;
    // The look follows the value after the click, in the same frame.
    EXPECT_FLOAT_EQ(d->trace().quads.at(0).corner[0][3] * k_atlas_size, c.selects ? 486 : 459) << c.dx;
    d->release(static_cast<int>(cx + c.dx), static_cast<int>(cy));
    d->frame([] {});
  }
  int value = 0;
  d->frame([&] { BTN_tab(2, 1, &value, 0, "Tab"); });
  EXPECT_FLOAT_EQ(d->trace().quads.at(0).corner[0][0], 88 * 2 + 53 - 49);
  EXPECT_FLOAT_EQ(d->trace().quads.at(0).corner[0][1], 600 - 38 - 32 - 13);
  EXPECT_GT(check_quads_against_picture(), 90 * 20);
}

TEST_F(Widgets, DialDrag) {
  // Straight up from the centre is 0, clockwise positive; a heading just
  // short of a turn rounds to exactly 360 and stays there.
  const struct {
    float x;
    int mx, my;
    float heading;
  } cases[] = {
      {400, 400, 320, 0}, {400, 420, 300, 90}, {400, 400, 280, 180}, {400, 380, 300, 270},
      {1e-6f, 0, 320, 360},
  };
  for (const auto& c : cases) {
    float heading = 45;
    d->press(c.mx, c.my);
    d->frame([&] { plot_dir(c.x, 300, &heading, 1); });
    EXPECT_FLOAT_EQ(heading, c.heading) << c.mx << "," << c.my;
    d->release(c.mx, c.my);
    d->frame([] {});
  }
  // A drag to -10 degrees reads 350.
  float heading = 0;
  d->press(400 - 5, 300 + 28);
  d->frame([&] { plot_dir(400, 300, &heading, 1); });
  EXPECT_NEAR(heading, 350, 0.2);
  // Outside the 60 by 60 box, or with the button up, nothing changes.
  d->frame([&] { plot_dir(400, 300, &heading, 1); });
  d->release(395, 328);
  d->frame([] {});
  d->press(431, 300);
  heading = 12;
  d->frame([&] { plot_dir(400, 300, &heading, 1); });
  EXPECT_FLOAT_EQ(heading, 12);
  d->release(431, 300);
  d->frame([] {});
  heading = 360;
  d->frame([&] { plot_dir(400, 300, &heading, 1); });
  EXPECT_FLOAT_EQ(heading, 360);
}

TEST_F(Widgets, DialNeedleTurnsClockwise) {
  float heading = 90;
  d->frame([&] { plot_dir(400, 300, &heading, 1); });
  const auto& needle = d->trace().quads.at(0);
  // Its top end (corners 1 and 2) now points right.
  EXPECT_NEAR(needle.corner[1][0], 400 + 21, 1e-3);
  EXPECT_NEAR(needle.corner[2][0], 400 + 21, 1e-3);
  EXPECT_NEAR(needle.corner[1][1], 300 + 5, 1e-3);
  const auto& face = d->trace().quads.at(1);
  EXPECT_FLOAT_EQ(face.corner[0][0], 400 - 28);
  EXPECT_FLOAT_EQ(face.corner[0][1], 300 - 29);
  EXPECT_FLOAT_EQ(face.corner[0][2] * k_atlas_size, 178);
  heading = 0;
  d->frame([&] { plot_dir(400, 300, &heading, 0); });
  EXPECT_FLOAT_EQ(d->trace().quads.at(0).corner[0][3] * k_atlas_size, 315);
  EXPECT_GT(check_quads_against_picture(), 56 * 58 - 700);  // the heading is written over the face
}

}  // namespace
