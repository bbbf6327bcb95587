// A user of the installer in the end-to-end tests: the real program started
// from the build tree with a home folder, a temporary folder and two drives of
// its own, clicked and typed at with xdotool. The screens are told apart by
// the step list at the left, whose current step is drawn in another colour
// and face; what an install left is checked with md5sum against the set's
// own list. Its frames can be timed from outside, by a library preloaded into
// it that logs each swap.
#pragma once
#include <gtest/gtest.h>
#include <glob.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include "e2e_discs.h"
#include "e2e_run.h"

namespace {

constexpr int k_steps = 6;
// Step "Finish" of the list; -1 for a screen that is not in it.
constexpr int k_finish = 5, k_no_step = -1;
// The two cells the user picks (column, row) and the one left out.
const int k_cells[2][2] = {{5, 13}, {19, 12}};
const char k_cell_left_out[] = "# cell 35 5";

// The first path that pattern matches, or "".
inline std::string first_match(const std::string& pattern) {
  glob_t g;
  std::string out;
  if (glob(pattern.c_str(), 0, nullptr, &g) == 0 && g.gl_pathc > 0) out = g.gl_pathv[0];
  globfree(&g);
  return out;
}

// Waits at most seconds for pred, looking every 50 ms.
template <class Pred>
bool wait_until(Pred pred, int seconds = 60) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return pred();
}

// The clock the frame probe stamps the swaps with, in nanoseconds.
inline long long monotonic_ns() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// The probe writes one record of 20 bytes a swap or a button release.
constexpr int k_frame_record = 20;

// How many records the probe logged so far.
inline int frames_logged(const std::string& log) {
  struct stat st;
  return stat(log.c_str(), &st) == 0 ? static_cast<int>(st.st_size / k_frame_record) : 0;
}

// Record n (from 0) of a probe's log (monotonic_ns); 0 when there is none.
inline long long logged_at(const std::string& log, int n) {
  const std::string all = test_read_file(log);
  const size_t at = static_cast<size_t>(n) * k_frame_record;
  return n >= 0 && at + k_frame_record <= all.size() ? std::atoll(all.c_str() + at) : 0;
}

// The frames of a stretch of time as the probe saw them.
struct frame_span {
  int frames = 0;           // swaps within the stretch
  double seconds = 0;       // its length
  double longest_ms = 0;    // the longest time without a swap
  double longest_at_s = 0;  // where that time began, from the stretch's start
  double fps() const { return seconds > 0 ? frames / seconds : 0; }
};

// The swaps logged between from and to (monotonic_ns). The stretch's ends
// count as swaps, so a window that swapped not at all shows the whole
// stretch as its longest frame.
inline frame_span frames_between(const std::string& log, long long from, long long to) {
  frame_span out;
  out.seconds = (to - from) / 1e9;
  std::istringstream in(test_read_file(log));
  long long last = from;
  const auto gap = [&](long long at) {
    const double ms = (at - last) / 1e6;
    if (ms > out.longest_ms) {
      out.longest_ms = ms;
      out.longest_at_s = (last - from) / 1e9;
    }
    last = at;
  };
  for (std::string line; std::getline(in, line);) {
    const long long at = std::atoll(line.c_str());
    if (at <= from || at > to) continue;
    ++out.frames;
    gap(at);
  }
  gap(to);
  return out;
}

