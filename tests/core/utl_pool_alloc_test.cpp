// The pool allocator on one thread: bin sizes, the thread cache and its
// eviction, cleared and resized blocks, user values, retiring a cache, pool
// creation and destruction, and the default pool.
#include <gtest/gtest.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <algorithm>
#include <bit>
#include <thread>
#include <vector>
#include "core/heap_check.h"
#include "core/utl_heap_sys.h"
#include "core/utl_pool_alloc.h"
#include "core/utl_pool_cache.h"

namespace {

struct PoolTest : testing::Test {
  pool_state* pool = nedcreatepool(0, 4);
  void TearDown() override {
    for (int n = 0; n < NED_MAX_MSPACES; ++n)
      if (mspace m = pool->mspaces[n].load()) {
        EXPECT_EQ("", heap_check(m)) << "mspace " << n;
      }
    neddestroypool(pool);
  }
  threadcache_state* my_cache() {
    intptr_t v = (intptr_t)pthread_getspecific(pool->cache_key);
    return v > 0 ? pool->caches[v - 1] : nullptr;
  }
  size_t in_use() { return nedpmallinfo(pool).uordblks; }
};

TEST_F(PoolTest, RequestsAreServedAtTheirBinSize) {
  struct {
    size_t request, usable;
    bool cached;
  } cases[] = {
      {0, NED_MIN_BLOCK, true},       {1, NED_MIN_BLOCK, true},     {NED_MIN_BLOCK, NED_MIN_BLOCK, true},
      {NED_MIN_BLOCK + 1, 64, true},  {100, 128, true},             {4097, 8192, true},
      {NED_CACHE_MAX, NED_CACHE_MAX_USABLE, true},
      {NED_CACHE_MAX + 1, ms_request2size(NED_CACHE_MAX + 1) - MS_CHUNK_OVERHEAD, false},
  };
  for (auto& c : cases) {
    void* p = nedpmalloc(pool, c.request);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ((uintptr_t)p % 16, 0u);
    EXPECT_EQ(nedblksize(p), c.usable) << c.request;
    size_t cached = my_cache()->cached_bytes;
    nedpfree(pool, p);
    EXPECT_EQ(my_cache()->cached_bytes, cached + (c.cached ? c.usable : 0)) << c.request;
  }
  EXPECT_EQ(nedblksize(nullptr), 0u);
}

TEST_F(PoolTest, AFreedBlockComesBackFromTheCache) {
  void* p = nedpmalloc(pool, 100);
  nedpfree(pool, p);
  EXPECT_EQ(nedpmalloc(pool, 120), p);  // same bin: 128
  EXPECT_EQ(my_cache()->hit_count, 1u);
  // With its own bin empty, a request takes the next bin's block.
  void* big = nedpmalloc(pool, 200);
  nedpfree(pool, big);
  EXPECT_EQ(nedpmalloc(pool, 100), big);
  nedpfree(pool, p);
  nedpfree(pool, big);
}

TEST_F(PoolTest, FreeingTheSameBlockTwiceInARowAborts) {
  void* p = nedpmalloc(pool, 100);
  nedpfree(pool, p);
  EXPECT_DEATH(nedpfree(pool, p), "Attempt to free already freed memory block 0x[0-9a-f]+ - aborting!");
}

TEST_F(PoolTest, AThreadThatFindsAnotherThreadsCacheStops) {
  std::thread([&] { nedpfree(pool, nedpmalloc(pool, 10)); }).join();  // that thread owns slot 0
  EXPECT_DEATH(
      {
        pthread_setspecific(pool->cache_key, (void*)1);
        nedpmalloc(pool, 10);
      },
      "");
}

TEST_F(PoolTest, TheCacheEvictsItsOldestBlocksPastItsLimit) {
  const size_t n = 200, size = 4096;
  std::vector<void*> blocks;
  for (size_t i = 0; i < n; ++i) blocks.push_back(nedpmalloc(pool, size));
  for (void* p : blocks) nedpfree(pool, p);
  // Each time the cache reached its limit (128 blocks) the 64 oldest went back.
  threadcache_state* tc = my_cache();
  EXPECT_LT(tc->cached_bytes, NED_CACHE_LIMIT);
  EXPECT_EQ(tc->cached_bytes, (n - 128) * size);
  std::vector<void*> cached;  // newest first
  for (cached_block* b = tc->bins[std::countr_zero(size / NED_MIN_BLOCK)].head; b; b = b->next) cached.push_back(b);
  std::vector<void*> newest(blocks.rbegin(), blocks.rbegin() + (n - 128));
  EXPECT_EQ(cached, newest);
}

TEST_F(PoolTest, CallocClearsARecycledBlockAndRefusesAnOverflow) {
  void* p = nedpmalloc(pool, 200);
  memset(p, 0xff, 200);
  nedpfree(pool, p);
  unsigned char* q = (unsigned char*)nedpcalloc(pool, 2, 100);
  ASSERT_EQ((void*)q, p);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(q[i], 0) << i;
  nedpfree(pool, q);
  EXPECT_EQ(nedpcalloc(pool, (size_t)1 << 33, (size_t)1 << 33), nullptr);
  unsigned char* big = (unsigned char*)nedpcalloc(pool, 1000, 100);
  for (int i = 0; i < 100000; i += 997) ASSERT_EQ(big[i], 0);
  nedpfree(pool, big);
}

TEST_F(PoolTest, ReallocKeepsTheContentsAcrossBinsAndMspaces) {
  unsigned char* p = (unsigned char*)nedprealloc(pool, nullptr, 50);  // null: a new block
  ASSERT_NE(p, nullptr);
  for (int i = 0; i < 50; ++i) p[i] = (unsigned char)i;
  for (size_t size : {(size_t)3000, (size_t)100, (size_t)20000, (size_t)5000000, (size_t)40}) {
    p = (unsigned char*)nedprealloc(pool, p, size);
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 40; ++i) ASSERT_EQ(p[i], i) << size;
  }
  nedpfree(pool, p);
}

