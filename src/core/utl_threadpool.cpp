#include "core/utl_threadpool.h"
#include "core/hl_thread.h"

UTL_threadpool* g_threadpool = nullptr;

namespace {
struct pool_start {
  UTL_threadpool* pool;
  int index;
};
}  // namespace

UTL_threadpool::UTL_threadpool(int n)
    : threads(n), thread_aux1(n), thread_aux2(n), queue(UTL_message_queue_create<UTL_pool_task*>()), pending(0) {
  for (int i = 0; i < n; ++i)
    THREAD_create(thread_func, new pool_start{this, i + 1}, &threads[i], &thread_aux1[i], &thread_aux2[i], 1);
}

UTL_threadpool::~UTL_threadpool() {
  for (size_t i = 0; i < threads.size(); ++i) UTL_message_queue_write<UTL_pool_task*>(queue, nullptr);
  for (size_t i = 0; i < threads.size(); ++i) UTL_thread_join(&threads[i], &thread_aux1[i]);
  UTL_message_queue_destroy(queue);
}

void UTL_threadpool::finish_task(UTL_pool_task* t, int index) {
  if (t->do_it(index)) delete t;
  pending.fetch_sub(1);
}

void* UTL_threadpool::thread_func(void* arg) {
  pool_start* start = static_cast<pool_start*>(arg);
  UTL_threadpool* pool = start->pool;
  int index = start->index;
  delete start;
  for (;;) {
    UTL_pool_task* t = UTL_message_queue_read(pool->queue, -1);
    if (!t) return nullptr;
    pool->finish_task(t, index);
  }
}

int UTL_threadpool::get_num_threads() const { return (int)threads.size(); }

void UTL_threadpool::queue_task(UTL_pool_task* t, int at_front) { queue_tasks(&t, &t + 1, at_front); }

void UTL_threadpool::queue_tasks(UTL_pool_task** first, UTL_pool_task** last, int at_front) {
  int n = (int)(last - first);
  if (n <= 0) return;
  // Count first, so empty() never answers 1 while a queued task exists.
  pending.fetch_add(n);
  UTL_message_queue_multi_write(queue, first, n, at_front);
}

void UTL_threadpool::queue_task_multi(UTL_pool_task* t, int count, int at_front) {
  std::vector<UTL_pool_task*> batch(count > 0 ? count : 0, t);
  queue_tasks(batch.data(), batch.data() + batch.size(), at_front);
}

static int drop_listed(std::vector<UTL_pool_task*>& v, void* ref) {
  const std::set<UTL_pool_task*>* which = static_cast<const std::set<UTL_pool_task*>*>(ref);
  size_t before = v.size();
  std::erase_if(v, [which](UTL_pool_task* t) { return which->count(t) != 0; });
  return (int)(before - v.size());
}

int UTL_threadpool::remove_tasks(const std::set<UTL_pool_task*>* which) {
  int n = UTL_message_queue_edit(queue, drop_listed, const_cast<std::set<UTL_pool_task*>*>(which));
  pending.fetch_sub(n);
  return n;
}

int UTL_threadpool::help_a_bit() {
  UTL_pool_task* t = UTL_message_queue_read(queue, 0);
  if (!t) return 0;
  finish_task(t, 0);
  return 1;
}

int UTL_threadpool::empty() {
  int expected = 0;
  return pending.compare_exchange_strong(expected, 0) ? 1 : 0;
}

// Swarm ---------------------------------------------------------------------

UTL_threadpool_swarm::UTL_threadpool_swarm(const std::string& n)
    : name(n), worker_count(0), queue(UTL_message_queue_create<UTL_pool_task*>()), done(nullptr) {
  UTL_semaphore_create(&done, 0);
}

UTL_threadpool_swarm::~UTL_threadpool_swarm() {
  UTL_message_queue_destroy(queue);
  UTL_semaphore_destroy(done);
}

void UTL_threadpool_swarm::add_task(UTL_pool_task* t) { UTL_message_queue_write(queue, t); }

