// Making the install's folders and deleting what is no longer wanted.
#include <gtest/gtest.h>
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "engine/utils_counts.h"
#include "engine/utils_dirs.h"
#include "support/test_env.h"

namespace {
const char* A = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";

bool is_dir(const std::string& p) {
  struct stat st;
  return lstat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
bool exists(const std::string& p) {
  struct stat st;
  return lstat(p.c_str(), &st) == 0;
}

class EngineDirs : public testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state();
    root = test_scratch_dir("dirs");
    dest_dir_path = root + "Sim/";
  }
  void TearDown() override { reset_engine_state(); }
  std::string root;
};
}  // namespace

TEST_F(EngineDirs, MakesTheDestinationFileFoldersAndFixedFolders) {
  dest_dir_path = root + "deep/er/Sim/";
  current_version(add_file("All/Resources/plugins/x/a.txt", A)).do_install = 1;
  current_version(add_file("All/top.txt", A)).do_install = 1;
  add_file("All/NotWanted/b.txt", A);                           // not marked
  current_version(add_file("Windows/Win/c.exe", A, "NONE", 2)).do_install = 1;  // filtered out
  stg.platform = 1;
  ASSERT_EQ(make_dirs(), 0);
  for (const char* f : {"", "Resources", "Resources/plugins", "Resources/plugins/x", "Output", "Output/FMS plans",
                        "Output/logbooks", "Output/replays", "Output/situations", "Output/preferences"})
    EXPECT_TRUE(is_dir(dest_dir_path + f)) << f;
  EXPECT_FALSE(exists(dest_dir_path + "NotWanted"));
  EXPECT_FALSE(exists(dest_dir_path + "Win"));
  EXPECT_FALSE(exists(dest_dir_path + "top.txt"));
  ASSERT_EQ(make_dirs(), 0);  // everything exists already
}

