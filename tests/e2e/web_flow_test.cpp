// The web updater and the web demo as a user runs them: web_flow (the
// installer with a web flow as its first screen) on an X server of the
// test's own, clicked with xdotool, fetching through nginx on 127.0.0.1 as
// the proxy a web set that the disc-set maker built from a changed copy of
// the sample master, published under two mirrors.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <algorithm>
#include <chrono>
#include <map>
#include <sstream>
#include <thread>
#include "e2e_run.h"
#include "support/http_peers.h"
#include "support/private_xvfb.h"

namespace {

const std::string k_samples = std::string(DUV_BINARY_DIR) + "/sample_discs/";

std::string sh_q(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Inode and change time of every file and link under folder, by path.
std::map<std::string, std::string> identities(const std::string& folder) {
  std::map<std::string, std::string> out;
  std::istringstream in(
      test_capture("cd " + sh_q(folder) + " && find . \\( -type f -o -type l \\) -printf '%i %T@ %P\\n'"));
  for (std::string line; std::getline(in, line);) {
    const size_t a = line.find(' '), b = line.find(' ', a + 1);
    out[line.substr(b + 1)] = line.substr(0, b);
  }
  return out;
}

class WebFlow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(x_.ok()) << x_.error();
    web_ = test_scratch_dir("web");
    ASSERT_EQ(test_run("bash " + sh_q(std::string(DUV_FIXTURES_DIR) + "/make_web_set.sh") + " " +
                       sh_q(DUV_MAKE_DISC_SET) + " " + sh_q(k_samples) + " " + sh_q(web_ + "set") + " >&2"),
              0);
    home_ = test_scratch_dir("home");
    tmp_ = home_ + "tmp/";
    ASSERT_EQ(test_run("mkdir -p " + sh_q(tmp_) + " " + sh_q(home_ + "Desktop") + " " + sh_q(home_ + ".config")),
              0);
    std::istringstream changes(test_read_file(web_ + "set/changes.txt"));
    for (std::string line; std::getline(changes, line);) changed_.push_back(line);
    ASSERT_EQ(changed_.size(), 4u);
  }
  void start_nginx(const std::string& directives = "") {
    nginx_.server_directives = directives;
    ASSERT_TRUE(nginx_.start(web_ + "set/site"));
  }
  std::string install_copy() {
    const std::string copy = home_ + "Duvizo 10/";
    EXPECT_EQ(test_run("bash " + sh_q(std::string(DUV_FIXTURES_DIR) + "/install_sample_copy.sh") + " " +
                       sh_q(k_samples) + " " + sh_q(copy)),
              0);
    return copy;
  }
  std::vector<std::string> proxy_args() {
    return {"--pref:_proxy_host=127.0.0.1", "--pref:_proxy_port_int=" + std::to_string(nginx_.port)};
  }
  void start(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {DUV_WEB_FLOW};
    argv.insert(argv.end(), args.begin(), args.end());
    app_ = std::make_unique<background_run>(home_, argv, std::vector<std::pair<std::string, std::string>>{
                                                              {"TMPDIR", tmp_}, {"LANG", "C.UTF-8"}});
    win_ = trimmed(test_capture("timeout 30 xdotool search --sync --pid " + std::to_string(app_->pid()) + " | head -1"));
    ASSERT_FALSE(win_.empty());
    ASSERT_TRUE(wait_for("screen " + args[0] + "_start\n"));
  }
  // Waits (at most 60 s) until the program has printed text after the
  // first from characters of its output; where it ends.
  bool wait_for(const std::string& text, size_t* at = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < end) {
      const std::string out = app_->out();
      const size_t found = out.find(text, seen_);
      if (found != std::string::npos) {
        seen_ = found + text.size();
        if (at) *at = seen_;
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "no \"" << text << "\" in:\n" << app_->out();
    return false;
  }
  // Clicks interface (x, y) of the 800 by 600 window.
  void click(int x, int y) {
    ASSERT_EQ(test_run("xdotool mousemove --window " + win_ + " " + std::to_string(x) + " " + std::to_string(600 - y) +
                       " click 1"),
              0);
  }
  void next() { click(720, 20); }
  // The two buttons of the stop and cancel questions (sub-window 997, 700
  // by 206, centred in the 800 by 600 window).
  void question_first() { click(146, 253); }
  void question_second() { click(146, 228); }
  void escape() { ASSERT_EQ(test_run("xdotool key --window " + win_ + " Escape"), 0); }
  void back() { click(600, 20); }
  void quit_left() { click(50, 20); }
  void quit_right() { click(740, 20); }
  std::string shot(const std::string& name) {
    const std::string png = home_ + name + ".png";
    EXPECT_EQ(test_run("import -window root " + sh_q(png)), 0);
    return png;
  }
  // The request lines nginx logged, in order.
  std::vector<std::string> requests() {
    std::vector<std::string> out;
    std::istringstream in(nginx_.access_log());
    for (std::string line; std::getline(in, line);) {
      const size_t q = line.find('"');
      if (q != std::string::npos) out.push_back(line.substr(q + 1, line.rfind('"') - q - 1));
    }
    return out;
  }
  // The archives the download streams left in the run's temporary folder.
  std::string stream_archives() {
    return test_capture("find " + sh_q(tmp_) + " -regextype posix-extended -regex '.*/[0-9]+\\.zip'");
  }

  private_xvfb x_{1024, 768};
  std::string web_, home_, tmp_, win_;
  std::vector<std::string> changed_;
  nginx_peer nginx_;
  std::unique_ptr<background_run> app_;
  size_t seen_ = 0;
};

TEST_F(WebFlow, UpdatesACopyFromTwoMirrors) {
  start_nginx();
  const std::string copy = install_copy();
  const auto before = identities(copy);
  std::vector<std::string> args = {"net", "-path", copy};
  const std::vector<std::string> proxy = proxy_args();
  args.insert(args.end(), proxy.begin(), proxy.end());
  start(args);
  next();
  ASSERT_TRUE(wait_for("screen net_get_updates\n"));
  ASSERT_TRUE(wait_for("screen net_check_disk\n"));
  ASSERT_TRUE(wait_for("text You are about to download "));
  shot("disk_screen");
  next();
  ASSERT_TRUE(wait_for("screen net_run_patch\n"));
  ASSERT_TRUE(wait_for("screen net_done\n"));
  ASSERT_TRUE(wait_for("text I have finished updating " + copy + ".\n"));
  EXPECT_EQ(stream_archives(), "");
  shot("finished");
  quit_right();
  EXPECT_EQ(app_->wait_exit(), 0) << log_of(home_);

  // The copy is the changed master's, the dropped file is gone, and what
  // did not change was not touched.
  EXPECT_EQ(test_run("cd " + sh_q(copy) + " && md5sum --quiet -c " + sh_q(web_ + "set/updated.md5")), 0);
  struct stat st;
  EXPECT_NE(lstat((copy + changed_[2]).c_str(), &st), 0);
  const auto after = identities(copy);
  for (const auto& [path, id] : before) {
    bool is_changed = false;
    for (const std::string& c : changed_) is_changed = is_changed || c == path;
    if (!is_changed) {
      EXPECT_EQ(after.count(path) ? after.at(path) : "missing", id) << path;
    }
  }

  // Absolute-form requests for the maker's host and both mirrors, each
  // mirror serving files, blanks sent as "%20".
  const std::vector<std::string> lines = requests();
  int list = 0, one = 0, two = 0;
  for (const std::string& l : lines) {
    list += l == "GET http://www.duvizo.example/serverlist9.txt HTTP/1.1";
    one += l.rfind("GET http://mirror-one.duvizo.example/m1/Duvizo%2010/All/", 0) == 0;
    two += l.rfind("GET http://mirror-two.duvizo.example/m2/Duvizo%2010/All/", 0) == 0;
    EXPECT_EQ(l.find(' ', 4), l.rfind(' ')) << "a blank sent as it is: " << l;
  }
  EXPECT_EQ(list, 1) << nginx_.access_log();
  EXPECT_GT(one, 0) << nginx_.access_log();
  EXPECT_GT(two, 0) << nginx_.access_log();

  // Again: nothing to do.
  app_.reset();
  seen_ = 0;
  start(args);
  next();
  ASSERT_TRUE(wait_for("screen net_check_disk\n"));
  ASSERT_TRUE(wait_for("screen net_done\n"));
  ASSERT_TRUE(wait_for("text This copy of Duvizo (" + copy + ") is already up to date.\n"));
  EXPECT_EQ(app_->out().find("screen net_run_patch"), std::string::npos);
  shot("up_to_date");
  quit_right();
  EXPECT_EQ(app_->wait_exit(), 0);

  // Only the small file back at its old content: there is something to do
  // although it adds no kilobyte.
  ASSERT_EQ(test_run("cp " + sh_q(k_samples + "master/All/" + changed_[0]) + " " + sh_q(copy + changed_[0])), 0);
  app_.reset();
  seen_ = 0;
  start(args);
  next();
  ASSERT_TRUE(wait_for("screen net_check_disk\n"));
  ASSERT_TRUE(wait_for("text You are about to download 0 KB of compressed data to update to Duvizo 10.\n"));
  next();
  ASSERT_TRUE(wait_for("text I have finished updating " + copy + ".\n"));
  quit_right();
  EXPECT_EQ(app_->wait_exit(), 0);
  EXPECT_EQ(test_run("cd " + sh_q(copy) + " && md5sum --quiet -c " + sh_q(web_ + "set/updated.md5")), 0);
}

// The paths an md5sum -c list names, sorted.
std::vector<std::string> listed_paths(const std::string& list) {
  std::vector<std::string> out;
  std::istringstream in(list);
  for (std::string line; std::getline(in, line);) out.push_back(line.substr(line.find("  ") + 2));
  std::sort(out.begin(), out.end());
  return out;
}

TEST_F(WebFlow, TheDemoInstallsTheWebSet) {
  start_nginx();
  std::vector<std::string> args = {"demo"};
  const std::vector<std::string> proxy = proxy_args();
  args.insert(args.end(), proxy.begin(), proxy.end());
  start(args);
  ASSERT_TRUE(wait_for("text I will guide you through the process of installing the web demo of Duvizo 9.\n"));
  next();
  ASSERT_TRUE(wait_for("screen see_eula\n"));
  click(250, 304);  // "I agree!"
  next();
  ASSERT_TRUE(wait_for("screen demo_get_updates\n"));
  ASSERT_TRUE(wait_for("screen demo_pick_dest\n"));
  const std::string dest = home_ + "Desktop/Duvizo 9 Demo/";
  ASSERT_TRUE(wait_for("text I will create the folder 'Duvizo 9 Demo' inside the folder '" + home_ +
                       "Desktop/'.\\n\\n(The folder Duvizo 9 Demo will appear on your desktop.)"));
  shot("demo_destination");
  next();
  ASSERT_TRUE(wait_for("screen demo_run_patch\n"));
  ASSERT_TRUE(wait_for("screen demo_done\n"));
  ASSERT_TRUE(wait_for("text I have finished installing the Duvizo 9 web demo at: " + dest + ".\n"));
  shot("demo_done");
  EXPECT_EQ(stream_archives(), "");
  quit_right();
  EXPECT_EQ(app_->wait_exit(), 0) << log_of(home_);

  // Exactly the web set's files, with their contents, and one registry line.
  const std::string web_list = test_read_file(web_ + "set/web.md5");
  EXPECT_EQ(test_run("cd " + sh_q(dest) + " && md5sum --quiet -c " + sh_q(web_ + "set/web.md5")), 0);
  std::istringstream found(test_capture("cd " + sh_q(dest) + " && find . \\( -type f -o -type l \\) -printf '%P\\n'"));
  std::vector<std::string> files;
  for (std::string line; std::getline(found, line);) files.push_back(line);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, listed_paths(web_list));
  EXPECT_EQ(test_read_file(home_ + ".config/velora_install.txt"), dest + "\n");
}

