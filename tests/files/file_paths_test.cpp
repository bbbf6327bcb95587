#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include "core/globs.h"
#include "files/file_paths.h"
#include "platform/plat_folders.h"
#include "support/fake_dialog.h"
#include "support/test_env.h"

namespace {

// Keeps app_path and g_case_sensitive as a test found them.
struct path_globals_guard {
  std::string app = app_path;
  int cs = g_case_sensitive;
  ~path_globals_guard() {
    app_path = app;
    g_case_sensitive = cs;
  }
};

}  // namespace

TEST(PathSplit, FolderAndLastComponent) {
  struct row {
    const char* in;
    const char* folder;
    const char* file;
  } rows[] = {
      {"", "", ""},          {"abc", "", "abc"},      {"/", "/", ""},
      {"a/", "a/", ""},      {"ab/", "", "ab/"},      {"a/b/", "a/", "b/"},
      {"a/b", "a/", "b"},    {"/x", "/", "x"},        {"/x/y.txt", "/x/", "y.txt"},
  };
  for (const row& r : rows) {
    std::string folder, file;
    get_path_with_path(folder, r.in);
    get_file_with_path(file, r.in);
    EXPECT_EQ(folder, r.folder) << "'" << r.in << "'";
    EXPECT_EQ(file, r.file) << "'" << r.in << "'";
  }
}

TEST(PathSplit, OutputMayBeTheInput) {
  std::string s = "/x/y.txt";
  get_path_with_path(s, s);
  EXPECT_EQ(s, "/x/");
  s = "/x/y.txt";
  get_file_with_path(s, s);
  EXPECT_EQ(s, "y.txt");
}

TEST(PathFull, IsPathFull) {
  EXPECT_EQ(is_path_full(""), 0);
  EXPECT_EQ(is_path_full("x/"), 0);
  EXPECT_EQ(is_path_full("/"), 1);
}

TEST(PathFull, RelativePathsGoBehindAppPath) {
  path_globals_guard g;
  g_case_sensitive = 0;
  app_path = "/base/";
  std::string p;
  set_path_to_full(p);
  EXPECT_EQ(p, "/base/");
  p = "x/y";
  set_path_to_full(p);
  EXPECT_EQ(p, "/base/x/y");
  p = "/abs/q";
  set_path_to_full(p);
  EXPECT_EQ(p, "/abs/q");
  app_path.clear();
  p = "rel/q";
  set_path_to_full(p);
  EXPECT_EQ(p, "rel/q");
}

TEST(PathFull, CaseRepairOnCaseSensitiveVolume) {
  path_globals_guard g;
  app_path.clear();
  std::string root = test_scratch_dir("case");
  ASSERT_EQ(mkdir((root + "Data").c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(root + "Data/File.txt", "x"));

  g_case_sensitive = 1;
  std::string p = root + "data/file.TXT";
  set_path_to_full(p);
  EXPECT_EQ(p, root + "Data/File.txt");
  p = root + "data/missing/x";
  set_path_to_full(p);
  EXPECT_EQ(p, root + "Data/missing/x");
  p = root + "DATA/";
  set_path_to_full(p);
  EXPECT_EQ(p, root + "Data/");

  // A name made after the folder was read is still found.
  ASSERT_TRUE(test_write_file(root + "Data/Later.bin", "y"));
  p = root + "data/later.BIN";
  set_path_to_full(p);
  EXPECT_EQ(p, root + "Data/Later.bin");

  g_case_sensitive = 0;
  p = root + "data/file.TXT";
  set_path_to_full(p);
  EXPECT_EQ(p, root + "data/file.TXT");
}

TEST(PathFull, CaseRepairOfRelativePaths) {
  path_globals_guard g;
  app_path.clear();
  g_case_sensitive = 1;
  std::string root = test_scratch_dir("relcase");
  ASSERT_EQ(mkdir((root + "Sub").c_str(), 0755), 0);
  ASSERT_TRUE(test_write_file(root + "Sub/Name.txt", "x"));
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(root.c_str()), 0);
  std::string p = "sub/NAME.txt";
  set_path_to_full(p);
  EXPECT_EQ(chdir(old), 0);
  EXPECT_EQ(p, "Sub/Name.txt");
}

TEST(PathFull, CaseRepairKeepsLongPathsWhole) {
  path_globals_guard g;
  app_path.clear();
  g_case_sensitive = 1;
  std::string dir = test_scratch_dir("long");
  std::string wrong = dir;
  for (int i = 0; wrong.size() < 700; ++i) {
    std::string name = "Folder_With_A_Long_Name_" + std::to_string(i);
    dir += name + "/";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    for (char& c : name) c = tolower(c);
    wrong += name + "/";
  }
  ASSERT_TRUE(test_write_file(dir + "Leaf.TXT", "z"));
  std::string p = wrong + "leaf.txt";
  set_path_to_full(p);
  EXPECT_EQ(p, dir + "Leaf.TXT");
}

TEST(PathFull, FindPathKeepsLength) {
  std::string root = test_scratch_dir("find");
  ASSERT_TRUE(test_write_file(root + "MiXeD", ""));
  std::string buf = root + "mixed";
  findPath(buf.data());
  EXPECT_EQ(buf, root + "MiXeD");
}

