// MD5 digests of files, checked against md5sum.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include "files/archive_support.h"
#include "files/test_child.h"
#include "files/file_compress.h"
#include "support/test_env.h"

namespace {

std::string md5sum_of(const std::string& path) {
  return test_capture("md5sum " + shell_quote(path)).substr(0, 32);
}

TEST(ArchiveMd5, KnownValuesLinksAndMissingFiles) {
  const std::string dir = test_scratch_dir("md5");
  ASSERT_TRUE(test_write_file(dir + "abc", "abc"));
  ASSERT_TRUE(test_write_file(dir + "empty", ""));
  ASSERT_TRUE(test_write_file(dir + "other", "something else"));
  ASSERT_EQ(0, symlink("abc", (dir + "link_abc").c_str()));
  ASSERT_EQ(0, symlink("other", (dir + "abc_named_link").c_str()));
  const struct {
    const char* file;
    const char* digest;
  } cases[] = {
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"empty", "d41d8cd98f00b204e9800998ecf8427e"},
      // A link is digested by its text, wherever it leads.
      {"link_abc", "900150983cd24fb0d6963f7d28e17f72"},
  };
  for (const auto& c : cases) {
    std::string digest = "NONE";
    EXPECT_EQ(0, calc_file_md5(dir + c.file, digest)) << c.file;
    EXPECT_EQ(c.digest, digest) << c.file;
  }
  std::string digest = "NONE";
  EXPECT_EQ(20006, calc_file_md5(dir + "missing", digest));
  EXPECT_EQ("NONE", digest);
  EXPECT_EQ(20006, calc_file_md5(dir, digest));
  EXPECT_EQ("NONE", digest);
}

// A file that cannot be read has no digest, least of all the empty file's.
TEST(ArchiveMd5, UnreadableFileIsAnError) {
  const std::string dir = test_scratch_dir("md5unreadable");
  // Others may pass through the folder and see the file, but not read it.
  ASSERT_EQ(0, chmod(dir.c_str(), 0755));
  ASSERT_EQ(0, chmod(dir.substr(0, dir.rfind('/', dir.size() - 2)).c_str(), 0755));
  ASSERT_TRUE(test_write_file(dir + "secret", "not for everyone"));
  ASSERT_EQ(0, chmod((dir + "secret").c_str(), 0600));
  const int r = test_as_nobody([&] {
    std::string digest = "NONE";
    const int code = calc_file_md5(dir + "secret", digest);
    return code == 20006 && digest == "NONE" ? 0 : 1;
  });
  if (r == k_child_unsupported) GTEST_SKIP() << "cannot run as another user here";
  EXPECT_EQ(0, r);
}

TEST(ArchiveMd5, AgreesWithMd5sumAcrossBlockAndChunkSizes) {
  const std::string dir = test_scratch_dir("md5sizes");
  // Sizes around the 64-byte block, its padding limit and the 65,535-byte
  // chunks the digest is fed in.
  for (long size : {55L, 56L, 63L, 64L, 65535L, 65536L, 200000L, 3000001L}) {
    const std::string f = dir + "f" + std::to_string(size);
    ASSERT_EQ(0, test_run("head -c " + std::to_string(size) + " /dev/urandom > " + shell_quote(f)));
    std::string digest;
    ASSERT_EQ(0, calc_file_md5(f, digest));
    EXPECT_EQ(md5sum_of(f), digest) << size;
  }
}

}  // namespace