// A hand on the mouse that never rests: the pointer goes round the map and
// the row of buttons below it, a step every period. One xdotool takes the
// moves from a socket, as a new xdotool a move costs the X server more than
// a period, and tells the pointer's place after each: a move has been made
// once it answered. Each move is made holding hand, which the user's clicks
// hold too, so no move comes between a click's own move and its button.
class restless_pointer {
 public:
  restless_pointer(const std::string& win, std::mutex& hand, int period_ms)
      : win_(win), hand_(hand), period_(period_ms) {
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(sv[1], 0);
      dup2(sv[1], 1);
      // Its answers go out line by line, not when a buffer fills.
      execlp("stdbuf", "stdbuf", "-oL", "xdotool", "-", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(sv[1]);
    fd_ = sv[0];
    if (pid_ > 0) thread_ = std::thread([this] { run(); });
  }
  ~restless_pointer() { stop(); }
  restless_pointer(const restless_pointer&) = delete;
  restless_pointer& operator=(const restless_pointer&) = delete;

  // Stops the moves and the xdotool; how many moves were made.
  int stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) {
      close(fd_);  // the end of its commands ends it
      fd_ = -1;
    }
    if (pid_ > 0) {
      if (!wait_until([&] { return waitpid(pid_, nullptr, WNOHANG) == pid_; }, 5)) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
      }
      pid_ = -1;
    }
    return moves_;
  }
  // Whether every move was answered so far.
  bool ok() const { return fd_ >= 0 && pid_ > 0 && !failed_; }
  int moves() const { return moves_; }

 private:
  // The round in interface coordinates (y up): the map's corners crosswise,
  // then the buttons' row, away from the step list.
  static constexpr int k_round[][2] = {{40, 23}, {760, 23}, {740, 160}, {260, 390}, {740, 390}, {260, 160}};
  static constexpr int k_step = 12;

  // The n-th point of the round, k_step apart.
  static void point(long n, int* x, int* y) {
    constexpr int legs = sizeof k_round / sizeof k_round[0];
    for (;;) {
      for (int i = 0; i < legs; ++i) {
        const int* a = k_round[i];
        const int* b = k_round[(i + 1) % legs];
        const int steps = std::max(std::abs(b[0] - a[0]), std::abs(b[1] - a[1])) / k_step;
        if (n < steps) {
          *x = a[0] + (b[0] - a[0]) * n / steps;
          *y = a[1] + (b[1] - a[1]) * n / steps;
          return;
        }
        n -= steps;
      }
    }
  }
  // One move and its answer.
  bool move(int x, int y) {
    const std::string cmd =
        "mousemove --window " + win_ + " " + std::to_string(x) + " " + std::to_string(600 - y) + " getmouselocation\n";
    if (send(fd_, cmd.data(), cmd.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(cmd.size())) return false;
    for (;;) {
      pollfd p = {fd_, POLLIN, 0};
      if (poll(&p, 1, 10000) != 1) return false;
      char buf[256];
      const ssize_t n = read(fd_, buf, sizeof buf);
      if (n <= 0) return false;
      if (std::memchr(buf, '\n', n)) return true;
    }
  }
  void run() {
    auto next = std::chrono::steady_clock::now();
    for (long n = 0; !stop_; ++n) {
      {
        std::lock_guard<std::mutex> held(hand_);
        if (stop_) break;
        int x, y;
        point(n, &x, &y);
        if (!move(x, y)) {
          failed_ = true;
          break;
        }
        ++moves_;
      }
      // A late move does not make the next ones come in a burst.
      next = std::max(next + period_, std::chrono::steady_clock::now());
      std::this_thread::sleep_until(next);
    }
  }

  std::string win_;
  std::mutex& hand_;
  std::chrono::milliseconds period_;
  pid_t pid_ = -1;
  int fd_ = -1;
  std::thread thread_;
  std::atomic<bool> stop_{false}, failed_{false};
  std::atomic<int> moves_{0};
};

// One run of the installer with the user's hands: clicks at interface
// coordinates of the 800 by 600 window (y up), typing, screenshots.
class installer_user {
 public:
  explicit installer_user(const std::string& dir)
      : dir_(dir), home_(dir + "home/"), tmp_(dir + "tmp/"), drive1_(dir + "drive1"), drive2_(dir + "drive2") {
    EXPECT_EQ(test_run("mkdir -p '" + home_ + ".config' '" + tmp_ + "'"), 0);
  }
  // The program first, then the drives it may have left mounted.
  ~installer_user() {
    if (held_.owns_lock()) held_.unlock();
    pointer_.reset();
    app_.reset();
    for (const std::string& d : {drive1_, drive2_}) test_run("fusermount -u -z '" + d + "' 2>/dev/null");
  }
  const std::string& home() const { return home_; }
  const std::string& drive1() const { return drive1_; }
  const std::string& drive2() const { return drive2_; }
  std::string dest() const { return home_ + "Desktop/My Duvizo/"; }
  std::string registry() const { return test_read_file(home_ + ".config/velora_install.txt"); }
  // The run's own temporary folder, where the directory and archives go.
  std::string run_temp() const { return first_match(tmp_ + "Duvizo-*/"); }
  background_run& app() { return *app_; }
  const std::string& dir() const { return dir_; }

  // Before start: the program's swaps are logged by the frame probe to
  // this file.
  std::string frame_log;
  // Before start: further variables for the program (name, value).
  std::vector<std::pair<std::string, std::string>> env;
  // Before start, with frame_log: from its first frame on, the pointer
  // moves every this many milliseconds (0: it rests between clicks).
  int pointer_period_ms = 0;

