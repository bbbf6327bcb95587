// The program clock: a microsecond counter, real time since the first frame,
// the smoothed and clamped frame step of simulated time, rate flags, the
// simulated time of day, the mouse-button timing and the pulsing colours.
// xtim_update runs once per frame on the main thread; the record is written
// only there.
#pragma once
#include <cstdint>
#include <string>

// The frame state the clock reads and the glow it drives belong to the window
// shell and the widget toolkit; the shell connects them at start-up. Unset,
// the clock runs as in a frame with no panel up and one console.
struct xtim_frame_hooks {
  int (*cur_win)() = nullptr;        // the sub-window in force (0 none, 994 to 999 the modal ones)
  int (*num_cons)() = nullptr;       // how many console windows stand
  void (*unfocus)() = nullptr;       // a click drops the text fields' keyboard focus
  void (*pulse)(float p) = nullptr;  // this frame's glow level, 0.6 to 1.0, for the pulsing colours
};
extern xtim_frame_hooks g_xtim_frame_hooks;

class xtim_class {
 public:
  // The starting values (noon, day 90, a 0.02 s step).
  xtim_class();
  // Clears the record at exit.
  ~xtim_class();

  // Microseconds since the first reading of the clock in the process. Any thread.
  static uint64_t microsecs();
  // Microseconds since the previous call with the same mark (low 32 bits),
  // storing the new reading in *mark; a null mark uses a shared one (main thread).
  static int32_t del_time(uint64_t* mark);
  // The per-frame update; called by the frame procedure after the events.
  void xtim_update();
  // Month from 0 and day of the month from 1 of day_of_year (0 to 364).
  void current_month_day(int* month, int* day);
  // Splits a count of seconds into whole hours, whole minutes and the rest.
  void xtim_hrs_min_sec(float secs, float* hrs, float* min, float* sec);
  // local_time.
  float zulu_from_locl();
  // zulu_time.
  float locl_from_zulu();
  // With profiling on (mnw.profile_on), logs "name=" and the tenths of a
  // millisecond since the previous mark; with last, also the frame's total
  // in seconds and ends the line.
  void profile_chart(std::string name, int last);

  int32_t update_count;
  int32_t year;   // local year minus 2000
  int32_t month;  // 1 to 12
  int32_t day;    // 1 to 31
  float time_scale;
  float smooth_dt;
  float sim_dt;
  float min_dt;
  float max_dt;
  float real_time;  // seconds since the first update
  float sim_time;
  float sim_time_total;
  float zulu_time;   // simulated universal time of day, seconds
  float cycle_time;  // position in a one-hour cycle, seconds
  float local_time;
  int32_t sync_to_system;
  float day_of_year;  // 0 for the first of January
  int32_t cycle_on;
  int32_t sim_fire01, sim_fire02, sim_fire05, sim_fire1, sim_fire2, sim_fire5, sim_fire10, sim_fire20, sim_fire40;
  int32_t act_fire01, act_fire02, act_fire05, act_fire1, act_fire2, act_fire5, act_fire10, act_fire20, act_fire40;
};

extern xtim_class xtim;

// Replaces the system's monotonic microsecond clock under the program clock
// (null restores it), so tests can move time without waiting. The
// replacement must never read below the system clock's value at the time of
// the first clock reading.
void xtim_set_clock(uint64_t (*now_us)());
// Forgets the per-frame state kept outside the record (start time, previous
// frame, rate-flag marks, previous mouse position), as at program start.
void xtim_forget_frames();