TEST_F(PoolTest, TinyGroupedElementsGoStraightBackToTheirMspace) {
  size_t sizes[] = {1, 1, 1};
  void** elems = nedpindependent_comalloc(pool, 3, sizes, nullptr);
  ASSERT_NE(elems, nullptr);
  EXPECT_LT(nedblksize(elems[0]), NED_MIN_BLOCK);
  size_t cached = my_cache()->cached_bytes;
  for (int i = 0; i < 3; ++i) nedpfree(pool, elems[i]);
  EXPECT_EQ(my_cache()->cached_bytes, cached);
  nedpfree(pool, elems);
  void** cleared = nedpindependent_calloc(pool, 4, 10, nullptr);
  ASSERT_NE(cleared, nullptr);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(nedblksize(cleared[i]), NED_MIN_BLOCK);  // raised to the smallest block
    nedpfree(pool, cleared[i]);
  }
  nedpfree(pool, cleared);
}

TEST_F(PoolTest, TheOwnersValueIsFoundFromABlock) {
  int value = 0;
  nedpsetvalue(pool, &value);
  for (size_t size : {(size_t)100, (size_t)20000, (size_t)1 << 20}) {
    void* p = nedpmalloc(pool, size);
    pool_state* found = nullptr;
    EXPECT_EQ(nedgetvalue(&found, p), &value) << size;
    EXPECT_EQ(found, pool);
    nedpfree(pool, p);
  }
  mspace plain = create_mspace(0, 1);
  void* q = mspace_malloc(plain, 100);
  EXPECT_EQ(nedgetvalue(nullptr, q), nullptr);  // an mspace of no pool
  destroy_mspace(plain);
}

