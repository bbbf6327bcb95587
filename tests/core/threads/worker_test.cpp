// Fixed worker-thread sets: limits, retirement and hand-back of errors.
#include <gtest/gtest.h>
#include <atomic>
#include <deque>
#include <map>
#include <thread>
#include <vector>
#include "core/utl_worker.h"

namespace {
std::atomic<int> in_flight{0}, max_seen{0};

struct probe_task : UTL_work_task {
  int id;
  int err;
  std::atomic<int>* gate;  // while non-null and 0, do_it waits
  std::atomic<int> ran{0};
  probe_task(int i, int e = 0, std::atomic<int>* g = nullptr) : id(i), err(e), gate(g) {}
  void do_it() override {
    int now = ++in_flight;
    int m = max_seen.load();
    while (now > m && !max_seen.compare_exchange_weak(m, now)) {
    }
    while (gate && gate->load() == 0) std::this_thread::yield();
    ++ran;
    --in_flight;
  }
  int check_error(std::string& msg) override {
    if (!err) {
      msg.clear();
      return 0;
    }
    msg = "task " + std::to_string(id) + " failed";
    return err;
  }
};
}  // namespace

TEST(WorkerThreads, NothingOutstanding) {
  UTL_worker_threads pool(2, 4);
  EXPECT_EQ(pool.wait_retired_tasks(), nullptr);
  EXPECT_EQ(pool.check_retired_tasks(), nullptr);
  EXPECT_EQ(pool.count_total_tasks(), 0);
}

TEST(WorkerThreads, SlotLimitCountsQueuedRunningAndRetired) {
  std::atomic<int> gate{0};
  UTL_worker_threads pool(4, 30);
  std::vector<probe_task*> tasks;
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(pool.has_free_slot(), 1);
    tasks.push_back(new probe_task(i, 0, &gate));
    pool.enqueue_task(tasks.back());
  }
  EXPECT_EQ(pool.has_free_slot(), 0);
  EXPECT_EQ(pool.check_retired_tasks(), nullptr);  // all held at the gate
  EXPECT_EQ(pool.count_total_tasks(), 30);
  gate = 1;
  UTL_work_task* t = pool.wait_retired_tasks();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(pool.has_free_slot(), 1);
  delete t;
  while (UTL_work_task* r = pool.wait_retired_tasks()) delete r;
  EXPECT_EQ(pool.count_total_tasks(), 0);
}

TEST(WorkerThreads, OneThreadRetiresInOrder) {
  UTL_worker_threads pool(1, 30);
  probe_task a(1), b(2), c(3);
  pool.enqueue_task(&a);
  pool.enqueue_task(&b);
  pool.enqueue_task(&c);
  EXPECT_EQ(pool.wait_retired_tasks(), &a);
  EXPECT_EQ(pool.wait_retired_tasks(), &b);
  EXPECT_EQ(pool.wait_retired_tasks(), &c);
  EXPECT_EQ(pool.wait_retired_tasks(), nullptr);
}

TEST(WorkerThreads, DeletingThePoolRunsQueuedTasksFirst) {
  std::deque<probe_task> tasks;
  {
    UTL_worker_threads pool(2, 30);
    for (int i = 0; i < 5; ++i) {
      tasks.emplace_back(i);
      pool.enqueue_task(&tasks.back());
    }
  }
  for (auto& t : tasks) EXPECT_EQ(t.ran.load(), 1);
}

// The owner's per-frame pattern from the passes: fill free slots, collect
// without waiting. Every task comes back exactly once with its own error, and
// the in-flight limit is never exceeded.
TEST(WorkerThreads, OwnerPassHandsEachTaskBackOnceWithItsError) {
  const int kTasks = 2000, kMax = 4 * 8;
  in_flight = 0;
  max_seen = 0;
  UTL_worker_threads pool(8, kMax);
  int next = 0, outstanding_peak = 0;
  std::map<int, int> returned;
  std::map<int, std::string> errors;
  while (next < kTasks || pool.count_total_tasks() > 0) {
    while (next < kTasks && pool.has_free_slot()) {
      pool.enqueue_task(new probe_task(next, next % 7 == 0 ? 1000 + next : 0));
      ++next;
    }
    outstanding_peak = std::max(outstanding_peak, pool.count_total_tasks());
    while (UTL_work_task* t = pool.check_retired_tasks()) {
      probe_task* p = static_cast<probe_task*>(t);
      std::string msg = "stale";
      int err = p->check_error(msg);
      ++returned[p->id];
      if (err) errors[p->id] = msg;
      EXPECT_EQ(err, p->id % 7 == 0 ? 1000 + p->id : 0);
      if (!err) {
        EXPECT_TRUE(msg.empty());
      }
      delete p;
    }
  }
  EXPECT_EQ((int)returned.size(), kTasks);
  for (auto& [id, n] : returned) EXPECT_EQ(n, 1) << id;
  EXPECT_EQ(errors[14], "task 14 failed");
  EXPECT_LE(outstanding_peak, kMax);
  EXPECT_LE(max_seen.load(), 8);
}
