// A close() that fails after every write went through, as a full disk or a
// network file system can report only then. The test program is linked with
// "--wrap=close", so every close of the program comes here first; an armed
// failure closes the file for real and then reports EIO.
#include <errno.h>
#include <limits.h>
#include <unistd.h>
#include <atomic>
#include <mutex>
#include <string>
#include <gtest/gtest.h>
#include "files/archive_support.h"
#include "files/file_compress.h"
#include "files/file_ops.h"
#include "support/test_env.h"

extern "C" int __real_close(int fd);

namespace {
std::atomic<bool> g_armed{false};
std::mutex g_lock;
std::string g_folder;  // the next close of a file below it fails

bool fails_now(int fd) {
  if (!g_armed.load()) return false;
  char link[PATH_MAX];
  const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), link, sizeof link - 1);
  if (n <= 0) return false;
  std::lock_guard<std::mutex> hold(g_lock);
  if (std::string(link, n).compare(0, g_folder.size(), g_folder) != 0) return false;
  return g_armed.exchange(false);
}

// Arms one failing close of a file below folder for the life of the object.
struct failing_close {
  explicit failing_close(const std::string& folder) {
    std::lock_guard<std::mutex> hold(g_lock);
    g_folder = folder;
    g_armed = true;
  }
  ~failing_close() { g_armed = false; }
  bool fired() const { return !g_armed.load(); }
};
}  // namespace

extern "C" int __wrap_close(int fd) {
  if (!fails_now(fd)) return __real_close(fd);
  __real_close(fd);
  errno = EIO;
  return -1;
}

namespace {

TEST(CloseFaults, AFailingLastCloseIsAnError) {
  const std::string dir = test_scratch_dir("close");
  const std::string src = dir + "src/", dst = dir + "dst/";
  ASSERT_EQ(0, test_run("mkdir '" + src + "' '" + dst + "' && cd '" + src +
                        "' && printf 'all of it\\n' > f.txt && zip -q -X f.zip f.txt"));
  const struct {
    const char* name;
    int (*op)(const std::string& src, const std::string& dst);
    bool keeps_old;  // the file already at the destination stays as it was
  } cases[] = {
      {"unpacked file", [](const std::string& s, const std::string& d) { return zip_to_file(s + "f.zip", d, nullptr, 0); },
       true},
      {"copy_file", [](const std::string& s, const std::string& d) { return copy_file(s + "f.txt", d + "f.txt"); },
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(0, test_run("rm -rf '" + dst + "' && mkdir '" + dst + "'"));
    ASSERT_TRUE(test_write_file(dst + "f.txt", "installed version"));
    log_capture log(dir + "log.txt");
    {
      failing_close arm(dst);
      EXPECT_EQ(EIO, c.op(src, dst));
      EXPECT_TRUE(arm.fired());
    }
    EXPECT_EQ("", hidden_leftovers(dst));
    if (c.keeps_old) {
      EXPECT_EQ("installed version", test_read_file(dst + "f.txt"));
    }
  }
}

}  // namespace
