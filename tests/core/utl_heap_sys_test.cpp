// System memory of the heap: mspace layout, directly mapped chunks, growing by
// segments, trimming and releasing regions, parameters and statistics.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>
#include "core/heap_check.h"
#include "core/utl_heap_sys.h"
#include "core/utl_mspace.h"
#include "core/utl_mspace_chunk.h"

namespace {

constexpr size_t MiB = (size_t)1 << 20;
const size_t kPage = (size_t)sysconf(_SC_PAGESIZE);

size_t statm_field(int k) {
  FILE* f = fopen("/proc/self/statm", "r");
  size_t v[2] = {0, 0};
  if (f) {
    if (fscanf(f, "%zu %zu", &v[0], &v[1]) != 2) v[0] = v[1] = 0;
    fclose(f);
  }
  return v[k] * kPage;
}
size_t rss_bytes() { return statm_field(1); }

// Maps an inaccessible page on each side of a region where nothing is mapped
// yet, so that the next region the heap maps cannot touch this one.
void guard_around(const char* base, size_t size) {
  for (const char* at : {base - kPage, base + size}) {
    void* g = mmap((void*)at, kPage, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED_NOREPLACE, -1, 0);
    if (g != MAP_FAILED && g != at) munmap(g, kPage);  // a kernel that took it as a hint only
  }
}

int segment_count(mspace m) {
  int n = 0;
  for (malloc_segment* sp = &m->segment; sp; sp = sp->next) ++n;
  return n;
}

// The mapping length of a directly mapped chunk of size nb.
size_t mapping_for(size_t nb) { return (nb + 6 * MS_WORD + MS_ALIGN_MASK + MiB) & ~(MiB - 1); }

TEST(HeapSys, ANewMspaceMapsTwoMegabytesWithItsStateFirst) {
  mspace m = create_mspace(0, 1);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(mspace_footprint(m), 2 * MiB);
  EXPECT_EQ((char*)mem2chunk(m), m->segment.base);  // the state chunk opens the region
  EXPECT_EQ(m->top_size, 2 * MiB - MS_STATE_CHUNK - MS_TOP_FOOT);
  EXPECT_EQ(m->segment.flags, MS_SEG_MAPPED);
  struct mallinfo mi = mspace_mallinfo(m);
  EXPECT_EQ(mi.arena, 2 * MiB);
  EXPECT_EQ(mi.ordblks, 1u);
  EXPECT_EQ(mi.hblkhd, 0u);
  EXPECT_EQ(mi.usmblks, 2 * MiB);
  EXPECT_EQ(mi.uordblks, MS_STATE_CHUNK);
  EXPECT_EQ(mi.fordblks, m->top_size + MS_TOP_FOOT);
  EXPECT_EQ(mi.keepcost, m->top_size);
  EXPECT_EQ(destroy_mspace(m), 2 * MiB);
}

TEST(HeapSys, ACapacityAddsOneGranuleRoundedDown) {
  struct {
    size_t capacity, mapped;
  } cases[] = {{1, MiB}, {5 * MiB, 6 * MiB}, {MiB - MS_STATE_CHUNK - MS_TOP_FOOT, 2 * MiB}};
  for (auto& c : cases) {
    mspace m = create_mspace(c.capacity, 0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(mspace_footprint(m), c.mapped) << c.capacity;
    EXPECT_GE(m->top_size, c.capacity);
    destroy_mspace(m);
  }
  EXPECT_EQ(create_mspace((size_t)0 - 1, 0), nullptr);
}

TEST(HeapSys, TheMappingThresholdDecidesWhatTopCannotServe) {
  const size_t threshold = (size_t)256 << 10;
  // Either size comes from top while top is large enough.
  for (size_t nb : {threshold, threshold - 16}) {
    mspace m = create_mspace(0, 1);
    void* p = mspace_malloc(m, nb - MS_CHUNK_OVERHEAD);
    EXPECT_FALSE(is_mmapped(mem2chunk(p)));
    EXPECT_EQ(mspace_footprint(m), 2 * MiB);
    destroy_mspace(m);
  }
  // With top too small: exactly the threshold gets a mapping of its own...
  mspace m = create_mspace(0, 1);
  void* fill = mspace_malloc(m, m->top_size - 200 * 1024);
  ASSERT_LT(m->top_size, threshold);
  void* big = mspace_malloc(m, threshold - MS_CHUNK_OVERHEAD);
  EXPECT_TRUE(is_mmapped(mem2chunk(big)));
  EXPECT_EQ((uintptr_t)big % 16, 0u);
  EXPECT_EQ(mspace_footprint(m), 3 * MiB);
  EXPECT_EQ(mspace_mallinfo(m).hblkhd, MiB);
  // ... and one chunk below it grows the mspace by a region.
  void* grown = mspace_malloc(m, threshold - 16 - MS_CHUNK_OVERHEAD);
  EXPECT_FALSE(is_mmapped(mem2chunk(grown)));
  EXPECT_EQ(mspace_footprint(m), 4 * MiB);
  size_t seg_bytes = 0;
  EXPECT_EQ("", heap_check(m, &seg_bytes));
  EXPECT_EQ(seg_bytes, 3 * MiB);
  // Freeing the mapped block gives its whole mapping back.
  mspace_free(m, big);
  EXPECT_EQ(mspace_footprint(m), 3 * MiB);
  EXPECT_EQ(mspace_max_footprint(m), 4 * MiB);
  EXPECT_EQ(mspace_mallinfo(m).hblkhd, 0u);
  mspace_free(m, grown);
  mspace_free(m, fill);
  EXPECT_EQ("", heap_check(m));
  destroy_mspace(m);
}

TEST(HeapSys, FreeingALargeBlockLowersTheResidentSize) {
  mspace m = create_mspace(0, 1);
  const size_t size = 64 * MiB;
  char* p = (char*)mspace_malloc(m, size);
  ASSERT_NE(p, nullptr);
  memset(p, 1, size);
  size_t rss_full = rss_bytes();
  EXPECT_EQ(mspace_footprint(m), 2 * MiB + mapping_for(ms_request2size(size)));
  mspace_free(m, p);
  EXPECT_LE(rss_bytes() + 60 * MiB, rss_full);
  EXPECT_EQ(mspace_footprint(m), 2 * MiB);
  destroy_mspace(m);
}

TEST(HeapSys, TrimmingGivesFreedRegionsBackToTheSystem) {
  mspace m = create_mspace(0, 1);
  guard_around(m->segment.base, m->segment.size);  // the first region neither grows nor shrinks
  std::vector<void*> blocks;
  const size_t block = 64 << 10;
  for (size_t total = 0; total < 32 * MiB; total += block) {
    void* p = mspace_malloc(m, block);
    ASSERT_NE(p, nullptr);
    memset(p, 7, block);
    blocks.push_back(p);
  }
  ASSERT_GE(segment_count(m), 2);
  size_t rss_full = rss_bytes();
  for (void* p : blocks) mspace_free(m, p);
  mspace_trim(m, 0);
  EXPECT_EQ("", heap_check(m));
  EXPECT_LE(rss_bytes() + 24 * MiB, rss_full);
  // Left: the first region, and at most a granule and the foot of top's region.
  EXPECT_LE(mspace_footprint(m), 2 * MiB + 2 * MiB);
  destroy_mspace(m);
}

TEST(HeapSys, ARegionLeftEmptyIsUnmappedByATrim) {
  mspace m = create_mspace(0, 1);
  guard_around(m->segment.base, m->segment.size);
  std::vector<void*> blocks;
  const size_t block = 64 << 10;
  while (segment_count(m) < 4) {
    char* base = m->segment.base;
    blocks.push_back(mspace_malloc(m, block));
    if (m->segment.base != base) guard_around(m->segment.base, m->segment.size);  // every new region stands alone
  }
  // The second region holds no record but its own and no longer holds top.
  malloc_segment* second = m->segment.next->next;
  char* base = second->base;
  size_t size = second->size;
  for (void*& p : blocks)
    if ((char*)p >= base && (char*)p < base + size) {
      mspace_free(m, p);
      p = nullptr;
    }
  size_t before = mspace_footprint(m);
  EXPECT_EQ(mspace_trim(m, 0), 1);
  EXPECT_EQ(mspace_footprint(m), before - size);
  EXPECT_EQ(segment_count(m), 3);
  EXPECT_EQ("", heap_check(m));
  for (void* p : blocks) mspace_free(m, p);
  EXPECT_EQ("", heap_check(m));
  destroy_mspace(m);
}

TEST(HeapSys, TheFirstRegionIsNeverShrunkAndAFruitlessTrimStopsTrying) {
  mspace m = create_mspace(8 * MiB, 1);
  size_t footprint = mspace_footprint(m);
  std::vector<void*> blocks;
  for (int i = 0; i < 40; ++i) blocks.push_back(mspace_malloc(m, 100 << 10));
  EXPECT_EQ(segment_count(m), 1);
  for (void* p : blocks) mspace_free(m, p);  // top passes the trim threshold again
  EXPECT_EQ(mspace_footprint(m), footprint);
  EXPECT_EQ(m->trim_check, MS_MAX_SIZE);
  EXPECT_EQ(mspace_trim(m, 0), 0);
  destroy_mspace(m);
}

TEST(HeapSys, MalloptAcceptsOnlyPowerOfTwoGranules) {
  EXPECT_EQ(mspace_mallopt(MSPACE_GRANULARITY, 3000), 0);
  EXPECT_EQ(mspace_mallopt(MSPACE_GRANULARITY, 65536), 1);
  mspace m = create_mspace(0, 0);
  EXPECT_EQ(mspace_footprint(m), 2 * 65536u);  // later decisions use the new granule
  destroy_mspace(m);
  EXPECT_EQ(mspace_mallopt(MSPACE_GRANULARITY, 1 << 20), 1);
  EXPECT_EQ(mspace_mallopt(MSPACE_TRIM_THRESHOLD, 4 << 20), 1);
  EXPECT_EQ(mparams.trim_threshold.load(), (size_t)4 << 20);
  EXPECT_EQ(mspace_mallopt(MSPACE_MMAP_THRESHOLD, 1 << 20), 1);
  EXPECT_EQ(mparams.mmap_threshold.load(), (size_t)1 << 20);
  EXPECT_EQ(mspace_mallopt(7, 1), 0);
  mspace_mallopt(MSPACE_TRIM_THRESHOLD, 2 << 20);
  mspace_mallopt(MSPACE_MMAP_THRESHOLD, 256 << 10);
}

TEST(HeapSys, AMspaceOverTheCallersMemory) {
  alignas(16) static char buf[64 << 10];
  EXPECT_EQ(create_mspace_with_base(buf, MS_STATE_CHUNK + MS_TOP_FOOT, 0), nullptr);
  mspace m = create_mspace_with_base(buf, sizeof buf, 0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->segment.flags, MS_SEG_EXTERN);
  void* small = mspace_malloc(m, 1000);
  EXPECT_TRUE(small >= (void*)buf && small < (void*)(buf + sizeof buf));
  void* beyond = mspace_malloc(m, 100 << 10);  // more than the buffer: a mapped region
  ASSERT_NE(beyond, nullptr);
  EXPECT_EQ("", heap_check(m));
  size_t mapped = mspace_footprint(m) - sizeof buf;
  EXPECT_EQ(destroy_mspace(m), mapped);
  memset(buf, 0, sizeof buf);  // still the caller's
}

TEST(HeapSys, AMisalignedCallersRegionIsAlignedInside) {
  alignas(16) static char buf[20000];
  for (size_t skew : {1, 3, 8, 15}) {
    mspace m = create_mspace_with_base(buf + skew, 10000 + skew, 0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->top_size % 16, 0u);
    void* p = mspace_malloc(m, 500);
    EXPECT_EQ((uintptr_t)p % 16, 0u);
    EXPECT_EQ("", heap_check(m));
    mspace_free(m, p);
    destroy_mspace(m);
  }
  EXPECT_EQ(create_mspace_with_base(buf + 1, MS_STATE_CHUNK + MS_TOP_FOOT + 8, 0), nullptr);
}

TEST(HeapSys, StatisticsAgreeWithWhatWasAllocated) {
  mspace m = create_mspace(0, 1);
  struct mallinfo before = mspace_mallinfo(m);
  const size_t sizes[] = {1, 24, 100, 224, 225, 1000, 4000, 30000, 100000};
  std::vector<void*> blocks;
  size_t chunks = 0;
  for (int round = 0; round < 4; ++round)
    for (size_t s : sizes) {
      blocks.push_back(mspace_malloc(m, s));
      chunks += ms_request2size(s);
    }
  size_t mapped = 0;
  for (size_t s : {(size_t)3 << 20, (size_t)5 << 20}) {  // more than top holds: mapped
    blocks.push_back(mspace_malloc(m, s));
    mapped += mapping_for(ms_request2size(s));
  }
  struct mallinfo mid = mspace_mallinfo(m);
  EXPECT_EQ(mid.uordblks, before.uordblks + chunks + mapped);
  EXPECT_EQ(mid.hblkhd, mapped);
  EXPECT_EQ(mspace_footprint(m), 2 * MiB + mapped);
  EXPECT_EQ(mid.usmblks, 2 * MiB + mapped);
  EXPECT_EQ(mid.keepcost, m->top_size);
  // Free every other block of the first rounds: none touch, so each stays a chunk of its own.
  size_t freed = 0, nfreed = 0;
  for (size_t i = 0; i + 1 < blocks.size() - 2; i += 2) {
    freed += chunksize(mem2chunk(blocks[i]));
    ++nfreed;
    mspace_free(m, blocks[i]);
    blocks[i] = nullptr;
  }
  mspace_free(m, blocks[blocks.size() - 1]);  // the 5 MiB mapping
  mapped -= mapping_for(ms_request2size((size_t)5 << 20));
  blocks.pop_back();
  struct mallinfo after = mspace_mallinfo(m);
  EXPECT_EQ(after.ordblks, 1 + nfreed);
  EXPECT_EQ(after.fordblks, m->top_size + MS_TOP_FOOT + freed);
  EXPECT_EQ(after.uordblks, before.uordblks + chunks - freed + mapped);
  EXPECT_EQ(after.hblkhd, mapped);
  EXPECT_EQ(after.usmblks, mid.usmblks);

  testing::internal::CaptureStderr();
  mspace_malloc_stats(m);
  std::string text = testing::internal::GetCapturedStderr();
  char expect[200];
  size_t fp = mspace_footprint(m);
  snprintf(expect, sizeof expect, "max system bytes = %10lu\nsystem bytes     = %10lu\nin use bytes     = %10lu\n",
           (unsigned long)mid.usmblks, (unsigned long)fp, (unsigned long)(fp - after.fordblks));
  EXPECT_EQ(text, expect);
  for (void* p : blocks) mspace_free(m, p);
  EXPECT_EQ("", heap_check(m));
  destroy_mspace(m);
}

}  // namespace
