// The thread layer: which thread is the main one, the general pool, the
// thread entry wrapper, asynchronous calls, and the two queues that carry
// failures (exce_class records) from any thread to the main thread.
// Order: THREAD_init, THREAD_make_workers, any use, THREAD_shutdown.
#pragma once
#include "core/exce.h"
#include "core/utl_thread.h"
#include "core/utl_threadpool.h"

// What the thread layer asks of the OpenGL layer and the window: whether
// worker threads may use OpenGL, and their shared contexts. Those layers
// answer once the shell connects them at start-up; until then every thread
// runs without OpenGL.
struct thread_gl_hooks {
  int (*threaded_avail)() = nullptr;           // non-zero while workers may use OpenGL
  void (*threaded_failed)() = nullptr;         // turns threaded use off, warning the user once
  void* (*make_loader)() = nullptr;            // a context sharing the main one's objects, or null
  int (*set_context_loader)(void*) = nullptr;  // makes it current on the caller; 1 on success
};
extern thread_gl_hooks g_thread_gl_hooks;

// Records the main thread and creates the failure queues.
void THREAD_init();
// Logs the processor count and builds g_threadpool ("--num_workers", and
// threads only while threaded OpenGL is available), then the run loop.
void THREAD_make_workers();
// Deletes the pool, the run loop and the failure queues; logs
// "Clean exit from threads.". Safe to call twice.
void THREAD_shutdown();
// 1 between THREAD_init and THREAD_shutdown.
int THREAD_is_inited();
// 1 on the thread that called THREAD_init.
int THREAD_is_main_thread();

// Starts fn(arg) through THREAD_launch, with a shared GL context when want_gl
// and threaded GL is available; returns once the thread has started.
void THREAD_create(UTL_thread_fn fn, void* arg, UTL_thread_handle* h1, UTL_thread_handle* h2,
                   UTL_thread_handle* h3, int want_gl);
// Entry of every thread THREAD_create starts: anything fn throws becomes a
// crash record sent to the main thread.
void* THREAD_launch(void* start_info);

// One asynchronous call on the general pool.
class THREAD_call : public UTL_pool_task {
 public:
  THREAD_call(void* (*fn)(void*), void* arg);
  ~THREAD_call() override;
  int do_it(int thread_index) override;
  const char* get_debug_name() override;

  UTL_message_queue<void*>* done_queue;
  void* (*fn)(void*);
  void* arg;
  void* result;
};
// Runs fn(arg) on the pool (at the front of its queue), or inline when the
// pool has no threads.
THREAD_call* THREAD_run_async(void* (*fn)(void*), void* arg);
// 1 once the call has finished (ask until it says 1, once), 0 not yet.
int THREAD_is_done(THREAD_call* call, int ms);
// The call's result; deletes the call.
void* THREAD_cleanup(THREAD_call* call);

// Queues a heap copy of the record: severity 1 on the warning queue; 2 and 3
// on the fatal queue, and off the main thread the calling thread ends here;
// any other severity is dropped.
void THREAD_send_exception(const exce_class& e);
// Reports and deletes every queued fatal record, then (with also_warnings)
// every warning. A fatal record reported on the main thread ends the program.
void THREAD_check_exception(int also_warnings);
