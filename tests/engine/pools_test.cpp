// The passes' limits on tasks in flight, and the errors of many failing tasks.
#include <gtest/gtest.h>
#include <errno.h>
#include <set>
#include "core/globs.h"
#include "core/utl_thread.h"
#include "engine/engine_support.h"
#include "engine/utils_checksum.h"
#include "engine/utils_install.h"
#include "support/test_env.h"

namespace {
const char* A = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";

class Pools : public testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state();
    root = test_scratch_dir("pools");
    temp_path = root + "tmp/";
    dest_dir_path = root + "Sim/";
    dvd_path = root + "disc/";
    install_name = "Set";
    ASSERT_EQ(test_run("mkdir -p '" + temp_path + "' '" + dest_dir_path + "' '" + dvd_path + "Set/All'"), 0);
  }
  void TearDown() override {
    install_files_kill();
    checksum_directory_kill();
    reset_engine_state();
    dvd_path.clear();
  }
  std::string root;
};
}  // namespace

TEST_F(Pools, TheCopyPoolHoldsThirtyTasksAndEveryErrorArrivesOnce) {
  const int n = 100;
  for (int i = 0; i < n; ++i) current_version(add_file("All/f" + std::to_string(i), A)).do_install = 1;
  // A step queues before it collects, so its first step fills the copy pool
  // exactly; every archive is missing, so every task fails.
  int cursor = 0;
  std::vector<std::pair<int, std::string>> errors;
  const int first = install_files(cursor, 0);
  EXPECT_EQ(cursor, 30);
  if (first == 3) {  // a copy may already have failed within the step
    std::string msg;
    const int code = install_files_get_error(msg);
    errors.emplace_back(code, msg);
  } else {
    EXPECT_EQ(first, 0);
  }

  const install_run run = run_install_pass(nullptr, cursor);
  ASSERT_TRUE(run.finished);
  errors.insert(errors.end(), run.errors.begin(), run.errors.end());
  std::set<std::string> messages;
  for (const auto& e : errors) {
    EXPECT_EQ(e.first, ENOENT);
    messages.insert(e.second);
  }
  EXPECT_EQ((int)errors.size(), n);
  EXPECT_EQ((int)messages.size(), n);  // one per file, none twice
  EXPECT_EQ(test_capture("ls -A '" + temp_path + "'"), "");
}

TEST_F(Pools, TheChecksumPoolHoldsFourTasksOfTenFilesPerProcessor) {
  const int in_flight = 4 * UTL_count_processors();
  const int n = 10 * in_flight + 25;
  for (int i = 0; i < n; ++i) {
    add_file("All/f" + std::to_string(i), A);
    ASSERT_TRUE(test_write_file(dest_dir_path + "f" + std::to_string(i), "x"));
  }
  int cursor = 0;
  float progress = 0;
  ASSERT_EQ(checksum_directory(cursor, 0, progress), 0);
  EXPECT_EQ(cursor, 10 * in_flight);
  EXPECT_FLOAT_EQ(progress, (float)cursor / n);
  int result = 0;
  while (!result) result = checksum_directory(cursor, 0, progress);
  EXPECT_EQ(cursor, n);
  EXPECT_FLOAT_EQ(progress, 1);
  for (int i = 0; i < n; ++i) EXPECT_EQ(current_version(i).sig_have, "9dd4e461268c8034f5c8564e155c67a6") << i;
}
