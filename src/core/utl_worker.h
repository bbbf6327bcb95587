// Fixed sets of worker threads for the installer's passes. The owner (the
// main thread) enqueues tasks and collects finished ones each frame; the set
// never owns a task.
#pragma once
#include <string>
#include <vector>
#include "core/utl_message_queue.h"

class UTL_work_task {
 public:
  virtual ~UTL_work_task() {}
  // The work; runs on a worker thread. Must not throw.
  virtual void do_it() = 0;
  // On the owner's thread after retirement: 0 on success, else an error
  // number, with its message in msg (cleared on success).
  virtual int check_error(std::string& msg) = 0;
};

class UTL_worker_threads {
 public:
  // Starts num_threads threads; at most max_tasks may be outstanding.
  UTL_worker_threads(int num_threads, int max_tasks);
  // Runs every task already queued, stops and joins the threads. Tasks still
  // retired are dropped (not deleted): collect them first.
  ~UTL_worker_threads();
  UTL_worker_threads(const UTL_worker_threads&) = delete;
  UTL_worker_threads& operator=(const UTL_worker_threads&) = delete;

  // Queues a task at the back; does not check the limit.
  void enqueue_task(UTL_work_task* t);
  // 1 while fewer than max_tasks tasks are outstanding.
  int has_free_slot() const;
  // Tasks enqueued and not yet collected.
  int count_total_tasks() const;
  // A finished task, or null when none has finished; never waits.
  UTL_work_task* check_retired_tasks();
  // The next finished task, waiting as long as it takes; null when nothing is
  // outstanding. Waits in short slices and reports failures that worker
  // threads sent meanwhile, so a task whose thread died cannot hang the caller.
  UTL_work_task* wait_retired_tasks();

 private:
  static void* thread_func(void* pool);

  UTL_message_queue<void*>* input_queue;
  UTL_message_queue<void*>* retired_queue;
  int max_tasks;
  int total_tasks;
  std::vector<UTL_thread_handle> threads;
  std::vector<UTL_thread_handle> thread_ids;
  std::vector<UTL_thread_handle> thread_handles;
};
