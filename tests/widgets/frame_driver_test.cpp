// The frame driver itself: what it pushes reaches the frame's records as the
// platform would deliver it, the per-frame fields clear, and time moves only
// as told.
#include <gtest/gtest.h>
#include "core/xtim.h"
#include "platform/plat_events.h"
#include "shell/hl_event.h"
#include "widget_fixture.h"

namespace {

TEST_F(Widgets, DriverPressReachesTheMouseRecordWithYFlipped) {
  d->press(123, 456);
  mnw_struct seen;
  d->frame([&] { seen = mnw; });
  EXPECT_EQ(seen.mouse_down, 1);
  EXPECT_EQ(seen.mouse_held, 1);
  EXPECT_FLOAT_EQ(seen.mouse_x, 123);
  EXPECT_FLOAT_EQ(seen.mouse_y, 456);
  d->frame([&] { seen = mnw; });
  EXPECT_EQ(seen.mouse_down, 0);
  d->release(123, 456);
  d->frame([&] { seen = mnw; });
  EXPECT_EQ(seen.mouse_up, 1);
}

TEST_F(Widgets, DriverPerFrameFieldsClear) {
  d->wheel(3);
  int wheel = 0, cursor_next = -1, wheel_next = -1;
  d->frame([&] {
    wheel = mnw.wheel;
    mnw.cursor = 3;
  });
  EXPECT_EQ(wheel, 3);
  d->frame([&] {
    cursor_next = mnw.cursor;
    wheel_next = mnw.wheel;
  });
  EXPECT_EQ(cursor_next, 0);
  EXPECT_EQ(wheel_next, 0);
}

TEST_F(Widgets, DriverKeysReachTheFrame) {
  d->key(40, "\r");  // Return
  int down = 0;
  d->frame([&] { down = mnw.key_down; });
  EXPECT_EQ(down, 1);
  d->key_up(40);
  d->frame([&] { down = mnw.key_down; });
  EXPECT_EQ(down, 0);
}

TEST_F(Widgets, DriverClockMovesBySixtiethsAndWhenTold) {
  float t0 = 0, t1 = 0, t2 = 0;
  d->frame([&] { t0 = xtim.real_time; });
  d->frame([&] { t1 = xtim.real_time; });
  d->advance(2.5);
  d->frame([&] { t2 = xtim.real_time; });
  EXPECT_NEAR(t1 - t0, 1.0 / 60, 1e-3);
  EXPECT_NEAR(t2 - t1, 2.5 + 1.0 / 60, 1e-3);
}

TEST_F(Widgets, DriverCapturesEverySwap) {
  d->frame([] {});
  EXPECT_EQ(d->captures().size(), 1u);
  open_window(2);
  d->press(static_cast<int>(wins.win_x + 16), static_cast<int>(wins.win_y + wins.win_dy - 10));
  d->modal_frame([] {});
  EXPECT_EQ(d->captures().size(), 2u);  // the close swaps early
}

}  // namespace
