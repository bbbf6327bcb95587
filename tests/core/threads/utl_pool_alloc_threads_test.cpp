// The pool allocator across threads: a fixed-seed stress of eight threads that
// hand blocks to one another, moving between busy mspaces, waiting when all are
// busy, cross-thread frees, and the thread that finds every cache slot taken.
#include <gtest/gtest.h>
#include <pthread.h>
#include <stdint.h>
#include <atomic>
#include <thread>
#include <vector>
#include "core/heap_check.h"
#include "core/heap_stress.h"
#include "core/utl_pool_alloc.h"
#include "core/utl_pool_cache.h"

namespace {

std::string check_pool(pool_state* pool) {
  for (int n = 0; n < NED_MAX_MSPACES; ++n) {
    mspace m = pool->mspaces[n].load();
    if (!m) break;
    std::string fault = heap_check(m);
    if (!fault.empty()) return "mspace " + std::to_string(n) + ": " + fault;
  }
  return "";
}

threadcache_state* cache_of_this_thread(pool_state* pool) {
  intptr_t v = (intptr_t)pthread_getspecific(pool->cache_key);
  return v > 0 ? pool->caches[v - 1] : nullptr;
}

// A block on its way from one thread to another.
struct envelope {
  stress_block block;
};

struct stress_thread {
  std::vector<stress_block> slots = std::vector<stress_block>(1024);
  unsigned char tag = 0;
  bool ok = true;
};

void stress_run(pool_state* pool, stress_thread* self, std::atomic<envelope*>* mailbox, size_t boxes, uint64_t seed,
                long ops) {
  stress_rng r{seed};
  for (long op = 0; op < ops && self->ok; ++op) {
    stress_block& b = self->slots[r.below(self->slots.size())];
    if (!b.p) {
      size_t size = stress_size(r);
      size_t kind = r.below(10);
      if (kind < 8)
        b.p = (unsigned char*)nedpmalloc(pool, size);
      else if (kind < 9)
        b.p = (unsigned char*)nedpcalloc(pool, 1, size);
      else
        b.p = (unsigned char*)nedpmemalign(pool, (size_t)32 << r.below(6), size);
      if (!b.p || (kind == 8 && b.p[size - 1] != 0)) self->ok = false;
      if (!b.p) return;
      b.size = size;
      b.tag = ++self->tag;
      stress_fill(b);
      continue;
    }
    if (!stress_intact(b)) {
      self->ok = false;
      return;
    }
    size_t what = r.below(100);
    if (what < 5) {  // hand it over: the next thread to open this box frees it
      envelope* e = (envelope*)nedpmalloc(pool, sizeof(envelope));
      e->block = b;
      b = stress_block();
      envelope* old = mailbox[r.below(boxes)].exchange(e, std::memory_order_acq_rel);
      if (old) {
        if (!stress_intact(old->block)) self->ok = false;
        nedpfree(pool, old->block.p);
        nedpfree(pool, old);
      }
    } else if (what < 70) {
      nedpfree(pool, b.p);
      b = stress_block();
    } else {
      size_t size = stress_size(r);
      unsigned char* q = (unsigned char*)nedprealloc(pool, b.p, size);
      if (!q) {
        self->ok = false;
        return;
      }
      stress_block moved{q, size, b.tag};
      if (!stress_intact(moved, std::min(b.size, size))) self->ok = false;
      b = moved;
      b.tag = ++self->tag;
      stress_fill(b);
    }
  }
}

TEST(PoolThreads, EightThreadsMixAndHandOverBlocks) {
  pool_state* pool = nedcreatepool(0, 4);
  const int kThreads = 8, kPhases = 4;
  const long per_thread_phase = stress_ops(2000000) / kThreads / kPhases;
  std::vector<stress_thread> state(kThreads);
  std::atomic<envelope*> mailbox[64] = {};
  for (int phase = 0; phase < kPhases; ++phase) {
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
      threads.emplace_back(stress_run, pool, &state[t], mailbox, std::size(mailbox),
                           0x243f6a8885a308d3ull + 977 * (uint64_t)(phase * kThreads + t), per_thread_phase);
    for (std::thread& t : threads) t.join();
    for (int t = 0; t < kThreads; ++t) ASSERT_TRUE(state[t].ok) << "thread " << t << " phase " << phase;
    ASSERT_EQ("", check_pool(pool)) << "phase " << phase;
  }
  for (auto& box : mailbox)
    if (envelope* e = box.exchange(nullptr)) {
      EXPECT_TRUE(stress_intact(e->block));
      nedpfree(pool, e->block.p);
      nedpfree(pool, e);
    }
  for (stress_thread& st : state)
    for (stress_block& b : st.slots)
      if (b.p) {
        EXPECT_TRUE(stress_intact(b));
        nedpfree(pool, b.p);
      }
  EXPECT_EQ("", check_pool(pool));
  EXPECT_EQ(nedpmallinfo(pool).hblkhd, 0u);
  neddestroypool(pool);
}

TEST(PoolThreads, ABlockFreedOnAnotherThreadGoesIntoThatThreadsCache) {
  pool_state* pool = nedcreatepool(0, 4);
  void* p = nullptr;
  std::thread([&] { p = nedpmalloc(pool, 100); }).join();
  void* head = nullptr;
  std::thread([&] {
    nedpfree(pool, p);
    head = cache_of_this_thread(pool)->bins[std::countr_zero((size_t)128 / NED_MIN_BLOCK)].head;
    EXPECT_EQ(nedpmalloc(pool, 100), p);  // and serves this thread next
    nedpfree(pool, p);
  }).join();
  EXPECT_EQ(head, p);
  EXPECT_EQ("", check_pool(pool));
  neddestroypool(pool);
}

// Holds mspace locks on a thread of its own until told to let go.
struct lock_holder {
  std::atomic<int> want{0}, held{0};
  std::atomic<bool> release{false};
  pool_state* pool;
  std::thread t;
  explicit lock_holder(pool_state* p) : pool(p) {
    t = std::thread([this] {
      for (;;) {
        int n = held.load();
        if (n < want.load()) {
          recursive_spin_lock_acquire(&pool->mspaces[n].load()->lock);
          held.store(n + 1);
        } else if (release.load()) {
          for (int k = 0; k < n; ++k) recursive_spin_lock_release(&pool->mspaces[k].load()->lock);
          return;
        } else {
          std::this_thread::yield();
        }
      }
    });
  }
  void hold(int n) {
    want.store(n);
    while (held.load() < n) std::this_thread::yield();
  }
  void let_go() {
    release.store(true);
    t.join();
  }
};

// The mspace index of a thread that runs without a cache.
int uncached_index(pool_state* pool) { return (int)-((intptr_t)pthread_getspecific(pool->cache_key) + 1); }

TEST(PoolThreads, ABusyMspaceSendsTheThreadToANewOne) {
  pool_state* pool = nedcreatepool(0, 4);
  lock_holder holder(pool);
  int index = -1;
  mspace owner = nullptr;
  holder.hold(1);
  std::thread([&] {
    neddisablethreadcache(pool);  // no cache record to make in the busy mspace 0
    void* p = nedpmalloc(pool, 100);
    index = uncached_index(pool);
    owner = ms_owner(mem2chunk(p));
    nedpfree(pool, p);
  }).join();
  holder.let_go();
  EXPECT_EQ(index, 1);
  EXPECT_EQ(owner, pool->mspaces[1].load());
  EXPECT_EQ("", check_pool(pool));
  neddestroypool(pool);
}

TEST(PoolThreads, WithEveryMspaceBusyAThreadWaitsForItsOwn) {
  pool_state* pool = nedcreatepool(0, 4);
  lock_holder holder(pool);
  // Each worker finds the mspaces held so far busy and makes the next one.
  for (int n = 1; n < NED_MAX_MSPACES; ++n) {
    holder.hold(n);
    std::thread([&] {
      neddisablethreadcache(pool);
      nedpfree(pool, nedpmalloc(pool, 100));
    }).join();
    ASSERT_NE(pool->mspaces[n].load(), nullptr);
  }
  holder.hold(NED_MAX_MSPACES);
  std::atomic<int> stage{0};
  int index = -1;
  std::thread waiter([&] {
    neddisablethreadcache(pool);
    stage.store(1);
    void* p = nedpmalloc(pool, 100);
    stage.store(2);
    index = uncached_index(pool);
    nedpfree(pool, p);
  });
  while (stage.load() != 1) std::this_thread::yield();
  for (int i = 0; i < 20000; ++i) std::this_thread::yield();
  EXPECT_EQ(stage.load(), 1);  // still waiting
  holder.let_go();
  waiter.join();
  EXPECT_EQ(stage.load(), 2);
  EXPECT_EQ(index, 0);  // on the mspace it started with
  EXPECT_EQ(pool->mspaces[NED_MAX_MSPACES].load(), nullptr);
  EXPECT_EQ("", check_pool(pool));
  neddestroypool(pool);
}

TEST(PoolThreads, TheDefaultPoolKeepsEachThreadsCacheApart) {
  void* b = nedmalloc(10);
  pool_state* sys = nullptr;
  nedgetvalue(&sys, b);
  nedfree(b);
  ASSERT_NE(sys, nullptr);
  // Two threads at once, each with a cache of its own, then one retires it
  // and goes on without: its next request is no longer rounded to a bin.
  testing::internal::CaptureStdout();
  std::atomic<int> ready{0};
  threadcache_state* caches[2] = {};
  void* firsts[2] = {};
  size_t retired_size = 0;
  intptr_t retired_value = 0;
  auto body = [&](int me) {
    void* p = nedmalloc(100);
    firsts[me] = p;
    caches[me] = cache_of_this_thread(sys);
    ready.fetch_add(1);
    while (ready.load() < 2) std::this_thread::yield();
    nedfree(p);
    EXPECT_EQ(nedmalloc(120), p);  // back from this thread's own cache
    nedfree(p);
    if (me == 1) {
      neddisablethreadcache(nullptr);
      retired_value = (intptr_t)pthread_getspecific(sys->cache_key);
      void* q = nedmalloc(100);
      retired_size = nedblksize(q);
      nedfree(q);
    }
  };
  std::thread a(body, 0), c(body, 1);
  a.join();
  c.join();
  std::string text = testing::internal::GetCapturedStdout();
  EXPECT_NE(text.find("Threadcache utilisation"), std::string::npos) << text;
  ASSERT_NE(caches[0], nullptr);
  EXPECT_NE(caches[0], caches[1]);
  EXPECT_NE(firsts[0], firsts[1]);
  EXPECT_LT(retired_value, 0);
  EXPECT_EQ(retired_size, ms_request2size(100) - MS_CHUNK_OVERHEAD);
  EXPECT_EQ("", check_pool(sys));
}

TEST(PoolThreads, TheThreadAfterEveryCacheSlotIsTakenRunsWithoutACache) {
  pool_state* pool = nedcreatepool(0, 4);
  for (int i = 0; i < NED_CACHE_SLOTS; ++i) std::thread([&] { nedpfree(pool, nedpmalloc(pool, 64)); }).join();
  for (int i = 0; i < NED_CACHE_SLOTS; ++i) ASSERT_NE(pool->caches[i], nullptr) << i;  // slots outlive their threads
  intptr_t value = 0;
  mspace owner = nullptr;
  std::thread([&] {
    void* p = nedpmalloc(pool, 64);
    value = (intptr_t)pthread_getspecific(pool->cache_key);
    owner = ms_owner(mem2chunk(p));
    memset(p, 1, 64);
    nedpfree(pool, p);
  }).join();
  EXPECT_EQ(value, -1);  // no cache, mspace 0
  EXPECT_EQ(owner, pool->mspaces[0].load());
  EXPECT_EQ("", check_pool(pool));
  neddestroypool(pool);
}

}  // namespace
