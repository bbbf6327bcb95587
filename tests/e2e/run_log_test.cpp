// What the log on the Desktop tells of an install that goes wrong, with the
// action-by-action lines switched off: a user of the real program installs
// the sample set, and each row of the table ends the install its own way.
// The log tells, in order, the install's start, each disc asked for, taken
// out and found, each error with the question and the button that answered
// it, how the install ended with its counts, and how the program ended; and
// the run leaves no temporary folder behind.
#include <gtest/gtest.h>
#include <dirent.h>
#include <signal.h>
#include <sys/mount.h>
#include <algorithm>
#include <functional>
#include <regex>
#include <sstream>
#include "e2e_user.h"
#include "files/test_child.h"
#include "support/private_xvfb.h"

namespace {

// path as a pattern that matches it literally.
std::string lit(const std::string& path) {
  static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
  return std::regex_replace(path, special, R"(\$&)");
}

// Where the log departs from want, a pattern a line, in order (other lines
// may come between): "" when every pattern matched a line of its own.
std::string missing_in_order(const std::string& log, const std::vector<std::string>& want) {
  std::istringstream in(log);
  std::string line;
  for (const std::string& pattern : want) {
    const std::regex re(pattern);
    bool found = false;
    while (!found && std::getline(in, line)) found = std::regex_match(line, re);
    if (!found) return "no line after the ones before matches: " + pattern;
  }
  return "";
}

// The fuseiso process that serves the drive at point, or -1.
pid_t fuseiso_of(const std::string& point) {
  DIR* proc = opendir("/proc");
  if (!proc) return -1;
  pid_t found = -1;
  while (dirent* e = readdir(proc)) {
    const pid_t pid = atoi(e->d_name);
    if (pid <= 0) continue;
    std::vector<std::string> args;
    std::istringstream in(test_read_file("/proc/" + std::to_string(pid) + "/cmdline"));
    for (std::string a; std::getline(in, a, '\0');) args.push_back(a);
    if (!args.empty() && args[0] == "fuseiso" && std::find(args.begin(), args.end(), point) != args.end()) found = pid;
  }
  closedir(proc);
  return found;
}

// Whether the thread tid of process pid waits for an answer of a FUSE server.
bool waits_on_fuse(pid_t pid, pid_t tid) {
  const std::string chan = test_read_file("/proc/" + std::to_string(pid) + "/task/" + std::to_string(tid) + "/wchan");
  return chan == "request_wait_answer" || chan.find("fuse") != std::string::npos;
}

// The threads of pid that wait for an answer of a FUSE server.
std::vector<pid_t> fuse_waiters(pid_t pid) {
  std::vector<pid_t> out;
  DIR* tasks = opendir(("/proc/" + std::to_string(pid) + "/task").c_str());
  if (!tasks) return out;
  while (dirent* e = readdir(tasks)) {
    const pid_t tid = atoi(e->d_name);
    if (tid > 0 && waits_on_fuse(pid, tid)) out.push_back(tid);
  }
  closedir(tasks);
  return out;
}

// Holds a FUSE server stopped; lets it go on however the test ends.
struct stopped_server {
  pid_t pid;
  explicit stopped_server(pid_t p) : pid(p) { EXPECT_EQ(kill(pid, SIGSTOP), 0); }
  ~stopped_server() { kill(pid, SIGCONT); }
  stopped_server(const stopped_server&) = delete;
  stopped_server& operator=(const stopped_server&) = delete;
};

// The lines of every row, from the start to the request for disc 2: disc 1
// is not the disc the install wants next, so it is ejected and disc 2 asked
// for.
std::vector<std::string> up_to_disc2(const installer_user& u) {
  return {"Starting install at .*",
          "Install of " + lit(u.dest()) + " started\\.",
          "The disc at " + lit(u.drive1()) + "/ is not disc 2: refused\\.",
          "Ejecting the disc at " + lit(u.drive1()) + "/\\.",
          "Asked for disc 2, which holds Duvizo 10/.+\\.",
          "Ejected the disc at " + lit(u.drive1()) + "/\\."};
}

// From the running install: the program waits for disc 2 with disc 1 out.
void wait_for_disc2(installer_user& u) {
  ASSERT_TRUE(wait_until([&] { return !mounted(u.drive1()); })) << log_of(u.home());
  ASSERT_TRUE(u.wait_step(k_no_step));
}

// The install error's question is up; the error line and the question,
// answered by the button of that label.
std::vector<std::string> error_answered(const std::string& error, const char* label) {
  return {"Install error -?\\d+ \\(.+\\): " + error,
          "Asked: \"An error occurred during installation: .+\" The user clicked \"" + std::string(label) + "\"\\."};
}

// Disc 2 is taken out while its first archive is being copied. The drive
// keeps what it has read for ten minutes, so the program's check of the
// disc is answered at once; its server is then held stopped, so the copy's
// open waits on the drive until the drive has gone. That copy goes through;
// every other archive of the disc fails to copy.
void pull_disc2_then_cancel(installer_user& u) {
  wait_for_disc2(u);
  if (testing::Test::HasFatalFailure()) return;
  ASSERT_EQ(test_run("mkdir -p '" + u.drive2() + "' && fuseiso -n '" + u.disc2_ + "' '" + u.drive2() +
                     "' -o entry_timeout=600,attr_timeout=600 && ls -lR '" + u.drive2() + "' >/dev/null"),
            0);
  const pid_t server = fuseiso_of(u.drive2());
  ASSERT_GT(server, 0);
  {
    stopped_server held(server);
    u.click_next();
    ASSERT_TRUE(wait_until([&] { return !fuse_waiters(u.app().pid()).empty(); }, 30)) << "nothing read the drive";
    const std::vector<pid_t> waiting = fuse_waiters(u.app().pid());
    ASSERT_EQ(std::count(waiting.begin(), waiting.end(), u.app().pid()), 0)
        << "the program's check of the disc waits on the drive, not a copy";
    ASSERT_EQ(test_run("fusermount -u -z '" + u.drive2() + "'"), 0);
  }
  ASSERT_TRUE(wait_until([&] { return u.wizard_hidden(); })) << log_of(u.home());
  const std::string asked_first = u.area(180, 150, 440, 300);
  u.click_question(1);
  // The scenery screen asks whether to delete the partial copy.
  ASSERT_TRUE(wait_until([&] { return u.wizard_hidden() && u.area(180, 150, 440, 300) != asked_first; }));
  u.click_question(1);
  ASSERT_TRUE(u.wait_step(3));
  EXPECT_NE(test_run("test -e '" + u.dest() + "'"), 0);
  EXPECT_TRUE(u.app().close_window());
}

// The damaged archive's error answered "Continue": the install ends on the
// error finish, whose Quit ends the program.
void damaged_then_continue(installer_user& u) {
  u.change_discs();
  if (testing::Test::HasFatalFailure()) return;
  ASSERT_TRUE(wait_until([&] { return u.wizard_hidden(); })) << log_of(u.home());
  u.click_question(2);
  ASSERT_TRUE(u.wait_step(k_finish)) << log_of(u.home());
  u.click(740, 20);
}

// The folder of disc 2's sounds lies on a volume that is full: one file
// cannot be unpacked; "Continue" installs the rest. The volume goes with
// the test's mount namespace.
void full_folder_then_continue(installer_user& u) {
  wait_for_disc2(u);
  if (testing::Test::HasFatalFailure()) return;
  const std::string sounds = u.dest() + "Resources/sounds";
  ASSERT_EQ(mount("tmpfs", sounds.c_str(), "tmpfs", 0, "size=4k"), 0);
  ASSERT_TRUE(test_write_file(sounds + "/filler", std::string(4096, 'x')));
  ASSERT_TRUE(insert_disc(u.disc2_, u.drive2()));
  u.click_next();
  ASSERT_TRUE(wait_until([&] { return u.wizard_hidden(); })) << log_of(u.home());
  u.click_question(2);
  ASSERT_TRUE(u.wait_step(k_finish)) << log_of(u.home());
  u.click(740, 20);
}

// The counts of a pass that installed some files and failed as many as
// failed says (patterns).
std::string counts(const std::string& failed) {
  return "\\d+ files installed, " + failed + " failed, 0 kept, 0 deleted";
}

std::vector<std::string> pulled_lines(const installer_user& u) {
  std::vector<std::string> l = {"Disc 2 found at " + lit(u.drive2()) + "/\\."};
  for (const std::string& e : error_answered("I was unable to copy the file " + lit(u.drive2()) +
                                                 "/Duvizo 10/.+ from the DVD to the hard drive\\.",
                                             "Cancel"))
    l.push_back(e);
  l.push_back("Asked: \"Are you sure you want to cancel the installation\\?.+\" The user clicked \"Cancel\"\\.");
  l.push_back("Install of " + lit(u.dest()) + " cancelled: " + counts("[1-9]\\d*") + "\\.");
  l.push_back("Deleted the partial copy " + lit(u.dest()) + "\\.");
  l.push_back("The user closed the window\\.");
  return l;
}

std::vector<std::string> damaged_lines(const installer_user& u) {
  // Disc 1 put back is refused and ejected again.
  std::vector<std::string> l = {"The disc at " + lit(u.drive1()) + "/ is not disc 2: refused\\.",
                                "Ejecting the disc at " + lit(u.drive1()) + "/\\.",
                                "Asked for disc 2, which holds Duvizo 10/.+\\.",
                                "Disc 2 found at " + lit(u.drive2()) + "/\\."};
  for (const std::string& e : error_answered("I was unable to unzip the file .+", "Continue")) l.push_back(e);
  l.push_back("Install of " + lit(u.dest()) + " ended: " + counts("1") + "\\.");
  l.push_back("The user clicked Quit\\.");
  return l;
}

void quit_at_disc2(installer_user& u) {
  wait_for_disc2(u);
  u.click(50, 20);
}

std::vector<std::string> quit_lines(const installer_user& u) {
  return {"Install of " + lit(u.dest()) + " left incomplete when the user clicked Quit: " + counts("0") +
          "\\. A repair of that copy finishes it\\."};
}

void close_at_disc2(installer_user& u) {
  wait_for_disc2(u);
  EXPECT_TRUE(u.app().close_window());
}

std::vector<std::string> close_lines(const installer_user& u) {
  return {"Install of " + lit(u.dest()) + " left incomplete when the user closed the window: " + counts("0") +
          "\\. A repair of that copy finishes it\\."};
}

std::vector<std::string> full_lines(const installer_user& u) {
  std::vector<std::string> l = {"Disc 2 found at " + lit(u.drive2()) + "/\\."};
  for (const std::string& e : error_answered(
           "I was unable to unzip the file .+ to the folder " + lit(u.dest()) + "Resources/sounds/\\.", "Continue"))
    l.push_back(e);
  l.push_back("Install of " + lit(u.dest()) + " ended: " + counts("1") + "\\.");
  l.push_back("The user clicked Quit\\.");
  return l;
}

// The test's X server, for the row that ends it.
private_xvfb* g_x = nullptr;

void sigterm_at_disc2(installer_user& u) {
  wait_for_disc2(u);
  kill(u.app().pid(), SIGTERM);
}

std::vector<std::string> sigterm_lines(const installer_user& u) {
  return {"Told to stop by SIGTERM: the run ends\\.",
          "Install of " + lit(u.dest()) + " left incomplete when the run was ended from outside: " + counts("0") +
              "\\. A repair of that copy finishes it\\."};
}

void x_gone_at_disc2(installer_user& u) {
  wait_for_disc2(u);
  kill(g_x->pid(), SIGTERM);
}

std::vector<std::string> x_gone_lines(const installer_user& u) {
  return {"The connection to the display was lost: the run ends\\.",
          "Install of " + lit(u.dest()) + " left incomplete when the run was ended from outside: " + counts("0") +
              "\\. A repair of that copy finishes it\\."};
}

struct ending {
  const char* name;
  bool damaged;  // disc 2's image has a damaged archive
  // From the running install (start_install) to the program's end.
  void (*act)(installer_user& u);
  // The lines after the request for disc 2, up to the program's end.
  std::vector<std::string> (*lines)(const installer_user& u);
  int status;          // the program's exit status
  bool ends_normally;  // through the end of its frame loop
};

const ending k_endings[] = {
    {"DiscPulledMidCopyThenCancel", false, pull_disc2_then_cancel, pulled_lines, 0, true},
    {"InstallErrorThenContinue", true, damaged_then_continue, damaged_lines, 0, true},
    {"QuitWhileWaitingForDisc2", false, quit_at_disc2, quit_lines, 0, true},
    {"WindowClosedWhileWaitingForDisc2", false, close_at_disc2, close_lines, 0, true},
    {"FullFolderThenContinue", false, full_folder_then_continue, full_lines, 0, true},
    {"SigtermWhileWaitingForDisc2", false, sigterm_at_disc2, sigterm_lines, 128 + SIGTERM, false},
    {"XServerGoneWhileWaitingForDisc2", false, x_gone_at_disc2, x_gone_lines, 1, false},
};

class RunLog : public testing::TestWithParam<ending> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    g_x = &x_;
  }
  void TearDown() override { g_x = nullptr; }
  private_xvfb x_{1024, 768};
};

