// The registry of installations against files as users and older runs leave
// them: every line ending, missing and empty files, folders since deleted,
// overlong and unfinished lines, and a registry that cannot be written.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include "engine/utils_table.h"
#include "files/file_paths.h"
#include "installer/velora.h"
#include "support/test_env.h"
#include "support/xer_capture.h"

namespace {

class Registry : public testing::Test {
 protected:
  void SetUp() override {
    get_OS_abs_path(os_dir_prefs, prefs_);
    ASSERT_FALSE(prefs_.empty());
    registry_ = prefs_ + "velora_install.txt";
    root_ = test_scratch_dir("velroots");
    a_ = root_ + "A/";
    b_ = root_ + "B/";
    ASSERT_EQ(mkdir(a_.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(b_.c_str(), 0755), 0);
    gone_ = root_ + "gone/";
    remove(registry_.c_str());
  }
  void TearDown() override {
    remove(registry_.c_str());
    all_velroots.clear();
  }
  std::string prefs_, registry_, root_, a_, b_, gone_;
};

TEST_F(Registry, LinesAsFilesHoldThem) {
  const std::string a_bare = a_.substr(0, a_.size() - 1);
  // A line of 3000 bytes is read as a first piece of 2047 and the rest.
  const std::string long_a = a_ + std::string(2047 - a_.size(), '/');
  const std::string long_b = std::string(953 - b_.size(), '/') + b_;
  const struct {
    const char* what;
    bool write;
    std::string text;
    std::vector<std::string> want;
  } cases[] = {
      {"LF", true, a_ + "\n" + b_ + "\n", {a_, b_}},
      {"CR LF", true, a_ + "\r\n" + b_ + "\r\n", {a_, b_}},
      {"CR", true, a_ + "\r" + b_ + "\r", {a_, b_}},
      {"no final line end", true, a_ + "\n" + b_, {a_, b_}},
      {"missing", false, "", {}},
      {"empty", true, "", {}},
      {"deleted folder skipped", true, a_ + "\n" + gone_ + "\n" + b_ + "\n", {a_, b_}},
      {"a copy listed twice is offered once", true, a_ + "\n" + b_ + "\n" + a_ + "\n", {a_, b_}},
      {"with and without its slash, one copy", true, a_bare + "\n" + a_ + "\n" + a_bare + "\n", {a_}},
      {"no final slash", true, a_bare + "\n", {a_}},
      {"relative and empty lines", true, "\n" + std::string("A/\n\n") + b_ + "\n", {b_}},
      {"3000-byte line", true, long_a + long_b + "\n", {long_a, long_b}},
  };
  for (const auto& c : cases) {
    remove(registry_.c_str());
    if (c.write) {
      ASSERT_TRUE(test_write_file(registry_, c.text));
    }
    // The relative line names a folder that exists where the program runs.
    ASSERT_EQ(chdir(root_.c_str()), 0);
    all_velroots = {"stale/"};
    locate_all_veloras();
    EXPECT_EQ(all_velroots, c.want) << c.what;
    if (c.write) {
      EXPECT_EQ(test_read_file(registry_), c.text) << c.what << ": reading changed the file";
    }
  }
}

// The writer takes a line for the folder the reader would make of it.
TEST_F(Registry, RegisteringComparesFoldersAsReadingDoes) {
  dest_dir_path = a_;
  register_new_velora();
  register_new_velora();
  EXPECT_EQ(test_read_file(registry_), a_ + "\n");
  // A line stored without its '/' is the same folder.
  const std::string bare = b_.substr(0, b_.size() - 1) + "\r\n";
  ASSERT_TRUE(test_write_file(registry_, bare));
  dest_dir_path = b_;
  register_new_velora();
  EXPECT_EQ(test_read_file(registry_), bare);
  locate_all_veloras();
  EXPECT_EQ(all_velroots, (std::vector<std::string>{b_}));
  // A relative line never stands for the destination.
  ASSERT_TRUE(test_write_file(registry_, "B/\n"));
  ASSERT_EQ(chdir(root_.c_str()), 0);
  register_new_velora();
  EXPECT_EQ(test_read_file(registry_), "B/\n" + b_ + "\n");
}

TEST_F(Registry, UnwritableRegistryOrNoPreferencesIsLogged) {
  xer_capture log;
  ASSERT_EQ(mkdir(registry_.c_str(), 0755), 0);
  dest_dir_path = a_;
  register_new_velora();
  locate_all_veloras();
  EXPECT_TRUE(all_velroots.empty());
  EXPECT_EQ(log.text(), "WARNING: could not append registration file: " + registry_ + "\n");
  rmdir(registry_.c_str());

  // No Preferences folder at all: the configuration folder's place is a file.
  const std::string blocker = root_ + "config-file";
  ASSERT_TRUE(test_write_file(blocker, "x"));
  const char* old = getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", (blocker + "/sub").c_str(), 1);
  xer_capture log2;
  register_new_velora();
  all_velroots = {"stale/"};
  locate_all_veloras();
  if (old)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
  EXPECT_TRUE(all_velroots.empty());
  EXPECT_EQ(log2.text(), "WARNING: registration of this velroot folder failed!\n"
                         "WARNING: registration of this velroot folder failed!\n");
}

}  // namespace