TEST_F(WebFlow, QuitDuringAnUpdateAsks) {
  // Slow mirrors keep the update running while the user answers.
  start_nginx("limit_rate 24k;");
  const std::string copy = install_copy();
  std::vector<std::string> args = {"net", "-path", copy};
  const std::vector<std::string> proxy = proxy_args();
  args.insert(args.end(), proxy.begin(), proxy.end());
  start(args);
  next();
  ASSERT_TRUE(wait_for("screen net_check_disk\n"));
  next();
  ASSERT_TRUE(wait_for("screen net_run_patch\n"));
  ASSERT_TRUE(wait_for("text About "));
  ASSERT_TRUE(wait_for(" with 2 simultaneous servers.\\n\\nDownloading at "));
  shot("installing");
  quit_left();
  ASSERT_TRUE(wait_for("window 997\n"));
  shot("stop_question");
  // Escape answers nothing: the question stays until a button is clicked.
  const size_t at = app_->out().size();
  escape();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(app_->out().find("window 0\n", at), std::string::npos) << "Escape answered the question";
  question_second();  // "Continue"
  ASSERT_TRUE(wait_for("window 0\n"));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(app_->out().find("screen net_done"), std::string::npos) << "the update ended early";
  quit_left();
  ASSERT_TRUE(wait_for("window 997\n"));
  question_first();  // "Stop"
  EXPECT_EQ(app_->wait_exit(), 0) << log_of(home_);
  EXPECT_EQ(app_->out().find("screen net_done"), std::string::npos);
}

