#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include "platform/plat_folders.h"
#include "support/test_env.h"

TEST(PlatFolders, HomeFallsBackToThePasswordDatabase) {
  std::string home = getenv("HOME");
  EXPECT_EQ(PLAT_home_folder(), home);
  unsetenv("HOME");
  std::string fallback = PLAT_home_folder();
  setenv("HOME", home.c_str(), 1);
  struct passwd* pw = getpwuid(getuid());
  ASSERT_NE(pw, nullptr);
  EXPECT_EQ(fallback, pw->pw_dir);
}

TEST(PlatFolders, DesktopFromUserDirs) {
  std::string home = getenv("HOME");
  std::string config = PLAT_config_folder();
  ASSERT_EQ(config, std::string(getenv("XDG_CONFIG_HOME")));
  struct row {
    const char* file;
    std::string want;
  } rows[] = {
      {"XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", home + "/Bureau"},
      {nullptr, ""},  // an absolute folder, filled in below
      {"XDG_DESKTOP_DIR=\"relative/desk\"\n", home + "/Desktop"},
      {"XDG_DOWNLOAD_DIR=\"$HOME/Dl\"\n", home + "/Desktop"},
  };
  std::string abs_desk = test_scratch_dir("absdesk");
  abs_desk.pop_back();
  rows[1].want = abs_desk;
  for (const row& r : rows) {
    std::string text = r.file ? r.file : "XDG_DESKTOP_DIR=\"" + abs_desk + "/\"\n";
    ASSERT_TRUE(test_write_file(config + "/user-dirs.dirs", text));
    std::string desk = PLAT_desktop_folder();
    EXPECT_EQ(desk, r.want) << text;
    struct stat st;
    EXPECT_EQ(stat(desk.c_str(), &st), 0) << desk;
  }
  unlink((config + "/user-dirs.dirs").c_str());
}

TEST(PlatFolders, ConfigWithoutXdgVariable) {
  std::string old = getenv("XDG_CONFIG_HOME");
  unsetenv("XDG_CONFIG_HOME");
  std::string config = PLAT_config_folder();
  setenv("XDG_CONFIG_HOME", old.c_str(), 1);
  EXPECT_EQ(config, std::string(getenv("HOME")) + "/.config");
}

TEST(PlatFolders, BundleCanBeStoodInFor) {
  std::string fake = test_scratch_dir("bundle") + "X.app";
  ASSERT_EQ(mkdir(fake.c_str(), 0755), 0);
  PLAT_set_bundle_path(fake + "/");
  EXPECT_EQ(PLAT_bundle_path(), fake);
  EXPECT_EQ(PLAT_bundle_resources_path(), fake + "/Contents/Resources/");
  PLAT_set_bundle_path("");
  EXPECT_EQ(PLAT_bundle_path(), PLAT_executable_path());  // a bare test program is its own bundle
}

TEST(PlatFolders, CaseSensitivityOfTheVolume) {
  std::string dir = test_scratch_dir("vol");
  ASSERT_TRUE(test_write_file(dir + "Name", ""));
  EXPECT_EQ(PLAT_volume_case_sensitive(dir + "Name"), 1);
  EXPECT_EQ(PLAT_volume_case_sensitive(dir + "missing"), -1);
  EXPECT_EQ(PLAT_volume_case_sensitive("/"), -1);
}

