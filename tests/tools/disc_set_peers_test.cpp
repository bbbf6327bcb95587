// The sample set the build made, checked against the peer tools: unzip,
// md5sum, stat, readlink and the master copy it came from.
#include <gtest/gtest.h>
#include <map>
#include "disc_set_support.h"
#include "files/xmap.h"
#include "support/test_env.h"

namespace {

const std::string kSet = "Duvizo 10/";

std::string set_file(int disc, const std::string& rel) {
  return sample_discs() + "disk_" + std::to_string(disc) + "/" + kSet + rel;
}
std::string master(const std::string& rel) { return sample_discs() + "master/" + rel; }
long long stat_size(const std::string& path) {
  return std::stoll(test_capture("stat -c %s " + sh_quote(path)));
}
bool is_link(const std::string& path) { return test_run("test -L " + sh_quote(path)) == 0; }
std::string chomp(std::string text) {
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}
std::string md5_text(const std::string& text) {
  return chomp(test_capture("printf %s " + sh_quote(text) + " | md5sum | cut -c1-32"));
}
std::string archive_of(const dir_entry& e) {
  return set_file(e.disk, e.path() + (e.path().find("Global Scenery") != std::string::npos ? ".7z" : ".zip"));
}

class SampleSet : public testing::Test {
 protected:
  static void SetUpTestSuite() { dir = read_set_directory(set_file(0, "directory.txt.zip")); }
  static dir_file dir;
};
dir_file SampleSet::dir;

TEST_F(SampleSet, EveryFileLineMatchesTheMasterBySumAndSize) {
  ASSERT_GT(dir.files.size(), 30u);
  for (const dir_entry& e : dir.files) {
    SCOPED_TRACE(e.path());
    const std::string src = master(e.path());
    if (is_link(src))
      EXPECT_EQ(e.md5, md5_text(chomp(test_capture("readlink " + sh_quote(src)))));
    else
      EXPECT_EQ(e.md5, test_md5sum(src));
    EXPECT_EQ(e.version, 100001);
    EXPECT_EQ(e.exp_kb, stat_size(src) / 1000);
    EXPECT_EQ(e.comp_kb, stat_size(archive_of(e)) / 1000);
  }
}

TEST_F(SampleSet, PlatformCodesFollowTheTopFolderAndThePlugInKind) {
  const std::map<std::string, int> codes = {
      {"All/Instructions/Manual.txt", 0},
      {"Macintosh/Duvizo.app/Contents/MacOS/Duvizo", 1},
      {"Windows/Duvizo.exe", 2},
      {"Linux/Duvizo-i686", 3},
      {"All/Resources/plugins/Tessel.so", 6},
      {"All/Resources/plugins/Tesselkit.so", 6},
      {"All/Resources/plugins/Tessel.dll", 2},
      {"All/Resources/plugins/Tesselkit.dll", 2},
      {"All/Resources/plugins/Tessel.shlb", 1},
      {"All/Resources/plugins/Tesselkit.shlb", 1},
      {"All/Resources/plugins/Tessel.framework/Tessel", 1},
      {"All/Resources/plugins/Tesselkit.framework/Tesselkit", 1},
      {"All/Resources/plugins/Commands.txt", 0},
  };
  for (const auto& [path, code] : codes) {
    const std::vector<dir_entry> e = dir.of(path);
    ASSERT_EQ(e.size(), 1u) << path;
    EXPECT_EQ(e[0].platform, code) << path;
  }
}

TEST_F(SampleSet, TwoDiscsTheSecondStartingInsideResourcesWithAllTheScenery) {
  EXPECT_EQ(dir.disk_lines, 1);
  bool seen_second = false;
  for (const dir_entry& e : dir.files) {
    if (e.disk == 1 && !seen_second) {
      seen_second = true;
      EXPECT_EQ(e.folder.rfind("All/Resources/", 0), 0u) << e.path();
    }
    if (e.path().find("Global Scenery") != std::string::npos) {
      EXPECT_EQ(e.disk, 1) << e.path();
    }
    EXPECT_EQ(test_run("test -f " + sh_quote(archive_of(e))), 0) << archive_of(e);
  }
  EXPECT_TRUE(seen_second);
  for (int d = 2; d <= 5; ++d)
    EXPECT_EQ(test_capture("find " + sh_quote(sample_discs() + "disk_" + std::to_string(d)) + " ! -type d"), "")
        << "disc " << d;
}

TEST_F(SampleSet, OnlyTheFirstDiscHasTheVersionFileAndItNamesTheSet) {
  EXPECT_NE(test_run("test -e " + sh_quote(sample_discs() + "disk_1/dvd_version.txt")), 0);
  xmap_class m(sample_discs() + "disk_0/dvd_version.txt");
  const int versions[] = {900, 0};
  ASSERT_EQ(m.check_file(xmap_text, versions, "DVD", nullptr), 900);
  std::string name;
  while (m.mem_cur < m.mem_end && !m.TXT_str_scan_match("VERSION", 0, 0)) m.TXT_str_scan_eoln(nullptr);
  m.TXT_str_scan_eoln(&name);
  EXPECT_EQ(name, "Duvizo 10");
}

TEST_F(SampleSet, EachZipHoldsOneEntryNamedLikeItsFileAndLinksStayLinks) {
  for (const dir_entry& e : dir.files) {
    const std::string archive = archive_of(e);
    if (archive.size() < 4 || archive.compare(archive.size() - 4, 4, ".zip") != 0) continue;
    SCOPED_TRACE(archive);
    EXPECT_EQ(test_run("unzip -tq " + sh_quote(archive) + " >/dev/null"), 0);
    const std::string listing = test_capture("zipinfo -1 " + sh_quote(archive));
    EXPECT_EQ(listing, e.name + "\n");
    const std::string mode = test_capture("zipinfo -l " + sh_quote(archive) + " | sed -n 3p | cut -c1");
    EXPECT_EQ(mode, is_link(master(e.path())) ? "l\n" : "-\n");
  }
}

TEST_F(SampleSet, EachSevenZipIsTheMastersOwnArchiveByInode) {
  int tiles = 0;
  for (const dir_entry& e : dir.files) {
    if (e.path().find("Global Scenery") == std::string::npos) continue;
    ++tiles;
    EXPECT_EQ(test_capture("stat -c %i " + sh_quote(archive_of(e))),
              test_capture("stat -c %i " + sh_quote(master(e.path()) + ".7z")))
        << e.path();
  }
  EXPECT_GE(tiles, 3);
}

TEST_F(SampleSet, LeftOutNamesAndMarsAreAbsent) {
  std::string all;
  for (const std::string& l : dir.lines) all += l + "\n";
  for (const char* name : {".DS_Store", "._Duvizo", "Thumbs.db", "empty.txt", ".bak", "Mars", "preferences",
                           ".7z", "install_pfc"})
    EXPECT_EQ(all.find(name), std::string::npos) << name;
  EXPECT_EQ(test_capture("cd " + sh_quote(sample_discs()) +
                         " && find disk_* -name '*Thumbs*' -o -name '*.bak*' -o -name '*Mars*' -o -name 'empty*'"),
            "");
}

}  // namespace
