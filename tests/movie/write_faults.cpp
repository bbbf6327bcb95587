// Writes and closes that fail under a movie being written, as a full disk or
// a network file system fails them. The test program is linked with
// "--wrap=write" and "--wrap=close", so every write and close of the program
// comes here first; an armed failure hits the next one of a file in the
// test's folder (a close still closes the file).
#include <errno.h>
#include <limits.h>
#include <unistd.h>
#include <atomic>
#include <mutex>
#include <string>
#include "core/globs.h"
#include "movie/movie_fixture.h"

extern "C" ssize_t __real_write(int fd, const void* buf, size_t n);
extern "C" int __real_close(int fd);

namespace {
std::atomic<int> g_fail_write{0}, g_fail_close{0};
std::mutex g_lock;
std::string g_folder;

bool below_folder(int fd) {
  char link[PATH_MAX];
  const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), link, sizeof link - 1);
  if (n <= 0) return false;
  std::lock_guard<std::mutex> hold(g_lock);
  return !g_folder.empty() && std::string(link, n).compare(0, g_folder.size(), g_folder) == 0;
}
}  // namespace

extern "C" ssize_t __wrap_write(int fd, const void* buf, size_t n) {
  if (g_fail_write.load() && below_folder(fd)) {
    errno = ENOSPC;
    return -1;
  }
  return __real_write(fd, buf, n);
}

extern "C" int __wrap_close(int fd) {
  if (g_fail_close.load() && below_folder(fd) && g_fail_close.exchange(0)) {
    __real_close(fd);
    errno = EIO;
    return -1;
  }
  return __real_close(fd);
}

namespace {
struct MovieFaults : Movie {
  void SetUp() override {
    Movie::SetUp();
    std::lock_guard<std::mutex> hold(g_lock);
    g_folder = folder;
  }
  void TearDown() override {
    g_fail_write = 0;
    g_fail_close = 0;
    Movie::TearDown();
  }
};
using MovieFaultsDeathTest = MovieFaults;
}  // namespace

TEST_F(MovieFaults, AFailureWhileClosingTheMovieIsToldAndLeavesNoFile) {
  struct Case {
    std::atomic<int>* arm;
    std::string first, second;
    int code;
  } cases[] = {
      {&g_fail_write, "Could not InsertMediaIntoTrack.", "(InsertMediaIntoTrack failed.)", -ENOSPC},
      {&g_fail_close, "Could not AddMovieResource.", "(AddMovieResource failed.)", -EIO},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.first);
    alerts().clear();
    qtim.mov_toggle(1);
    ASSERT_EQ(qtim.state, 1);
    for (int i = 0; i < 4; ++i) send_frame(0xff102030u + 0x200000u * i, 0.05f);
    ASSERT_TRUE(alerts().empty());
    *c.arm = 1;
    qtim.mov_toggle(0);
    *c.arm = 0;
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0].kind, t_quit);
    EXPECT_EQ(alerts()[0].line, 88);
    EXPECT_EQ(alerts()[0].lines, (std::vector<std::string>{c.first, c.second, "", std::to_string(c.code)}));
    EXPECT_EQ(qtim.state, 0);
    // A movie without its sample tables would pass for one that was written.
    EXPECT_TRUE(test_list_folder(folder).empty());
  }
}

TEST_F(MovieFaultsDeathTest, ARecorderEndedByItsAlertDoesNotHangTheStop) {
  EXPECT_EXIT(
      {
        alarm(60);  // a hung stop ends the child by the signal, which fails the test
        xer.open("/dev/stderr");
        g_alert_handler = nullptr;  // the program's own alerts: a quit alert ends it
        qtim.mov_toggle(1);
        send_frame(0xff808080u, 0.05f);
        g_fail_write = 1;
        // The recorder's write fails; its alert ends it without answering.
        qt_frame_t* f = usable_buffers.front();
        usable_buffers.pop_front();
        UTL_message_queue_write(q_to_thread, f);
        qtim.mov_stoprecord();
        _exit(4);  // the stop returned: the alert was lost
      },
      ::testing::ExitedWithCode(1), "Could not AddMediaSample.\nAddMediaSample failed.\n\n-28");
}