TEST_F(EngineDirs, AFileInTheWayIsAFailure) {
  current_version(add_file("All/Resources/plugins/a.txt", A)).do_install = 1;
  ASSERT_EQ(mkdir(dest_dir_path.c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(dest_dir_path + "Resources", "not a folder"));
  EXPECT_EQ(make_dirs(), EEXIST);
  EXPECT_FALSE(exists(dest_dir_path + "Output"));  // stops at the first failure

  dest_dir_path = root + "blocker/Sim/";
  ASSERT_TRUE(test_write_file(root + "blocker", "x"));
  EXPECT_EQ(make_dirs(), EEXIST);
}

TEST_F(EngineDirs, FrameworkFoldersMakeWayForLinks) {
  const std::string fw = dest_dir_path + "Resources/plugins/Tessel.framework/";
  const std::string kit = dest_dir_path + "Resources/plugins/Tesselkit.framework/";
  ASSERT_EQ(test_run("mkdir -p '" + fw + "Versions/Current' '" + fw + "Resources' '" + kit + "Versions/A/Resources'"), 0);
  ASSERT_EQ(symlink("A", (kit + "Versions/Current").c_str()), 0);
  ASSERT_EQ(symlink("Versions/Current/Resources", (kit + "Resources").c_str()), 0);
  ASSERT_EQ(make_dirs(), 0);
  EXPECT_TRUE(is_dir(fw + "Versions/_Current"));
  EXPECT_FALSE(exists(fw + "Versions/Current"));
  EXPECT_TRUE(is_dir(fw + "_Resources"));
  EXPECT_FALSE(exists(fw + "Resources"));
  EXPECT_FALSE(exists(kit + "Versions/_Current"));  // links stay as they are
  EXPECT_FALSE(exists(kit + "_Resources"));
}

TEST_F(EngineDirs, DeletesMarkedFilesAndTheFoldersTheyEmptied) {
  ASSERT_EQ(test_run("mkdir -p '" + dest_dir_path + "a/b/c' '" + dest_dir_path + "keep/sub'"), 0);
  for (const char* f : {"a/b/c/gone1", "a/b/gone2", "keep/sub/gone3", "keep/kept", "top_gone"})
    ASSERT_TRUE(test_write_file(dest_dir_path + f, "x"));
  int marked[4];
  const char* paths[4] = {"All/a/b/c/gone1", "All/a/b/gone2", "All/keep/sub/gone3", "All/top_gone"};
  for (int k = 0; k < 4; ++k) {
    marked[k] = add_file(paths[k], "GONE", "GONE");
    current_version(marked[k]).do_delete = 1;
  }
  const int kept = add_file("All/keep/kept", A, A);
  const int missing = add_file("All/never/there", "GONE", "GONE");
  current_version(missing).do_delete = 1;
  pass_counts_reset();
  delete_files();
  EXPECT_EQ(counted(), "0 0 0 5");  // a file gone already counts as deleted
  EXPECT_FALSE(exists(dest_dir_path + "a"));  // emptied from the deepest up
  EXPECT_FALSE(exists(dest_dir_path + "keep/sub"));
  EXPECT_TRUE(exists(dest_dir_path + "keep/kept"));
  EXPECT_FALSE(exists(dest_dir_path + "top_gone"));
  EXPECT_TRUE(is_dir(dest_dir_path));  // the installation folder stays, though empty of those
  for (int k : marked) {
    EXPECT_EQ(current_version(k).sig_have, "NONE");
    EXPECT_EQ(current_version(k).up_to_date, 0);
  }
  EXPECT_EQ(current_version(missing).sig_have, "NONE");
  EXPECT_EQ(current_version(kept).sig_have, A);
}

TEST_F(EngineDirs, CleanUpNeverLeavesTheInstallation) {
  // Only the emptied file's own folders inside the installation go; the empty
  // installation folder and its empty parent stay.
  dest_dir_path = root + "parent/Sim/";
  ASSERT_EQ(test_run("mkdir -p '" + dest_dir_path + "d'"), 0);
  ASSERT_TRUE(test_write_file(dest_dir_path + "d/f", "x"));
  ASSERT_TRUE(test_write_file(root + "outside", "x"));
  current_version(add_file("All/d/f", "GONE", "GONE")).do_delete = 1;
  current_version(add_file("All/../../outside", "GONE", "GONE")).do_delete = 1;
  current_version(add_file("All/d/../../../outside", "GONE", "GONE")).do_delete = 1;
  delete_files();
  EXPECT_FALSE(exists(dest_dir_path + "d"));
  EXPECT_TRUE(is_dir(dest_dir_path));
  EXPECT_TRUE(is_dir(root + "parent"));
  EXPECT_TRUE(exists(root + "outside"));
}

TEST_F(EngineDirs, NothingIsMadeOrDeletedThroughALinkThatLeadsOut) {
  // Sim/plug leads to the victim folder beside the installation, as a link a
  // set made inside could come to by a later link; Sim/mine is the user's own
  // link to a moved folder.
  const std::string victim = root + "victim/";
  ASSERT_EQ(test_run("mkdir -p '" + dest_dir_path + "' '" + victim + "sub' '" + root + "moved/sub'"), 0);
  ASSERT_TRUE(test_write_file(victim + "sub/gone", "x"));
  ASSERT_TRUE(test_write_file(root + "moved/sub/gone", "x"));
  ASSERT_EQ(symlink("../victim", (dest_dir_path + "plug").c_str()), 0);
  ASSERT_EQ(symlink((root + "moved").c_str(), (dest_dir_path + "mine").c_str()), 0);
  current_version(add_file("All/plug/sub/gone", "GONE", "GONE")).do_delete = 1;
  current_version(add_file("All/mine/sub/gone", "GONE", "GONE")).do_delete = 1;
  current_version(add_file("All/plug/new/a.txt", A)).do_install = 1;
  current_version(add_file("All/mine/new/a.txt", A)).do_install = 1;
  ASSERT_EQ(make_dirs(), 0);  // the folder that leads out is passed over
  EXPECT_FALSE(exists(victim + "new"));
  EXPECT_TRUE(is_dir(root + "moved/new"));
  pass_counts_reset();
  delete_files();
  EXPECT_EQ(counted(), "0 1 0 1");  // the file out there is left, a failure
  EXPECT_TRUE(exists(victim + "sub/gone"));
  EXPECT_TRUE(is_dir(victim + "sub"));  // nor emptied out there
  EXPECT_FALSE(exists(root + "moved/sub"));  // the user's folder is the installation's
  EXPECT_TRUE(exists(dest_dir_path + "plug"));
  EXPECT_TRUE(exists(dest_dir_path + "mine"));
}