// The private temporary folders of runs, made in a TMPDIR of the test's own
// by child processes that each run as the program would: a folder whose
// owner is gone is swept at the next start; a living run's, one without a
// record, a stranger's or one made otherwise is never touched.
TEST(PlatFolders, TheStartSweepsOnlyFoldersOfRunsThatAreGone) {
  const std::string tmp = test_scratch_dir("tmpdir");
  const char* old_tmp = getenv("TMPDIR");
  const std::string saved = old_tmp ? old_tmp : "";
  setenv("TMPDIR", tmp.c_str(), 1);
  // A run in a child: makes its folder and, as asked, hands it over, then
  // stays (a pipe held open) or ends without cleaning up.
  struct run {
    pid_t pid = -1;
    int hold = -1;
    std::string folder;
  };
  auto start_run = [&](bool hand_over, bool stay) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    int ready[2];
    EXPECT_EQ(pipe(ready), 0);
    run r;
    r.pid = fork();
    if (r.pid == 0) {
      close(fds[1]);
      close(ready[0]);
      const std::string folder = PLAT_temp_folder();
      if (hand_over) PLAT_hand_over_temp_folder();
      ssize_t n = write(ready[1], folder.data(), folder.size());
      close(ready[1]);
      char c;
      if (stay) n = read(fds[0], &c, 1);
      _exit(n < 0);
    }
    close(ready[1]);
    close(fds[0]);
    char buf[4096];
    const ssize_t n = read(ready[0], buf, sizeof buf);
    close(ready[0]);
    r.folder = n > 0 ? std::string(buf, n) : "";
    r.hold = fds[1];
    if (!stay) waitpid(r.pid, nullptr, 0);
    return r;
  };
  const run alive = start_run(false, true), dead = start_run(false, false), handed = start_run(true, false),
            handed_long_ago = start_run(true, false), reused = start_run(false, false);
  ASSERT_EQ(test_run("touch -d '1 minute ago' '" + handed_long_ago.folder + "/owner'"), 0);
  // The dead run's id taken by a living process: the start time tells them apart.
  const std::string own = PLAT_temp_folder();
  std::string record = test_read_file(own + "/owner");
  ASSERT_FALSE(record.empty());
  ASSERT_TRUE(test_write_file(reused.folder + "/owner", record.substr(0, record.find(' ')) + " 1\n"));
  // Folders the sweep must leave: no record; not private; another user's;
  // a file and a link under the name; a longer name.
  const std::string dead_record = test_read_file(dead.folder + "/owner");
  auto made = [&](const std::string& name, mode_t mode, bool with_record) {
    const std::string f = tmp + name;
    EXPECT_EQ(mkdir(f.c_str(), mode), 0);
    chmod(f.c_str(), mode);
    if (with_record) {
      EXPECT_TRUE(test_write_file(f + "/owner", dead_record));
    }
    return f;
  };
  const std::string no_record = made("Duvizo-norec1", 0700, false), open_mode = made("Duvizo-open01", 0755, true),
                    longer = made("Duvizo-longer1", 0700, true), strangers = made("Duvizo-strngr", 0700, true);
  const bool as_root = geteuid() == 0;
  if (as_root) {
    EXPECT_EQ(chown(strangers.c_str(), 65534, 65534), 0);
  }
  ASSERT_TRUE(test_write_file(tmp + "Duvizo-afile1", "x"));
  ASSERT_EQ(symlink(dead.folder.c_str(), (tmp + "Duvizo-link01").c_str()), 0);

  // Without root the stranger's folder is this user's own, and goes.
  EXPECT_EQ(PLAT_sweep_stale_temp_folders(), as_root ? 3 : 4);
  struct stat st;
  const struct {
    std::string folder;
    bool kept;
  } expect[] = {{alive.folder, true},  {dead.folder, false},     {handed.folder, true},
                {handed_long_ago.folder, false}, {reused.folder, false}, {own, true},
                {no_record, true},     {open_mode, true},        {longer, true},
                {strangers, as_root},     {tmp + "Duvizo-afile1", true}, {tmp + "Duvizo-link01", true}};
  for (const auto& e : expect) EXPECT_EQ(lstat(e.folder.c_str(), &st) == 0, e.kept) << e.folder;

  close(alive.hold);
  waitpid(alive.pid, nullptr, 0);
  PLAT_remove_temp_folders();
  if (saved.empty())
    unsetenv("TMPDIR");
  else
    setenv("TMPDIR", saved.c_str(), 1);
  test_run("rm -rf '" + tmp + "'*");
}
