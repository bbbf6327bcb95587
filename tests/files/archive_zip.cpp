// Unpacking zip archives made by Info-ZIP and by other zip writers.
#include <errno.h>
#include <algorithm>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include "files/archive_support.h"
#include "files/file_compress.h"
#include "support/test_env.h"

namespace {

struct stat_result {
  bool ok;
  struct stat st;
};

stat_result lstat_of(const std::string& path) {
  stat_result r;
  r.ok = lstat(path.c_str(), &r.st) == 0;
  return r;
}

class ZipFixtures : public testing::Test {
 protected:
  void SetUp() override {
    iz_ = cached_fixture("make_infozip_zips.sh");
    ze_ = cached_fixture("make_zip_entries.py");
    ASSERT_NE("", iz_);
    ASSERT_NE("", ze_);
  }
  std::string iz(const std::string& name) const { return iz_ + name; }
  std::string ze(const std::string& name) const { return ze_ + name; }
  std::string iz_, ze_;
};

TEST_F(ZipFixtures, InfoZipTreesUnpackAsUnzipUnpacksThem) {
  // The plain archive, and the one whose every entry keeps its sizes in the
  // zip64 extra field.
  for (const char* archive : {"tree.zip", "tree_fz.zip"}) {
    SCOPED_TRACE(archive);
    const std::string ours = test_scratch_dir("ours"), theirs = test_scratch_dir("theirs");
    log_capture log(ours + "../log.txt");
    ASSERT_EQ(0, zip_to_file(iz(archive), ours, nullptr, 0)) << log.text();
    ASSERT_EQ(0, test_run("unzip -q " + shell_quote(iz(archive)) + " -d " + shell_quote(theirs)));

    EXPECT_EQ(0, test_run("diff -r --no-dereference -x __MACOSX " + shell_quote(ours) + " " + shell_quote(theirs)));
    const std::string listing = tree_listing(ours);
    EXPECT_EQ(tree_listing(theirs), listing);
    EXPECT_EQ(tree_listing(iz("src/")), listing);
    EXPECT_NE(std::string::npos, listing.find("tree/run.sh file 755 19 "));
    EXPECT_NE(std::string::npos, listing.find("tree/sub/random.bin file 640 200000"));
    EXPECT_NE(std::string::npos, listing.find("tree/link link hello.txt"));
    EXPECT_NE(std::string::npos, listing.find("tree/dirlink link sub"));
    EXPECT_NE(std::string::npos, listing.find("tree/emptydir folder 755"));
    EXPECT_NE(std::string::npos, listing.find("tree/empty.dat file 644 0 "));
    EXPECT_NE(std::string::npos, listing.find("tree/naïve é.txt file"));

    // The companion became the file's fork and Finder information, not files.
    EXPECT_FALSE(lstat_of(ours + "__MACOSX").ok);
    EXPECT_EQ("", hidden_leftovers(ours));
    EXPECT_EQ("resource fork of hello", xattr_value(ours + "tree/hello.txt", "user.com.apple.ResourceFork"));
    EXPECT_EQ(0, xattr_value(ours + "tree/hello.txt", "user.com.apple.FinderInfo").compare(0, 8, "TEXTttxt"));
    EXPECT_EQ("", log.text());
  }
}

TEST_F(ZipFixtures, NamePointerGetsTheFirstEntryAndRenameWritesTheGivenName) {
  const std::string out = test_scratch_dir("named");
  std::string name = "keep-me";
  ASSERT_EQ(0, zip_to_file(ze("mode644.zip"), out, &name, 0));
  EXPECT_EQ("m.txt", name);

  name = "renamed.txt";
  ASSERT_EQ(0, zip_to_file(ze("mode644.zip"), out, &name, 1));
  EXPECT_EQ("m.txt", name);
  EXPECT_EQ("mode 644", test_read_file(out + "renamed.txt"));
}

TEST(ArchiveZip, NameOfAManyEntryArchiveIsTheFirstEntrys) {
  const std::string fixture = cached_fixture("make_broken_zips.sh");
  ASSERT_NE("", fixture);
  const std::string out = test_scratch_dir("multi");
  std::string name;
  ASSERT_EQ(0, zip_to_file(fixture + "multi.zip", out, &name, 0));
  EXPECT_EQ("first.txt", name);
  EXPECT_EQ("the second entry\n", test_read_file(out + "second.txt"));
}

// Entries whose data ends early, or is damaged where the library cannot see
// it: an error, no file, and the copy already there kept.
TEST(ArchiveZip, EntriesTheLibraryWouldPassAreErrors) {
  const std::string fixture = cached_fixture("make_broken_zips.sh");
  ASSERT_NE("", fixture);
  const struct {
    const char* archive;
    const char* file;
    int code;
  } cases[] = {
      {"short.zip", "s.txt", 20002},       // stated size beyond the data
      {"fz_flipped.zip", "f.bin", -105},  // sizes only in the zip64 field, a flipped byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.archive);
    const std::string out = test_scratch_dir("broken");
    log_capture log(out + "../broken.log");
    ASSERT_TRUE(test_write_file(out + c.file, "installed version"));
    EXPECT_EQ(c.code, zip_to_file(fixture + c.archive, out, nullptr, 0));
    EXPECT_EQ("installed version", test_read_file(out + c.file));
    EXPECT_EQ("", hidden_leftovers(out));
    EXPECT_NE(std::string::npos, log.text().find("Zip to file failed with error " + std::to_string(c.code) + "."));
  }
}

TEST_F(ZipFixtures, AttributesDecideModeAndTime) {
  const std::string out = test_scratch_dir("attrs");
  ASSERT_EQ(0, zip_to_file(ze("mode644.zip"), out, nullptr, 0));
  stat_result m = lstat_of(out + "m.txt");
  ASSERT_TRUE(m.ok);
  EXPECT_EQ(0644u, m.st.st_mode & 07777);
  struct tm tm = {};
  tm.tm_year = 120, tm.tm_mon = 0, tm.tm_mday = 2, tm.tm_hour = 3, tm.tm_min = 4, tm.tm_sec = 6, tm.tm_isdst = -1;
  EXPECT_EQ(mktime(&tm), m.st.st_mtime);

  // No attributes at all: the default mode and the time of extraction.
  const time_t before = time(nullptr);
  ASSERT_EQ(0, zip_to_file(ze("zero_attrs.zip"), out, nullptr, 0));
  stat_result p = lstat_of(out + "plain.txt");
  ASSERT_TRUE(p.ok);
  const mode_t mask = umask(022);
  umask(mask);
  EXPECT_EQ(0666u & ~mask, p.st.st_mode & 07777);
  EXPECT_GE(p.st.st_mtime, before - 1);

  // DOS attributes only: ordinary modes, never mode 000.
  ASSERT_EQ(0, zip_to_file(ze("dos_attrs.zip"), out, nullptr, 0));
  EXPECT_EQ(0644u, lstat_of(out + "dos.txt").st.st_mode & 07777);
  EXPECT_EQ(0644u, lstat_of(out + "dosdir/in.txt").st.st_mode & 07777);
  EXPECT_EQ(0755u, lstat_of(out + "dosdir").st.st_mode & 07777);
  EXPECT_EQ("dos\r\n", test_read_file(out + "dos.txt"));
}

TEST_F(ZipFixtures, LinkEntryReplacesAFile) {
  const std::string out = test_scratch_dir("link");
  ASSERT_TRUE(test_write_file(out + "l", "old file"));
  ASSERT_EQ(0, zip_to_file(ze("link_attr.zip"), out, nullptr, 0));
  char buf[64];
  ssize_t n = readlink((out + "l").c_str(), buf, sizeof buf);
  ASSERT_EQ(6, n);
  EXPECT_EQ("target", std::string(buf, n));
}

TEST_F(ZipFixtures, FoldersMustComeBeforeTheirFiles) {
  const std::string a = test_scratch_dir("dirs"), b = test_scratch_dir("nodir");
  EXPECT_EQ(0, zip_to_file(ze("dir_then_file.zip"), a, nullptr, 0));
  EXPECT_EQ("a", test_read_file(a + "dir/a.txt"));
  log_capture log(b + "../nodir.log");
  EXPECT_EQ(ENOENT, zip_to_file(ze("file_only.zip"), b, nullptr, 0));
  EXPECT_NE(std::string::npos, log.text().find("UNZIP zip_to_file failed with err=2\n"));
  ASSERT_EQ(0, mkdir((b + "dir").c_str(), 0755));
  EXPECT_EQ(0, zip_to_file(ze("file_only.zip"), b, nullptr, 0));
}

TEST_F(ZipFixtures, CompanionsApplyToTheirDataFiles) {
  const std::string out = test_scratch_dir("fork");
  ASSERT_EQ(0, zip_to_file(ze("companion.zip"), out, nullptr, 0));
  std::string fork;
  for (int i = 0; i < 100; i++) fork += (char)i;
  EXPECT_EQ(fork, xattr_value(out + "dir/a.txt", "user.com.apple.ResourceFork"));
  const std::string finder = xattr_value(out + "dir/a.txt", "user.com.apple.FinderInfo");
  ASSERT_EQ(32u, finder.size());
  EXPECT_EQ(std::string("TEXTttxt\x01\x00\x00\x05\x00\x07\x00\x00", 16), finder.substr(0, 16));
  EXPECT_EQ(std::string(16, '\0'), finder.substr(16));
  EXPECT_EQ("", hidden_leftovers(out));
  EXPECT_FALSE(lstat_of(out + "__MACOSX").ok);

  // Only the "._" that starts the last component marks a companion.
  ASSERT_EQ(0, zip_to_file(ze("companion_odd_folder.zip"), out, nullptr, 0));
  EXPECT_EQ(fork, xattr_value(out + "x._y/z", "user.com.apple.ResourceFork"));

  // A companion without its data file, and "__MACOSX" folders: nothing made.
  const std::string empty = test_scratch_dir("nodata");
  EXPECT_EQ(0, zip_to_file(ze("companion_no_data.zip"), empty, nullptr, 0));
  EXPECT_EQ(0, zip_to_file(ze("macosx_folders.zip"), empty, nullptr, 0));
  EXPECT_EQ("", test_capture("ls -A " + shell_quote(empty)));
}

TEST_F(ZipFixtures, BadCompanionHeaderStopsTheExtraction) {
  const std::string out = test_scratch_dir("badfork");
  log_capture log(out + "../badfork.log");
  EXPECT_EQ(20012, zip_to_file(ze("companion_bad_header.zip"), out, nullptr, 0));
  EXPECT_EQ("a", test_read_file(out + "a.txt"));
  EXPECT_FALSE(lstat_of(out + "after.txt").ok);
  const std::string text = log.text();
  EXPECT_NE(std::string::npos, text.find("Unzip RF failed with error 20012. file = RUvozuz/Files/FILE_compress line = "));
  EXPECT_NE(std::string::npos, text.find(". inFile=" + out + "a.txt.\n"));
  EXPECT_NE(std::string::npos, text.find("UNZIP zip_to_file failed with err=20012\n"));
  EXPECT_NE(std::string::npos, text.find("Zip to file failed with error err = 20012. file = RUvozuz/Files/FILE_compress"));
  EXPECT_NE(std::string::npos, text.find(". zip_file=" + ze("companion_bad_header.zip") + ", out_dir=" + out + ".\n"));
}

TEST_F(ZipFixtures, ForkThatTheFileSystemRefusesIsSkippedWithOneLine) {
  // Links keep no user extended attributes: the companion of a link is skipped.
  const std::string out = test_scratch_dir("refused");
  log_capture log(out + "../refused.log");
  EXPECT_EQ(0, zip_to_file(ze("companion_on_link.zip"), out, nullptr, 0));
  EXPECT_EQ("", xattr_value(out + "f", "user.com.apple.ResourceFork"));
  const std::string text = log.text();
  EXPECT_NE(std::string::npos, text.find("Skipped the resource fork and Finder information of " + out + "l"));
  EXPECT_EQ(1, std::count(text.begin(), text.end(), '\n'));
}

TEST_F(ZipFixtures, MissingOrDamagedArchiveIsReported) {
  const std::string out = test_scratch_dir("missing");
  log_capture log(out + "../missing.log");
  const std::string missing = out + "nothing.zip";
  EXPECT_EQ(20001, zip_to_file(missing, out, nullptr, 0));
  const std::string text = log.text();
  EXPECT_NE(std::string::npos, text.find("OK I am about to report that I could not open a zip file for extraction!\n"
                                         "That incoming file is " + missing + "\nIn c-form, it is " + missing +
                                         "\nThe size is " + std::to_string(missing.size()) + "\n"));
  EXPECT_NE(std::string::npos, text.find("Zip to file failed with error err = 20001."));

  // A flipped byte in stored data (after the 30-byte header and the name): the CRC check fails and no file appears.
  ASSERT_EQ(0, test_run("cd " + shell_quote(out) + " && printf 'stored bytes of a file\\n' > s.txt && zip -q -0 -X s.zip s.txt && rm s.txt"));
  ASSERT_EQ(0, test_run("printf 'X' | dd of=" + shell_quote(out + "s.zip") + " bs=1 seek=40 conv=notrunc status=none"));
  EXPECT_EQ(-105, zip_to_file(out + "s.zip", out, nullptr, 0));
  EXPECT_FALSE(lstat_of(out + "s.txt").ok);
  EXPECT_EQ("", hidden_leftovers(out));
}

TEST_F(ZipFixtures, DamagedEntryKeepsTheFileAlreadyThere) {
  const std::string out = test_scratch_dir("keep");
  ASSERT_EQ(0, test_run("cd " + shell_quote(out) + " && printf 'new version\\n' > k.txt && zip -q -0 -X k.zip k.txt"));
  ASSERT_EQ(0, test_run("printf 'X' | dd of=" + shell_quote(out + "k.zip") + " bs=1 seek=40 conv=notrunc status=none"));
  ASSERT_TRUE(test_write_file(out + "k.txt", "installed version"));
  EXPECT_EQ(-105, zip_to_file(out + "k.zip", out, nullptr, 0));
  EXPECT_EQ("installed version", test_read_file(out + "k.txt"));
}

TEST(ArchiveZipDeathTest, FailedWriteIsAnErrorAndLeavesNoFile) {
  death_test_dir shared("fsize");
  const std::string dir = shared.path(), out = dir + "out/";
  if (!shared.in_child()) {
    ASSERT_EQ(0, test_run("cd " + shell_quote(dir) + " && head -c 300000 /dev/urandom > r.bin && zip -q r.zip r.bin && rm r.bin"));
    ASSERT_EQ(0, mkdir(out.c_str(), 0755));
  }
  // A file-size limit makes every write past it fail, as a full disk does.
  EXPECT_EXIT(
      {
        limit_file_size(100000);
        _exit(zip_to_file(dir + "r.zip", out, nullptr, 0));
      },
      testing::ExitedWithCode(EFBIG), "");
  EXPECT_FALSE(lstat_of(out + "r.bin").ok);
  EXPECT_EQ("", hidden_leftovers(out));
}

TEST(ArchiveZip, EntryOverFourGibibytes) {
  const std::string fixture = cached_fixture("make_zip64_zip.sh");
  ASSERT_NE("", fixture);
  const std::string out = test_scratch_dir("zip64");
  log_capture log(out + "../zip64.log");
  // This system's zip library loses sizes beyond 32 bits: the entry is
  // reported as reading short, at once and without a partial file.
  EXPECT_EQ(20002, zip_to_file(fixture + "big.zip", out, nullptr, 0));
  EXPECT_EQ("small\n", test_read_file(out + "a_small.txt"));
  EXPECT_FALSE(lstat_of(out + "z_huge.bin").ok);
  EXPECT_EQ("", hidden_leftovers(out));
  EXPECT_NE(std::string::npos, log.text().find("Zip to file failed with error 20002."));
}

}  // namespace
