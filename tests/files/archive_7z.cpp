// Unpacking 7z archives made by 7-Zip.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include "files/archive_support.h"
#include "files/file_compress.h"
#include "support/test_env.h"

namespace {

class SevenZip : public testing::Test {
 protected:
  void SetUp() override {
    fx_ = cached_fixture("make_7z_archives.sh");
    ASSERT_NE("", fx_);
  }
  std::string fx_;
};

bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

TEST_F(SevenZip, EveryMethodUnpacksToTheSameFiles) {
  // The test runs in the "C" locale: the UTF-8 name must survive it.
  for (const char* archive :
       {"lzma.7z", "lzma_solid.7z", "lzma2.7z", "lzma2_solid.7z", "bcj.7z", "bcj2.7z"}) {
    SCOPED_TRACE(archive);
    const std::string out = test_scratch_dir("7z");
    std::string name;
    ASSERT_EQ(0, p7z_to_file(fx_ + archive, out, &name, 0));
    EXPECT_EQ(0, test_run("diff -r " + shell_quote(fx_ + "in") + " " + shell_quote(out)));
    EXPECT_TRUE(exists(out + "empty.txt"));
    EXPECT_EQ("caf\xc3\xa9\n", test_read_file(out + "naïve é.txt"));
    // The name string holds the full path of the last file written.
    EXPECT_EQ(0u, name.find(out));
    EXPECT_TRUE(exists(name));
    EXPECT_EQ("", hidden_leftovers(out));
  }
}

TEST_F(SevenZip, RenameWritesTheOneFileUnderTheGivenName) {
  const std::string out = test_scratch_dir("7zname");
  std::string name = "renamed.txt";
  ASSERT_EQ(0, p7z_to_file(fx_ + "one.7z", out, &name, 1));
  EXPECT_EQ(out + "renamed.txt", name);
  EXPECT_EQ(test_read_file(fx_ + "in/text.txt"), test_read_file(out + "renamed.txt"));
  EXPECT_FALSE(exists(out + "text.txt"));
}

TEST_F(SevenZip, FailuresAreCodesAndLeaveNoPartialFile) {
  const std::string out = test_scratch_dir("7zbad");
  log_capture log(out + "../7zbad.log");
  EXPECT_EQ(ENOENT, p7z_to_file(fx_ + "missing.7z", out, nullptr, 0));
  EXPECT_EQ(20001, p7z_to_file(fx_ + "not_7z.7z", out, nullptr, 0));

  // A flipped bit in stored bytes: only the CRC tells, after the bytes came.
  EXPECT_EQ(P7Z_ERR_CRC, p7z_to_file(fx_ + "damaged_copy.7z", out, nullptr, 0));
  EXPECT_FALSE(exists(out + "random.bin"));

  // A flipped byte in compressed data: decoding fails on some file.
  EXPECT_NE(0, p7z_to_file(fx_ + "damaged_lzma.7z", out, nullptr, 0));
  EXPECT_EQ("", hidden_leftovers(out));
  EXPECT_EQ("", log.text());

  // A damaged file keeps the installed one.
  ASSERT_TRUE(test_write_file(out + "random.bin", "installed"));
  EXPECT_EQ(P7Z_ERR_CRC, p7z_to_file(fx_ + "damaged_copy.7z", out, nullptr, 0));
  EXPECT_EQ("installed", test_read_file(out + "random.bin"));
}

TEST_F(SevenZip, FoldersAreNotCreated) {
  const std::string out = test_scratch_dir("7zdir");
  EXPECT_EQ(ENOENT, p7z_to_file(fx_ + "subfolder.7z", out, nullptr, 0));
  ASSERT_EQ(0, mkdir((out + "d").c_str(), 0755));
  EXPECT_EQ(0, p7z_to_file(fx_ + "subfolder.7z", out, nullptr, 0));
  EXPECT_EQ("deep\n", test_read_file(out + "d/f.txt"));
}

TEST(ArchiveDeathTest, ShortWriteOfA7zFileIsAnError) {
  const std::string fx = cached_fixture("make_7z_archives.sh");
  ASSERT_NE("", fx);
  death_test_dir shared("7zfsize");
  const std::string out = shared.path();
  EXPECT_EXIT(
      {
        limit_file_size(100000);
        _exit(p7z_to_file(fx + "copy.7z", out, nullptr, 0) == 20004 ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
  EXPECT_FALSE(exists(out + "random.bin"));
  EXPECT_EQ("", hidden_leftovers(out));
}

}  // namespace
