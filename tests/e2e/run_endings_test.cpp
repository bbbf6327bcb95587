// However a run of the real program ends, it leaves no temporary folder
// behind, and its log says how it ended: a signal to stop, its window
// destroyed by another client, its X server gone. A run killed outright
// cannot clean up: the next start sweeps its folder, never a living run's.
// And the options that only print make no folder at all.
#include <gtest/gtest.h>
#include <signal.h>
#include <functional>
#include <memory>
#include "e2e_run.h"
#include "support/private_xvfb.h"

namespace {

// The run's own temporary folders under tmp ("Duvizo-*"), one a line.
std::string run_folders(const std::string& tmp) {
  return test_capture("cd '" + tmp + "' && ls -d Duvizo-* 2>/dev/null");
}

// Waits at most seconds for pred, looking every 50 ms.
bool wait_for(const std::function<bool()>& pred, int seconds = 30) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (std::chrono::steady_clock::now() < end) {
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return pred();
}

// A run of the installer in a home and TMPDIR of its own, up to its first
// screen: its window shows and its folders are written to the log.
struct installer_run {
  std::string home, tmp;
  std::unique_ptr<background_run> app;
  std::string window;
  explicit installer_run(const std::string& stem, const std::vector<std::string>& args = {})
      : home(test_scratch_dir(stem)), tmp(home + "tmp/") {
    EXPECT_EQ(test_run("mkdir -p '" + tmp + "' '" + home + ".config'"), 0);
    std::vector<std::string> argv = {k_app};
    argv.insert(argv.end(), args.begin(), args.end());
    app = std::make_unique<background_run>(home, argv,
                                           std::vector<std::pair<std::string, std::string>>{
                                               {"TMPDIR", tmp}, {"LANG", "C.UTF-8"}});
  }
  // True once the first screen stands.
  bool started() {
    window = trimmed(test_capture("timeout 30 xdotool search --sync --pid " + std::to_string(app->pid()) +
                                  " 2>/dev/null | head -1"));
    return !window.empty() && wait_for([&] { return log_of(home).find("os_dir_prefs") != std::string::npos; });
  }
};

class RunEndings : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(x_->ok()) << x_->error(); }
  std::unique_ptr<private_xvfb> x_ = std::make_unique<private_xvfb>(1024, 768);
};

TEST_F(RunEndings, EveryWayOutThatCanRunCodeRemovesTheFolderAndIsLogged) {
  const struct {
    const char* what;
    std::function<void(installer_run&, private_xvfb&)> end;
    int status;
    const char* logged;
  } cases[] = {
      {"SIGTERM", [](installer_run& r, private_xvfb&) { kill(r.app->pid(), SIGTERM); }, 128 + SIGTERM,
       "\nTold to stop by SIGTERM: the run ends.\n"},
      {"SIGINT", [](installer_run& r, private_xvfb&) { kill(r.app->pid(), SIGINT); }, 128 + SIGINT,
       "\nTold to stop by SIGINT: the run ends.\n"},
      {"SIGHUP", [](installer_run& r, private_xvfb&) { kill(r.app->pid(), SIGHUP); }, 128 + SIGHUP,
       "\nTold to stop by SIGHUP: the run ends.\n"},
      {"window destroyed",
       [](installer_run& r, private_xvfb&) { EXPECT_EQ(test_run("xdotool windowclose " + r.window), 0); }, 1,
       "\nThe window or its display went away: the run ends.\n"},
      // Last: the server goes with it.
      {"X server gone", [](installer_run&, private_xvfb& x) { kill(x.pid(), SIGTERM); }, 1,
       "\nThe connection to the display was lost: the run ends.\n"},
  };
  for (const auto& c : cases) {
    installer_run r(std::string("ending-") + c.what);
    ASSERT_TRUE(r.started()) << c.what << "\n" << log_of(r.home);
    EXPECT_NE(run_folders(r.tmp), "") << c.what;
    c.end(r, *x_);
    EXPECT_EQ(r.app->wait_exit(), c.status) << c.what << "\n" << log_of(r.home);
    const std::string log = log_of(r.home);
    EXPECT_NE(log.find(c.logged), std::string::npos) << c.what << "\n" << log;
    EXPECT_EQ(test_list_folder(r.tmp), std::vector<std::string>{}) << c.what;
  }
}

TEST_F(RunEndings, AKilledRunsFolderIsSweptAtTheNextStartAndALivingRunsKept) {
  const std::string shared_tmp = test_scratch_dir("shared-tmp");
  auto in_shared = [&](installer_run& r) {
    // Every run of this test uses the one TMPDIR, as runs of one user do.
    r.app.reset();
    r.app = std::make_unique<background_run>(r.home, std::vector<std::string>{k_app},
                                             std::vector<std::pair<std::string, std::string>>{
                                                 {"TMPDIR", shared_tmp}, {"LANG", "C.UTF-8"}});
  };
  installer_run killed("killed"), living("living");
  in_shared(killed);
  ASSERT_TRUE(killed.started()) << log_of(killed.home);
  const std::string killed_folder = trimmed(run_folders(shared_tmp));
  ASSERT_NE(killed_folder, "");
  // Something of the run's own in it, as archives are during an install.
  ASSERT_TRUE(test_write_file(shared_tmp + killed_folder + "/copied.zip", "PK"));
  in_shared(living);
  ASSERT_TRUE(living.started()) << log_of(living.home);
  const std::string both = run_folders(shared_tmp);
  std::string living_folder = both;
  living_folder.erase(living_folder.find(killed_folder + "\n"), killed_folder.size() + 1);
  living_folder = trimmed(living_folder);
  ASSERT_NE(living_folder, "");
  kill(killed.app->pid(), SIGKILL);
  EXPECT_EQ(killed.app->wait_exit(), 128 + SIGKILL);
  EXPECT_EQ(run_folders(shared_tmp), both) << "nothing runs to remove a killed run's folder";

  installer_run next("next");
  in_shared(next);
  ASSERT_TRUE(next.started()) << log_of(next.home);
  const std::string now = run_folders(shared_tmp);
  EXPECT_EQ(now.find(killed_folder), std::string::npos) << now;
  EXPECT_NE(now.find(living_folder), std::string::npos) << now;
  EXPECT_NE(log_of(next.home).find("Removed 1 temporary folder(s) left by runs that did not end cleanly.\n"),
            std::string::npos)
      << log_of(next.home);
  for (installer_run* r : {&living, &next}) {
    EXPECT_TRUE(r->app->close_window());
    EXPECT_EQ(r->app->wait_exit(), 0);
  }
  EXPECT_EQ(test_list_folder(shared_tmp), std::vector<std::string>{});
}

TEST_F(RunEndings, OptionsThatOnlyPrintMakeNoFolder) {
  for (const char* option : {"--version", "--help", "-h", "--cmnds=all"}) {
    const std::string home = test_scratch_dir("print");
    const std::string tmp = home + "tmp/";
    ASSERT_EQ(test_run("mkdir -p '" + tmp + "'"), 0);
    ASSERT_TRUE(test_write_file(tmp + "someone else's.txt", "x"));
    background_run app(home, {k_app, option}, {{"TMPDIR", tmp}, {"LANG", "C.UTF-8"}});
    EXPECT_EQ(app.wait_exit(), 0) << option;
    EXPECT_NE(app.out(), "") << option;
    EXPECT_EQ(test_list_folder(tmp), std::vector<std::string>{"someone else's.txt"}) << option;
  }
}

}  // namespace