  // Starts the installer and gives its window the keyboard.
  bool start() {
    std::vector<std::pair<std::string, std::string>> vars = {{"TMPDIR", tmp_}, {"LANG", "C.UTF-8"}};
    if (!frame_log.empty()) {
      vars.push_back({"LD_PRELOAD", DUV_FRAME_PROBE});
      vars.push_back({"DUV_FRAME_LOG", frame_log});
      vars.push_back({"DUV_BUTTON_LOG", frame_log + ".releases"});
      // Under ASan the runtime would want to be the first library loaded,
      // ahead of the probe; the suite's own options stay.
      const char* asan = getenv("ASAN_OPTIONS");
      vars.push_back({"ASAN_OPTIONS", std::string(asan && *asan ? std::string(asan) + ":" : "") +
                                          "verify_asan_link_order=0"});
    }
    vars.insert(vars.end(), env.begin(), env.end());
    app_ = std::make_unique<background_run>(home_, std::vector<std::string>{k_app}, vars);
    // xdotool ends on an X error when a window it looks at goes away, as
    // start-up's own passing windows may: look again until one stands.
    wait_until(
        [&] {
          win_ = trimmed(test_capture("timeout 5 xdotool search --sync --pid " + std::to_string(app_->pid()) +
                                      " 2>/dev/null | head -1"));
          return !win_.empty();
        },
        30);
    if (win_.empty() || xdo("windowfocus --sync " + win_) != 0) return false;
    if (pointer_period_ms > 0 && !frame_log.empty()) {
      if (!wait_until([&] { return frames_logged(frame_log) > 0; }, 30)) return false;
      pointer_since_ = monotonic_ns();
      pointer_ = std::make_unique<restless_pointer>(win_, hand_, pointer_period_ms);
    }
    // A click on the heels of the focus is taken for the one that gave it.
    return xdo("sleep 0.5") == 0;
  }
  // Since when the pointer has been moving (monotonic_ns).
  long long pointer_since() const { return pointer_since_; }
  // When start_install saw the welcome screen (monotonic_ns).
  long long welcome_at() const { return welcome_at_; }
  // Whether the moving pointer has had every move made so far.
  bool pointer_ok() const { return pointer_ && pointer_->ok(); }
  // Stops the pointer; how many moves it made.
  int stop_pointer() {
    const int moves = pointer_ ? pointer_->stop() : 0;
    pointer_.reset();
    return moves;
  }
  int xdo(const std::string& args) { return test_run("xdotool " + args); }
  void click(int x, int y) {
    std::lock_guard<std::mutex> held(hand_);
    EXPECT_EQ(xdo("mousemove --window " + win_ + " " + std::to_string(x) + " " + std::to_string(600 - y) +
                  " click 1"),
              0);
    ++releases_;
    let_click_land();
  }
  // The map toggles a cell in a frame in which the button is down: the
  // button is held until the cell shows it, however slow the frames. The
  // moving pointer waits until the release, or the press would drag.
  void press(int x, int y) {
    held_ = std::unique_lock<std::mutex>(hand_);
    EXPECT_EQ(xdo("mousemove --window " + win_ + " " + std::to_string(x) + " " + std::to_string(600 - y) +
                  " mousedown 1"),
              0);
  }
  void release() {
    EXPECT_EQ(xdo("mouseup 1"), 0);
    ++releases_;
    let_click_land();
    if (held_.owns_lock()) held_.unlock();
  }
  void click_next() { click(720, 20); }
  // The two-button question's first (1) or second (2) button: its window of
  // 700 by 206 stands in the middle of the 800 by 600 one.
  void click_question(int which) { click(50 + 96, 197 + (which == 1 ? 56 : 31)); }
  void key(const std::string& keys) { EXPECT_EQ(xdo("key --delay 50 " + keys), 0); }
  void type(const std::string& text) { EXPECT_EQ(xdo("type --delay 50 '" + text + "'"), 0); }

  std::string shot() {
    // Timed frames take their shots with window_shot: import holds the whole
    // X server while it reads the window, and the frames would time it.
    const bool timed = !frame_log.empty();
    const std::string file = dir_ + "shot" + std::to_string(shots_++) + (timed ? ".ppm" : ".png");
    EXPECT_EQ(test_run((timed ? std::string(DUV_WINDOW_SHOT) + " " : std::string("import -window ")) + win_ + " '" +
                       file + "'"),
              0);
    return file;
  }
  // The pixel signature of an interface rectangle of a screenshot.
  static std::string crop(const std::string& png, int x, int y, int w, int h) {
    return test_capture("convert '" + png + "' -crop " + std::to_string(w) + "x" + std::to_string(h) + "+" +
                        std::to_string(x) + "+" + std::to_string(600 - y - h) + " +repage -format %# info:");
  }
  std::string area(int x, int y, int w, int h) { return crop(shot(), x, y, w, h); }
  static std::string step_row(const std::string& png, int i) { return crop(png, 22, 477 - 20 * i, 178, 16); }