TEST_F(WebFlow, BackDuringTheDemoInstallAsks) {
  start_nginx("limit_rate 24k;");
  std::vector<std::string> args = {"demo"};
  const std::vector<std::string> proxy = proxy_args();
  args.insert(args.end(), proxy.begin(), proxy.end());
  start(args);
  next();
  ASSERT_TRUE(wait_for("screen see_eula\n"));
  click(250, 304);
  next();
  ASSERT_TRUE(wait_for("screen demo_pick_dest\n"));
  const std::string dest = home_ + "Desktop/Duvizo 9 Demo/";
  next();
  ASSERT_TRUE(wait_for("screen demo_run_patch\n"));
  back();
  ASSERT_TRUE(wait_for("window 997\n"));
  shot("cancel_question");
  question_second();  // "Continue"
  ASSERT_TRUE(wait_for("screen demo_run_patch\n"));
  struct stat st;
  EXPECT_EQ(stat(dest.c_str(), &st), 0);
  back();
  ASSERT_TRUE(wait_for("window 997\n"));
  question_first();  // "Cancel"
  // The user is left on the destination screen.
  ASSERT_TRUE(wait_for("window 0\ntitle Pick Install Destination for Duvizo 10.\n"));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_NE(stat(dest.c_str(), &st), 0) << "the partial copy is still there";
  EXPECT_EQ(app_->out().find("screen demo_done"), std::string::npos);
  shot("after_cancel");
  quit_left();
  EXPECT_EQ(app_->wait_exit(), 0) << log_of(home_);
}

TEST_F(WebFlow, WithoutAProxyTheListNeverComes) {
  const std::string copy = install_copy();
  start({"net", "-path", copy});
  next();
  ASSERT_TRUE(wait_for("text I am contacting www.duvizo.example to find an update server.\n"));
  // Frames keep coming: the window still takes clicks.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  shot("contacting");
  EXPECT_EQ(app_->out().find("screen net_check_disk"), std::string::npos);
  quit_left();
  EXPECT_EQ(app_->wait_exit(), 0);
}

}  // namespace
