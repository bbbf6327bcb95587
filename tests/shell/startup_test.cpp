// Start-up and finish-up pieces on their own: the system-box path of
// alerts, and opening web pages.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>
#include <chrono>
#include <thread>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/utl_cmdline.h"
#include "shell/hl_alerts.h"
#include "support/test_env.h"

namespace {

// Texts the system box was given, in order.
std::vector<std::string> g_boxes;
void record_box(const std::string& message, const std::string& detail) {
  g_boxes.push_back(message);
  g_boxes.push_back(detail);
}

}  // namespace

TEST(AlertBox, BeforeStartUpEndsAWarningGoesToTheSystemBoxAndIsLogged) {
  const std::string log = test_scratch_dir("box") + "log.txt";
  xer.open(log);
  const alert_screens saved = g_alert_screens;
  g_alert_screens.show_system_box = record_box;
  g_boxes.clear();
  ogl_inited = 0;
  __MACIBM_alert(0, "l1", "l2", "l3", "l4", t_warning, "w.cpp", 5);
  g_alert_screens = saved;
  xer.close();
  xer.clear();
  EXPECT_EQ(g_boxes, (std::vector<std::string>{"l1 l2", "l3 l4"}));
  EXPECT_EQ(in_alert, 0);
  EXPECT_EQ(test_read_file(log), "\nl1\nl2\nl3\nl4\n(w.cpp line 5)\n");
}

TEST(AlertBoxDeathTest, AnAlertDuringAnAlertShowsTheBoxThenEndsAsACrash) {
  const std::string dir = test_scratch_dir("reentry");
  EXPECT_EXIT(
      {
        if (chdir(dir.c_str()) != 0) _exit(3);
        xer.open("/dev/stderr", std::ios::app);
        ogl_inited = 1;
        in_alert = 1;  // an alert screen is showing
        __MACIBM_alert(0, "inner", "alert", "", "", t_warning, "r.cpp", 9);
      },
      ::testing::KilledBySignal(SIGABRT), "inner alert\n \n(.|\n)*\ninner\nalert\n\n\n\\(r.cpp line 9\\)");
}

TEST(AlertBoxDeathTest, OverlongTextIsOneCrashWithOneStackCrawl) {
  // The child runs this body again in the same home: a fixed folder there.
  const std::string dir = std::string(getenv("HOME")) + "/overlong/";
  ASSERT_EQ(test_run("mkdir -p '" + dir + "'"), 0);
  EXPECT_EXIT(
      {
        if (chdir(dir.c_str()) != 0) _exit(3);
        xer.open("/dev/stderr");
        ogl_inited = 0;
        __MACIBM_alert(0, std::string(500, 'x'), "", "", "", t_warning, "long.cpp", 9);
      },
      ::testing::KilledBySignal(SIGABRT), "String too long!");
  const std::string crawl = test_read_file(dir + "stack_crawl.txt");
  size_t starts = 0;
  for (size_t at = 0; (at = crawl.find("\n  0) ", at)) != std::string::npos; ++at) ++starts;
  if (crawl.rfind("  0) ", 0) == 0) ++starts;
  EXPECT_EQ(starts, 1u) << crawl;
}

TEST(GoToUrl, TheOpenerGetsTheAddressAsOneArgumentAndNoShellSeesIt) {
  const std::string dir = test_scratch_dir("opener");
  const std::string out = dir + "args.txt";
  ASSERT_TRUE(test_write_file(dir + "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$1\" > '" + out + ".part'\nmv '" +
                                                    out + ".part' '" + out + "'\n"));
  ASSERT_EQ(chmod((dir + "xdg-open").c_str(), 0755), 0);
  const std::string old_path = getenv("PATH");
  setenv("PATH", (dir.substr(0, dir.size() - 1) + ":" + old_path).c_str(), 1);
  const std::string cwd = dir + "cwd/";
  ASSERT_EQ(mkdir(cwd.c_str(), 0755), 0);
  ASSERT_EQ(chdir(cwd.c_str()), 0);
  const std::string url = "https://example.invalid/a b?x;touch y&z=$(touch w)";
  go_to_URL(url);
  // It returns at once; the opener runs on its own.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (test_read_file(out).empty() && std::chrono::steady_clock::now() < end)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  setenv("PATH", old_path.c_str(), 1);
  EXPECT_EQ(test_read_file(out), "1\n" + url + "\n");
  EXPECT_EQ(test_list_folder(cwd), std::vector<std::string>{});
  ASSERT_EQ(chdir(dir.c_str()), 0);
}

TEST(GoToUrlDeathTest, FiveHundredCharactersAreACrash) {
  const std::string dir = test_scratch_dir("longurl");
  EXPECT_EXIT(
      {
        if (chdir(dir.c_str()) != 0) _exit(3);
        xer.open("/dev/stderr");
        cmdline.options["--qa_script"] = "";
        go_to_URL("https://" + std::string(492, 'a'));
      },
      ::testing::ExitedWithCode(1), "String too long!");
}
