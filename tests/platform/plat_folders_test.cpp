#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include "platform/plat_folders.h"
#include "support/test_env.h"

TEST(PlatFolders, HomeFallsBackToThePasswordDatabase) {
  std::string home = getenv("HOME");
  EXPECT_EQ(PLAT_home_folder(), home);
  unsetenv("HOME");
  std::string fallback = PLAT_home_folder();
  setenv("HOME", home.c_str(), 1);
  struct passwd* pw = getpwuid(getuid());
  ASSERT_NE(pw, nullptr);
  EXPECT_EQ(fallback, pw->pw_dir);
}

TEST(PlatFolders, DesktopFromUserDirs) {
  std::string home = getenv("HOME");
  std::string config = PLAT_config_folder();
  ASSERT_EQ(config, std::string(getenv("XDG_CONFIG_HOME")));
  struct row {
    const char* file;
    std::string want;
  } rows[] = {
      {"XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", home + "/Bureau"},
      {nullptr, ""},  // an absolute folder, filled in below
      {"XDG_DESKTOP_DIR=\"relative/desk\"\n", home + "/Desktop"},
      {"XDG_DOWNLOAD_DIR=\"$HOME/Dl\"\n", home + "/Desktop"},
  };
  std::string abs_desk = test_scratch_dir("absdesk");
  abs_desk.pop_back();
  rows[1].want = abs_desk;
  for (const row& r : rows) {
    std::string text = r.file ? r.file : "XDG_DESKTOP_DIR=\"" + abs_desk + "/\"\n";
    ASSERT_TRUE(test_write_file(config + "/user-dirs.dirs", text));
    std::string desk = PLAT_desktop_folder();
    EXPECT_EQ(desk, r.want) << text;
    struct stat st;
    EXPECT_EQ(stat(desk.c_str(), &st), 0) << desk;
  }
  unlink((config + "/user-dirs.dirs").c_str());
}

TEST(PlatFolders, ConfigWithoutXdgVariable) {
  std::string old = getenv("XDG_CONFIG_HOME");
  unsetenv("XDG_CONFIG_HOME");
  std::string config = PLAT_config_folder();
  setenv("XDG_CONFIG_HOME", old.c_str(), 1);
  EXPECT_EQ(config, std::string(getenv("HOME")) + "/.config");
}

TEST(PlatFolders, BundleCanBeStoodInFor) {
  std::string fake = test_scratch_dir("bundle") + "X.app";
  ASSERT_EQ(mkdir(fake.c_str(), 0755), 0);
  PLAT_set_bundle_path(fake + "/");
  EXPECT_EQ(PLAT_bundle_path(), fake);
  EXPECT_EQ(PLAT_bundle_resources_path(), fake + "/Contents/Resources/");
  PLAT_set_bundle_path("");
  EXPECT_EQ(PLAT_bundle_path(), PLAT_executable_path());  // a bare test program is its own bundle
}

TEST(PlatFolders, CaseSensitivityOfTheVolume) {
  std::string dir = test_scratch_dir("vol");
  ASSERT_TRUE(test_write_file(dir + "Name", ""));
  EXPECT_EQ(PLAT_volume_case_sensitive(dir + "Name"), 1);
  EXPECT_EQ(PLAT_volume_case_sensitive(dir + "missing"), -1);
  EXPECT_EQ(PLAT_volume_case_sensitive("/"), -1);
}
