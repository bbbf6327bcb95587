#include <gtest/gtest.h>
#include <limits.h>
#include <unistd.h>
#include <string>
#include "core/utl_resource.h"
#include "platform/plat_bundle.h"
#include "support/test_env.h"

namespace {

TEST(ResourcePath, PrefixIsRecognisedAndStripped) {
  const struct {
    const char* in;
    int is_resource;
    const char* out;
  } cases[] = {
      {"RESOURCE:map.png", 1, "map.png"},
      {"resource:map.png", 0, "resource:map.png"},
      {"RESOURCE", 0, "RESOURCE"},
      {"RESOURCE:", 1, ""},
      {"RESOURCE:RESOURCE:x", 1, "RESOURCE:x"},
      {"/abs/RESOURCE:x", 0, "/abs/RESOURCE:x"},
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    std::string p = c.in;
    EXPECT_EQ(UTL_path_is_resource(p), c.is_resource) << c.in;
    EXPECT_EQ(p, c.out) << c.in;
  }
}

TEST(ResourcePath, OutsideABundleNothingResolves) {
  // The test program does not run from a bundle.
  EXPECT_EQ(PLAT_bundle_resources_path(), "");
  EXPECT_EQ(UTL_resource_get_file("map.png"), "");
  EXPECT_EQ(PLAT_bundle_path(), PLAT_executable_path());
}

// Runs only inside a copy of this program placed in a bundle by the test
// below, which asks for it by name.
TEST(ResourceInBundle, DISABLED_ResolvesInTheBundlesResources) {
  const std::string res = PLAT_bundle_resources_path();
  ASSERT_FALSE(res.empty()) << "only meaningful inside a bundle";
  const std::string bundle = PLAT_bundle_path();
  EXPECT_EQ(res, bundle + "/Contents/Resources/");
  EXPECT_EQ(UTL_resource_get_file("map.png"), res + "map.png");
  EXPECT_EQ(UTL_resource_get_file("French.txt"), res + "French.txt");
  EXPECT_EQ(UTL_resource_get_file("missing.png"), "");
  EXPECT_EQ(UTL_resource_get_file(""), "");
  // Start-up moves into the folder that holds the bundle.
  ASSERT_EQ(PLAT_enter_bundle_folder(), 0);
  char cwd[PATH_MAX];
  ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
  EXPECT_EQ(std::string(cwd) + "/Test Bundle.app", bundle);
}

TEST(ResourceInBundle, CopyOfThisProgramInsideABundle) {
  const std::string dir = test_scratch_dir("bundle");
  const std::string app = dir + "Test Bundle.app";
  ASSERT_EQ(test_run("mkdir -p \"" + app + "/Contents/MacOS\" \"" + app + "/Contents/Resources\""), 0);
  ASSERT_TRUE(test_write_file(app + "/Contents/Resources/map.png", "png"));
  ASSERT_TRUE(test_write_file(app + "/Contents/Resources/French.txt", "txt"));
  ASSERT_EQ(test_run("cp \"" + PLAT_executable_path() + "\" \"" + app + "/Contents/MacOS/\""), 0);
  const std::string exe = app + "/Contents/MacOS/" + PLAT_executable_path().substr(PLAT_executable_path().rfind('/') + 1);
  int status = -1;
  const std::string out = test_capture("cd / && timeout 120 \"" + exe +
                                           "\" --gtest_also_run_disabled_tests"
                                           " --gtest_filter=ResourceInBundle.DISABLED_ResolvesInTheBundlesResources 2>&1",
                                       &status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("[  PASSED  ] 1 test"), std::string::npos) << out;
  EXPECT_EQ(out.find("SKIPPED"), std::string::npos) << out;
  test_run("rm -rf \"" + dir + "\"");
}

}  // namespace
