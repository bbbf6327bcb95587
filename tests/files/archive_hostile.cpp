// Archives whose entries try to reach outside the extraction folder.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include "files/archive_support.h"
#include "files/file_compress.h"
#include "support/test_env.h"

namespace {

// Everything below folder, one path a line ("" when empty or missing).
std::string contents(const std::string& folder) {
  return test_capture("cd " + shell_quote(folder) + " 2>/dev/null && find . -mindepth 1 | LC_ALL=C sort");
}

// What folder itself holds, one name a line.
std::string top_level(const std::string& folder) {
  return test_capture("cd " + shell_quote(folder) + " && find . -mindepth 1 -maxdepth 1 | LC_ALL=C sort");
}

TEST(ArchiveHostile, ZipEntriesNeverWriteOutsideTheFolder) {
  const std::string fx = cached_fixture("make_zip_entries.py");
  ASSERT_NE("", fx);
  const std::string outside = fx + "outside/";
  const struct {
    const char* archive;
    const char* left_inside;  // what the entries before the refused one made
  } cases[] = {
      {"evil_dotdot.zip", "./ok.txt\n"},
      {"evil_nested_dotdot.zip", ""},
      {"evil_absolute.zip", ""},
      {"evil_link_then_file.zip", "./lnk\n"},
      {"evil_relative_link_then_file.zip", "./up\n"},
      {"evil_companion.zip", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.archive);
    // The folder outlives the run (the fixture is kept): start it empty.
    ASSERT_EQ(0, test_run("rm -rf " + shell_quote(outside) + " && mkdir " + shell_quote(outside)));
    const std::string parent = test_scratch_dir("hostile");
    const std::string out = parent + "dest/";
    ASSERT_EQ(0, mkdir(out.c_str(), 0755));
    log_capture log(parent + "log.txt");
    EXPECT_EQ(EINVAL, zip_to_file(fx + c.archive, out, nullptr, 0));
    EXPECT_EQ(c.left_inside, contents(out));
    EXPECT_EQ("./dest\n./log.txt\n", top_level(parent));
    EXPECT_EQ("", contents(outside));
    EXPECT_NE(std::string::npos, log.text().find("Zip to file failed with error 22."));
  }
}

TEST(ArchiveHostile, SevenZipEntriesNeverWriteOutsideTheFolder) {
  const std::string fx = cached_fixture("make_7z_archives.sh");
  ASSERT_NE("", fx);
  const std::string outside = fx + "outside/";
  for (const char* archive : {"absolute.7z", "dotdot.7z"}) {
    SCOPED_TRACE(archive);
    ASSERT_EQ(0, test_run("rm -rf " + shell_quote(outside) + " && mkdir " + shell_quote(outside)));
    const std::string parent = test_scratch_dir("hostile7z");
    const std::string out = parent + "dest/";
    ASSERT_EQ(0, mkdir(out.c_str(), 0755));
    log_capture log(parent + "log.txt");
    EXPECT_EQ(EINVAL, p7z_to_file(fx + archive, out, nullptr, 0));
    EXPECT_EQ("", contents(out));
    EXPECT_EQ("./dest\n./log.txt\n", top_level(parent));
    EXPECT_EQ("", contents(outside));
    EXPECT_NE(std::string::npos, log.text().find("Refused the entry "));
  }
}

}  // namespace
