#include "core/utl_worker.h"
#include "core/hl_thread.h"

UTL_worker_threads::UTL_worker_threads(int num_threads, int max_tasks_)
    : input_queue(UTL_message_queue_create<void*>()),
      retired_queue(UTL_message_queue_create<void*>()),
      max_tasks(max_tasks_),
      total_tasks(0),
      threads(num_threads),
      thread_ids(num_threads),
      thread_handles(num_threads) {
  for (int i = 0; i < num_threads; ++i)
    UTL_thread_create(thread_func, this, &threads[i], &thread_handles[i], &thread_ids[i]);
}

UTL_worker_threads::~UTL_worker_threads() {
  for (size_t i = 0; i < threads.size(); ++i) UTL_message_queue_write<void*>(input_queue, nullptr);
  for (size_t i = 0; i < threads.size(); ++i) UTL_thread_join(&threads[i], &thread_ids[i]);
  UTL_message_queue_destroy(input_queue);
  UTL_message_queue_destroy(retired_queue);
}

void* UTL_worker_threads::thread_func(void* arg) {
  UTL_worker_threads* me = static_cast<UTL_worker_threads*>(arg);
  for (;;) {
    void* item = UTL_message_queue_read(me->input_queue, -1);
    if (!item) return nullptr;
    UTL_work_task* t = static_cast<UTL_work_task*>(item);
    t->do_it();
    UTL_message_queue_write<void*>(me->retired_queue, t);
  }
}

void UTL_worker_threads::enqueue_task(UTL_work_task* t) {
  ++total_tasks;
  UTL_message_queue_write<void*>(input_queue, t);
}

int UTL_worker_threads::has_free_slot() const { return total_tasks < max_tasks ? 1 : 0; }

int UTL_worker_threads::count_total_tasks() const { return total_tasks; }

UTL_work_task* UTL_worker_threads::check_retired_tasks() {
  void* item = UTL_message_queue_read(retired_queue, 0);
  if (!item) return nullptr;
  --total_tasks;
  return static_cast<UTL_work_task*>(item);
}

UTL_work_task* UTL_worker_threads::wait_retired_tasks() {
  if (total_tasks <= 0) return nullptr;
  for (;;) {
    void* item = UTL_message_queue_read(retired_queue, 50);
    if (item) {
      --total_tasks;
      return static_cast<UTL_work_task*>(item);
    }
    // A task whose thread raised a fatal alert never retires; report it here
    // (which ends the program) rather than wait for ever.
    if (THREAD_is_inited() && THREAD_is_main_thread()) THREAD_check_exception(0);
  }
}
