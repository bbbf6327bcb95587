// Paths in the file table that name no file or lead out of the installation:
// the download pass writes and deletes nothing for them and ends the program,
// as reading such a directory file does.
#include <gtest/gtest.h>
#include <unistd.h>
#include "engine/engine_support.h"
#include "engine/utils_download.h"
#include "engine/next.h"
#include "support/test_env.h"

TEST(DownloadPaths, APathOutOfTheInstallationEndsTheProgramUntouched) {
  reset_engine_state();
  // The death tests' children run in homes of their own: the installation
  // lies where parent and child both find it.
  const std::string root = DUV_BINARY_DIR "/download_paths/";
  dest_dir_path = root + "Sim/";
  temp_path = root + "tmp/";
  ASSERT_EQ(0, test_run("mkdir -p '" + dest_dir_path + "' '" + temp_path + "'"));
  ASSERT_TRUE(test_write_file(root + "victim.txt", "keep me"));
  servers = {{"mirror", "/updates/Set/", ""}};
  const struct {
    const char* path;
    bool remove;  // marked do_delete, else do_install
  } cases[] = {
      {"All/../victim.txt", true},
      {"All/sub/../../victim.txt", false},
      {"/victim.txt", true},
      {"All/Resources/", true},  // names a folder, not a file
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    sim_info.clear();
    const int i = add_file(c.path, "0123456789abcdef0123456789abcdef");
    (c.remove ? current_version(i).do_delete : current_version(i).do_install) = 1;
    next.reset_all_streams();
    EXPECT_EXIT(grab_files(), testing::ExitedWithCode(1), "");
    EXPECT_EQ("keep me", test_read_file(root + "victim.txt"));
  }
  servers.clear();
  reset_engine_state();
  if (!testing::internal::InDeathTestChild()) test_run("rm -rf '" + root + "'");
}

TEST(DownloadPaths, ADeletionThroughALinkThatLeadsOutLeavesTheOutsideFile) {
  reset_engine_state();
  const std::string root = test_scratch_dir("download_link");
  dest_dir_path = root + "Sim/";
  temp_path = root + "tmp/";
  ASSERT_EQ(0, test_run("mkdir -p '" + dest_dir_path + "Resources' '" + temp_path + "' '" + root + "victim/sub'"));
  ASSERT_TRUE(test_write_file(root + "victim/sub/gone.txt", "keep me"));
  ASSERT_EQ(0, symlink("../../victim", (dest_dir_path + "Resources/plug").c_str()));
  servers = {{"mirror", "/updates/Set/", ""}};
  current_version(add_file("All/Resources/plug/sub/gone.txt", "GONE", "GONE")).do_delete = 1;
  next.reset_all_streams();
  int result = 0;
  for (int k = 0; k < 100 && !result; ++k) result = grab_files();
  EXPECT_EQ(1, result);
  EXPECT_EQ("keep me", test_read_file(root + "victim/sub/gone.txt"));
  EXPECT_EQ(0, test_run("test -d '" + root + "victim/sub'"));  // its folder is not emptied away either
  servers.clear();
  reset_engine_state();
  test_run("rm -rf '" + root + "'");
}
