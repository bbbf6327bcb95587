// The shell's start-up and finish-up as a user meets them: the window comes
// up on an X server of the test's own and goes with the window manager's
// close request; without a display, or without the interface picture, the
// program ends with a message and status 1 rather than waiting.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include "support/private_xvfb.h"
#include "support/test_env.h"

namespace {

const std::string k_bundle = DUV_BINARY_DIR "/Duvizo Installer.app";
const std::string k_app = k_bundle + "/Contents/MacOS/Duvizo Installer";

std::string trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
  return s;
}

// A program started in the background with a home folder of its own.
class background_run {
 public:
  background_run(const std::string& home, const std::vector<std::string>& argv) {
    out_ = home + "out.txt";
    pid_ = fork();
    if (pid_ == 0) {
      setenv("HOME", home.c_str(), 1);
      setenv("XDG_CONFIG_HOME", (home + ".config").c_str(), 1);
      if (chdir(home.c_str()) != 0 || !freopen(out_.c_str(), "w", stdout)) _exit(127);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execv(args[0], args.data());
      _exit(127);
    }
  }
  ~background_run() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  pid_t pid() const { return pid_; }
  std::string out() const { return test_read_file(out_); }
  // The exit status once it ended within 30 s; -1 when it did not (killed).
  int wait_exit() {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
  std::string out_;
};

std::string log_of(const std::string& home) { return test_read_file(home + "Desktop/Duvizo Installer Log.txt"); }

// Runs the built installer in the foreground with HOME at home.
int run_installer(const std::string& home, const std::string& env, const std::string& args, std::string* err) {
  const std::string err_file = home + "stderr.txt";
  const int status = test_run("cd '" + home + "' && HOME='" + home + "' XDG_CONFIG_HOME='" + home + ".config' " + env +
                              " timeout 30 '" + k_app + "' " + args + " >/dev/null 2>'" + err_file + "'");
  if (err) *err = test_read_file(err_file);
  return status;
}

}  // namespace

TEST(ShellEndToEnd, WindowAppearsAndTheCloseRequestEndsCleanly) {
  private_xvfb x(1280, 1024);
  ASSERT_TRUE(x.ok()) << x.error();
  const std::string home = test_scratch_dir("run");
  background_run app(home, {DUV_SHELL_DEMO, k_bundle, "run", "--lang=en"});
  const std::string wid =
      trimmed(test_capture("timeout 30 xdotool search --sync --pid " + std::to_string(app.pid()) + " | head -1"));
  ASSERT_FALSE(wid.empty());
  ASSERT_EQ(test_run(std::string(DUV_SEND_WM_DELETE) + " " + wid), 0);
  EXPECT_EQ(app.wait_exit(), 0);

  const std::string log = log_of(home);
  EXPECT_EQ(log.rfind("Installer log.txt for Duvizo REV Aridazevu 2.06r1 compiled on ", 0), 0u) << log.substr(0, 200);
  EXPECT_NE(log.find("AGL_DOUBLEBUFFER : 1"), std::string::npos);
  // The capability report comes before the pool, which reads what it found.
  const size_t probe = log.find("threaded_avail   : "), pool = log.find("CPU count        : ");
  ASSERT_NE(probe, std::string::npos);
  ASSERT_NE(pool, std::string::npos);
  EXPECT_LT(probe, pool);
  EXPECT_NE(log.find("Clean exit from threads."), std::string::npos);
  // Finishing up with saving writes the preferences.
  EXPECT_FALSE(test_read_file(home + ".config/Duvizo Installer.prf").empty());
}

