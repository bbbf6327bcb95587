// The counting semaphore and the thread primitives under it.
#include <gtest/gtest.h>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>
#include "core/utl_thread.h"

namespace {
using clk = std::chrono::steady_clock;
long ms_since(clk::time_point t) {
  return (long)std::chrono::duration_cast<std::chrono::milliseconds>(clk::now() - t).count();
}
}  // namespace

TEST(Semaphore, PollingNeverGoesBelowZero) {
  UTL_semaphore* s;
  UTL_semaphore_create(&s, 0);
  EXPECT_EQ(UTL_semaphore_dec(s, 0), 0);
  EXPECT_EQ(s->count.load(), 0);
  UTL_semaphore_inc(s);
  EXPECT_EQ(UTL_semaphore_dec(s, 0), 1);
  EXPECT_EQ(UTL_semaphore_dec(s, 0), 0);
  EXPECT_EQ(s->count.load(), 0);
  UTL_semaphore_destroy(s);
}

TEST(Semaphore, TimedTakeTimesOutAndWithdraws) {
  UTL_semaphore* s;
  UTL_semaphore_create(&s, 0);
  auto t0 = clk::now();
  EXPECT_EQ(UTL_semaphore_dec(s, 50), 0);
  long took = ms_since(t0);
  EXPECT_GE(took, 45);
  EXPECT_LT(took, 2000);
  EXPECT_EQ(s->count.load(), 0);
  // The withdrawn waiter must not swallow the next unit.
  UTL_semaphore_inc(s);
  EXPECT_EQ(UTL_semaphore_dec(s, 0), 1);
  UTL_semaphore_destroy(s);
}

TEST(Semaphore, InitialCountIsAvailable) {
  UTL_semaphore* s;
  UTL_semaphore_create(&s, 2);
  EXPECT_EQ(UTL_semaphore_dec(s, -1), 1);
  EXPECT_EQ(UTL_semaphore_dec(s, 10), 1);
  EXPECT_EQ(UTL_semaphore_dec(s, 0), 0);
  UTL_semaphore_destroy(s);
}

TEST(Semaphore, GiveWakesWaiterBlockedForever) {
  UTL_semaphore* s;
  UTL_semaphore_create(&s, 0);
  std::atomic<int> got{0};
  std::thread t([&] { got = UTL_semaphore_dec(s, -1); });
  while (s->count.load() >= 0) std::this_thread::yield();  // the waiter announced itself
  UTL_semaphore_inc(s);
  t.join();
  EXPECT_EQ(got.load(), 1);
  EXPECT_EQ(s->count.load(), 0);
  UTL_semaphore_destroy(s);
}

// Gives that race with timed-out waiters: every unit given is taken exactly
// once, whether the waiter saw it before or after its time-out expired.
TEST(Semaphore, NoUnitLostOrDoubledWhenGivesRaceTimeouts) {
  UTL_semaphore* s;
  UTL_semaphore_create(&s, 0);
  const int kThreads = 8, kGives = 4000;
  std::atomic<int> taken{0};
  std::atomic<bool> stop{false};
  std::vector<std::thread> takers;
  for (int i = 0; i < kThreads; ++i)
    takers.emplace_back([&] {
      while (!stop.load()) taken += UTL_semaphore_dec(s, 1);
    });
  std::thread giver([&] {
    for (int i = 0; i < kGives; ++i) {
      UTL_semaphore_inc(s);
      if (i % 64 == 0) std::this_thread::yield();
    }
  });
  giver.join();
  while (taken.load() < kGives) std::this_thread::yield();
  stop = true;
  for (auto& t : takers) t.join();
  EXPECT_EQ(taken.load(), kGives);
  EXPECT_EQ(s->count.load(), 0);
  UTL_semaphore_destroy(s);
}

TEST(Semaphore, WaitersWakeFirstComeFirstServed) {
  UTL_semaphore* s;
  UTL_semaphore_create(&s, 0);
  std::vector<int> order;
  std::mutex m;
  std::vector<std::thread> ts;
  for (int i = 0; i < 4; ++i) {
    ts.emplace_back([&, i] {
      UTL_semaphore_dec(s, -1);
      std::lock_guard<std::mutex> l(m);
      order.push_back(i);
    });
    while (s->count.load() > -(i + 1)) std::this_thread::yield();  // i+1 waiters now counted
    // Let the waiter reach the kernel side before the next one starts.
    for (;;) {
      std::lock_guard<std::mutex> l(s->kernel_sem->m);
      if ((int)s->kernel_sem->waiters.size() == i + 1) break;
    }
  }
  for (int i = 0; i < 4; ++i) {
    UTL_semaphore_inc(s);
    for (;;) {
      std::lock_guard<std::mutex> l(m);
      if ((int)order.size() == i + 1) break;
    }
  }
  for (auto& t : ts) t.join();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3}));
  UTL_semaphore_destroy(s);
}

TEST(ThreadPrimitives, SleepWithZeroOrNegativeReturnsAtOnce) {
  auto t0 = clk::now();
  UTL_sleep(0);
  UTL_sleep(-5);
  EXPECT_LT(ms_since(t0), 20);
}

TEST(ThreadPrimitives, ProcessorCountIsPositive) { EXPECT_GE(UTL_count_processors(), 1); }

static void* echo_arg(void* a) { return a; }

TEST(ThreadPrimitives, CreateFillsAllHandlesAndJoinReturnsExitValue) {
  int cookie = 0;
  UTL_thread_handle h1{}, h2{}, h3{};
  UTL_thread_create(echo_arg, &cookie, &h1, &h2, &h3);
  EXPECT_TRUE(pthread_equal(h1, h2));
  EXPECT_TRUE(pthread_equal(h1, h3));
  EXPECT_EQ(UTL_thread_join(&h1, &h3), &cookie);
}

TEST(ThreadPrimitives, CriticalSectionExcludes) {
  UTL_critical_section cs;
  UTL_critical_section_create(&cs);
  long counter = 0;
  std::vector<std::thread> ts;
  for (int i = 0; i < 8; ++i)
    ts.emplace_back([&] {
      for (int k = 0; k < 20000; ++k) {
        UTL_critical_section_lock(&cs);
        ++counter;
        UTL_critical_section_unlock(&cs);
      }
    });
  for (auto& t : ts) t.join();
  EXPECT_EQ(counter, 8 * 20000);
  EXPECT_EQ(cs.load(), 0);
  UTL_critical_section_destroy(&cs);
}