TEST_F(PoolTest, RetiringTheCacheReturnsItsBlocks) {
  std::vector<void*> blocks;
  for (int i = 0; i < 10; ++i) blocks.push_back(nedpmalloc(pool, 1000));
  for (void* p : blocks) nedpfree(pool, p);
  size_t with_cache = in_use();
  size_t record = chunksize(mem2chunk(my_cache()));
  testing::internal::CaptureStdout();
  neddisablethreadcache(pool);
  std::string text = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(testing::internal::RE::PartialMatch(
      text, "^Threadcache utilisation: [0-9.]+% in cache with -?[0-9.]+% lost to other threads\n$"))
      << text;
  EXPECT_EQ(in_use(), with_cache - 10 * ms_request2size(1024) - record);
  EXPECT_LT((intptr_t)pthread_getspecific(pool->cache_key), 0);
  void* p = nedpmalloc(pool, 100);  // still served, now without a cache
  EXPECT_EQ(nedblksize(p), ms_request2size(100) - MS_CHUNK_OVERHEAD);  // no longer rounded to a bin
  nedpfree(pool, p);
  EXPECT_EQ(in_use(), with_cache - 10 * ms_request2size(1024) - record);
}

TEST(Pool, TheThreadCountChoosesHowManyMspacesAPoolMayMake) {
  struct {
    int threads, mspaces;
  } cases[] = {{1, 1}, {2, 2}, {4, 4}, {0, 4}, {-1, 4}, {5, 4}};
  for (auto& c : cases) {
    pool_state* p = nedcreatepool(0, c.threads);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->max_mspaces.load(), c.mspaces) << c.threads;
    EXPECT_EQ(nedpmalloc_footprint(p), (size_t)2 << 20);
    neddestroypool(p);
  }
}

TEST(Pool, DestroyedPoolsGiveTheirMemoryBack) {
  FILE* f = fopen("/proc/self/statm", "r");
  ASSERT_NE(f, nullptr);
  auto vm_size = [&] {
    size_t pages = 0;
    rewind(f);
    EXPECT_EQ(fscanf(f, "%zu", &pages), 1);
    return pages * (size_t)sysconf(_SC_PAGESIZE);
  };
  size_t before = 0;
  for (int round = 0; round < 50; ++round) {
    if (round == 1) before = vm_size();
    pool_state* p = nedcreatepool(0, 4);
    for (int i = 0; i < 100; ++i) nedpmalloc(p, 30000);  // 3 MB, left to the destruction
    neddestroypool(p);
  }
  EXPECT_LT(vm_size(), before + ((size_t)8 << 20));
  fclose(f);
}

TEST(Pool, StatisticsTrimAndSettingsActOnEveryMspace) {
  pool_state* p = nedcreatepool(0, 4);
  testing::internal::CaptureStderr();
  nedpmalloc_stats(p);
  std::string text = testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
  EXPECT_EQ(nedpmalloc_trim(p, 0), 0);
  EXPECT_EQ(nedpmallopt(p, MSPACE_GRANULARITY, 3000), 0);
  EXPECT_EQ(nedpmalloc_footprint(p), mspace_footprint(p->mspaces[0].load()));
  neddestroypool(p);
}

TEST(DefaultPool, TheFirstStatisticsSetItUpWithOneMspace) {
  // In a fresh process: the default pool is made by its first use.
  EXPECT_EXIT(
      {
        struct mallinfo mi = nedmallinfo();
        bool fresh = mi.arena == ((size_t)2 << 20) && mi.ordblks == 1 && mi.hblkhd == 0 && mi.uordblks == MS_STATE_CHUNK;
        _exit(UTL_heap_route_to_pool() || fresh ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(DefaultPool, ItsValueAndBlocksAreItsOwn) {
  int value = 0;
  nedsetvalue(&value);
  void* p = nedmalloc(10);
  pool_state* found = nullptr;
  EXPECT_EQ(nedgetvalue(&found, p), &value);
  EXPECT_NE(found, nullptr);
  nedfree(p);
  nedsetvalue(nullptr);
  neddestroypool(found);  // the default pool stays
  p = nedcalloc(3, 5);
  EXPECT_EQ(nedgetvalue(nullptr, p), nullptr);
  nedfree(p);
}

TEST(HeapRoute, TheBuildOptionChoosesThePool) {
#if DUV_POOL_ALLOC
  EXPECT_EQ(UTL_heap_route_to_pool(), 1);
#else
  EXPECT_EQ(UTL_heap_route_to_pool(), 0);
#endif
}

}  // namespace
