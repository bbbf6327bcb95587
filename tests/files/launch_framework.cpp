// Loading the system libraries that stand for Mac frameworks.
#include <gtest/gtest.h>
#include "files/archive_support.h"
#include "files/file_launch.h"
#include "platform/plat_libraries.h"
#include "support/test_env.h"

namespace {

TEST(LaunchFramework, KnownFrameworksLoad) {
  PLAT_library gl = nullptr;
  ASSERT_EQ(0, load_bundle_by_filename("OpenGL.framework", 0, &gl));
  ASSERT_NE(nullptr, gl);
  EXPECT_NE(nullptr, PLAT_library_symbol(gl, "glGetString"));
  PLAT_release_library(gl);
  // Without a handle wanted, the library is loaded and the handle let go.
  EXPECT_EQ(0, load_bundle_by_filename("Carbon.framework", 0, nullptr));
}

TEST(LaunchFramework, FailuresWithoutAlertAreSilentCodes) {
  const std::string dir = test_scratch_dir("framework");
  log_capture log(dir + "log.txt");
  PLAT_library lib = nullptr;
  EXPECT_EQ(-54, load_bundle_by_filename("NoSuchThing.framework", 0, &lib));
  EXPECT_EQ(-50, load_bundle_by_filename(nullptr, 0, &lib));
  EXPECT_EQ(-50, load_bundle_by_filename("bad \xff name", 0, &lib));
  EXPECT_EQ(nullptr, lib);
  EXPECT_EQ("", log.text());
}

TEST(LaunchFrameworkDeathTest, FailureWithAlertEndsTheProgram) {
  death_test_dir shared("framework");
  const std::string log_file = shared.path() + "log.txt";
  EXPECT_EXIT(
      {
        log_capture log(log_file);
        load_bundle_by_filename("NoSuchThing.framework", 1, nullptr);
        _exit(99);
      },
      testing::ExitedWithCode(1), "");
  const std::string text = test_read_file(log_file);
  EXPECT_NE(std::string::npos, text.find("Could not create bundle for location\n\n\nNoSuchThing.framework\n"));
  EXPECT_NE(std::string::npos, text.find("RUvozuz/Files/FILE_ops"));
}

}  // namespace
