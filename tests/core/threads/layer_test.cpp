// The thread layer: the general pool's size, asynchronous calls, and failures
// carried from worker threads to the main thread.
#include <gtest/gtest.h>
#include <unistd.h>
#include <atomic>
#include <stdexcept>
#include "core/globs.h"
#include "core/hl_thread.h"
#include "core/utl_cmdline.h"
#include "core/utl_worker.h"
#include "ogl/ogl_extensions.h"
#include "core/hl_alert.h"
#include "support/test_env.h"

namespace {
// Sends the log to a file of the test's own for the life of the object.
struct log_capture {
  std::string path;
  log_capture() {
    path = test_scratch_dir("log") + "log.txt";
    xer.open(path);
  }
  ~log_capture() {
    if (xer.is_open()) xer.close();
    xer.clear();
  }
  std::string text() {
    xer.flush();
    return test_read_file(path);
  }
};

struct layer : ::testing::Test {
  void SetUp() override {
    cmdline.options.clear();
    glExt.threaded_avail = 0;
    app_done = 0;
    THREAD_init();
  }
  void TearDown() override {
    THREAD_shutdown();
    cmdline.options.clear();
    glExt.threaded_avail = 0;
  }
};
using ThreadLayer = layer;
using ThreadLayerDeathTest = layer;

void* add_one(void* p) {
  ++*static_cast<int*>(p);
  return p;
}
}  // namespace

TEST_F(ThreadLayer, PoolSizeFollowsThreadedGlAndNumWorkers) {
  const int cpus = UTL_count_processors();
  struct Case {
    int threaded;
    const char* num_workers;  // null: option absent
    int expect;
  } cases[] = {
      {0, nullptr, 0}, {0, "6", 0}, {1, nullptr, cpus - 1 > 0 ? cpus - 1 : 1},
      {1, "6", 6},     {1, "0", 1}, {1, "-3", 1},
      {1, "abc", 1},   {1, "", 1},
  };
  for (const Case& c : cases) {
    cmdline.options.clear();
    if (c.num_workers) cmdline.options["--num_workers"] = c.num_workers;
    glExt.threaded_avail = c.threaded;
    log_capture log;
    THREAD_make_workers();
    ASSERT_NE(g_threadpool, nullptr);
    EXPECT_EQ(g_threadpool->get_num_threads(), c.expect)
        << "threaded=" << c.threaded << " num_workers=" << (c.num_workers ? c.num_workers : "(none)");
    EXPECT_NE(log.text().find("CPU count        : " + std::to_string(cpus) + "\n"), std::string::npos);
    THREAD_shutdown();
    THREAD_init();
  }
}

TEST_F(ThreadLayer, AsyncCallRunsInlineWithoutPoolThreads) {
  THREAD_make_workers();
  ASSERT_EQ(g_threadpool->get_num_threads(), 0);
  int n = 0;
  THREAD_call* c = THREAD_run_async(add_one, &n);
  EXPECT_EQ(n, 1);  // ran before the call returned
  EXPECT_EQ(THREAD_is_done(c, 0), 1);
  EXPECT_EQ(THREAD_cleanup(c), &n);
}

TEST_F(ThreadLayer, AsyncCallOnPoolThreads) {
  glExt.threaded_avail = 1;
  cmdline.options["--num_workers"] = "2";
  THREAD_make_workers();
  int n = 0;
  THREAD_call* c = THREAD_run_async(add_one, &n);
  EXPECT_EQ(THREAD_is_done(c, -1), 1);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(THREAD_cleanup(c), &n);
}

TEST_F(ThreadLayer, SendExceptionRoutesBySeverity) {
  log_capture log;
  THREAD_send_exception(exce_class("zero", "", "", "", "f.cpp", 1, 0));  // dropped
  THREAD_send_exception(exce_class("a warning", "second", "", "", "w.cpp", 7, 1));
  THREAD_send_exception(exce_class("bad", "", "", "", "f.cpp", 1, 9));  // dropped
  THREAD_check_exception(0);  // fatal queue only: the warning waits
  EXPECT_EQ(log.text().find("a warning"), std::string::npos);
  THREAD_check_exception(1);
  std::string text = log.text();
  EXPECT_NE(text.find("a warning\nsecond\n"), std::string::npos);
  EXPECT_NE(text.find("(w.cpp line 7)"), std::string::npos);
  EXPECT_EQ(text.find("zero"), std::string::npos);
  EXPECT_EQ(text.find("bad"), std::string::npos);
}

TEST_F(ThreadLayer, WarningFromWorkerReachesMainThreadAndWorkerGoesOn) {
  log_capture log;
  std::atomic<int> after{0};
  std::thread t([&] {
    __MACIBM_alert(0, "disk is slow", "", "", "", t_warning, "worker.cpp", 12);
    __MACIBM_alert(0, "pick a language", "", "", "", t_language, "worker.cpp", 13);  // dropped off main
    after = 1;
  });
  t.join();
  EXPECT_EQ(after.load(), 1);
  EXPECT_EQ(log.text().find("disk is slow"), std::string::npos);  // not shown until the frame drains
  THREAD_check_exception(1);
  EXPECT_NE(log.text().find("disk is slow\n\n\n\n(worker.cpp line 12)"), std::string::npos);
  EXPECT_EQ(log.text().find("pick a language"), std::string::npos);
}

