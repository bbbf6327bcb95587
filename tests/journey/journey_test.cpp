// A new user's journey: the README's first command, taken from README.md as
// written and run in the working tree under timeout, in a private mount
// namespace with a home of its own, on an X server of the test's own or on
// none. scripts/drive-installer clicks through the installer as a user
// would. The command builds build/release, which the suite was built into,
// so its build steps find nothing to do; the tests take turns.
#include <gtest/gtest.h>
#include <dirent.h>
#include <limits.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>
#include "files/test_child.h"
#include "support/private_xvfb.h"
#include "support/test_env.h"

namespace {

const std::string k_source = DUV_SOURCE_DIR;
const std::string k_release = k_source + "/build/release";
const std::string k_samples = k_release + "/sample_discs/";
const std::string k_copy_name = "Duvizo 10";

// The first line of README.md's first shell block.
std::string readme_command() {
  const std::string readme = test_read_file(k_source + "/README.md");
  const size_t block = readme.find("```sh\n");
  if (block == std::string::npos) return {};
  const size_t start = block + 6;
  return readme.substr(start, readme.find('\n', start) - start);
}

// What was left running by a run: the processes whose environment carries
// its mark, as "pid command" lines; with kill_them, each is sent SIGKILL.
std::string marked_processes(const std::string& mark, bool kill_them = false) {
  std::string found;
  DIR* proc = opendir("/proc");
  if (!proc) return "cannot read /proc";
  while (dirent* e = readdir(proc)) {
    if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
    const std::string dir = std::string("/proc/") + e->d_name;
    const std::string env = test_read_file(dir + "/environ");
    if (env.find(mark + '\0') == std::string::npos) continue;
    std::string cmd = test_read_file(dir + "/cmdline");
    for (char& c : cmd)
      if (c == '\0') c = ' ';
    found += std::string(e->d_name) + " " + cmd + "\n";
    if (kill_them) kill(std::atoi(e->d_name), SIGKILL);
  }
  closedir(proc);
  return found;
}

// The FUSE mounts below folder, as lines of the mount table (mounts made
// elsewhere before the namespace was made do not count).
std::string fuse_mounts(const std::string& folder) {
  std::string found;
  const std::string table = test_read_file("/proc/self/mountinfo");
  for (size_t at = 0, end; at < table.size(); at = end + 1) {
    end = table.find('\n', at);
    if (end == std::string::npos) end = table.size();
    const std::string line = table.substr(at, end - at);
    if (line.find(" - fuse.") != std::string::npos && line.find(" " + folder) != std::string::npos)
      found += line + "\n";
  }
  return found;
}

long long mtime_ns(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return -1;
  return st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
}

// A user's session for the command: a home, a temporary folder and a
// stand-in for apt-get that notes any call (a run with nothing to do needs
// no package and no network). Every process it starts carries a mark in its
// environment.
class user_session {
 public:
  explicit user_session(const std::string& stem) {
    dir = test_scratch_dir(stem);
    home = dir + "home/";
    tmp = dir + "tmp/";
    stubs = dir + "stubs/";
    mark = "DUV_JOURNEY_MARK=" + dir;
    // The mount table spells folders without links.
    char real[PATH_MAX];
    real_dir = realpath(dir.c_str(), real) ? std::string(real) + "/" : dir;
    test_run("mkdir -p '" + home + "' '" + tmp + "' '" + stubs + "'");
    test_write_file(stubs + "apt-get", "#!/bin/sh\necho \"apt-get $*\" >> '" + dir + "package-calls.txt'\nexit 1\n");
    test_run("chmod 755 '" + stubs + "apt-get'");
  }
  // Starts a command in the working tree as this user, in a process group
  // of its own as a shell starts a command; the output goes to out.txt.
  pid_t start(const std::string& command, bool display) {
    const pid_t pid = fork();
    if (pid != 0) {
      // Both sides, so the group stands whichever runs first.
      if (pid > 0) setpgid(pid, pid);
      return pid;
    }
    setpgid(0, 0);
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME", "XDG_DATA_HOME"}) unsetenv(name);
    if (!display) {
      unsetenv("DISPLAY");
      unsetenv("WAYLAND_DISPLAY");
    }
    setenv("HOME", home.substr(0, home.size() - 1).c_str(), 1);
    setenv("TMPDIR", tmp.c_str(), 1);
    setenv("LANG", "C.UTF-8", 1);
    const char* path = getenv("PATH");
    setenv("PATH", (stubs + ":" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
    putenv(const_cast<char*>(mark.c_str()));
    if (chdir(k_source.c_str()) != 0 || !freopen((dir + "out.txt").c_str(), "a", stdout) ||
        dup2(fileno(stdout), 2) < 0)
      _exit(127);
    execlp("bash", "bash", "-c", command.c_str(), (char*)nullptr);
    _exit(127);
  }
  // Starts the README's first command under timeout.
  pid_t start_readme(bool display, int secs) {
    return start("timeout -k 10 " + std::to_string(secs) + " " + readme_command(), display);
  }
  // The exit status once the command ended within secs; -1 when it did not
  // (then everything of this session is ended).
  int wait_exit(pid_t pid, int secs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(secs);
    int status = 0;
    while (std::chrono::steady_clock::now() < end) {
      if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    end_leftovers();
    waitpid(pid, &status, 0);
    return -1;
  }
  // Runs the README's first command under timeout; its exit status.
  int run_readme(bool display, int secs) { return wait_exit(start_readme(display, secs), secs + 20); }
  // A failed run must not leave its processes and discs to the rest of the
  // suite.
  void end_leftovers() const {
    marked_processes(mark, true);
    test_run("grep ' - fuse\\.' /proc/self/mountinfo | cut -d' ' -f5 | grep '^" + real_dir +
             "' | while read -r p; do fusermount -u -z \"$p\"; done");
  }
  // Runs the installer's driver as this user (the same drive folder).
  int drive(const std::string& what, const std::string& screens) {
    return wait_exit(start("bash scripts/drive-installer " + what + " '" + screens + "'", true), 300);
  }
  std::string out() const { return test_read_file(dir + "out.txt"); }
  // Nothing mounted, running or left in the temporary folder; apt-get not
  // called.
  void expect_clean(const std::string& what) const {
    EXPECT_EQ(fuse_mounts(real_dir), "") << what;
    EXPECT_EQ(marked_processes(mark), "") << what;
    EXPECT_EQ(test_list_folder(tmp), std::vector<std::string>{}) << what;
    EXPECT_EQ(test_read_file(dir + "package-calls.txt"), "") << what;
    end_leftovers();
  }

  std::string dir, real_dir, home, tmp, stubs, mark;
};

// The sample set's timestamps: the command's build must leave them alone.
std::vector<long long> sample_times() {
  return {mtime_ns(k_samples + "installed.md5"), mtime_ns(k_samples + "disc1.iso"),
          mtime_ns(k_samples + "disc2.iso")};
}

// md5sum -c in copy of the files the driver's install puts in place.
int check_copy(const std::string& copy) {
  return test_run("cd '" + copy + "' && bash '" + k_source +
                  "/scripts/drive-installer' installed-md5 | md5sum --quiet -c - >&2");
}

// ImageMagick's count of the pixels that differ (beyond a small fuzz)
// between the Next buttons of two screenshots of the 800 by 600 window.
long next_button_difference(const std::string& a, const std::string& b) {
  const std::string next = "[121x30+655+562]";
  const std::string out = test_capture("compare -metric AE -fuzz 5% '" + a + next + "' '" + b + next + "' null: 2>&1");
  return out.empty() || out[0] < '0' || out[0] > '9' ? -1 : std::atol(out.c_str());
}

void needs_fuse_and_release() {
  ASSERT_EQ(access("/dev/fuse", F_OK), 0) << "the journey needs FUSE: /dev/fuse is missing, so the sample discs "
                                              "cannot be mounted";
  ASSERT_EQ(std::string(DUV_BINARY_DIR), k_release) << "the journey runs in the release build only";
  ASSERT_FALSE(readme_command().empty()) << "README.md has no ```sh block";
}

TEST(NewUser, InstallsOnTheDisplayRepairsAndTheDemoInstallsWithoutOne) {
  needs_fuse_and_release();
  private_xvfb x(1024, 768);
  ASSERT_TRUE(x.ok()) << x.error();
  const auto samples_before = sample_times();
  const int result = test_in_private_mounts([&] {
    user_session user("journey");
    const std::string copy = user.home + "Desktop/" + k_copy_name + "/";
    const std::string screens = user.dir + "screens/";

    // With a display: the install, ended by "Run Duvizo Now".
    const pid_t run = user.start_readme(true, 240);
    EXPECT_EQ(user.drive("install", screens), 0) << user.out();
    EXPECT_EQ(user.wait_exit(run, 260), 0) << user.out();
    EXPECT_NE(user.out().find("bash scripts/sample-drive 2"), std::string::npos) << user.out();
    // The suite's build left nothing for the command's to do.
    EXPECT_NE(user.out().find("ninja: no work to do."), std::string::npos) << user.out();
    EXPECT_TRUE(test_read_file(copy + "duvizo-ran.txt").size() > 0) << "the simulator did not run";
    EXPECT_EQ(check_copy(copy), 0);
    struct stat st;
    ASSERT_EQ(lstat((copy + "Duvizo.app/Contents/MacOS/Duvizo").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0755u);
    for (const char* link : {"Resources/bitmaps/logo link.png", "Resources/sounds/idle link.wav"}) {
      ASSERT_EQ(lstat((copy + link).c_str(), &st), 0) << link;
      EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
    }
    EXPECT_EQ(test_read_file(user.home + ".config/velora_install.txt"), copy + "\n");
    EXPECT_NE(test_read_file(user.home + ".config/Duvizo Installer.prf"), "");
    EXPECT_NE(test_read_file(user.home + "Desktop/Duvizo Installer Log.txt").find("Launching: " + copy), std::string::npos);
    user.expect_clean("after the install");

    // The second run repairs one missing file of each disc.
    ASSERT_EQ(access((k_samples + "disk_0/Duvizo 10/All/Airfoils/NACA-0012.afl.zip").c_str(), F_OK), 0);
    ASSERT_EQ(access((k_samples + "disk_1/Duvizo 10/All/Weapons/missile.wpn.zip").c_str(), F_OK), 0);
    ASSERT_EQ(unlink((copy + "Airfoils/NACA-0012.afl").c_str()), 0);
    ASSERT_EQ(unlink((copy + "Weapons/missile.wpn").c_str()), 0);
    const std::string repair_screens = user.dir + "repair-screens/";
    const pid_t again = user.start_readme(true, 240);
    EXPECT_EQ(user.drive("repair", repair_screens), 0) << user.out();
    EXPECT_EQ(user.wait_exit(again, 260), 0) << user.out();
    EXPECT_EQ(test_list_folder(repair_screens),
              (std::vector<std::string>{"01-menu.png", "02-pick.png", "03-confirm.png", "04-change-disc-1.png",
                                        "05-finish.png"}));
    EXPECT_EQ(check_copy(copy), 0);
    user.expect_clean("after the repair");

    // Without a display: the demo, bounded, on a virtual screen.
    user_session headless("journey-headless");
    EXPECT_EQ(headless.run_readme(false, 240), 0) << headless.out();
    EXPECT_NE(headless.out().find("No display found: running the installer on a virtual screen (xvfb-run) and "
                                  "installing the sample discs as a user would."),
              std::string::npos)
        << headless.out();
    EXPECT_EQ(check_copy(k_release + "/demo/home/Desktop/" + k_copy_name), 0);
    const long diff = next_button_difference(screens + "01-welcome.png", k_release + "/demo/screens/01-welcome.png");
    EXPECT_GE(diff, 0);
    EXPECT_LT(diff, 20) << "the demo's welcome screen differs from the display's at Next";
    headless.expect_clean("after the demo");
  });
  EXPECT_EQ(result, 0);
  // Every run's build found the sample set up to date.
  EXPECT_EQ(sample_times(), samples_before);
}

TEST(NewUser, CtrlCEndsTheDemoAndLeavesNothingBehind) {
  needs_fuse_and_release();
  const int result = test_in_private_mounts([&] {
    user_session user("journey-interrupted");
    ASSERT_EQ(test_run("rm -rf '" + k_release + "/demo'"), 0);
    const pid_t run = user.start_readme(false, 240);
    // In the middle: once the demo shows the scenery screen.
    const std::string scenery = k_release + "/demo/screens/05-scenery.png";
    for (int i = 0; i < 1800 && access(scenery.c_str(), F_OK) != 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(access(scenery.c_str(), F_OK), 0) << user.out();
    // What must go: the disc, the virtual screen and the installer.
    EXPECT_NE(fuse_mounts(user.real_dir), "");
    const std::string running = marked_processes(user.mark);
    EXPECT_NE(running.find("Xvfb"), std::string::npos) << running;
    EXPECT_NE(running.find("Duvizo Installer"), std::string::npos) << running;
    // What a terminal's Ctrl-C does: SIGINT to the command's process group.
    ASSERT_EQ(kill(-run, SIGINT), 0);
    const int status = user.wait_exit(run, 20);
    EXPECT_NE(status, -1) << "still running 20 s after Ctrl-C\n" << user.out();
    EXPECT_NE(status, 0);
    user.expect_clean("after Ctrl-C");
  });
  EXPECT_EQ(result, 0);
}

TEST(NewUser, WithoutFuseTheCommandSaysSoAndFails) {
  needs_fuse_and_release();
  const int result = test_in_private_mounts([&] {
    user_session user("journey-nofuse");
    // A /dev of the devices a shell needs, without fuse.
    const std::string old_dev = user.dir + "dev";
    ASSERT_EQ(mkdir(old_dev.c_str(), 0755), 0);
    ASSERT_EQ(mount("/dev", old_dev.c_str(), nullptr, MS_BIND | MS_REC, nullptr), 0);
    ASSERT_EQ(mount("tmpfs", "/dev", "tmpfs", 0, "mode=755"), 0);
    for (const char* name : {"null", "zero", "urandom", "random", "tty"}) {
      const std::string at = std::string("/dev/") + name;
      ASSERT_TRUE(test_write_file(at, ""));
      ASSERT_EQ(mount((old_dev + "/" + name).c_str(), at.c_str(), nullptr, MS_BIND, nullptr), 0) << name;
    }
    EXPECT_EQ(user.run_readme(false, 60), 1) << user.out();
    EXPECT_NE(user.out().find("/dev/fuse is missing"), std::string::npos) << user.out();
    EXPECT_EQ(marked_processes(user.mark), "");
  });
  EXPECT_EQ(result, 0);
}

}  // namespace
