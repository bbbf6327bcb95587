// The unpack threads of an install pass extract several archives at once,
// and the checksum threads digest files at once.
#include <gtest/gtest.h>
#include <thread>
#include <vector>
#include "files/archive_support.h"
#include "files/file_compress.h"
#include "support/test_env.h"

namespace {

TEST(ArchiveThreads, ParallelExtractionsAndDigests) {
  const std::string zips = cached_fixture("make_infozip_zips.sh");
  const std::string sevens = cached_fixture("make_7z_archives.sh");
  ASSERT_NE("", zips);
  ASSERT_NE("", sevens);
  const std::string dir = test_scratch_dir("threads");
  log_capture log(dir + "log.txt");
  const int kThreads = 6;
  std::vector<int> results(kThreads * 4, -12345);
  std::vector<std::string> digests(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; t++) {
    threads.emplace_back([&, t] {
      const std::string mine = dir + "t" + std::to_string(t) + "/";
      test_run("mkdir -p " + shell_quote(mine + "zip") + " " + shell_quote(mine + "7z"));
      results[4 * t] = zip_to_file(zips + (t % 2 ? "tree.zip" : "tree_fz.zip"), mine + "zip/", nullptr, 0);
      results[4 * t + 1] = p7z_to_file(sevens + (t % 2 ? "lzma2_solid.7z" : "bcj.7z"), mine + "7z/", nullptr, 0);
      results[4 * t + 2] = zip_to_file(mine + "missing.zip", mine, nullptr, 0);
      results[4 * t + 3] = calc_file_md5(mine + "7z/random.bin", digests[t]);
    });
  }
  for (auto& th : threads) th.join();

  const std::string random_md5 = test_capture("md5sum " + shell_quote(sevens + "in/random.bin")).substr(0, 32);
  const std::string text = log.text();
  for (int t = 0; t < kThreads; t++) {
    SCOPED_TRACE(t);
    const std::string mine = dir + "t" + std::to_string(t) + "/";
    EXPECT_EQ(0, results[4 * t]);
    EXPECT_EQ(0, results[4 * t + 1]);
    EXPECT_EQ(20001, results[4 * t + 2]);
    EXPECT_EQ(0, results[4 * t + 3]);
    EXPECT_EQ(random_md5, digests[t]);
    EXPECT_EQ(tree_listing(zips + "src/"), tree_listing(mine + "zip/"));
    EXPECT_EQ(0, test_run("diff -r " + shell_quote(sevens + "in") + " " + shell_quote(mine + "7z")));
    // Each failure's lines stay together although every thread logged at once.
    const std::string missing = mine + "missing.zip";
    EXPECT_NE(std::string::npos, text.find("That incoming file is " + missing + "\nIn c-form, it is " + missing + "\n"));
  }
}

}  // namespace
