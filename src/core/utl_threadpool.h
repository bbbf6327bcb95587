// The general worker pool and its tasks. The program's one instance,
// g_threadpool, gets threads only when OpenGL may be used from several threads.
#pragma once
#include <set>
#include <string>
#include <vector>
#include "core/utl_message_queue.h"

class UTL_pool_task {
 public:
  virtual ~UTL_pool_task() {}
  // The work. thread_index: 1..N on pool threads, 0 when a foreign thread
  // helps (help_a_bit), -1 when run on its owner's thread. Non-zero asks the
  // runner to delete the task afterwards.
  virtual int do_it(int thread_index) = 0;
  virtual const char* get_debug_name() = 0;
};

class UTL_threadpool {
 public:
  // Starts n threads (0 allowed: tasks then run only through help_a_bit).
  explicit UTL_threadpool(int n);
  // Runs every task already queued, then stops and joins the threads.
  ~UTL_threadpool();
  UTL_threadpool(const UTL_threadpool&) = delete;
  UTL_threadpool& operator=(const UTL_threadpool&) = delete;

  int get_num_threads() const;
  // Queues a task; at_front puts it ahead of every waiting task.
  void queue_task(UTL_pool_task* t, int at_front);
  // Queues [first, last) as one batch in order.
  void queue_tasks(UTL_pool_task** first, UTL_pool_task** last, int at_front);
  // Queues the same task count times as one batch.
  void queue_task_multi(UTL_pool_task* t, int count, int at_front);
  // Takes every waiting (not started) task in the set out of the queue without
  // running or deleting it; returns how many.
  int remove_tasks(const std::set<UTL_pool_task*>* which);
  // Runs at most one waiting task on the calling thread (index 0); 1 if it ran one.
  int help_a_bit();
  // 1 when no task is queued or running.
  int empty();

 private:
  static void* thread_func(void* start);
  void finish_task(UTL_pool_task* t, int index);
  friend class UTL_threadpool_swarm;
  friend class UTL_threadpool_sync;
  friend class UTL_threadpool_barrier;

  std::vector<UTL_thread_handle> threads;
  std::vector<UTL_thread_handle> thread_aux1;
  std::vector<UTL_thread_handle> thread_aux2;
  UTL_message_queue<UTL_pool_task*>* queue;
  std::atomic<int> pending;
};

extern UTL_threadpool* g_threadpool;

// Spreads a private list of tasks over every pool thread and waits for them.
class UTL_threadpool_swarm : public UTL_pool_task {
 public:
  explicit UTL_threadpool_swarm(const std::string& name);
  ~UTL_threadpool_swarm() override;
  // Adds a task to the swarm's own list (before or after the launch).
  void add_task(UTL_pool_task* t);
  // Queues one copy of the swarm per pool thread, at the front.
  void launch_workers(UTL_threadpool* pool);
  // Runs tasks on this thread too until the list is empty, then waits for
  // every launched copy; afterwards the swarm may be refilled or destroyed.
  void help_and_wait();
  int do_it(int thread_index) override;
  const char* get_debug_name() override;

 private:
  int run_own_tasks(int thread_index);
  std::string name;
  int worker_count;
  UTL_message_queue<UTL_pool_task*>* queue;
  UTL_semaphore* done;
};

// A rendezvous of every pool thread: fn runs on the last to arrive while the
// others stand still.
class UTL_threadpool_sync : public UTL_pool_task {
 public:
  UTL_threadpool_sync(UTL_threadpool* pool, const char* name);
  ~UTL_threadpool_sync() override;
  // Queues the sync once per pool thread; with delete_when_done the last
  // thread to leave deletes it.
  void queue_me(void (*fn)(void*), void* arg, int delete_when_done, int at_front);
  int do_it(int thread_index) override;
  const char* get_debug_name() override;

 private:
  UTL_semaphore* sem;
  UTL_threadpool* pool;
  void (*fn)(void*);
  void* arg;
  std::atomic<int> arrived;
  int count;
  int delete_when_done;
  const char* name;
};

// Parks every pool thread so that the owner can feed them tasks of its own.
class UTL_threadpool_barrier : public UTL_pool_task {
 public:
  UTL_threadpool_barrier(UTL_threadpool* pool, const char* name);
  ~UTL_threadpool_barrier() override;
  // Queues the barrier once per pool thread.
  void halt_pool_start(int at_front);
  // Waits until every pool thread is parked.
  void halt_pool_finish();
  // Gives a task to the parked threads.
  void queue_task(UTL_pool_task* t);
  // Releases the threads and waits until every one has left.
  void restart_pool();
  int do_it(int thread_index) override;
  const char* get_debug_name() override;

 private:
  UTL_message_queue<UTL_pool_task*>* queue;
  UTL_semaphore* sem;
  UTL_threadpool* pool;
  const char* name;
};
