// Ejecting the disc that holds a path. No disc can be ejected in a test: the
// system's tools are stood in for by small scripts on a PATH of their own,
// which also keeps the real tools from touching this machine's volumes.
#include <errno.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include "files/archive_support.h"
#include "files/file_launch.h"
#include "platform/plat_volumes.h"
#include "support/test_env.h"

namespace {

class Eject : public testing::Test {
 protected:
  void SetUp() override {
    tools_ = test_scratch_dir("tools");
    log_ = tools_ + "calls.log";
    const char* path = getenv("PATH");
    saved_path_ = path ? path : "";
    setenv("PATH", tools_.c_str(), 1);
    setenv("DUV_EJECT_LOG", log_.c_str(), 1);
  }
  void TearDown() override {
    setenv("PATH", saved_path_.c_str(), 1);
    unsetenv("DUV_EJECT_LOG");
  }
  // A stand-in tool that logs its arguments and then runs body.
  void tool(const std::string& name, const std::string& body) {
    const std::string file = tools_ + name;
    ASSERT_TRUE(test_write_file(file, "#!/bin/sh\necho \"" + name + " $*\" >> \"$DUV_EJECT_LOG\"\n" + body + "\n"));
    ASSERT_EQ(0, chmod(file.c_str(), 0755));
  }
  std::string tools_, log_, saved_path_;
};

TEST_F(Eject, VolumeOfAPath) {
  std::string mount, device;
  ASSERT_EQ(0, PLAT_volume_of_path("/proc/self/status", mount, device));
  EXPECT_EQ("/proc", mount);
  EXPECT_EQ("proc", device);
  EXPECT_EQ(ENOENT, PLAT_volume_of_path("/no/such/path", mount, device));
}

TEST_F(Eject, FirstToolThatWorksEjects) {
  tool("eject", "exit 1");
  tool("gio", "exit 0");
  EXPECT_EQ(0, eject_dvd("/proc/self"));
  EXPECT_EQ("eject /proc\ngio mount -e /proc\n", test_read_file(log_));
}

TEST_F(Eject, FailuresAreCodes) {
  EXPECT_EQ(ENOENT, eject_dvd("/no/such/disc/"));
  // The system's own volume is never ejected, and no tool is asked to.
  tool("eject", "exit 0");
  EXPECT_EQ(EBUSY, eject_dvd("/"));
  EXPECT_EQ("", test_read_file(log_));
  // Every tool refuses: the volume is busy.
  tool("eject", "exit 1");
  tool("gio", "exit 2");
  EXPECT_EQ(EBUSY, eject_dvd("/proc"));
  // No tool at all.
  ASSERT_EQ(0, unlink((tools_ + "eject").c_str()));
  ASSERT_EQ(0, unlink((tools_ + "gio").c_str()));
  EXPECT_EQ(ENOSYS, eject_dvd("/proc"));
}

TEST_F(Eject, FuseMountsAreUnmountedNotEjected) {
  struct row {
    const char* fstype;
    const char* fusermount;   // its body, or null for no such tool
    const char* fusermount3;  // likewise
    int want;
    const char* calls;
  } rows[] = {
      {"fuse.fuseiso", "exit 0", "exit 0", 0, "fusermount -u /media/disc\n"},
      {"fuse", "exit 0", nullptr, 0, "fusermount -u /media/disc\n"},
      {"fuse.fuseiso", nullptr, "exit 0", 0, "fusermount3 -u /media/disc\n"},
      {"fuse.fuseiso", "exit 1", nullptr, EBUSY, "fusermount -u /media/disc\n"},
      {"fuse.fuseiso", nullptr, nullptr, ENOSYS, ""},
      // A block device behind FUSE is a real drive.
      {"fuseblk", "exit 0", "exit 0", 0, "eject /media/disc\n"},
      {"iso9660", "exit 0", "exit 0", 0, "eject /media/disc\n"},
  };
  for (const row& r : rows) {
    SCOPED_TRACE(std::string(r.fstype) + " " + (r.fusermount ? "fusermount " : "") + (r.fusermount3 ? "fusermount3" : ""));
    tool("eject", "exit 0");
    unlink((tools_ + "fusermount").c_str());
    unlink((tools_ + "fusermount3").c_str());
    if (r.fusermount) tool("fusermount", r.fusermount);
    if (r.fusermount3) tool("fusermount3", r.fusermount3);
    unlink(log_.c_str());
    EXPECT_EQ(r.want, PLAT_eject_volume("/media/disc", "fuseiso", 1000, r.fstype));
    EXPECT_EQ(r.calls, test_read_file(log_));
  }
}

TEST_F(Eject, HungToolIsKilledAndReported) {
  tool("eject", "echo $$ > \"$DUV_EJECT_LOG.pid\"\nexec /bin/sleep 60");
  const time_t start = time(nullptr);
  EXPECT_EQ(ETIMEDOUT, PLAT_eject_volume("/proc", "proc", 300));
  EXPECT_LE(time(nullptr) - start, 5);
  const std::string pid = test_read_file(log_ + ".pid");
  ASSERT_NE("", pid);
  EXPECT_EQ(-1, kill(atoi(pid.c_str()), 0));
  EXPECT_EQ(ESRCH, errno);
}

}  // namespace
