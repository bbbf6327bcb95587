#include "core/xtim.h"
#include <atomic>
#include <cmath>
#include <cstring>
#include <ctime>
#include <iomanip>
#include "core/globs.h"
#include "core/utl_localtime.h"
#include "platform/plat_clock.h"

xtim_frame_hooks g_xtim_frame_hooks;
xtim_class xtim;

static std::atomic<uint64_t (*)()> clock_source{PLAT_microseconds};

void xtim_set_clock(uint64_t (*now_us)()) { clock_source.store(now_us ? now_us : PLAT_microseconds); }

static const int32_t days_in_month[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Frame durations are clamped into this range: a stalled frame does not make
// simulated time leap, a very fast one still moves it.
static const float k_min_dt = 0.0010001f;
static const float k_max_dt = 0.050251257f;

// The system's double-click interval, in seconds (the desktop's usual 30 ticks).
static const float k_double_click = 30.0f / 60.0f;

// The nine rate-flag intervals, and the flags they drive.
static const float k_rates[9] = {10.0f, 5.0f, 2.0f, 1.0f, 0.5f, 0.2f, 0.1f, 0.05f, 0.025f};
static int32_t xtim_class::*const sim_flags[9] = {
    &xtim_class::sim_fire01, &xtim_class::sim_fire02, &xtim_class::sim_fire05,
    &xtim_class::sim_fire1,  &xtim_class::sim_fire2,  &xtim_class::sim_fire5,
    &xtim_class::sim_fire10, &xtim_class::sim_fire20, &xtim_class::sim_fire40};
static int32_t xtim_class::*const act_flags[9] = {
    &xtim_class::act_fire01, &xtim_class::act_fire02, &xtim_class::act_fire05,
    &xtim_class::act_fire1,  &xtim_class::act_fire2,  &xtim_class::act_fire5,
    &xtim_class::act_fire10, &xtim_class::act_fire20, &xtim_class::act_fire40};

// What the update keeps from one frame to the next outside the record.
struct frame_state {
  bool started = false;
  double start_time = 0;
  float last_time_FM = 0, last_time_UI = 0;
  float sim_ot[9] = {}, act_ot[9] = {};
  bool have_prev_locl = false;
  float prev_locl_time = 0;
  float mx = 999.0f, my = 999.0f;
};
static frame_state fs;

static uint64_t old = 0;  // del_time's shared mark
static bool have_last_time = false;
static double last_time = 0;  // profile_chart's previous end-of-frame mark

void xtim_forget_frames() { fs = frame_state(); }

xtim_class::xtim_class() {
  memset((void*)this, 0, sizeof(*this));
  time_scale = 1.0f;
  smooth_dt = sim_dt = min_dt = max_dt = 0.02f;
  zulu_time = local_time = 43200.0f;
  day_of_year = 90.0f;
}

xtim_class::~xtim_class() { memset((void*)this, 0, sizeof(*this)); }

uint64_t xtim_class::microsecs() {
  static const uint64_t init_call = clock_source.load()();
  const uint64_t now = clock_source.load()();
  return now > init_call ? now - init_call : 0;
}

int32_t xtim_class::del_time(uint64_t* mark) {
  if (!mark) mark = &old;
  const uint64_t now = microsecs();
  const int32_t d = (int32_t)(uint32_t)(now - *mark);
  *mark = now;
  return d;
}

static float clamp_dt(float e) { return e < k_min_dt ? k_min_dt : (e > k_max_dt ? k_max_dt : e); }

// Brings t into [0, period] by whole periods (period itself stays).
static float wrap(float t, float period) {
  while (t < 0) t += period;
  while (t > period) t -= period;
  return t;
}

void xtim_class::xtim_update() {
  ++update_count;

  const double now_s = (double)microsecs() / 1000000.0;
  if (!fs.started) {
    fs.started = true;
    fs.start_time = now_s;
  }
  real_time = (float)(now_s - fs.start_time);

  // Frame step.
  const int cur_win = g_xtim_frame_hooks.cur_win ? g_xtim_frame_hooks.cur_win() : 0;
  const int consoles = g_xtim_frame_hooks.num_cons ? g_xtim_frame_hooks.num_cons() : 1;
  if (cur_win == 0 || consoles == 2) {
    const float e_raw = real_time - fs.last_time_FM;
    const float e = clamp_dt(e_raw);
    smooth_dt = 0.75f * smooth_dt + 0.25f * e;
    sim_dt = smooth_dt * time_scale;
    if (time_scale != 0) sim_dt = clamp_dt(sim_dt);
    const float b = smooth_dt;
    min_dt = std::min(e, (1 - b) * min_dt + b * b);
    max_dt = std::max(e, (1 - b) * max_dt + b * b);
  } else if (cur_win < 994 || cur_win > 999) {
    smooth_dt = sim_dt = clamp_dt(real_time - fs.last_time_UI);
  }
  fs.last_time_FM = fs.last_time_UI = real_time;

  // Rate flags, on simulated time before this frame's step, then on real time.
  for (int i = 0; i < 9; ++i) {
    this->*sim_flags[i] = 0;
    if (std::fabs(sim_time - fs.sim_ot[i]) > k_rates[i]) {
      this->*sim_flags[i] = 1;
      fs.sim_ot[i] = sim_time;
    }
  }
  for (int i = 0; i < 9; ++i) {
    this->*act_flags[i] = 0;
    if (std::fabs(real_time - fs.act_ot[i]) > k_rates[i]) {
      this->*act_flags[i] = 1;
      fs.act_ot[i] = real_time;
    }
  }

  // Mouse timing.
  const float now = real_time;
  mnw.held_quarter = mnw.mouse_held && now > mnw.last_press_time + 0.25f;
  mnw.held_second = mnw.mouse_held && now > mnw.last_press_time + 1.0f;
  mnw.double_click = mnw.mouse_down && mnw.last_press_time + k_double_click > now;
  mnw.short_click = mnw.mouse_up && mnw.last_press_time + 0.25f > now;
  if (mnw.mouse_down) {
    mnw.mouse_held = 1;
    mnw.last_activity_time = now;
    mnw.last_press_time = now;
    if (g_xtim_frame_hooks.unfocus) g_xtim_frame_hooks.unfocus();
  }
  if (mnw.mouse_up) {
    mnw.mouse_held = 0;
    mnw.held_quarter = 0;
  }
  if (std::fabs(mnw.mouse_x - fs.mx) > 0.5f || std::fabs(mnw.mouse_y - fs.my) > 0.5f) {
    mnw.last_activity_time = now;
    fs.mx = mnw.mouse_x;
    fs.my = mnw.mouse_y;
  }

  // Pulse.
  const float p = 0.8f + 0.2f * std::sin(15.0f * real_time);
  if (g_xtim_frame_hooks.pulse) g_xtim_frame_hooks.pulse(p);

  // Advance simulated time.
  sim_time_total += sim_dt;
  sim_time += sim_dt;
  zulu_time = wrap(zulu_time + sim_dt, 86400.0f);
  local_time = zulu_time;
  if (cycle_on) cycle_time = wrap(cycle_time + sim_dt, 3600.0f);

  // Calendar.
  const time_t t = time(nullptr);
  struct tm lt;
  if (UTL_time_to_local(t, lt)) {
    year = lt.tm_year - 100;
    month = lt.tm_mon + 1;
    day = lt.tm_mday;
  }

  // Follow the system clock.
  struct tm ut;
  if (time_scale != 0 && sync_to_system && gmtime_r(&t, &ut)) {
    const float y = (float)(ut.tm_hour * 3600 + ut.tm_min * 60 + ut.tm_sec);
    if (std::fabs(y - zulu_time) > 2.0f)
      zulu_time = y;
    else
      zulu_time = zulu_time * (1 - sim_dt) + y * sim_dt;
    local_time = zulu_time;
    int32_t doy = 0;
    for (int m = 0; m < ut.tm_mon && m < 12; ++m) doy += days_in_month[m];
    day_of_year = (float)(doy + ut.tm_mday - 1);
    if (local_time > 86400.0f) {
      local_time -= 86400.0f;
      day_of_year += 1;
    }
    if (local_time < 0) {
      local_time += 86400.0f;
      day_of_year -= 1;
    }
  }

  // Midnight roll-over of the day (a 360-day wrap, as the framework has it).
  if (!fs.have_prev_locl) {
    fs.have_prev_locl = true;
    fs.prev_locl_time = local_time;
  }
  if (fs.prev_locl_time > 86160.0f && local_time < 240.0f) day_of_year = std::trunc(day_of_year) + 1;
  if (fs.prev_locl_time < 240.0f && local_time > 86160.0f) day_of_year = std::trunc(day_of_year) - 1;
  while (day_of_year >= 360.0f) day_of_year -= 360.0f;
  while (day_of_year < 0) day_of_year += 360.0f;
  fs.prev_locl_time = local_time;
}

void xtim_class::current_month_day(int* m, int* d) {
  int month_idx = 0, before = 0;
  while (month_idx < 11 && before + days_in_month[month_idx] <= day_of_year) before += days_in_month[month_idx++];
  *m = month_idx;
  *d = (int)(day_of_year - (float)before) + 1;
}

void xtim_class::xtim_hrs_min_sec(float secs, float* hrs, float* min, float* sec) {
  const int h = (int)(secs / 3600.0f);
  const int m = (int)(secs / 60.0f) - h * 60;
  *hrs = (float)h;
  *min = (float)m;
  *sec = secs - (float)h * 3600.0f - (float)m * 60.0f;
}

float xtim_class::zulu_from_locl() { return local_time; }

float xtim_class::locl_from_zulu() { return zulu_time; }

void xtim_class::profile_chart(std::string name, int last) {
  if (!mnw.profile_on) return;
  const int32_t d = del_time(nullptr);
  xer_group g;
  // Fixed notation, and the log's own format put back afterwards, so the
  // marks read as numbers and later log lines are not affected.
  const std::ios_base::fmtflags flags = xer.flags();
  const std::streamsize precision = xer.precision();
  xer << std::fixed << std::setw(1) << std::setprecision(0) << name << "=" << std::setw(6) << std::setprecision(0)
      << d * 0.1 << " | ";
  if (last) {
    const double now = (double)microsecs() / 1000000.0;
    if (!have_last_time) {
      have_last_time = true;
      last_time = now;
    }
    const double total = now - last_time;
    last_time = now;
    xer << "   total: " << std::setw(5) << std::setprecision(3) << total << "\n";
  }
  xer.flags(flags);
  xer.precision(precision);
}
