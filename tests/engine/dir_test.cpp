// Reading the directory file into the file table.
#include <gtest/gtest.h>
#include "core/globs.h"
#include "engine/engine_support.h"
#include "files/xmap.h"
#include "engine/utils_dir.h"
#include "support/test_env.h"

namespace {
const std::string M1 = "0123456789abcdef0123456789abcdef";
const std::string M2 = "fedcba9876543210fedcba9876543210";
const std::string HEADER = "I\n900 version\nINSTALLER\n\n";

class ReadDirectory : public testing::Test {
 protected:
  void SetUp() override {
    reset_engine_state();
    dir = test_scratch_dir("directory");
  }
  void TearDown() override { reset_engine_state(); }
  // Writes text as a directory file and reads it.
  int read(const std::string& text) {
    const std::string path = dir + "directory.txt";
    EXPECT_TRUE(test_write_file(path, text));
    return read_directory(path, "");
  }
  // Scans text without the reader's alerts.
  int scan(const std::string& text, std::string& refused) {
    const std::string path = dir + "scan.txt";
    EXPECT_TRUE(test_write_file(path, text));
    xmap_class m(path, 0, 0);
    return scan_directory_file(m, refused);
  }
  std::string dir;
};

std::string file_line(int plat, const std::string& md5, const std::string& name, int ver = 1) {
  return "FILE 0 " + std::to_string(plat) + " " + std::to_string(ver) + " 12 34 " + md5 + " " + name + "\n";
}
}  // namespace

TEST_F(ReadDirectory, TheFixtureSetLoads) {
  const std::string set = dir + "set";
  ASSERT_EQ(test_run("bash '" DUV_FIXTURES_DIR "/make_disc_set.sh' '" + set + "'"), 0);
  ASSERT_EQ(read_directory(set + "/directory.txt", "unused"), 3);
  ASSERT_EQ(sim_info.size(), 9u);
  EXPECT_EQ(sim_info[0].versions.size(), 2u);  // old.txt: an older digest, then the current one
  EXPECT_EQ(current_version(0).path, "All/Resources/old.txt");
  EXPECT_EQ(current_version(0).version, 2);
  EXPECT_EQ(current_version(2).path, "All/Resources/sub dir/b file.txt");
  const file_version_struct& gone = current_version(5);
  EXPECT_EQ(gone.path, "All/Resources/retired.txt");
  EXPECT_EQ(gone.sig_want, "GONE");
  EXPECT_EQ(gone.version, 100001);
  EXPECT_EQ(current_version(6).platform, 1);
  const file_version_struct& tile = current_version(7);
  EXPECT_EQ(tile.disk, 1);
  EXPECT_EQ(tile.is_global_scenery, 1);
  EXPECT_EQ(tile.lat_cell, 13);
  EXPECT_EQ(tile.lon_cell, 5);
  EXPECT_GE(tile.compressed_kb, 300);
  EXPECT_EQ(current_version(8).disk, 1);
  EXPECT_EQ(current_version(6).disk, 0);
  EXPECT_EQ(stg.have_cells[5][13], 1);
  EXPECT_EQ(stg.has_global_scenery, 1);
  EXPECT_EQ(stg.has_other_files, 1);
  for (const file_history_struct& h : sim_info)
    for (const file_version_struct& v : h.versions) {
      EXPECT_EQ(v.sig_have, "");
      EXPECT_EQ(v.up_to_date + v.do_install + v.do_delete, 0);
      EXPECT_EQ(v.progress, 0);
    }
}

TEST_F(ReadDirectory, RecordsAndTheirEdges) {
  stg.total_comp_kb = 5;
  stg.files_to_delete = 5;
  stg.have_cells[1][1] = 1;
  const std::string text = HEADER +
                           "DIR All/Resources/\r\n" + file_line(9, M1, "clamped high") +
                           "  \t" + file_line(-2, M1, "clamped low") +
                           "FILEX 0 0 1 1 1 " + M1 + " not a record\n" +
                           "DIR\n" +  // no blank after the keyword: not a record
                           "comment line\n" +
                           "DIR All/-global terrain-/\n" + file_line(0, M1, "+47-123.DSF") +
                           "DIR All/Global Scenery/\n" + file_line(0, M1, "+95+010.dsf") +
                           "DIR All/Resources/\n" + file_line(0, M1, "a name  with blanks ") +
                           file_line(0, M2, "a name  with blanks ", 2) + file_line(0, M1, "clamped high") +
                           "DISK 2\n" + file_line(0, M1, "clamped high") + file_line(0, M1, "crlf\r");
  ASSERT_EQ(read(text), 3);
  ASSERT_EQ(sim_info.size(), 7u);
  EXPECT_EQ(current_version(0).platform, 6);
  EXPECT_EQ(current_version(0).path, "All/Resources/clamped high");
  EXPECT_EQ(current_version(0).compressed_kb, 12);
  EXPECT_EQ(current_version(0).expanded_kb, 34);
  EXPECT_EQ(current_version(1).platform, 0);
  EXPECT_EQ(current_version(2).is_global_scenery, 1);  // ".DSF" under -global terrain-
  EXPECT_EQ(current_version(3).is_global_scenery, 0);  // latitude cell 18
  EXPECT_EQ(current_version(4).path, "All/Resources/a name  with blanks ");
  EXPECT_EQ(sim_info[4].versions.size(), 2u);
  EXPECT_EQ(current_version(4).sig_want, M2);
  EXPECT_EQ(current_version(5).path, "All/Resources/clamped high");  // the path again: a second history
  ASSERT_EQ(sim_info[5].versions.size(), 2u);  // the DISK line between does not part a history
  EXPECT_EQ(sim_info[5].versions[0].disk, 0);
  EXPECT_EQ(current_version(5).disk, 2);
  EXPECT_EQ(current_version(6).path, "All/Resources/crlf");
  EXPECT_EQ(stg.total_comp_kb, 0);
  EXPECT_EQ(stg.files_to_delete, 0);
  EXPECT_EQ(stg.have_cells[1][1], 0);
  EXPECT_EQ(stg.have_cells[5][13], 1);
  EXPECT_EQ(stg.has_global_scenery, 1);
}