  // Learns each step's row as drawn when it is not the current step, from
  // the welcome screen and the destination screen after it.
  void learn_rows(int current) {
    const std::string png = shot();
    for (int i = 0; i < k_steps; ++i)
      if (i != current && row_ref_[i].empty()) row_ref_[i] = step_row(png, i);
  }
  // Whether the screen shows step (k_no_step: none of them) as current.
  bool at_step(int step) {
    const std::string png = shot();
    for (int i = 0; i < k_steps; ++i) {
      if (row_ref_[i].empty()) continue;
      const bool plain = step_row(png, i) == row_ref_[i];
      if (plain == (i == step)) return false;
    }
    return true;
  }
  bool wait_step(int step, int seconds = 60) { return wait_until([&] { return at_step(step); }, seconds); }
  // Whether a modal window hides the wizard: no row of the step list shows
  // as the wizard draws it.
  bool wizard_hidden() {
    const std::string png = shot();
    for (int i = 0; i < k_steps; ++i)
      if (!row_ref_[i].empty() && step_row(png, i) == row_ref_[i]) return false;
    return true;
  }
  // Where the finish screen's choice button would be.
  std::string choice_area() { return area(375, 338, 250, 26); }
  // Waits until an interface rectangle no longer shows what it showed.
  bool wait_change(int x, int y, int w, int h, const std::string& before, int seconds = 30) {
    return wait_until([&] { return area(x, y, w, h) != before; }, seconds);
  }
  int log_count(const std::string& text) {
    const std::string log = log_of(home_);
    int n = 0;
    for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) ++n;
    return n;
  }

  // From the start to the running install: the welcome screen once the disc
  // is read, a name typed, the licence ticked, the two cells picked.
  void start_install() {
    ASSERT_TRUE(insert_disc(k_samples + "disc1.iso", drive1_));
    ASSERT_TRUE(start()) << log_of(home_);
    ASSERT_TRUE(wait_until([&] { return !run_temp().empty() && test_read_file(run_temp() + "directory.txt") != ""; }))
        << log_of(home_);
    ASSERT_EQ(xdo("sleep 0.5"), 0);
    learn_rows(0);
    welcome_at_ = monotonic_ns();
    click_next();
    ASSERT_TRUE(wait_until([&] { return !at_step(0); }, 30));
    learn_rows(1);
    ASSERT_TRUE(wait_step(1));

    // The name field right of "Change Destination": the caret at its end,
    // the set's name wiped, a name of the user's own.
    const std::string field = area(432, 194, 160, 18);
    click(740, 203);
    key("End");
    key("--repeat 12 BackSpace");
    type("My Duvizo");
    ASSERT_TRUE(wait_change(432, 194, 160, 18, field));
    ASSERT_EQ(xdo("sleep 0.3"), 0);
    click_next();
    ASSERT_TRUE(wait_step(2));

    // Next stays dimmed until the box is ticked.
    const std::string dimmed = area(660, 10, 120, 26);
    click(250, 300);
    ASSERT_TRUE(wait_change(660, 10, 120, 26, dimmed));
    click_next();
    ASSERT_TRUE(wait_step(3));

    for (const auto& cell : k_cells) {
      const int x = 248 + 14 * cell[0] + 7, y = 150 + 14 * cell[1] + 7;
      const std::string before = area(x - 7, y - 7, 14, 14);
      press(x, y);
      const bool shown = wait_change(x - 7, y - 7, 14, 14, before);
      release();
      ASSERT_TRUE(shown) << "cell " << cell[0] << " " << cell[1];
    }
    click_next();
    ASSERT_TRUE(wait_until([&] { return log_count("Starting install at ") == 1; })) << log_of(home_);
  }

  // The program wants disc 2: it takes disc 1 out; disc 1 put back is taken
  // out again; disc 2 lets the install go on.
  void change_discs() {
    ASSERT_TRUE(wait_until([&] { return !mounted(drive1_); })) << log_of(home_);
    ASSERT_TRUE(wait_step(k_no_step));
    // This screen has no choices: the panel as it is where none is drawn.
    no_choice_ = choice_area();
    ASSERT_TRUE(insert_disc(k_samples + "disc1.iso", drive1_));
    click_next();
    ASSERT_TRUE(wait_until([&] { return !mounted(drive1_); })) << log_of(home_);
    ASSERT_TRUE(wait_step(k_no_step));
    ASSERT_TRUE(insert_disc(disc2_, drive2_));
    click_next();
  }
  // md5sum -c over list in the installation folder: its status.
  int md5_check(const std::string& list) {
    const std::string file = dir_ + "check" + std::to_string(shots_++) + ".md5";
    EXPECT_TRUE(test_write_file(file, list));
    return test_run("cd '" + dest() + "' && md5sum --quiet -c '" + file + "' >/dev/null 2>&1");
  }
  // The whole way from the start to disc 2 put in.
  void install_both_discs() {
    start_install();
    if (testing::Test::HasFatalFailure()) return;
    change_discs();
  }
  std::string disc2_ = k_samples + "disc2.iso";
  std::string no_choice_;

 private:
  // A frame takes the buttons at the pointer's last place in its events: a
  // move queued right behind a click would take the click with it. With the
  // pointer moving, the hand stays until the program has fetched the click's
  // release and ended that frame. Counting frames is not enough: on a busy
  // machine the click reaches the program frames after xdotool is done.
  void let_click_land() {
    if (!pointer_) return;
    const std::string releases = frame_log + ".releases";
    EXPECT_TRUE(wait_until(
        [&] {
          const long long up = logged_at(releases, releases_ - 1);
          return up > 0 && logged_at(frame_log, frames_logged(frame_log) - 1) > up;
        },
        10))
        << "the program took no release of click " << releases_;
  }

  std::string dir_, home_, tmp_, drive1_, drive2_;
  std::unique_ptr<background_run> app_;
  std::mutex hand_;
  std::unique_lock<std::mutex> held_;
  std::unique_ptr<restless_pointer> pointer_;
  long long pointer_since_ = 0, welcome_at_ = 0;
  std::string win_;
  std::string row_ref_[k_steps];
  int shots_ = 0;
  int releases_ = 0;  // button releases sent
};

