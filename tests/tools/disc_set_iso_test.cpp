// The pressed sample discs, mounted by fuseiso, hold exactly their disc
// folders: every name, byte and link, with execute bits kept and nothing
// writable, as on a real disc.
#include <gtest/gtest.h>
#include <regex>
#include "disc_set_support.h"
#include "support/test_env.h"

namespace {

TEST(SampleImages, EachImageMountsAsItsDiscFolder) {
  for (int d = 0; d < 2; ++d) {
    SCOPED_TRACE(d);
    const std::string iso = sample_discs() + "disc" + std::to_string(d + 1) + ".iso";
    const std::string folder = sample_discs() + "disk_" + std::to_string(d);
    const std::string mnt = test_scratch_dir("iso");
    ASSERT_EQ(test_run("fuseiso " + sh_quote(iso) + " " + sh_quote(mnt)), 0);
    int status = -1;
    const std::string diff =
        test_capture("diff -r --no-dereference " + sh_quote(mnt) + " " + sh_quote(folder) + " 2>&1", &status);
    EXPECT_EQ(status, 0) << diff;
    EXPECT_EQ(test_capture("find " + sh_quote(mnt) + " -perm /222 | head -n 3"), "");
    if (d == 0) {
      const std::string exe = mnt + "Duvizo Installer.app/Contents/MacOS/Duvizo Installer";
      EXPECT_EQ(test_run("test -x " + sh_quote(exe)), 0);
      EXPECT_EQ(test_capture("stat -c %a " + sh_quote(exe)), "555\n");
    }
    EXPECT_EQ(test_run("fusermount -u " + sh_quote(mnt)), 0);
  }
}

TEST(SampleImages, InstalledListNamesEveryFileOfTheMacOnceAndMarksEachTileWithItsCell) {
  const std::string list = test_read_file(sample_discs() + "installed.md5");
  EXPECT_TRUE(std::regex_search(list, std::regex("# cell 5 13\n[0-9a-f]{32}  Global Scenery/-global terrain-/\\+40-130/\\+47-123\\.dsf\n")))
      << list;
  EXPECT_NE(list.find("  Duvizo.app/Contents/MacOS/Duvizo\n"), std::string::npos);
  EXPECT_EQ(list.find("Duvizo.exe"), std::string::npos);
  EXPECT_EQ(list.find("Tessel.so"), std::string::npos);
  EXPECT_EQ(list.find("Duvizo-i686"), std::string::npos);
  EXPECT_EQ(test_capture("grep -c '^# cell ' " + sh_quote(sample_discs() + "installed.md5")), "3\n");
}

}  // namespace