TEST_F(ReadDirectory, HeadersAndEmptyFiles) {
  EXPECT_EQ(read("I\n840 version\nINSTALLER\n" + file_line(0, M1, "top")), 3);
  EXPECT_EQ(sim_info.size(), 1u);
  EXPECT_EQ(current_version(0).disk, 0);  // no DISK line: the first disc
  EXPECT_EQ(stg.has_global_scenery, 0);
  EXPECT_EQ(stg.has_other_files, 1);
  for (const std::string& bad : {std::string("I\n820 version\nINSTALLER\n"), std::string("I\n900 version\nDVD\n"),
                                  std::string("i\n900 version\nINSTALLER\n"), std::string("")}) {
    EXPECT_EQ(read(bad + file_line(0, M1, "top")), 2) << bad;
    EXPECT_TRUE(sim_info.empty());
  }
  EXPECT_EQ(read(""), 2);  // an empty file is there: a bad header, not a missing file
  EXPECT_EQ(read(HEADER), 3);
  EXPECT_TRUE(sim_info.empty());
}

TEST_F(ReadDirectory, PathsThatLeaveTheInstallationAreRefused) {
  const struct {
    std::string lines;
    int result;
  } cases[] = {
      {"DIR All/../../\n" + file_line(0, M1, "x"), dir_refused_outside},
      {"DIR /etc/\n" + file_line(0, M1, "passwd"), dir_refused_outside},
      {"DIR All/\n" + file_line(0, M1, ".."), dir_refused_outside},
      {"DIR All/\n" + file_line(0, M1, "."), dir_refused_outside},
      {"DIR All//\n" + file_line(0, M1, "x"), dir_refused_outside},
      {"DIR All\\..\\..\\\n" + file_line(0, M1, "x"), dir_refused_outside},
      {"DIR All/./\n" + file_line(0, M1, "x"), dir_refused_outside},
      {file_line(0, M1, ""), dir_refused_outside},
      {"DIR All/a/\n" + file_line(0, M1, ""), dir_refused_no_file},
      {"DIR All/a/\n" + file_line(0, M1, "b/"), dir_refused_no_file},
      {"DIR All/\n" + file_line(0, "../../../../tmp/x", "name"), dir_refused_md5},
      {"DIR All/\n" + file_line(0, M1 + "0", "name"), dir_refused_md5},
      {"DIR All/\nFILE 0 0 1 1 1\n", dir_refused_no_file},  // a truncated line names the folder
      {"DIR All/\nFILE 0 0 1 1 1 name\n", dir_refused_no_file},
  };
  for (const auto& c : cases) {
    std::string refused;
    EXPECT_EQ(scan(HEADER + file_line(0, M1, "All/fine") + c.lines, refused), c.result) << c.lines;
    EXPECT_TRUE(sim_info.empty()) << c.lines;
  }
}

TEST_F(ReadDirectory, RefusalsEndTheProgram) {
  const std::string missing = dir + "no such directory.txt";
  EXPECT_EXIT(read_directory(missing, ""), testing::ExitedWithCode(1), "");
  EXPECT_EXIT(read(HEADER + "DIR All/a/\n" + file_line(0, M1, "")), testing::ExitedWithCode(1), "");
  EXPECT_EXIT(read(HEADER + "DIR All/../../\n" + file_line(0, M1, "x")), testing::ExitedWithCode(1), "");
  EXPECT_EXIT(read(HEADER + "DIR All/\n" + file_line(0, "x", "y")), testing::ExitedWithCode(1), "");
}