// The lines of installed.md5 an install of the two cells must match: every
// file but the tiles of the cell left out, and but the file named by except.
inline std::string wanted_md5_lines(const std::string& except = "") {
  std::istringstream in(test_read_file(k_samples + "installed.md5"));
  std::string out;
  bool skip = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("# cell ", 0) == 0) {
      skip = line == k_cell_left_out;
      continue;
    }
    if (!skip && (except.empty() || line.substr(34) != except)) out += line + "\n";
  }
  return out;
}

// The file whose archive on disc 2 the damaged image spoils.
const char k_damaged[] = "Resources/plugins/Tessel.shlb";

// A copy of disc 2's image in dir whose archive of k_damaged has 32 bytes
// inverted in its middle.
inline std::string damaged_disc2(const std::string& dir) {
  const std::string out = dir + "disc2-damaged.iso";
  const std::string script =
      "import sys\n"
      "iso, arc, out = sys.argv[1:]\n"
      "data = bytearray(open(iso, 'rb').read())\n"
      "piece = open(arc, 'rb').read()\n"
      "at = data.find(piece)\n"
      "assert at >= 0 and data.find(piece, at + 1) < 0\n"
      "mid = at + len(piece) // 2\n"
      "for i in range(mid, mid + 32): data[i] ^= 0xFF\n"
      "open(out, 'wb').write(data)\n";
  EXPECT_TRUE(test_write_file(dir + "damage.py", script));
  EXPECT_EQ(test_run("python3 '" + dir + "damage.py' '" + k_samples + "disc2.iso' '" + k_samples +
                     "disk_1/Duvizo 10/All/" + k_damaged + ".zip' '" + out + "'"),
            0);
  return out;
}

// The folders of the installations the next start of the program knows.
inline std::string next_start_knows(const std::string& home) {
  background_run probe(home, {DUV_INSTALLER_PROBE, k_bundle}, {{"LANG", "C.UTF-8"}});
  EXPECT_EQ(probe.wait_exit(), 0);
  std::istringstream in(probe.out());
  std::string known;
  for (std::string line; std::getline(in, line);)
    if (line.rfind("velroot ", 0) == 0) known += line.substr(8) + "\n";
  return known;
}

}  // namespace