TEST(ShellEndToEnd, StartUpTablesColoursAndTextures) {
  private_xvfb x(1280, 1024);
  ASSERT_TRUE(x.ok()) << x.error();
  std::string first_rand;
  std::string first_randrat;
  for (int run = 0; run < 2; ++run) {
    const std::string home = test_scratch_dir("report");
    background_run app(home, {DUV_SHELL_DEMO, k_bundle, "report", "--lang=en"});
    ASSERT_EQ(app.wait_exit(), 0);
    std::map<std::string, std::string> facts;
    std::istringstream in(app.out());
    for (std::string line; std::getline(in, line);) {
      facts[line.substr(0, line.find(' '))] += line + "\n";
    }
    EXPECT_EQ(facts["ogl_inited"], "ogl_inited 1\n");
    // Whole degrees 0 to 360, both ends there; sine of 90 and cosine of 0 exact.
    EXPECT_EQ(facts["trig"].rfind("trig 1 1 ", 0), 0u) << facts["trig"];
    if (run == 0) {
      first_rand = facts["rand"];
      first_randrat = facts["randrat"];
      EXPECT_NE(first_randrat.find("randrat 0.8401"), std::string::npos) << first_randrat;

      // Colours 39 to 52 are the picture's bytes at the swatches (rows
      // bottom-up, so the peer flips); 44 is the mean of 40 and 43.
      const std::string png = k_bundle + "/Contents/Resources/interface.png";
      const std::string flipped = home + "interface.rgba";
      ASSERT_EQ(test_run("convert '" + png + "' -flip -depth 8 rgba:'" + flipped + "'"), 0);
      const std::string bytes = test_read_file(flipped);
      const std::pair<int, int> swatches[] = {{39, 318716}, {40, 302332}, {41, 285948}, {42, 269564}, {43, 253180},
                                              {45, 236796}, {46, 220412}, {47, 204028}, {48, 187644}, {50, 171260},
                                              {51, 154876}, {52, 138492}, {49, 237100}};
      int rgb[53][3] = {};
      for (auto [id, off] : swatches) {
        ASSERT_LT((size_t)off + 2, bytes.size());
        for (int c = 0; c < 3; ++c) rgb[id][c] = (unsigned char)bytes[off + c];
        const std::string want = "colour " + std::to_string(id) + " " + std::to_string(rgb[id][0]) + " " +
                                 std::to_string(rgb[id][1]) + " " + std::to_string(rgb[id][2]) + "\n";
        EXPECT_NE(facts["colour"].find(want), std::string::npos) << want << facts["colour"];
      }
      std::string mean = "colour 44";
      for (int c = 0; c < 3; ++c) mean += " " + std::to_string((int)((rgb[40][c] + rgb[43][c]) / 2.0f + 0.5f));
      EXPECT_NE(facts["colour"].find(mean + "\n"), std::string::npos) << mean << "\n" << facts["colour"];

      // Texture 359 holds the picture itself; the map and the background load.
      EXPECT_EQ(test_md5sum(home + "tex359.rgba"), test_md5sum(flipped));
      EXPECT_NE(facts["texture"].find("texture 359 loaded 1 err 0 size 512x512 path scratch_array-interface\n"),
                std::string::npos)
          << facts["texture"];
      EXPECT_NE(facts["texture"].find("texture 363 loaded 1 err 0"), std::string::npos) << facts["texture"];
      EXPECT_NE(facts["texture"].find("texture 364 loaded 1 err 0"), std::string::npos) << facts["texture"];
    } else {
      // The table is the same in every run; rand() itself is not.
      EXPECT_EQ(facts["randrat"], first_randrat);
      EXPECT_NE(facts["rand"], first_rand);
    }
  }
}

TEST(ShellEndToEnd, WithoutADisplayTheInstallerEndsWithAMessage) {
  const std::string home = test_scratch_dir("nodisplay");
  std::string err;
  EXPECT_EQ(run_installer(home, "env -u DISPLAY -u WAYLAND_DISPLAY", "--lang=en", &err), 1);
  EXPECT_NE(err.find("I could not set up the graphics for Duvizo!"), std::string::npos) << err;
  EXPECT_NE(log_of(home).find("(RUvozuz/GenC/hl_init line 805)"), std::string::npos);
}

TEST(ShellEndToEnd, WithoutTheInterfacePictureTheInstallerEnds) {
  const std::string home = test_scratch_dir("nopicture");
  // A copy of the bundle that lost its picture.
  ASSERT_EQ(test_run("cp -a '" + k_bundle + "' '" + home + "copy.app' && rm '" + home +
                     "copy.app/Contents/Resources/interface.png'"),
            0);
  const std::string app = home + "copy.app/Contents/MacOS/Duvizo Installer";
  const int status = test_run("cd '" + home + "' && HOME='" + home + "' XDG_CONFIG_HOME='" + home +
                              ".config' timeout 30 '" + app + "' --qa_script --lang=en >/dev/null 2>&1");
  EXPECT_EQ(status, 1);
  const std::string log = log_of(home);
  EXPECT_NE(log.find("I cannot open the graphics interface file!\n"), std::string::npos);
  EXPECT_NE(log.find("\nResources/bitmaps/\n(RUvozuz/GenC/hl_init line 868)"), std::string::npos) << log;
}

TEST(ShellEndToEnd, UnofferedLanguageUnderAScriptIsLoggedAndEnglishTaken) {
  const std::string home = test_scratch_dir("lang");
  EXPECT_EQ(run_installer(home, "LANGUAGE= LC_ALL= LC_MESSAGES= LANG=xx_XX", "--qa_script", nullptr), 0);
  const std::string log = log_of(home);
  EXPECT_NE(log.find("\n-\n-\n-\n-\n(RUvozuz/GenC/hl_init line 930)\n"), std::string::npos) << log;
  // A scripted run writes no preferences.
  EXPECT_EQ(test_read_file(home + ".config/Duvizo Installer.prf"), "");
  EXPECT_NE(log.find("Clean exit from threads."), std::string::npos);
}

TEST(ShellEndToEnd, TheSystemBoxIsARealWindowDismissedWithReturn) {
  private_xvfb x(800, 600);
  ASSERT_TRUE(x.ok()) << x.error();
  const std::string home = test_scratch_dir("box");
  background_run app(home, {DUV_SHELL_DEMO, k_bundle, "box"});
  // xdotool cannot match the box's UTF-8 name: xwininfo lists it.
  std::string wid;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (wid.empty() && std::chrono::steady_clock::now() < end) {
    wid = trimmed(test_capture("xwininfo -root -tree | grep '\"Duvizo Installer\"' | awk '{print $1}' | head -1"));
    if (wid.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_FALSE(wid.empty());
  const std::string png = home + "box.png";
  EXPECT_EQ(test_run("import -window root '" + png + "'"), 0);
  ASSERT_EQ(test_run("xdotool windowfocus --sync " + wid + " key Return"), 0);
  EXPECT_EQ(app.wait_exit(), 0);
  EXPECT_EQ(app.out(), "dismissed\n");
}
