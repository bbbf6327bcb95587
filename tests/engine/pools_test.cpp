// The passes' limits on tasks in flight, seen by blocking the worker threads
// on named pipes: a copy from a pipe, and a digest of one, wait until the
// test writes to it.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <set>
#include "core/globs.h"
#include "core/utl_thread.h"
#include "engine/engine_support.h"
#include "engine/utils_checksum.h"
#include "engine/utils_install.h"
#include "support/test_env.h"

namespace {
const char* A = "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa";

// Lets the one reader that waits on the pipe go on, seeing an empty stream.
void release_pipe(const std::string& fifo) {
  const int fd = open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(close(fd), 0);
}

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
  const std::string fifo = dvd_path + "Set/All/f0.zip";  // the others are missing
  ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
  int cursor = 0;
  for (int step = 0; step < 200; ++step) ASSERT_EQ(install_files(cursor, 0), 0);
  EXPECT_EQ(cursor, 30);  // the copy thread waits on the pipe: no slot frees
  release_pipe(fifo);

  std::set<std::string> messages;
  int errors = 0;
  const install_run run = run_install_pass(nullptr, cursor);
  ASSERT_TRUE(run.finished);
  for (const auto& e : run.errors) {
    ++errors;
    EXPECT_NE(e.first, 0);
    messages.insert(e.second);
  }
  EXPECT_EQ(errors, n);
  EXPECT_EQ((int)messages.size(), n);  // one per file, none twice
  EXPECT_EQ(test_capture("ls -A '" + temp_path + "'"), "");
}

TEST_F(Pools, TheChecksumPoolHoldsFourTasksPerProcessor) {
  const int procs = UTL_count_processors();
  const int in_flight = 4 * procs;
  const int n = 10 * in_flight + 25;
  for (int i = 0; i < n; ++i) {
    const std::string name = "f" + std::to_string(i);
    add_file("All/" + name, A);
    if (i % 10 == 0 && i / 10 < procs) {
      ASSERT_EQ(mkfifo((dest_dir_path + name).c_str(), 0644), 0);  // holds one thread each
    } else {
      ASSERT_TRUE(test_write_file(dest_dir_path + name, "x"));
    }
  }
  int cursor = 0;
  float progress = 0;
  for (int step = 0; step < 200; ++step) ASSERT_EQ(checksum_directory(cursor, 0, progress), 0);
  EXPECT_EQ(cursor, 10 * in_flight);
  EXPECT_FLOAT_EQ(progress, (float)cursor / n);
  for (int t = 0; t < procs; ++t) release_pipe(dest_dir_path + "f" + std::to_string(10 * t));
  int result = 0;
  while (!result) result = checksum_directory(cursor, 0, progress);
  EXPECT_EQ(cursor, n);
  EXPECT_FLOAT_EQ(progress, 1);
  for (int i = 0; i < n; ++i) EXPECT_EQ(current_version(i).sig_have, i % 10 == 0 && i / 10 < procs ? "NONE" : "9dd4e461268c8034f5c8564e155c67a6") << i;
}
