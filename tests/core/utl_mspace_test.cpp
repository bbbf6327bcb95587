// The mspace heap: chunk sizes, bins, coalescing, resizing, aligned and
// grouped allocation, the consistency checks and the lock.
#include <errno.h>
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>
#include <thread>
#include "core/heap_check.h"
#include "core/utl_heap_sys.h"
#include "core/utl_mspace.h"
#include "core/utl_mspace_chunk.h"

namespace {

struct MspaceTest : testing::Test {
  mspace m = create_mspace(0, 1);
  void TearDown() override {
    EXPECT_EQ("", heap_check(m));
    destroy_mspace(m);
  }
  static size_t chunk_of(void* mem) { return chunksize(mem2chunk(mem)); }
};

TEST_F(MspaceTest, ChunkSizesFollowTheRequest) {
  ASSERT_NE(m, nullptr);
  struct {
    size_t request, chunk;
  } cases[] = {
      {0, MS_MIN_CHUNK},
      {1, MS_MIN_CHUNK},
      {MS_MIN_CHUNK - MS_CHUNK_OVERHEAD, MS_MIN_CHUNK},
      {MS_MIN_CHUNK - MS_CHUNK_OVERHEAD + 1, MS_MIN_CHUNK + 16},
      {MS_MAX_SMALL_REQUEST, MS_MIN_LARGE_SIZE - 16},
      {MS_MAX_SMALL_REQUEST + 1, MS_MIN_LARGE_SIZE},
      {1000, 1024},
  };
  for (auto& c : cases) {
    void* p = mspace_malloc(m, c.request);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ((uintptr_t)p % 16, 0u) << c.request;
    EXPECT_EQ(chunk_of(p), c.chunk) << c.request;
    EXPECT_EQ(chunk_usable(mem2chunk(p)), c.chunk - MS_CHUNK_OVERHEAD);
    memset(p, 0x5a, c.request);  // the whole request is usable
    mspace_free(m, p);
  }
}

TEST_F(MspaceTest, TheLargestSmallRequestUsesASmallBinAndTheNextATreeBin) {
  for (size_t req : {MS_MAX_SMALL_REQUEST, MS_MAX_SMALL_REQUEST + 1}) {
    void* a = mspace_malloc(m, req);
    void* guard = mspace_malloc(m, 16);  // keeps a from merging into top
    mspace_free(m, a);
    size_t sz = ms_request2size(req);
    if (ms_is_small(sz)) {
      EXPECT_TRUE(m->small_map & (1u << ms_small_index(sz)));
    } else {
      EXPECT_EQ(ms_tree_index(sz), 0u);
      EXPECT_TRUE(m->tree_map & 1u);
    }
    EXPECT_EQ(mspace_malloc(m, req), a);  // an exact fit comes back from its bin
    mspace_free(m, a);
    mspace_free(m, guard);
  }
}

TEST_F(MspaceTest, TreeBinBoundaries) {
  struct {
    size_t size;
    unsigned bin;
  } cases[] = {{256, 0}, {383, 0}, {384, 1}, {511, 1}, {512, 2}, {767, 2}, {768, 3}, {1024, 4},
               {(size_t)8 << 20, 30}, {((size_t)12 << 20) - 1, 30}, {(size_t)12 << 20, 31}, {(size_t)1 << 40, 31}};
  for (auto& c : cases) {
    EXPECT_EQ(ms_tree_index(c.size), c.bin) << c.size;
    if (c.bin < 31) {
      EXPECT_LE(ms_minsize_for_tree_index(c.bin), c.size);
    }
  }
}

TEST_F(MspaceTest, FreeingBetweenTwoFreeNeighboursLeavesOneChunk) {
  void* a = mspace_malloc(m, 100);
  void* b = mspace_malloc(m, 200);
  void* c = mspace_malloc(m, 300);
  void* guard = mspace_malloc(m, 10);
  size_t total = chunk_of(a) + chunk_of(b) + chunk_of(c);
  mspace_free(m, a);
  mspace_free(m, c);
  EXPECT_EQ("", heap_check(m));
  mspace_free(m, b);
  EXPECT_EQ("", heap_check(m));
  malloc_chunk* merged = mem2chunk(a);
  EXPECT_FALSE(cinuse(merged));
  EXPECT_EQ(chunksize(merged), total);
  mspace_free(m, guard);
}

TEST_F(MspaceTest, FreeingNextToTopGrowsTop) {
  void* a = mspace_malloc(m, 5000);
  size_t top_before = m->top_size;
  ASSERT_EQ(chunk_plus(mem2chunk(a), chunk_of(a)), m->top);
  size_t sz = chunk_of(a);
  mspace_free(m, a);
  EXPECT_EQ(m->top, mem2chunk(a));
  EXPECT_EQ(m->top_size, top_before + sz);
}

TEST_F(MspaceTest, SmallRequestsShareTheVictimsStretch) {
  // A large free chunk split for a small request leaves its rest as the victim,
  // and the next small requests follow on from it.
  void* big = mspace_malloc(m, 4000);
  void* guard = mspace_malloc(m, 10);
  mspace_free(m, big);
  void* a = mspace_malloc(m, 40);
  void* b = mspace_malloc(m, 40);
  EXPECT_EQ(a, big);
  EXPECT_EQ((char*)b, (char*)a + chunk_of(a));
  EXPECT_EQ(m->dv, chunk_plus(mem2chunk(b), chunk_of(b)));
  mspace_free(m, a);
  mspace_free(m, b);
  mspace_free(m, guard);
}

TEST(MspaceDeath, FreeingABinnedBlockAgainAborts) {
  mspace m = create_mspace(0, 1);
  void* a = mspace_malloc(m, 64);
  void* guard = mspace_malloc(m, 64);
  (void)guard;
  mspace_free(m, a);  // both neighbours in use: a goes into its bin
  EXPECT_DEATH(mspace_free(m, a), "");
}

TEST(MspaceDeath, ABlockWhoseNeighbourDoesNotMarkItInUseAborts) {
  mspace m = create_mspace(0, 1);
  void* a = mspace_malloc(m, 64);
  malloc_chunk* next = next_chunk(mem2chunk(a));
  next->head &= ~PINUSE;  // as an overrun of a would leave it
  EXPECT_DEATH(mspace_free(m, a), "");
}

TEST(MspaceDeath, AMspaceWithoutTheMagicIsRefused) {
  alignas(16) static char fake[4096];
  EXPECT_DEATH(mspace_malloc((mspace)fake, 10), "");
}

TEST(Mspace, ABlockReturnsToTheMspaceThatMadeIt) {
  mspace m1 = create_mspace(0, 1);
  mspace m2 = create_mspace(0, 1);
  void* p = mspace_malloc(m1, 3000);
  void* guard = mspace_malloc(m1, 10);  // p lands in a bin rather than in top
  size_t used1 = mspace_mallinfo(m1).uordblks;
  size_t used2 = mspace_mallinfo(m2).uordblks;
  std::thread t([&] { mspace_free(m2, p); });  // a thread working in m2 frees it
  t.join();
  EXPECT_EQ(mspace_mallinfo(m1).uordblks, used1 - ms_request2size(3000));
  EXPECT_EQ(mspace_mallinfo(m2).uordblks, used2);
  EXPECT_EQ("", heap_check(m1));
  EXPECT_EQ("", heap_check(m2));
  mspace_free(m1, guard);
  destroy_mspace(m1);
  destroy_mspace(m2);
}

TEST_F(MspaceTest, CallocClearsAndRefusesAnOverflowingProduct) {
  void* p = mspace_malloc(m, 500);
  memset(p, 0xee, 500);
  void* guard = mspace_malloc(m, 10);
  mspace_free(m, p);
  unsigned char* q = (unsigned char*)mspace_calloc(m, 5, 100);
  ASSERT_EQ((void*)q, p);  // the same chunk, recycled
  for (int i = 0; i < 500; ++i) ASSERT_EQ(q[i], 0) << i;
  mspace_free(m, q);
  errno = 0;
  EXPECT_EQ(mspace_calloc(m, (size_t)1 << 32, (size_t)1 << 32), nullptr);
  EXPECT_EQ(errno, ENOMEM);
  EXPECT_NE(mspace_calloc(m, 0, 100), nullptr);  // a zero product is a minimal block
  mspace_free(m, guard);
}

TEST_F(MspaceTest, MemalignRaisesOddAlignmentsToAPowerOfTwo) {
  struct {
    size_t alignment, expect;
  } cases[] = {{24, 32}, {32, 32}, {100, 128}, {4096, 4096}, {(size_t)1 << 16, (size_t)1 << 16}};
  for (auto& c : cases) {
    for (size_t bytes : {1, 100, 5000}) {
      void* p = mspace_memalign(m, c.alignment, bytes);
      ASSERT_NE(p, nullptr);
      EXPECT_EQ((uintptr_t)p % c.expect, 0u) << c.alignment << " " << bytes;
      EXPECT_GE(chunk_usable(mem2chunk(p)), bytes);
      memset(p, 1, bytes);
      EXPECT_EQ("", heap_check(m));
      mspace_free(m, p);
    }
  }
}

TEST_F(MspaceTest, MemalignOfSixteenIsAPlainAllocation) {
  void* p = mspace_memalign(m, 16, 100);
  EXPECT_EQ(chunk_of(p), ms_request2size(100));
  mspace_free(m, p);
}

TEST_F(MspaceTest, MemalignBeyondTheLargestPowerOfTwoFails) {
  errno = 0;
  EXPECT_EQ(mspace_memalign(m, ((size_t)1 << 63) + 1, 10), nullptr);
  EXPECT_EQ(errno, ENOMEM);
}

TEST_F(MspaceTest, ReallocKeepsAChunkThatShrinksByLessThanAChunk) {
  char* p = (char*)mspace_malloc(m, 1000);
  size_t before = chunk_of(p);
  EXPECT_EQ(mspace_realloc(m, p, 1000 - (MS_MIN_CHUNK - 16)), p);
  EXPECT_EQ(chunk_of(p), before);
  // Shrinking by more splits the tail off as a free chunk.
  EXPECT_EQ(mspace_realloc(m, p, 500), p);
  EXPECT_EQ(chunk_of(p), ms_request2size(500));
  EXPECT_EQ("", heap_check(m));
  mspace_free(m, p);
}

TEST_F(MspaceTest, ReallocGrowsIntoTopInPlaceAndMovesOtherwise) {
  char* p = (char*)mspace_malloc(m, 100);
  for (int i = 0; i < 100; ++i) p[i] = (char)i;
  EXPECT_EQ(mspace_realloc(m, p, 10000), p);  // next to top
  void* guard = mspace_malloc(m, 10);
  char* q = (char*)mspace_realloc(m, p, 20000);  // next chunk in use: moves
  ASSERT_NE(q, nullptr);
  EXPECT_NE(q, p);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(q[i], (char)i);
  EXPECT_EQ("", heap_check(m));
  errno = 0;
  EXPECT_EQ(mspace_realloc(m, q, MS_MAX_REQUEST), nullptr);
  EXPECT_EQ(errno, ENOMEM);
  EXPECT_EQ(q[99], (char)99);  // untouched
  mspace_free(m, q);
  mspace_free(m, guard);
  void* r = mspace_realloc(m, nullptr, 50);  // null: a new block
  EXPECT_NE(r, nullptr);
  mspace_free(m, r);
}

TEST_F(MspaceTest, IndependentCallocCarvesClearedNeighbours) {
  void* dirty = mspace_malloc(m, 2000);
  memset(dirty, 0xff, 2000);
  void* guard = mspace_malloc(m, 10);
  mspace_free(m, dirty);
  void** elems = mspace_independent_calloc(m, 5, 100, nullptr);
  ASSERT_NE(elems, nullptr);
  for (int i = 0; i < 5; ++i) {
    if (i) {
      EXPECT_EQ((char*)elems[i], (char*)elems[i - 1] + ms_request2size(100));
    }
    for (int k = 0; k < 100; ++k) ASSERT_EQ(((char*)elems[i])[k], 0);
  }
  EXPECT_EQ("", heap_check(m));
  for (int i = 0; i < 5; ++i) mspace_free(m, elems[i]);
  mspace_free(m, elems);  // the array is a block of its own
  mspace_free(m, guard);
}

TEST_F(MspaceTest, IndependentComallocUsesTheCallersArray) {
  size_t sizes[] = {1, 300, 17, 4000};
  void* out[4] = {};
  EXPECT_EQ(mspace_independent_comalloc(m, 4, sizes, out), out);
  for (int i = 0; i < 4; ++i) {
    ASSERT_NE(out[i], nullptr);
    EXPECT_GE(chunk_usable(mem2chunk(out[i])), sizes[i]);
    memset(out[i], i, sizes[i]);
  }
  EXPECT_EQ("", heap_check(m));
  for (void* p : out) mspace_free(m, p);
  EXPECT_EQ(mspace_independent_comalloc(m, 0, sizes, out), out);
  size_t huge[] = {MS_MAX_REQUEST / 2, MS_MAX_REQUEST / 2, MS_MAX_REQUEST / 2};
  EXPECT_EQ(mspace_independent_comalloc(m, 3, huge, out), nullptr);
  EXPECT_EQ(mspace_independent_calloc(m, (size_t)1 << 62, 64, nullptr), nullptr);
}

TEST_F(MspaceTest, TooLargeARequestFailsWithEnomem) {
  for (size_t bytes : {MS_MAX_REQUEST, MS_MAX_REQUEST + 1, (size_t)1 << 62}) {
    errno = 0;
    EXPECT_EQ(mspace_malloc(m, bytes), nullptr) << bytes;
    EXPECT_EQ(errno, ENOMEM);
  }
}

TEST(RecursiveSpinLock, TheHolderTakesItAgainAndOthersCannot) {
  recursive_spin_lock l;
  recursive_spin_lock_acquire(&l);
  EXPECT_EQ(recursive_spin_lock_try(&l), 1);
  EXPECT_EQ(l.count, 2u);
  int other = -1;
  std::thread([&] { other = recursive_spin_lock_try(&l); }).join();
  EXPECT_EQ(other, 0);
  recursive_spin_lock_release(&l);
  recursive_spin_lock_release(&l);
  EXPECT_EQ(l.word.load(), 0u);
  std::thread([&] {
    other = recursive_spin_lock_try(&l);
    recursive_spin_lock_release(&l);
  }).join();
  EXPECT_EQ(other, 1);
}

TEST(RecursiveSpinLockDeath, ReleaseByAThreadThatDoesNotHoldItAborts) {
  recursive_spin_lock l;
  EXPECT_DEATH(recursive_spin_lock_release(&l), "");
}

}  // namespace
