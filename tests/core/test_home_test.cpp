// The test programs' own hygiene: a run leaves nothing in the temporary
// folder it was started with, unless it failed, and then it names what it
// kept. Each case re-runs this program on one probe below, with a fresh
// TMPDIR of its own.
#include <gtest/gtest.h>
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>
#include "support/test_env.h"

namespace {

std::vector<std::string> entries(const std::string& dir) {
  std::vector<std::string> out;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") out.push_back(e->d_name);
    closedir(d);
  }
  return out;
}

// What a test leaves in its home: scratch files, a read-only folder.
void litter() {
  const std::string d = test_scratch_dir("litter");
  ASSERT_FALSE(d.empty());
  ASSERT_TRUE(test_write_file(d + "f.txt", "x"));
  ASSERT_EQ(0, mkdir((d + "ro").c_str(), 0755));
  ASSERT_TRUE(test_write_file(d + "ro/g.txt", "y"));
  ASSERT_EQ(0, chmod((d + "ro").c_str(), 0555));
}

}  // namespace

// The probes, run only when a case below asks for them.
TEST(TestHomeProbe, DISABLED_Passes) { litter(); }
TEST(TestHomeProbe, DISABLED_Fails) {
  litter();
  ADD_FAILURE() << "deliberate";
}
TEST(TestHomeProbe, DISABLED_DeathChild) {
  EXPECT_EXIT(
      {
        litter();
        _exit(3);
      },
      testing::ExitedWithCode(3), "");
}

TEST(TestHome, RunLeavesNothingUnlessItFailed) {
  struct Case {
    const char* args;
    int status;
    bool kept;
  };
  const Case cases[] = {
      {"--gtest_filter=TestHomeProbe.DISABLED_Passes --gtest_also_run_disabled_tests", 0, false},
      {"--gtest_filter=TestHomeProbe.DISABLED_DeathChild --gtest_also_run_disabled_tests", 0, false},
      {"--gtest_list_tests", 0, false},
      {"--gtest_filter=TestHomeProbe.DISABLED_Fails --gtest_also_run_disabled_tests", 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    const std::string outer = test_scratch_dir("outer");
    ASSERT_FALSE(outer.empty());
    int status = -1;
    const std::string out = test_capture("TMPDIR='" + outer + "' /proc/" + std::to_string(getpid()) +
                                             "/exe " + c.args + " 2>&1",
                                         &status);
    EXPECT_EQ(c.status, status) << out;
    const std::vector<std::string> left = entries(outer);
    if (!c.kept) {
      EXPECT_TRUE(left.empty()) << left.size() << " left, first " << (left.empty() ? "" : left[0]);
      continue;
    }
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(0u, left[0].rfind("duv-test-", 0)) << left[0];
    EXPECT_NE(std::string::npos, out.find("test home kept: " + outer + left[0])) << out;
  }
}
