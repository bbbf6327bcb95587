#include <gtest/gtest.h>
#include <cmath>
#include <ctime>
#include <string>
#include "core/globs.h"
#include "core/xtim.h"
#include "platform/plat_clock.h"
#include "shell/cons.h"
#include "shell/wins.h"
#include "support/test_env.h"
#include "widgets/colr.h"
#include "widgets/focus.h"

namespace {

uint64_t fake_now = 0;
uint64_t fake_clock() { return fake_now; }

// Each test starts the clock afresh on a clock it moves by hand.
class Clock : public testing::Test {
 protected:
  void SetUp() override {
    fake_now = PLAT_microseconds() + 1000000;
    xtim_set_clock(fake_clock);
    xtim = xtim_class();
    xtim_forget_frames();
    mnw = mnw_struct();
    wins.cur_win = 0;
    cons.console_count = 1;
  }
  void TearDown() override {
    xtim_set_clock(nullptr);
    wins.cur_win = 0;
    cons.console_count = 0;
    mnw = mnw_struct();
  }
  // One frame that took secs seconds.
  void frame(double secs) {
    fake_now += (uint64_t)llround(secs * 1e6);
    xtim.xtim_update();
  }
};

const float k_lo = 0.0010001f, k_hi = 0.050251257f;

TEST_F(Clock, StartingValues) {
  EXPECT_EQ(xtim.update_count, 0);
  EXPECT_FLOAT_EQ(xtim.time_scale, 1.0f);
  EXPECT_FLOAT_EQ(xtim.smooth_dt, 0.02f);
  EXPECT_FLOAT_EQ(xtim.sim_dt, 0.02f);
  EXPECT_FLOAT_EQ(xtim.zulu_time, 43200.0f);
  EXPECT_FLOAT_EQ(xtim.local_time, 43200.0f);
  EXPECT_FLOAT_EQ(xtim.day_of_year, 90.0f);
  EXPECT_EQ(xtim.sync_to_system, 0);
  EXPECT_EQ(mnw.profile_on, 0);
}

TEST_F(Clock, MicrosecondsAndStopWatch) {
  const uint64_t t0 = xtim_class::microsecs();
  fake_now += 2500;
  EXPECT_EQ(xtim_class::microsecs() - t0, 2500u);
  uint64_t mark = xtim_class::microsecs();
  fake_now += 777;
  EXPECT_EQ(xtim_class::del_time(&mark), 777);
  EXPECT_EQ(xtim_class::del_time(&mark), 0);
  EXPECT_EQ(mark, xtim_class::microsecs());
}

TEST_F(Clock, FirstFrameClampsAndSmooths) {
  frame(0);
  EXPECT_EQ(xtim.update_count, 1);
  EXPECT_FLOAT_EQ(xtim.real_time, 0.0f);
  EXPECT_NEAR(xtim.smooth_dt, 0.75f * 0.02f + 0.00025002498f, 1e-7);
  EXPECT_NEAR(xtim.sim_dt, xtim.smooth_dt, 1e-7);
  const float b = xtim.smooth_dt;
  EXPECT_NEAR(xtim.min_dt, std::min(k_lo, (1 - b) * 0.02f + b * b), 1e-7);
  EXPECT_NEAR(xtim.max_dt, std::max(k_lo, (1 - b) * 0.02f + b * b), 1e-7);
  EXPECT_NEAR(xtim.sim_time, xtim.sim_dt, 1e-7);
}

TEST_F(Clock, RealTimeFollowsTheClockAndTheStepStaysInRange) {
  frame(0);
  frame(1.0);  // a stalled frame
  EXPECT_NEAR(xtim.real_time, 1.0f, 1e-5);
  EXPECT_LE(xtim.sim_dt, k_hi);
  for (int i = 0; i < 50; ++i) frame(1.0);
  EXPECT_NEAR(xtim.sim_dt, k_hi, 1e-6);
  EXPECT_NEAR(xtim.real_time, 51.0f, 1e-3);
  for (int i = 0; i < 100; ++i) frame(0.0001);  // very fast frames
  EXPECT_GE(xtim.sim_dt, k_lo);
  EXPECT_NEAR(xtim.sim_dt, k_lo, 1e-6);
  EXPECT_GE(xtim.max_dt, xtim.min_dt);
}

TEST_F(Clock, SteadyFramesConvergeOnTheirDuration) {
  for (int i = 0; i < 200; ++i) frame(0.025);
  EXPECT_NEAR(xtim.smooth_dt, 0.025f, 1e-5);
  EXPECT_NEAR(xtim.sim_dt, 0.025f, 1e-5);
  EXPECT_NEAR(xtim.sim_time_total, xtim.sim_time, 1e-4);
}

TEST_F(Clock, TimeScaleZeroStopsSimulatedTimeOnly) {
  xtim.time_scale = 0;
  xtim.sync_to_system = 1;  // skipped while simulated time stands still
  int act_fired = 0, sim_fired = 0;
  for (int i = 0; i < 100; ++i) {
    frame(0.03);
    act_fired += xtim.act_fire40;
    sim_fired += xtim.sim_fire40 + xtim.sim_fire01;
  }
  EXPECT_FLOAT_EQ(xtim.sim_dt, 0.0f);
  EXPECT_FLOAT_EQ(xtim.sim_time, 0.0f);
  EXPECT_FLOAT_EQ(xtim.zulu_time, 43200.0f);
  EXPECT_NEAR(xtim.real_time, 2.97f, 1e-3);
  EXPECT_GT(act_fired, 50);
  EXPECT_EQ(sim_fired, 0);
}

TEST_F(Clock, AlertKeepsTheStepAndOtherPanelsUseTheRawFrameTime) {
  for (int i = 0; i < 20; ++i) frame(0.03);
  const float before = xtim.sim_dt;
  wins.cur_win = 994;
  frame(0.5);
  frame(0.001);
  EXPECT_FLOAT_EQ(xtim.sim_dt, before);
  wins.cur_win = 2;  // a panel: no smoothing, no time scale
  xtim.time_scale = 0;
  frame(0.0123);
  EXPECT_NEAR(xtim.sim_dt, 0.0123f, 1e-5);
  EXPECT_NEAR(xtim.smooth_dt, 0.0123f, 1e-5);
  frame(0.2);
  EXPECT_FLOAT_EQ(xtim.sim_dt, k_hi);
  // A second console makes every frame step like the main window's.
  cons.console_count = 2;
  xtim.time_scale = 1;
  const float smooth = xtim.smooth_dt;
  frame(0.02);
  EXPECT_NEAR(xtim.smooth_dt, 0.75f * smooth + 0.25f * 0.02f, 1e-6);
}

TEST_F(Clock, RateFlagsFireAtTheirIntervals) {
  int fired10 = 0, fired01 = 0;
  frame(0);
  for (int i = 0; i < 100; ++i) {  // 3 seconds of real time
    frame(0.03);
    fired10 += xtim.act_fire10;
    fired01 += xtim.act_fire01;
  }
  EXPECT_GE(fired10, 20);  // every frame after more than 0.1 s
  EXPECT_LE(fired10, 30);
  EXPECT_EQ(fired01, 0);  // not yet 10 s
}

TEST_F(Clock, MouseClicksHoldsAndFocus) {
  frame(0);
  focus_id = 7;
  mnw.mouse_down = 1;
  frame(0.05);
  mnw.mouse_down = 0;
  EXPECT_EQ(mnw.mouse_held, 1);
  EXPECT_EQ(focus_id, 0);
  EXPECT_FLOAT_EQ(mnw.last_press_time, xtim.real_time);
  const float pressed = xtim.real_time;

  frame(0.1);
  EXPECT_EQ(mnw.held_quarter, 0);
  frame(0.2);  // 0.3 s after the press
  EXPECT_EQ(mnw.held_quarter, 1);
  EXPECT_EQ(mnw.held_second, 0);
  frame(0.8);
  EXPECT_EQ(mnw.held_second, 1);

  mnw.mouse_up = 1;  // released long after the press: not a short click
  frame(0.02);
  mnw.mouse_up = 0;
  EXPECT_EQ(mnw.short_click, 0);
  EXPECT_EQ(mnw.mouse_held, 0);
  EXPECT_EQ(mnw.held_quarter, 0);
  EXPECT_FLOAT_EQ(mnw.last_press_time, pressed);

  mnw.mouse_down = 1;  // a press, then a release 0.1 s later
  frame(0.02);
  mnw.mouse_down = 0;
  EXPECT_EQ(mnw.double_click, 0);
  mnw.mouse_up = 1;
  frame(0.1);
  mnw.mouse_up = 0;
  EXPECT_EQ(mnw.short_click, 1);
  mnw.mouse_down = 1;  // a second press 0.2 s after the first
  frame(0.1);
  mnw.mouse_down = 0;
  EXPECT_EQ(mnw.double_click, 1);
}

TEST_F(Clock, MouseMovementIsActivity) {
  frame(0);
  mnw.mouse_x = 100;
  frame(1.0);
  EXPECT_FLOAT_EQ(mnw.last_activity_time, xtim.real_time);
  const float moved = xtim.real_time;
  mnw.mouse_x = 100.4f;  // less than half a unit
  frame(1.0);
  EXPECT_FLOAT_EQ(mnw.last_activity_time, moved);
}

TEST_F(Clock, PulsingColours) {
  frame(0.1);
  frame(0.1);
  const float p = 0.8f + 0.2f * std::sin(15.0f * xtim.real_time);
  EXPECT_NEAR(colr.pulse, p, 1e-5);
  EXPECT_NEAR(colr.col[89][0], p, 1e-5);
  EXPECT_NEAR(colr.col[90][1], 0.5f * p, 1e-5);
  EXPECT_NEAR(colr.col[93][1], 0.8f * p, 1e-5);
  EXPECT_NEAR(colr.col[94][2], 0.2f * p, 1e-5);
  EXPECT_GE(colr.pulse, 0.6f);
  EXPECT_LE(colr.pulse, 1.0f);
}

TEST_F(Clock, MidnightWrapsTheTimeOfDayAndTheDay) {
  wins.cur_win = 994;  // keeps the step we set
  xtim.sim_dt = 0.02f;
  xtim.zulu_time = 86300.0f;
  frame(0.02);
  xtim.zulu_time = 86400.0f - 0.01f;
  xtim.day_of_year = 359.0f;
  frame(0.02);
  EXPECT_NEAR(xtim.zulu_time, 0.01f, 0.01f);
  EXPECT_FLOAT_EQ(xtim.local_time, xtim.zulu_time);
  EXPECT_FLOAT_EQ(xtim.day_of_year, 0.0f);
  // And back across midnight.
  xtim.sim_dt = -0.02f;
  xtim.zulu_time = 0.01f;
  frame(0.02);
  EXPECT_GT(xtim.zulu_time, 86399.0f);
  EXPECT_FLOAT_EQ(xtim.day_of_year, 359.0f);
}

TEST_F(Clock, HourCycleAndCalendar) {
  wins.cur_win = 994;
  xtim.sim_dt = 0.05f;
  xtim.cycle_on = 1;
  xtim.cycle_time = 3599.98f;
  frame(0.02);
  EXPECT_NEAR(xtim.cycle_time, 0.03f, 0.01f);
  const time_t t = time(nullptr);
  struct tm lt;
  localtime_r(&t, &lt);
  EXPECT_EQ(xtim.year, lt.tm_year - 100);
  EXPECT_EQ(xtim.month, lt.tm_mon + 1);
  EXPECT_EQ(xtim.day, lt.tm_mday);
}

TEST_F(Clock, SystemSynchronisation) {
  xtim.sync_to_system = 1;
  xtim.zulu_time = 10.0f;
  frame(0.02);
  const time_t t = time(nullptr);
  struct tm ut;
  gmtime_r(&t, &ut);
  const float y = (float)(ut.tm_hour * 3600 + ut.tm_min * 60 + ut.tm_sec);
  const int before[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  EXPECT_NEAR(xtim.zulu_time, y, 3.0f);
  EXPECT_NEAR(xtim.day_of_year, (float)(before[ut.tm_mon] + ut.tm_mday - 1), 1.0f);
}

TEST_F(Clock, MonthDayAndHoursMinutesSeconds) {
  const struct {
    float doy;
    int month, day;
  } cases[] = {{0, 0, 1}, {30, 0, 31}, {31, 1, 1}, {58, 1, 28}, {59, 2, 1}, {364, 11, 31}, {200.7f, 6, 20}};
  for (const auto& c : cases) {
    xtim.day_of_year = c.doy;
    int m = -1, d = -1;
    xtim.current_month_day(&m, &d);
    EXPECT_EQ(m, c.month) << c.doy;
    EXPECT_EQ(d, c.day) << c.doy;
  }
  float h, m, s;
  xtim.xtim_hrs_min_sec(3725.0f, &h, &m, &s);
  EXPECT_FLOAT_EQ(h, 1);
  EXPECT_FLOAT_EQ(m, 2);
  EXPECT_FLOAT_EQ(s, 5);
  xtim.xtim_hrs_min_sec(-3725.0f, &h, &m, &s);
  EXPECT_FLOAT_EQ(h, -1);
  EXPECT_FLOAT_EQ(m, -2);
  EXPECT_FLOAT_EQ(s, -5);
  xtim.zulu_time = 1;
  xtim.local_time = 2;
  EXPECT_FLOAT_EQ(xtim.zulu_from_locl(), 2);
  EXPECT_FLOAT_EQ(xtim.locl_from_zulu(), 1);
}

TEST_F(Clock, ProfilingWritesOnlyWhenSwitchedOn) {
  const std::string path = test_scratch_dir("profile") + "log.txt";
  {
    std::lock_guard<std::recursive_mutex> l(xer_mutex());
    xer.open(path);
  }
  xtim_class::del_time(nullptr);
  fake_now += 1000;
  xtim.profile_chart("init", 0);  // off: writes nothing, leaves the mark alone
  fake_now += 500;
  EXPECT_EQ(xtim_class::del_time(nullptr), 1500);

  mnw.profile_on = 1;
  fake_now += 2000;
  xtim.profile_chart("event", 0);
  fake_now += 12340;
  xtim.profile_chart("finish", 1);
  fake_now += 16000;
  xtim.profile_chart("finish", 1);
  xer << 1.23456789 << "\n";  // the log's own number format is untouched
  {
    std::lock_guard<std::recursive_mutex> l(xer_mutex());
    xer.close();
    xer.clear();
  }
  const std::string text = test_read_file(path);
  EXPECT_EQ(text.find("init"), std::string::npos);
  EXPECT_NE(text.find("event=   200 | finish=  1234 |    total: 0.000\n"), std::string::npos) << text;
  EXPECT_NE(text.find("finish=  1600 |    total: 0.016\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\n1.23457\n"), std::string::npos) << text;
}

}  // namespace
