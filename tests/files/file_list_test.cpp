#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include <vector>
#include "files/file_list.h"
#include "support/test_env.h"
#include "widgets/cmnd.h"

namespace {

struct listing {
  std::vector<std::string> names;
  std::vector<int> kinds;
  int count = 0;
};

listing list(const std::string& folder, int filter) {
  listing l;
  l.count = opensave_getitems(folder, filter, l.names, l.kinds);
  return l;
}

}  // namespace

TEST(FileList, FiltersAndOrder) {
  std::string d = test_scratch_dir("list");
  ASSERT_TRUE(test_write_file(d + "b.txt", ""));
  ASSERT_TRUE(test_write_file(d + "A.png", ""));
  ASSERT_TRUE(test_write_file(d + ".hidden", ""));
  ASSERT_EQ(mkdir((d + "c").c_str(), 0755), 0);
  listing all = list(d, 0);
  EXPECT_EQ(all.count, 3);
  EXPECT_EQ(all.names, (std::vector<std::string>{"A.png", "b.txt", "c"}));
  EXPECT_EQ(all.kinds, (std::vector<int>{2, 20, 1}));
  EXPECT_EQ(list(d, 20).names, (std::vector<std::string>{"b.txt", "c"}));
  EXPECT_EQ(list(d, 3).names, (std::vector<std::string>{"c"}));
  EXPECT_EQ(list(d, 12).names, (std::vector<std::string>{"A.png", "c"}));
}

TEST(FileList, KindsOfLinksAndDottedFolders) {
  std::string d = test_scratch_dir("kinds");
  ASSERT_EQ(mkdir((d + "x.obj").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((d + "real").c_str(), 0755), 0);
  ASSERT_EQ(symlink((d + "real").c_str(), (d + "link").c_str()), 0);
  ASSERT_EQ(symlink((d + "real").c_str(), (d + "link.dsf").c_str()), 0);
  ASSERT_TRUE(test_write_file(d + "tile.oz", ""));
  ASSERT_TRUE(test_write_file(d + ".oz", ""));
  ASSERT_TRUE(test_write_file(d + "Plane.ACF", ""));
  listing l = list(d, 0);
  EXPECT_EQ(l.names, (std::vector<std::string>{"link", "link.dsf", "Plane.ACF", "real", "tile.oz", "x.obj"}));
  EXPECT_EQ(l.kinds, (std::vector<int>{0, 17, 3, 1, 19, 7}));
}

TEST(FileList, EmptyMissingAndSpecialFilters) {
  std::string d = test_scratch_dir("empty");
  ASSERT_TRUE(test_write_file(d + ".only", ""));
  EXPECT_EQ(list(d, 0).count, 0);
  EXPECT_EQ(list(d + "missing/", 0).count, 0);
  EXPECT_EQ(list("", 0).count, 0);
  listing none = list(d, 22);
  EXPECT_EQ(none.count, 0);
  EXPECT_TRUE(none.names.empty() && none.kinds.empty());

  cmnd.paths = {"sim/operation/quit", "sim/general/left", "sim/operation/screenshot", "sim/none/none"};
  listing top = list("sim/", 23);
  EXPECT_EQ(top.names, (std::vector<std::string>{"operation", "general", "none"}));
  EXPECT_EQ(top.kinds, (std::vector<int>{1, 1, 1}));
  listing ops = list("sim/operation/", 23);
  EXPECT_EQ(ops.names, (std::vector<std::string>{"quit", "screenshot"}));
  EXPECT_EQ(ops.kinds, (std::vector<int>{23, 23}));
  cmnd.paths.clear();
}

TEST(FileList, ImageFilterDropsPanelsAndNumberedGauges) {
  int kind = 0;
  EXPECT_EQ(opensave_takeit("pics/", "gauge-2.png", 12, kind), 0);
  kind = 0;
  EXPECT_EQ(opensave_takeit("pics/", "gauge.png", 12, kind), 1);
  EXPECT_EQ(kind, 2);
  kind = 0;
  EXPECT_EQ(opensave_takeit("resources/BITMAPS/cockpit/-panels-/", "p.png", 12, kind), 0);
  kind = 0;
  EXPECT_EQ(opensave_takeit("Resources/bitmaps/cockpit/", "p.png", 12, kind), 1);
  kind = 0;
  EXPECT_EQ(opensave_takeit("pics/", "notes.txt", 12, kind), 0);
  kind = 1;
  EXPECT_EQ(opensave_takeit("pics/", "sub", 12, kind), 1);
  kind = 0;
  EXPECT_EQ(opensave_takeit("pics/", "", 0, kind), 0);
}

TEST(FileList, SortOrder) {
  struct row {
    std::vector<std::string> in, out;
  } rows[] = {
      {{"apple", "Apple"}, {"apple", "Apple"}},
      {{"B", "a"}, {"a", "B"}},
      {{"B", "Z", "b", "A"}, {"A", "b", "B", "Z"}},
      {{"A", "\x80x"}, {"\x80x", "A"}},
      {{"abc", "ab"}, {"ab", "abc"}},
  };
  for (const row& r : rows) {
    std::vector<std::string> names = r.in;
    std::vector<int> kinds;
    for (size_t i = 0; i < names.size(); ++i) kinds.push_back(static_cast<int>(i));
    opensave_sort(names, kinds);
    EXPECT_EQ(names, r.out);
    for (size_t i = 0; i < names.size(); ++i) EXPECT_EQ(r.in[kinds[i]], names[i]);
  }
  EXPECT_LT(no_case_compare_char("a", "B"), 0);
  EXPECT_EQ(no_case_compare_char("ABC", "abc"), 0);
}

TEST(FileListDeathTest, FolderWithoutSeparatorEndsTheProgram) {
  std::string d = test_scratch_dir("nosep");
  d.pop_back();
  EXPECT_DEATH(list(d, 0), "");
}
