// Archives whose entries try to reach outside the extraction folder.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include "files/archive_support.h"
#include "files/file_compress.h"
#include "files/file_paths.h"
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
    const char* logged;       // how the refusal is logged
  } cases[] = {
      {"evil_dotdot.zip", "./ok.txt\n", "Zip to file failed with error 22."},
      {"evil_nested_dotdot.zip", "", "Zip to file failed with error 22."},
      {"evil_absolute.zip", "", "Zip to file failed with error 22."},
      // A link that leads out is not made at all.
      {"evil_link_then_file.zip", "", "Zip to symlink failed with error 22."},
      {"evil_relative_link_then_file.zip", "", "Zip to symlink failed with error 22."},
      {"evil_companion.zip", "", "Zip to file failed with error 22."},
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
    EXPECT_NE(std::string::npos, log.text().find(c.logged));
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

// The names and digests of everything below folder, for telling whether
// anything there was created, changed or deleted.
std::string victim_state(const std::string& folder) {
  return test_capture("cd " + shell_quote(folder) + " && find . -printf '%p %y %l\\n' | LC_ALL=C sort && "
                      "find . -type f -exec md5sum {} + | LC_ALL=C sort");
}

TEST(ArchiveHostile, LetterCaseNeverLeadsThroughALink) {
  const std::string fx = cached_fixture("make_zip_entries.py");
  ASSERT_NE("", fx);
  const int case_sensitive = g_case_sensitive;
  const struct {
    const char* archive;
    bool link_there;  // the folder holds lnk -> ../../elsewhere already, as an earlier run left it
  } cases[] = {
      {"case_file_after_link.zip", false},   {"case_folder_after_link.zip", false},
      {"case_link_after_link.zip", false},   {"case_file.zip", true},
      {"case_folder.zip", true},             {"case_link.zip", true},
  };
  for (int sensitive : {0, 1}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(c.archive) + " g_case_sensitive=" + std::to_string(sensitive));
      // parent/elsewhere is the victim; the archive unpacks into parent/inst/dest/.
      const std::string parent = test_scratch_dir("case");
      const std::string out = parent + "inst/dest/";
      ASSERT_EQ(0, test_run("mkdir -p " + shell_quote(out) + " " + shell_quote(parent + "elsewhere/sub") +
                            " && echo keep > " + shell_quote(parent + "elsewhere/victim") +
                            " && echo keep > " + shell_quote(parent + "elsewhere/sub/victim.txt")));
      if (c.link_there) {
        ASSERT_EQ(0, symlink("../../elsewhere", (out + "lnk").c_str()));
      }
      const std::string before = victim_state(parent + "elsewhere");
      log_capture log(parent + "log.txt");
      g_case_sensitive = sensitive;
      const int err = zip_to_file(fx + c.archive, out, nullptr, 0);
      g_case_sensitive = case_sensitive;
      EXPECT_NE(0, err);
      // With repair the name is refused as leading out; without it, LNK is
      // simply missing.
      if (sensitive || !c.link_there) {
        EXPECT_EQ(EINVAL, err);
      }
      EXPECT_EQ(before, victim_state(parent + "elsewhere"));
      EXPECT_EQ(c.link_there ? "./lnk\n" : "", contents(out));
      EXPECT_EQ("", hidden_leftovers(out));
      test_run("rm -rf " + shell_quote(parent));
    }
  }
}

TEST(ArchiveHostile, SevenZipFilesNeverGoThroughALinkThatLeadsOutOfTheRoot) {
  const std::string fx = cached_fixture("make_7z_archives.sh");
  ASSERT_NE("", fx);
  const std::string parent = test_scratch_dir("hostile7zlink");
  const std::string root = parent + "inst/dest/";
  ASSERT_EQ(0, test_run("mkdir -p " + shell_quote(root + "real") + " " + shell_quote(parent + "elsewhere") +
                        " && echo keep > " + shell_quote(parent + "elsewhere/text.txt")));
  ASSERT_EQ(0, symlink("../../elsewhere", (root + "lnk").c_str()));
  ASSERT_EQ(0, symlink("real", (root + "in").c_str()));
  const std::string before = victim_state(parent + "elsewhere");
  {
    log_capture log(parent + "log.txt");
    EXPECT_EQ(EINVAL, p7z_to_file(fx + "one.7z", root + "lnk/", nullptr, 0, root));
    EXPECT_NE(std::string::npos, log.text().find("Refused the entry "));
  }
  EXPECT_EQ(before, victim_state(parent + "elsewhere"));
  // A link that stays inside the root is a folder like any other.
  EXPECT_EQ(0, p7z_to_file(fx + "one.7z", root + "in/", nullptr, 0, root));
  EXPECT_EQ(test_read_file(fx + "in/text.txt"), test_read_file(root + "real/text.txt"));
  test_run("rm -rf " + shell_quote(parent));
}

}  // namespace