void UTL_threadpool_swarm::launch_workers(UTL_threadpool* pool) {
  worker_count = pool->get_num_threads();
  pool->queue_task_multi(this, worker_count, 1);
}

int UTL_threadpool_swarm::run_own_tasks(int thread_index) {
  int ran = 0;
  while (UTL_pool_task* t = UTL_message_queue_read(queue, 0)) {
    if (t->do_it(thread_index)) delete t;
    ++ran;
  }
  return ran;
}

int UTL_threadpool_swarm::do_it(int thread_index) {
  run_own_tasks(thread_index);
  UTL_semaphore_inc(done);
  return 0;
}

void UTL_threadpool_swarm::help_and_wait() {
  run_own_tasks(-1);
  for (int i = 0; i < worker_count; ++i) UTL_semaphore_dec(done, -1);
  worker_count = 0;
}

const char* UTL_threadpool_swarm::get_debug_name() { return name.c_str(); }

// Sync ----------------------------------------------------------------------

UTL_threadpool_sync::UTL_threadpool_sync(UTL_threadpool* p, const char* n)
    : sem(nullptr), pool(p), fn(nullptr), arg(nullptr), arrived(0), count(0), delete_when_done(0), name(n) {
  UTL_semaphore_create(&sem, 0);
}

UTL_threadpool_sync::~UTL_threadpool_sync() { UTL_semaphore_destroy(sem); }

void UTL_threadpool_sync::queue_me(void (*f)(void*), void* a, int del, int at_front) {
  fn = f;
  arg = a;
  delete_when_done = del;
  arrived = 0;
  count = pool->get_num_threads();
  pool->queue_task_multi(this, count, at_front);
}

int UTL_threadpool_sync::do_it(int) {
  if (arrived.fetch_add(1) + 1 == count) {
    if (fn) fn(arg);
    for (int i = 0; i < count - 1; ++i) UTL_semaphore_inc(sem);
  } else {
    UTL_semaphore_dec(sem, -1);
  }
  // Read the flag before leaving: once the last thread leaves, the sync may go.
  int del = delete_when_done;
  return arrived.fetch_sub(1) == 1 ? del : 0;
}

const char* UTL_threadpool_sync::get_debug_name() { return name; }

// Barrier -------------------------------------------------------------------

UTL_threadpool_barrier::UTL_threadpool_barrier(UTL_threadpool* p, const char* n)
    : queue(UTL_message_queue_create<UTL_pool_task*>()), sem(nullptr), pool(p), name(n) {
  UTL_semaphore_create(&sem, 0);
}

UTL_threadpool_barrier::~UTL_threadpool_barrier() {
  UTL_message_queue_destroy(queue);
  UTL_semaphore_destroy(sem);
}

void UTL_threadpool_barrier::halt_pool_start(int at_front) {
  pool->queue_task_multi(this, pool->get_num_threads(), at_front);
}

void UTL_threadpool_barrier::halt_pool_finish() {
  for (int i = 0; i < pool->get_num_threads(); ++i) UTL_semaphore_dec(sem, -1);
}

void UTL_threadpool_barrier::queue_task(UTL_pool_task* t) { UTL_message_queue_write(queue, t); }

void UTL_threadpool_barrier::restart_pool() {
  int n = pool->get_num_threads();
  for (int i = 0; i < n; ++i) UTL_message_queue_write<UTL_pool_task*>(queue, nullptr);
  for (int i = 0; i < n; ++i) UTL_semaphore_dec(sem, -1);
}

int UTL_threadpool_barrier::do_it(int thread_index) {
  UTL_semaphore_inc(sem);
  for (;;) {
    UTL_pool_task* t = UTL_message_queue_read(queue, -1);
    if (!t) break;
    if (t->do_it(thread_index)) delete t;
  }
  UTL_semaphore_inc(sem);
  return 0;
}

const char* UTL_threadpool_barrier::get_debug_name() { return name; }