TEST(PathDirchars, SeparatorsAndEncoding) {
  std::string p = "C:\\dir\\file";
  set_path_to_right_dirchars(p);
  EXPECT_EQ(p, "C//dir/file");
  p = "\xE9";  // MacRoman E-grave
  set_path_to_right_dirchars(p);
  EXPECT_EQ(p, "\xC3\x88");
  p = "\x80\xFF";  // the table's two edges: A-diaeresis and caron, not U+0080
  set_path_to_right_dirchars(p);
  EXPECT_EQ(p, "\xC3\x84\xCB\x87");
  p = "caf\xC3\xA9/x";  // valid UTF-8 stays
  set_path_to_right_dirchars(p);
  EXPECT_EQ(p, "caf\xC3\xA9/x");
  p = "ab\xC3";  // a cut-off character: read as MacRoman
  set_path_to_right_dirchars(p);
  EXPECT_EQ(p, "ab\xE2\x88\x9A");
}

TEST(OsFolders, EveryTypeAndItsTrailingSeparator) {
  for (int t = 0; t <= 5; ++t) {
    std::string out = "unchanged";
    get_OS_abs_path(t, out);
    ASSERT_FALSE(out.empty()) << t;
    ASSERT_NE(out, "unchanged") << t;
    EXPECT_EQ(out[0], '/') << t;
    if (t == os_dir_this_bundle)
      EXPECT_NE(out.back(), '/') << t;
    else
      EXPECT_EQ(out.back(), '/') << t;
    struct stat st;
    EXPECT_EQ(stat(out.c_str(), &st), 0) << out;
  }
  std::string app, bundle;
  get_OS_abs_path(os_dir_this_app, app);
  get_OS_abs_path(os_dir_this_bundle, bundle);
  EXPECT_EQ(app, bundle.substr(0, bundle.find_last_of('/') + 1));

  std::string out = "kept";
  get_OS_abs_path(6, out);
  EXPECT_EQ(out, "kept");
  get_OS_abs_path(-1, out);
  EXPECT_EQ(out, "kept");
}

TEST(OsFolders, SystemFoldersComeFromTheUsersSettings) {
  std::string home = getenv("HOME");
  std::string prefs, desk, temp1, temp2;
  get_OS_abs_path(os_dir_prefs, prefs);
  EXPECT_EQ(prefs, std::string(getenv("XDG_CONFIG_HOME")) + "/");
  get_OS_abs_path(os_dir_temp, temp1);
  get_OS_abs_path(os_dir_temp, temp2);
  EXPECT_EQ(temp1, temp2);
  EXPECT_EQ(temp1.rfind(std::string(getenv("TMPDIR")) + "/", 0), 0u) << temp1;
  struct stat st;
  ASSERT_EQ(stat(temp1.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ASSERT_TRUE(test_write_file(prefs + "user-dirs.dirs", "# comment\nXDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"));
  get_OS_abs_path(os_dir_desktop, desk);
  EXPECT_EQ(desk, home + "/Schreibtisch/");
  EXPECT_EQ(stat(desk.c_str(), &st), 0);
  std::string apps;
  get_OS_abs_path(os_dir_default_apps, apps);
  EXPECT_EQ(apps, desk);
  ASSERT_EQ(unlink((prefs + "user-dirs.dirs").c_str()), 0);
  get_OS_abs_path(os_dir_desktop, desk);
  EXPECT_EQ(desk, home + "/Desktop/");
}

TEST(OsFolders, AppPathSetsCaseSensitivity) {
  path_globals_guard g;
  g_case_sensitive = 0;
  std::string out;
  MACIBM_set_app_path(out, 1);
  EXPECT_EQ(out, PLAT_bundle_path());
  // The build tree lies on a case-sensitive volume.
  EXPECT_EQ(g_case_sensitive, 1);
}

// The whole command line each dialog program is given; zenity, used only
// where yad is missing, has no way to name its button.
TEST(FileDialog, ChooseFolderConfirmed) {
  std::string start = test_scratch_dir("start");
  const struct {
    const char* program;
    std::string args;
  } cases[] = {
      {"yad", "--file\n--directory\n--title=Pick a folder\n--filename=" + start +
                  "\n--width=700\n--height=450\n--button=gtk-cancel:1\n--button=Choose:0\n"},
      {"zenity", "--file-selection\n--directory\n--title=Pick a folder\n--filename=" + start + "\n"},
  };
  for (const auto& c : cases) {
    fake_dialog z("/chosen/folder/", 0, c.program, true);
    std::string path = start;
    EXPECT_EQ(GetFilePathFromUser(2, "Pick a folder", "Choose", 1, start, path), 1) << c.program;
    EXPECT_EQ(path, "/chosen/folder") << c.program;
    EXPECT_EQ(z.args(), c.args) << c.program;
  }
  // No dialog program at all: as if cancelled.
  fake_dialog none("/chosen/folder/", 0, "neither", true);
  std::string path = start;
  EXPECT_EQ(GetFilePathFromUser(2, "Pick a folder", "Choose", 1, start, path), 0);
  EXPECT_EQ(path, start);
}

TEST(FileDialog, CancelAndBadKindLeaveThePath) {
  fake_dialog z("", 1);
  std::string path = "/previous/choice";
  EXPECT_EQ(GetFilePathFromUser(2, "m", "a", 1, path, path), 0);
  EXPECT_EQ(path, "/previous/choice");
  EXPECT_EQ(GetFilePathFromUser(3, "m", "a", 1, "", path), 0);
  EXPECT_EQ(path, "/previous/choice");
}
