// Writing one-file zip archives, checked with Info-ZIP's unzip.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include "files/archive_support.h"
#include "files/file_compress.h"
#include "support/test_env.h"

namespace {

std::string zip_names(const std::string& archive) { return test_capture("unzip -Z1 " + shell_quote(archive)); }

// Unpacks archive with unzip into a new folder; that folder.
std::string unzip_into(const std::string& archive) {
  const std::string out = test_scratch_dir("unzipped");
  EXPECT_EQ(0, test_run("unzip -q " + shell_quote(archive) + " -d " + shell_quote(out)));
  return out;
}

TEST(ArchiveWrite, FileKeepsBytesModeTimeAndUtf8Name) {
  const std::string dir = test_scratch_dir("write");
  const std::string src = dir + "naïve é.bin";
  ASSERT_EQ(0, test_run("head -c 300000 /dev/urandom > " + shell_quote(src) + " && chmod 750 " + shell_quote(src) +
                        " && touch -d '2022-03-04 05:06:08' " + shell_quote(src)));
  const std::string archive = dir + "out.zip";
  ASSERT_EQ(0, file_to_zip(src, archive));
  EXPECT_EQ(0, test_run("unzip -tq " + shell_quote(archive) + " >/dev/null"));
  EXPECT_EQ("naïve é.bin\n", zip_names(archive));
  EXPECT_NE(std::string::npos, test_capture("unzip -Z -v " + shell_quote(archive)).find("operating system of origin:      Unix"));

  const std::string out = unzip_into(archive);
  EXPECT_EQ(0, test_run("cmp " + shell_quote(src) + " " + shell_quote(out + "naïve é.bin")));
  EXPECT_EQ(tree_listing(dir).find("naïve é.bin file 750 300000"), tree_listing(dir).find("naïve é.bin file"));
  EXPECT_EQ(test_capture("cd " + shell_quote(dir) + " && find . -name '*.bin' -printf '%P %m %s %T@'"),
            test_capture("cd " + shell_quote(out) + " && find . -name '*.bin' -printf '%P %m %s %T@'"));
}

TEST(ArchiveWrite, LinkIsStoredAsALink) {
  const std::string dir = test_scratch_dir("wlink");
  ASSERT_EQ(0, symlink("some/where/else", (dir + "lnk").c_str()));
  const std::string archive = dir + "lnk.zip";
  ASSERT_EQ(0, file_to_zip(dir + "lnk", archive));
  EXPECT_EQ(0, test_run("unzip -tq " + shell_quote(archive) + " >/dev/null"));
  const std::string out = unzip_into(archive);
  char buf[64];
  ssize_t n = readlink((out + "lnk").c_str(), buf, sizeof buf);
  ASSERT_GT(n, 0);
  EXPECT_EQ("some/where/else", std::string(buf, n));
}

TEST(ArchiveWrite, EmptyFileAndFailures) {
  const std::string dir = test_scratch_dir("wempty");
  ASSERT_TRUE(test_write_file(dir + "empty", ""));
  ASSERT_EQ(0, file_to_zip(dir + "empty", dir + "empty.zip"));
  EXPECT_EQ(0, test_run("unzip -tq " + shell_quote(dir + "empty.zip") + " >/dev/null"));
  EXPECT_EQ("", test_read_file(unzip_into(dir + "empty.zip") + "empty"));

  log_capture log(dir + "log.txt");
  EXPECT_EQ(ENOENT, file_to_zip(dir + "missing", dir + "missing.zip"));
  EXPECT_EQ(20003, file_to_zip(dir + "empty", dir + "no/such/folder/x.zip"));
  const std::string text = log.text();
  EXPECT_NE(std::string::npos, text.find("file_to_zip failed with error 2.\nfile = RUvozuz/Files/FILE_compress line = "));
  EXPECT_NE(std::string::npos, text.find("file_to_zip failed with error 20003.\n"));
}

TEST(ArchiveWrite, ResourceForkBecomesACompanionAndComesBack) {
  const std::string dir = test_scratch_dir("wfork");
  const std::string src = dir + "doc.txt";
  ASSERT_TRUE(test_write_file(src, "data fork"));
  std::string fork_hex = "0x";
  for (int i = 0; i < 100; i++) fork_hex += "ab";
  ASSERT_EQ(0, test_run("setfattr -n user.com.apple.ResourceFork -v " + fork_hex + " " + shell_quote(src)));
  ASSERT_EQ(0, test_run("setfattr -n user.com.apple.FinderInfo -v 0x54455854747478740100000500070000" +
                        std::string(32, '0') + " " + shell_quote(src)));
  const std::string archive = dir + "doc.zip";
  ASSERT_EQ(0, file_to_zip(src, archive));
  EXPECT_EQ("doc.txt\n__MACOSX/._doc.txt\n", zip_names(archive));
  EXPECT_EQ(0, test_run("unzip -tq " + shell_quote(archive) + " >/dev/null"));

  // The companion as unzip sees it: 82 bytes of header and Finder
  // information, then the fork.
  const std::string companion = test_read_file(unzip_into(archive) + "__MACOSX/._doc.txt");
  ASSERT_EQ(182u, companion.size());
  EXPECT_EQ(std::string("\x00\x05\x16\x07\x00\x02\x00\x00", 8), companion.substr(0, 8));
  EXPECT_EQ(std::string("\x00\x00\x00\x64", 4), companion.substr(46, 4));
  EXPECT_EQ("TEXTttxt", companion.substr(50, 8));
  EXPECT_EQ(std::string(100, '\xab'), companion.substr(82));

  // Our own reader puts fork and Finder information back.
  const std::string back = test_scratch_dir("wforkback");
  ASSERT_EQ(0, zip_to_file(archive, back, nullptr, 0));
  EXPECT_EQ(std::string(100, '\xab'), xattr_value(back + "doc.txt", "user.com.apple.ResourceFork"));
  EXPECT_EQ("TEXTttxt", xattr_value(back + "doc.txt", "user.com.apple.FinderInfo").substr(0, 8));
  EXPECT_EQ("data fork", test_read_file(back + "doc.txt"));

  // Without a fork: exactly one entry.
  ASSERT_TRUE(test_write_file(dir + "plain.txt", "plain"));
  ASSERT_EQ(0, file_to_zip(dir + "plain.txt", dir + "plain.zip"));
  EXPECT_EQ("plain.txt\n", zip_names(dir + "plain.zip"));
}

}  // namespace
