#include "core/hl_thread.h"
#include <cxxabi.h>
#include <cstdlib>
#include <exception>
#include "core/globs.h"
#include "core/utl_cmdline.h"
#include "core/hl_alert.h"

thread_gl_hooks g_thread_gl_hooks;

static int threaded_gl() { return g_thread_gl_hooks.threaded_avail ? g_thread_gl_hooks.threaded_avail() : 0; }
static void threaded_gl_failed() {
  if (g_thread_gl_hooks.threaded_failed) g_thread_gl_hooks.threaded_failed();
}

static UTL_thread_handle main_thread;
static std::atomic<int> threads_inited{0};
static UTL_message_queue<exce_class*>* warn_exce = nullptr;
static UTL_message_queue<exce_class*>* quit_exce = nullptr;
// Guards the two queue pointers: a worker may send a record while the main
// thread shuts the layer down, and a queue must never be used once destroyed.
static std::mutex exce_queues_lock;

namespace {
struct thread_start_info {
  UTL_thread_fn fn;
  void* arg;
  UTL_message_queue<void*>* handshake;
  int want_gl;
  void* loader;
};
}  // namespace

void THREAD_init() {
  main_thread = UTL_get_current_thread();
  std::lock_guard<std::mutex> l(exce_queues_lock);
  warn_exce = UTL_message_queue_create<exce_class*>();
  quit_exce = UTL_message_queue_create<exce_class*>();
  threads_inited = 1;
}

void THREAD_make_workers() {
  int n = UTL_count_processors();
  xer_group() << "CPU count        : " << n << "\n";
  if (cmdline.has_option("--num_workers")) n = atoi(cmdline.get_option("--num_workers").c_str()) + 1;
  int threads = 0;
  if (threaded_gl()) threads = n - 1 > 0 ? n - 1 : 1;
  g_threadpool = new UTL_threadpool(threads);
  UTL_runloop_init();
}

static void drop_queue(UTL_message_queue<exce_class*>*& q) {
  if (!q) return;
  while (exce_class* e = UTL_message_queue_read(q, 0)) delete e;
  UTL_message_queue_destroy(q);
  q = nullptr;
}

void THREAD_shutdown() {
  // Report off the main thread runs the finish-up there and the main loop
  // runs it again: the second call finds nothing left to stop.
  if (!threads_inited) return;
  if (g_threadpool) {
    delete g_threadpool;
    g_threadpool = nullptr;
  }
  UTL_runloop_shutdown();
  {
    std::lock_guard<std::mutex> l(exce_queues_lock);
    drop_queue(warn_exce);
    drop_queue(quit_exce);
    threads_inited = 0;
  }
  xer_group() << "Clean exit from threads.\n";
}

int THREAD_is_inited() { return threads_inited.load(); }

int THREAD_is_main_thread() { return pthread_equal(UTL_get_current_thread(), main_thread) ? 1 : 0; }

void THREAD_create(UTL_thread_fn fn, void* arg, UTL_thread_handle* h1, UTL_thread_handle* h2,
                   UTL_thread_handle* h3, int want_gl) {
  if (!threaded_gl()) want_gl = 0;
  int asked = want_gl;
  thread_start_info info{fn, arg, nullptr, want_gl, nullptr};
  if (want_gl) {
    info.loader = g_thread_gl_hooks.make_loader ? g_thread_gl_hooks.make_loader() : nullptr;
    if (!info.loader) {
      info.want_gl = asked = 0;
      threaded_gl_failed();
    }
  }
  info.handshake = UTL_message_queue_create<void*>();
  UTL_thread_create(THREAD_launch, &info, h1, h2, h3);
  UTL_message_queue_read(info.handshake, -1);
  UTL_message_queue_destroy(info.handshake);
  if (info.want_gl != asked) threaded_gl_failed();
}

void* THREAD_launch(void* p) {
  thread_start_info* info = static_cast<thread_start_info*>(p);
  if (info->want_gl == 1 &&
      !(g_thread_gl_hooks.set_context_loader && g_thread_gl_hooks.set_context_loader(info->loader)))
    info->want_gl = 0;
  UTL_thread_fn fn = info->fn;
  void* arg = info->arg;
  UTL_message_queue_write<void*>(info->handshake, nullptr);
  try {
    return fn(arg);
  } catch (abi::__forced_unwind&) {
    throw;  // pthread_exit unwinds through here; swallowing it aborts the process
  } catch (exce_class& e) {
    e.MakeFatal();
    THREAD_send_exception(e);
  } catch (std::exception& e) {
    THREAD_send_exception(exce_class("Caught an unhandled C++ exception", e.what(), "", "", "RUvozuz/Thread/hl_thread",
                                     __LINE__, t_crash));
  } catch (...) {
    THREAD_send_exception(exce_class("Caught an unhandled unknown exception", "", "", "",
                                     "RUvozuz/Thread/hl_thread", __LINE__, t_crash));
  }
  return nullptr;
}

THREAD_call::THREAD_call(void* (*f)(void*), void* a)
    : done_queue(UTL_message_queue_create<void*>()), fn(f), arg(a), result(nullptr) {}

THREAD_call::~THREAD_call() { UTL_message_queue_destroy(done_queue); }

int THREAD_call::do_it(int) {
  result = fn(arg);
  UTL_message_queue_write<void*>(done_queue, this);
  return 0;
}

const char* THREAD_call::get_debug_name() { return "THREAD_call async call"; }

THREAD_call* THREAD_run_async(void* (*fn)(void*), void* arg) {
  THREAD_call* c = new THREAD_call(fn, arg);
  if (g_threadpool && g_threadpool->get_num_threads() > 0)
    g_threadpool->queue_task(c, 1);
  else
    c->do_it(-1);
  return c;
}

int THREAD_is_done(THREAD_call* c, int ms) {
  THREAD_check_exception(0);
  if (!g_threadpool || g_threadpool->get_num_threads() == 0) return 1;
  void* item = UTL_message_queue_read(c->done_queue, ms);
  THREAD_check_exception(0);
  return item ? 1 : 0;
}

void* THREAD_cleanup(THREAD_call* c) {
  THREAD_check_exception(0);
  void* r = c->result;
  delete c;
  return r;
}

void THREAD_send_exception(const exce_class& e) {
  if (e.severity < 1 || e.severity > 3) return;
  {
    std::lock_guard<std::mutex> l(exce_queues_lock);
    UTL_message_queue<exce_class*>* q = e.severity == 1 ? warn_exce : quit_exce;
    if (q) {
      UTL_message_queue_write(q, new exce_class(e));
    } else {
      // The layer is already shut down: nobody will drain a queue, so log it.
      exce_class copy(e);
      copy.LogAndContinue();
    }
  }
  if (e.severity >= 2 && threads_inited && !THREAD_is_main_thread()) UTL_thread_exit(nullptr);
}

static void report_all(UTL_message_queue<exce_class*>*& q) {
  for (;;) {
    exce_class* e;
    {
      std::lock_guard<std::mutex> l(exce_queues_lock);
      e = q ? UTL_message_queue_read(q, 0) : nullptr;
    }
    if (!e) return;
    // Report may shut the layer down (and destroy the queues) before returning.
    e->Report();
    delete e;
  }
}

void THREAD_check_exception(int also_warnings) {
  report_all(quit_exce);
  if (also_warnings) report_all(warn_exce);
}
