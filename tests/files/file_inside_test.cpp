// The rule that judges a path below the installation by where it really
// leads, over a tree of real folders and links with a victim folder beside
// the installation.
#include <errno.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include "files/file_inside.h"
#include "support/test_env.h"

namespace {

class Inside : public testing::Test {
 protected:
  void SetUp() override {
    top = test_scratch_dir("inside");
    root = top + "Sim/";
    ASSERT_EQ(0, test_run("mkdir -p '" + root + "Resources/sub' '" + top + "victim/deeper' '" + top + "moved/scenery'"));
    ASSERT_TRUE(test_write_file(root + "Resources/file.txt", "x"));
    link("sub", "Resources/in");                        // inside, relative
    link("../..", "Resources/up");                      // out to top
    link("..", "Resources/l2");                         // inside alone: Sim
    link("l2/../victim", "Resources/l1");               // inside by text, out through l2
    link("loop2", "Resources/loop1");
    link("loop1", "Resources/loop2");
    link(top + "moved/scenery", "Resources/scenery");   // the user's own, absolute
    link("../../victim", top + "moved/scenery/back");   // relative, out of the user's folder
    link("../../../Sim/Resources/sub", "Resources/round");  // leaves, then comes back
  }
  void TearDown() override { test_run("rm -rf '" + top + "'"); }
  void link(const std::string& target, const std::string& at) {
    const std::string where = at[0] == '/' ? at : root + at;
    ASSERT_EQ(0, symlink(target.c_str(), where.c_str())) << where;
  }
  std::string top, root;
};

TEST_F(Inside, PathsAreJudgedByWhereTheyLead) {
  const struct {
    const char* rel;  // below root
    int use;
    int want;
  } cases[] = {
      {"Resources/new/deeper/x.txt", inside_entry, 0},  // missing folders
      {"Resources/in/x.txt", inside_entry, 0},
      {"Resources/in", inside_through, 0},
      {"Resources/up", inside_entry, 0},  // the link itself may be replaced or deleted
      {"Resources/up", inside_through, EINVAL},
      {"Resources/up/victim/x.txt", inside_entry, EINVAL},
      {"Resources/l2/Resources/file.txt", inside_through, 0},
      {"Resources/l1/x.txt", inside_entry, EINVAL},  // a later link changed where l1 leads
      {"Resources/l1", inside_entry, 0},
      {"Resources/loop1/x", inside_entry, ELOOP},
      {"Resources/scenery/x.dsf", inside_entry, 0},  // through the user's link
      {"Resources/scenery", inside_through, 0},
      {"Resources/scenery/back/x.txt", inside_entry, EINVAL},
      {"Resources/scenery/../x.txt", inside_entry, EINVAL},  // ".." above the user's folder
      {"Resources/round/x.txt", inside_entry, EINVAL},        // never rises above root
      {"Resources/missing/../../../x.txt", inside_entry, EINVAL},
      {"Resources/file.txt/../../../x.txt", inside_entry, EINVAL},
      {"../victim/x.txt", inside_entry, EINVAL},
      {"", inside_through, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.rel) + (c.use == inside_through ? " (through)" : " (entry)"));
    EXPECT_EQ(c.want, inside_check(root, root + c.rel, c.use));
  }
  EXPECT_EQ(EINVAL, inside_check(root, top + "victim/x.txt", inside_entry));  // not below root by its text
  EXPECT_EQ(EINVAL, inside_check(root, top + "Sim2/x.txt", inside_entry));
  EXPECT_EQ(ENOENT, inside_check(top + "nowhere/", top + "nowhere/x", inside_entry));
}

TEST_F(Inside, LinksTheSetMakesMustLeadInside) {
  const struct {
    const char* rel;
    const std::string target;
    int want;
  } cases[] = {
      {"Resources/sub/l", "../../default data/a b.txt", 0},
      {"Resources/l", "..", 0},
      {"l", "..", EINVAL},
      {"Resources/l", "/etc", EINVAL},
      {"Resources/l", top + "Sim/Resources", EINVAL},  // absolute, even when it would lead inside
      {"Resources/l", "", EINVAL},
      {"Resources/x", "l2/../victim", EINVAL},      // out through an existing link
      {"Resources/x", "later/../file.txt", 0},      // a missing folder, judged by its text
      {"Resources/x", "later/../../../victim", EINVAL},
      {"Resources/x", "up/victim", EINVAL},
      {"Resources/up/victim/l", "x", EINVAL},       // the link's own folder leads out
      {"Resources/scenery/l", "sub/x", 0},          // in the user's folder
      {"Resources/scenery/l", "../../victim", EINVAL},
      {"Resources/x", "loop1", ELOOP},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.rel) + " -> " + c.target);
    EXPECT_EQ(c.want, inside_check_link(root, root + c.rel, c.target));
  }
}

TEST_F(Inside, AWalkLongerThanThePathLimitFailsWithTheSystemsCode) {
  // A folder chain deeper than PATH_MAX: the walk stops where the system
  // stops, rather than judging a cut copy of the path.
  std::string rel;
  for (int k = 0; k < 100; ++k) rel += std::string(60, 'd') + "/";
  ASSERT_EQ(0, test_run("python3 -c 'import os,sys\nos.chdir(sys.argv[1])\nfor i in range(100): os.mkdir(sys.argv[2]); "
                        "os.chdir(sys.argv[2])\nos.symlink(\"../../../../victim\", \"v\")' '" +
                        root + "' " + std::string(60, 'd')));
  EXPECT_EQ(ENAMETOOLONG, inside_check(root, root + rel + "v/x.txt", inside_entry));
}

}  // namespace
