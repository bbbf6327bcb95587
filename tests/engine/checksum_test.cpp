// The checksum pass: what it records for each file, and how it steps.
#include <gtest/gtest.h>
#include <unistd.h>
#include "core/globs.h"
#include "core/utl_thread.h"
#include "engine/engine_support.h"
#include "engine/utils_checksum.h"
#include "support/test_env.h"

namespace {
const char* A = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";

class Checksum : public testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state();
    dest_dir_path = test_scratch_dir("checksum");
  }
  void TearDown() override {
    checksum_directory_kill();
    reset_engine_state();
  }
};
}  // namespace

TEST_F(Checksum, AMissingDestinationMarksEverythingAbsentAtOnce) {
  dest_dir_path += "not_there/";
  const int f = add_file("All/a", A, A);
  const int filtered = add_file("Windows/b", A, A, 2);
  stg.platform = 1;
  int cursor = 7;
  float progress = 0.25f;
  EXPECT_EQ(checksum_directory(cursor, 0, progress), 1);
  EXPECT_EQ(cursor, 7);
  EXPECT_FLOAT_EQ(progress, 0.25f);
  for (int i : {f, filtered}) {  // whatever the filter says
    EXPECT_EQ(current_version(i).sig_have, "NONE");
    EXPECT_EQ(current_version(i).up_to_date, 0);
  }
}

TEST_F(Checksum, AnEmptyTableFinishesWithProgressZero) {
  int cursor = 0;
  float progress = -1;
  int result = 0;
  for (int k = 0; k < 1000000 && !result; ++k) result = checksum_directory(cursor, 0, progress);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(cursor, 0);
  EXPECT_FLOAT_EQ(progress, 0);
}

TEST_F(Checksum, QuickModeTakesPresenceForIntegrity) {
  ASSERT_TRUE(test_write_file(dest_dir_path + "there", "whatever"));
  ASSERT_TRUE(test_write_file(dest_dir_path + "gone_but_there", "x"));
  ASSERT_EQ(mkdir((dest_dir_path + "a_folder").c_str(), 0755), 0);
  const int there = add_file("All/there", A);
  const int missing = add_file("All/missing", A);
  const int gone = add_file("All/gone_but_there", "GONE");
  const int folder = add_file("All/a_folder", A);
  const int filtered = add_file("Windows/there", A, "old", 2);
  stg.platform = 1;
  ASSERT_TRUE(run_checksum_pass(1));
  EXPECT_EQ(current_version(there).sig_have, A);
  EXPECT_EQ(current_version(there).up_to_date, 1);
  EXPECT_EQ(current_version(missing).sig_have, "NONE");
  EXPECT_EQ(current_version(missing).up_to_date, 0);
  EXPECT_EQ(current_version(gone).sig_have, "GONE");
  EXPECT_EQ(current_version(gone).up_to_date, 1);
  EXPECT_EQ(current_version(folder).sig_have, "NONE");
  EXPECT_EQ(current_version(filtered).sig_have, "old");  // skipped files keep what they had
}

TEST_F(Checksum, KillEndsAPassAndTheNextStartsAfresh) {
  // More files than one step can hand out (four tasks of ten files per
  // processor), so the first step cannot finish the pass however fast the
  // workers are.
  const int n = UTL_count_processors() * 4 * 10 + 200;
  for (int i = 0; i < n; ++i) add_file("All/f" + std::to_string(i), A);
  int cursor = 0;
  float progress = 0;
  EXPECT_EQ(checksum_directory(cursor, 1, progress), 0);
  EXPECT_GT(cursor, 0);
  EXPECT_LT(cursor, n);
  EXPECT_FLOAT_EQ(progress, (float)cursor / n);
  EXPECT_EQ(checksum_directory_kill(), 1);
  EXPECT_EQ(checksum_directory_kill(), 1);  // nothing running: still 1
  ASSERT_TRUE(run_checksum_pass(1));
  for (int i = 0; i < n; ++i) EXPECT_EQ(current_version(i).sig_have, "NONE");
}

TEST_F(Checksum, AFileReachedThroughALinkThatLeadsOutIsAbsent) {
  // dest/../victim is beside the installation; "out" leads there by a
  // relative link (the set's kind), "mine" by an absolute one (the user's).
  const std::string victim = dest_dir_path + "../victim/";
  ASSERT_EQ(0, test_run("mkdir -p '" + victim + "' && printf official > '" + victim + "f.txt'"));
  const std::string official = test_capture("printf official | md5sum | cut -d' ' -f1").substr(0, 32);
  ASSERT_EQ(0, symlink("../victim", (dest_dir_path + "out").c_str()));
  ASSERT_EQ(0, symlink(victim.c_str(), (dest_dir_path + "mine").c_str()));
  ASSERT_EQ(0, symlink("../victim/f.txt", (dest_dir_path + "to_file").c_str()));
  const int through_out = add_file("All/out/f.txt", official.c_str());
  const int through_mine = add_file("All/mine/f.txt", official.c_str());
  const int link_out = add_file("All/to_file", official.c_str());
  for (int quick : {0, 1}) {
    SCOPED_TRACE(quick ? "quick" : "full");
    ASSERT_TRUE(run_checksum_pass(quick));
    EXPECT_EQ("NONE", current_version(through_out).sig_have);
    EXPECT_EQ(official, current_version(through_mine).sig_have);
    // A full scan digests the link's own text; a quick one does not follow it out.
    EXPECT_EQ(0, current_version(link_out).up_to_date);
  }
  test_run("rm -rf '" + victim + "'");
}