TEST_F(ThreadLayer, ReportOffMainThreadLogsAndFinishesUp) {
  log_capture log;
  std::thread t([] {
    exce_class e("lost the disc", "two", "", "four", "disc.cpp", 40, 3);
    e.Report();
  });
  t.join();
  EXPECT_EQ(app_done, 1);
  EXPECT_EQ(THREAD_is_inited(), 0);  // the finish-up stopped the thread layer
  std::string text = test_read_file(log.path);  // the finish-up closed the log
  EXPECT_NE(text.find("EXCEPTION REPORTED FROM THREAD!!  File: disc.cpp, line 40.\nlost the disc\ntwo\n\nfour\n"),
            std::string::npos);
  EXPECT_NE(text.find("Clean exit from threads.\n"), std::string::npos);
  THREAD_shutdown();  // a second shutdown (the main loop's) finds nothing to do
}

TEST_F(ThreadLayer, ShutdownLogsCleanExitOnceAndIsRepeatable) {
  THREAD_make_workers();
  log_capture log;
  THREAD_shutdown();
  THREAD_shutdown();
  EXPECT_EQ(THREAD_is_inited(), 0);
  EXPECT_EQ(g_threadpool, nullptr);
  std::string text = log.text();
  EXPECT_NE(text.find("Clean exit from threads.\n"), std::string::npos);
  EXPECT_EQ(text.find("Clean exit from threads.\n"), text.rfind("Clean exit from threads.\n"));
}

TEST(ExceptionRecord, DefaultsCopiesAndSeverity) {
  exce_class d;
  EXPECT_STREQ(d.file, "no exception");
  EXPECT_EQ(d.line, 0);
  EXPECT_EQ(d.severity, 3);
  const char* name = "src.cpp";
  exce_class* a = new exce_class("1", "2", "3", "4", name, 5, 1);
  exce_class b(*a);
  delete a;
  EXPECT_EQ(b.s4, "4");
  EXPECT_EQ(b.file, name);  // the pointer is shared, not copied
  b.MakeFatal();
  EXPECT_EQ(b.severity, 3);
  exce_class c;
  c = b;
  EXPECT_EQ(c.s1, "1");
  EXPECT_EQ(c.line, 5);
}

TEST(ExceptionRecord, LogAndContinueWordsSeverity) {
  log_capture log;
  exce_class(std::string("w"), "", "", "", "a.cpp", 3, 0).LogAndContinue();
  exce_class(std::string("x"), "", "", "", "b.cpp", 4, 1).LogAndContinue();
  std::string text = log.text();
  EXPECT_NE(text.find("Logging non-fatal Exception thrown from file: a.cpp, line 3.\nw\n"), std::string::npos);
  EXPECT_NE(text.find("Logging fatal Exception thrown from file: b.cpp, line 4.\nx\n"), std::string::npos);
}

// Fatal failures on other threads end the program with status 1, reported by
// the main thread; the worker never comes back from raising them.

namespace {
void* throw_std(void*) { throw std::runtime_error("disk on fire"); }
void* raise_quit(void* after) {
  __MACIBM_alert(0, "cannot go on", "", "", "", t_quit, "worker.cpp", 99);
  *static_cast<int*>(after) = 1;  // never reached
  return nullptr;
}

struct quitting_task : UTL_work_task {
  void do_it() override { __MACIBM_alert(0, "unpack failed hard", "", "", "", t_quit, "unpack.cpp", 5); }
  int check_error(std::string& msg) override {
    msg.clear();
    return 0;
  }
};
}  // namespace

// In the child the log goes to the standard error stream, where the death
// test's pattern can see it.
static void log_to_stderr() { xer.open("/dev/stderr"); }

TEST_F(ThreadLayerDeathTest, ThrowOutOfThreadBecomesCrashRecord) {
  EXPECT_EXIT(
      {
        log_to_stderr();
        cmdline.options["--qa_script"] = "";  // log the alert instead of showing it
        UTL_thread_handle h;
        THREAD_create(throw_std, nullptr, &h, nullptr, nullptr, 0);
        UTL_thread_join(&h, nullptr);
        THREAD_check_exception(0);
        _exit(4);  // a crash record must not return
      },
      ::testing::ExitedWithCode(1), "Caught an unhandled C\\+\\+ exception\ndisk on fire\n");
}

TEST_F(ThreadLayerDeathTest, QuitOnWorkerEndsWorkerThenProgramWithStatusOne) {
  EXPECT_EXIT(
      {
        log_to_stderr();
        int after = 0;
        UTL_thread_handle h;
        UTL_thread_create(raise_quit, &after, &h, nullptr, nullptr);
        UTL_thread_join(&h, nullptr);
        if (after) _exit(3);  // the worker went on: wrong
        THREAD_check_exception(0);
        _exit(4);  // the quit alert returned: wrong
      },
      ::testing::ExitedWithCode(1), "cannot go on\n\n\n\n\\(worker.cpp line 99\\)");
}

TEST_F(ThreadLayerDeathTest, WaitingForATaskWhoseThreadDiedDoesNotHang) {
  EXPECT_EXIT(
      {
        log_to_stderr();
        UTL_worker_threads pool(1, 4);
        pool.enqueue_task(new quitting_task);
        pool.wait_retired_tasks();  // reports the failure instead of waiting for ever
        _exit(4);
      },
      ::testing::ExitedWithCode(1), "unpack failed hard");
}
