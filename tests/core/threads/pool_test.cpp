// The general thread pool and its collective tasks.
#include <gtest/gtest.h>
#include <atomic>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>
#include "core/hl_thread.h"
#include "core/utl_threadpool.h"

namespace {
struct note_task : UTL_pool_task {
  std::vector<int>* log;
  std::mutex* m;
  int id;
  int delete_me;
  std::atomic<int>* deleted;
  note_task(std::vector<int>* l, std::mutex* mm, int i, int del = 0, std::atomic<int>* d = nullptr)
      : log(l), m(mm), id(i), delete_me(del), deleted(d) {}
  ~note_task() override {
    if (deleted) ++*deleted;
  }
  int do_it(int) override {
    std::lock_guard<std::mutex> l(*m);
    log->push_back(id);
    return delete_me;
  }
  const char* get_debug_name() override { return "note"; }
};

struct count_task : UTL_pool_task {
  std::atomic<int>* runs;
  std::atomic<int> last_index{-99};
  explicit count_task(std::atomic<int>* r) : runs(r) {}
  int do_it(int index) override {
    last_index = index;
    ++*runs;
    return 0;
  }
  const char* get_debug_name() override { return "count"; }
};

struct pool_env : ::testing::Test {
  void SetUp() override { THREAD_init(); }
  void TearDown() override { THREAD_shutdown(); }
};
using ThreadPool = pool_env;
}  // namespace

TEST_F(ThreadPool, NoThreadsRunsOnlyWhenHelped) {
  UTL_threadpool pool(0);
  std::atomic<int> runs{0};
  count_task t(&runs);
  EXPECT_EQ(pool.empty(), 1);
  pool.queue_task(&t, 0);
  EXPECT_EQ(pool.empty(), 0);
  EXPECT_EQ(runs.load(), 0);
  EXPECT_EQ(pool.help_a_bit(), 1);
  EXPECT_EQ(t.last_index.load(), 0);
  EXPECT_EQ(pool.help_a_bit(), 0);
  EXPECT_EQ(pool.empty(), 1);
}

TEST_F(ThreadPool, FrontBatchesAndDeletion) {
  UTL_threadpool pool(0);  // run by hand, so the order is observable
  std::vector<int> log;
  std::mutex m;
  std::atomic<int> deleted{0};
  note_task a(&log, &m, 1), b(&log, &m, 2);
  pool.queue_task(&a, 0);
  pool.queue_task(&b, 0);
  UTL_pool_task* front1[] = {new note_task(&log, &m, 10, 1, &deleted), new note_task(&log, &m, 11, 1, &deleted)};
  UTL_pool_task* front2[] = {new note_task(&log, &m, 20, 1, &deleted)};
  pool.queue_tasks(front1, front1 + 2, 1);
  pool.queue_tasks(front2, front2 + 1, 1);
  while (pool.help_a_bit()) {
  }
  EXPECT_EQ(log, (std::vector<int>{20, 10, 11, 1, 2}));
  EXPECT_EQ(deleted.load(), 3);  // the ones that asked; a and b are left alone
}

TEST_F(ThreadPool, RemoveTasksTakesOnlyWaitingOnes) {
  UTL_threadpool pool(0);
  std::vector<int> log;
  std::mutex m;
  note_task a(&log, &m, 1), b(&log, &m, 2), c(&log, &m, 3);
  pool.queue_task(&a, 0);
  pool.queue_task(&b, 0);
  pool.queue_task(&c, 0);
  std::set<UTL_pool_task*> which{&a, &c};
  EXPECT_EQ(pool.remove_tasks(&which), 2);
  while (pool.help_a_bit()) {
  }
  EXPECT_EQ(log, (std::vector<int>{2}));
  EXPECT_EQ(pool.empty(), 1);
}

TEST_F(ThreadPool, DestroyRunsEverythingQueued) {
  std::atomic<int> runs{0};
  std::deque<count_task> tasks;
  {
    UTL_threadpool pool(4);
    for (int i = 0; i < 200; ++i) {
      tasks.emplace_back(&runs);
      pool.queue_task(&tasks.back(), 0);
    }
  }
  EXPECT_EQ(runs.load(), 200);
  for (auto& t : tasks) {
    EXPECT_GE(t.last_index.load(), 1);
    EXPECT_LE(t.last_index.load(), 4);
  }
}

TEST_F(ThreadPool, SwarmRunsEveryTaskThenAllCopiesSignal) {
  UTL_threadpool pool(3);
  UTL_threadpool_swarm swarm("swarm");
  std::atomic<int> runs{0};
  std::deque<count_task> tasks;
  for (int i = 0; i < 5; ++i) {
    tasks.emplace_back(&runs);
    swarm.add_task(&tasks.back());
  }
  swarm.launch_workers(&pool);
  swarm.help_and_wait();
  EXPECT_EQ(runs.load(), 5);
  // Reusable once drained.
  count_task again(&runs);
  swarm.add_task(&again);
  swarm.launch_workers(&pool);
  swarm.help_and_wait();
  EXPECT_EQ(runs.load(), 6);
}

namespace {
std::atomic<int> sync_calls{0};
void count_call(void*) { ++sync_calls; }
}  // namespace

TEST_F(ThreadPool, SyncCallsOnceAndDeletesOnce) {
  UTL_threadpool pool(4);
  sync_calls = 0;
  auto* s = new UTL_threadpool_sync(&pool, "sync");
  s->queue_me(count_call, nullptr, 1, 0);
  // The pool deletes the sync itself; wait for the rendezvous to pass.
  while (!pool.empty()) std::this_thread::yield();
  EXPECT_EQ(sync_calls.load(), 1);
}

TEST_F(ThreadPool, BarrierParksEveryThreadAndReleasesThem) {
  UTL_threadpool pool(3);
  UTL_threadpool_barrier barrier(&pool, "barrier");
  barrier.halt_pool_start(0);
  barrier.halt_pool_finish();
  std::atomic<int> shared_runs{0}, own_runs{0};
  count_task shared(&shared_runs), own(&own_runs);
  pool.queue_task(&shared, 0);  // the shared queue is not served while parked
  barrier.queue_task(&own);
  while (own_runs.load() == 0) std::this_thread::yield();
  EXPECT_EQ(shared_runs.load(), 0);
  barrier.restart_pool();
  while (shared_runs.load() == 0) std::this_thread::yield();
  EXPECT_EQ(own_runs.load(), 1);
}
