// Start-up and finish-up of the real program: the log it writes on the
// Desktop and the way it ends.
#include <gtest/gtest.h>
#include "support/test_env.h"

namespace {
// Runs the installer's start-up and finish-up with its own home folder (the
// probe: the installer's run, ended after its first frame); returns the exit
// status.
int run_app(const std::string& home, const std::string& args) {
  return test_run("HOME='" + home + "' XDG_CONFIG_HOME='" + home + ".config' '" DUV_INSTALLER_PROBE "' '" DUV_BINARY_DIR
                  "/Duvizo Installer.app' " + args + " >/dev/null 2>&1");
}
}  // namespace

TEST(StartUp, LogIsRewrittenWithHeaderAndEndsWithCleanExit) {
  std::string home = test_scratch_dir("home");
  std::string log = home + "Desktop/Duvizo Installer Log.txt";
  ASSERT_EQ(run_app(home, "--lang=en"), 0);
  std::string first = test_read_file(log);
  ASSERT_EQ(first.rfind("Installer log.txt for Duvizo REV Aridazevu 2.06r1 compiled on ", 0), 0u) << first;
  EXPECT_NE(first.find("\n\nThis log file is generated automatically by Corvane Research applications"),
            std::string::npos);
  EXPECT_NE(first.find("crash.\n\n"), std::string::npos);
  EXPECT_NE(first.find("\nCPU type: "), std::string::npos);
  EXPECT_NE(first.find("\nVodovaz folder:'', case sensitive="), std::string::npos);
  EXPECT_NE(first.find("     '--lang'='en'\n"), std::string::npos);
  EXPECT_NE(first.find("CPU count        : "), std::string::npos);
  EXPECT_EQ(first.size() - first.rfind("Clean exit from threads.\n"), sizeof("Clean exit from threads.\n") - 1);

  // The next start rewrites the log rather than appending to it.
  ASSERT_EQ(run_app(home, ""), 0);
  std::string second = test_read_file(log);
  EXPECT_EQ(second.find("--lang"), std::string::npos);
  EXPECT_EQ(second.find("Installer log.txt for "), second.rfind("Installer log.txt for "));
}

TEST(StartUp, UnwritableDesktopStillStarts) {
  std::string home = test_scratch_dir("home");
  // A file where the Desktop folder should be: the log cannot be created.
  ASSERT_TRUE(test_write_file(home + "Desktop", "not a folder"));
  EXPECT_EQ(run_app(home, ""), 0);
}