TEST_P(RunLog, TellsTheInstallInOrder) {
  const ending& e = GetParam();
  const std::string dir = test_scratch_dir(std::string("run_log_") + e.name);
  const int result = test_in_private_mounts([&] {
    installer_user u(dir);
    if (e.damaged) u.disc2_ = damaged_disc2(dir);
    u.start_install();
    if (testing::Test::HasFatalFailure()) return;
    e.act(u);
    if (testing::Test::HasFatalFailure()) return;
    EXPECT_EQ(u.app().wait_exit(), e.status);
    const std::string log = log_of(u.home());
    std::vector<std::string> want = up_to_disc2(u);
    for (const std::string& l : e.lines(u)) want.push_back(l);
    if (e.ends_normally) want.push_back("The installer ends normally\\.");
    EXPECT_EQ(missing_in_order(log, want), "") << log;
    // Told without the action-by-action lines.
    EXPECT_EQ(log.find("EXPANDING file "), std::string::npos) << log;
    EXPECT_EQ(u.run_temp(), "") << "the run's temporary folder stayed";
  });
  EXPECT_EQ(result, 0);
}

INSTANTIATE_TEST_SUITE_P(Endings, RunLog, testing::ValuesIn(k_endings),
                         [](const testing::TestParamInfo<ending>& info) { return std::string(info.param.name); });

}  // namespace
