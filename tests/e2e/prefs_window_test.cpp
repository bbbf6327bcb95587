// The preferences window in the real program under a real mouse and
// keyboard (xdotool), on an X server of the test's own: the platform list,
// the logging box and the proxy fields, what the program prints when the
// window closes and what the preference file holds after the finish-up.
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include "e2e_run.h"
#include "support/private_xvfb.h"

namespace {

// The window's origin in the 800 by 600 window: 700 by 380, centred.
constexpr int k_win_x = 50, k_win_y = 110;

std::map<std::string, std::string> lines_of(const std::string& out) {
  std::map<std::string, std::string> facts;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    const size_t cut = line.find(' ');
    facts[line.substr(0, cut)] = cut == std::string::npos ? "" : line.substr(cut + 1);
  }
  return facts;
}

class PrefsWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    home_ = test_scratch_dir("prefs_window");
    ASSERT_EQ(test_run("mkdir -p '" + home_ + ".config' '" + home_ + "tmp'"), 0);
    prf_ = home_ + ".config/Duvizo Installer.prf";
  }
  // Starts the program and waits for its window.
  void start(const std::vector<std::string>& args = {}) {
    std::vector<std::string> argv = {DUV_PREFS_WINDOW, k_bundle};
    argv.insert(argv.end(), args.begin(), args.end());
    app_ = std::make_unique<background_run>(home_, argv, std::vector<std::pair<std::string, std::string>>{
                                                             {"TMPDIR", home_ + "tmp/"}, {"LANG", "C.UTF-8"}});
    win_ = trimmed(test_capture("timeout 30 xdotool search --sync --pid " + std::to_string(app_->pid()) +
                                " | head -1"));
    ASSERT_FALSE(win_.empty());
    // The preferences window opens once start-up is through, which a busy
    // machine takes a while for; its first frames must pass before a click.
    for (int i = 0; i < 600 && app_->out().find("window open\n") == std::string::npos; ++i)
      ASSERT_EQ(xdo("sleep 0.05"), 0);
    ASSERT_NE(app_->out().find("window open\n"), std::string::npos) << log_of(home_);
    ASSERT_EQ(xdo("windowfocus --sync W sleep 1"), 0);
  }
  int xdo(const std::string& args) {
    std::string a = " " + args + " ";
    for (size_t at; (at = a.find(" W ")) != std::string::npos;) a.replace(at, 3, " " + win_ + " ");
    return test_run("xdotool" + a);
  }
  // Clicks at (x, y) of the preferences window, y up, and lets frames pass.
  void click_at(int x, int y) {
    ASSERT_EQ(xdo("mousemove --window W " + std::to_string(k_win_x + x) + " " + std::to_string(600 - k_win_y - y) +
                  " click 1 sleep 0.5"),
              0);
  }
  // Both commands take every further word as text or keys: frames are let
  // pass by a command of its own.
  void type(const std::string& text) {
    ASSERT_EQ(xdo("type --delay 50 '" + text + "'"), 0);
    ASSERT_EQ(xdo("sleep 0.3"), 0);
  }
  void keys(const std::string& names) {
    ASSERT_EQ(xdo("key --delay 50 " + names), 0);
    ASSERT_EQ(xdo("sleep 0.3"), 0);
  }
  std::string shot(const std::string& name) {
    const std::string png = home_ + name + ".png";
    EXPECT_EQ(xdo("mousemove --window W 790 590 sleep 0.3"), 0);
    EXPECT_EQ(test_run("import -window " + win_ + " '" + png + "'"), 0);
    return png;
  }
  // The item the closed list shows: a crop of its middle, in screenshot
  // pixels (y down).
  std::string list_item(const std::string& png) {
    return crop_signature(png, k_win_x + 250 - 30, 600 - k_win_y - 300 - 10, 60, 12);
  }
  // Closes the window with Escape; the program prints and finishes up.
  std::map<std::string, std::string> close_and_read() {
    keys("Escape");
    EXPECT_EQ(app_->wait_exit(), 0) << log_of(home_);
    return lines_of(app_->out());
  }

  private_xvfb x_{1024, 768};
  std::string home_, prf_, win_;
  std::unique_ptr<background_run> app_;
};

TEST_F(PrefsWindow, ChoicesArePrintedAndSaved) {
  start();
  click_at(260, 303);  // opens the list at Macintosh
  click_at(250, 291);  // the row below: Windows
  click_at(140, 254);  // the log box
  click_at(200, 44);
  type("127.0.0.1");
  click_at(200, 24);
  type("8080");
  const std::string png = shot("chosen");
  const auto facts = close_and_read();
  EXPECT_EQ(facts.at("platform"), "2");
  EXPECT_EQ(facts.at("log_actions"), "1");
  EXPECT_EQ(facts.at("proxy_host"), "127.0.0.1");
  EXPECT_EQ(facts.at("proxy_port"), "8080");
  EXPECT_EQ(facts.at("proxy_port_int"), "8080");
  const std::string prf = test_read_file(prf_);
  for (const char* line : {"_log_actions 1\n", "_proxy_host 127.0.0.1\n", "_proxy_port 8080\n",
                           "_proxy_port_int 8080\n"})
    EXPECT_NE(prf.find(line), std::string::npos) << line << prf;
}

TEST_F(PrefsWindow, APortOfLettersStoresMinusOneAndAnEmptiedOneZero) {
  start();
  click_at(200, 24);
  type("abc");
  auto facts = close_and_read();
  EXPECT_EQ(facts.at("proxy_port"), "abc");
  EXPECT_EQ(facts.at("proxy_port_int"), "-1");
  EXPECT_NE(test_read_file(prf_).find("_proxy_port_int -1\n"), std::string::npos) << test_read_file(prf_);

  // The next run starts from the saved text and the user empties it.
  start();
  click_at(200, 24);
  keys("End BackSpace BackSpace BackSpace");
  facts = close_and_read();
  EXPECT_EQ(facts.at("proxy_port"), "");
  EXPECT_EQ(facts.at("proxy_port_int"), "0");
}

TEST_F(PrefsWindow, AllPlatformsShowsNoItemAndLinuxCanBePicked) {
  start();
  const std::string mac = list_item(shot("mac"));
  keys("Escape");
  ASSERT_EQ(app_->wait_exit(), 0);

  start({"--os=ALL"});
  const std::string none = list_item(shot("all"));
  EXPECT_NE(none, mac);
  click_at(260, 303);
  // No row is shown as chosen: the rows start one below the box.
  click_at(250, 303 - 36);
  const std::string linux_shown = list_item(shot("linux"));
  EXPECT_NE(linux_shown, none);
  EXPECT_NE(linux_shown, mac);
  const auto facts = close_and_read();
  EXPECT_EQ(facts.at("platform"), "3");
}

}  // namespace
