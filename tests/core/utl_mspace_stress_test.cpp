// A long fixed-seed mix of allocations, frees, resizes and aligned and cleared
// allocations on one mspace, with the heap walked after every phase.
#include <gtest/gtest.h>
#include <stdint.h>
#include <vector>
#include "core/heap_check.h"
#include "core/heap_stress.h"
#include "core/utl_heap_sys.h"
#include "core/utl_mspace.h"

namespace {

// What the mspace must hold from the system beyond its regions: the live mapped blocks.
size_t mapped_bytes(const std::vector<stress_block>& slots) {
  size_t total = 0;
  for (const stress_block& b : slots)
    if (b.p) total += stress_mapping(b.p);
  return total;
}

TEST(MspaceStress, MixedOperationsKeepTheHeapSound) {
  mspace m = create_mspace(0, 1);
  ASSERT_NE(m, nullptr);
  stress_rng r{0x9e3779b97f4a7c15ull};
  std::vector<stress_block> slots(4096);
  const int kPhases = 10;
  const long per_phase = stress_ops(2000000) / kPhases;
  unsigned char tag = 0;
  for (int phase = 0; phase < kPhases; ++phase) {
    for (long op = 0; op < per_phase; ++op) {
      stress_block& b = slots[r.below(slots.size())];
      if (!b.p) {
        size_t size = stress_size(r);
        size_t kind = r.below(10);
        if (kind < 7) {
          b.p = (unsigned char*)mspace_malloc(m, size);
        } else if (kind < 8) {
          b.p = (unsigned char*)mspace_calloc(m, 1, size);
          ASSERT_NE(b.p, nullptr);
          for (size_t i = 0; i < std::min(size, (size_t)256); ++i) ASSERT_EQ(b.p[i], 0) << size;
          ASSERT_EQ(b.p[size - 1], 0);
        } else {
          size_t alignment = (size_t)32 << r.below(8);
          b.p = (unsigned char*)mspace_memalign(m, alignment, size);
          ASSERT_EQ((uintptr_t)b.p % alignment, 0u);
        }
        ASSERT_NE(b.p, nullptr) << size;
        ASSERT_EQ((uintptr_t)b.p % 16, 0u);
        b.size = size;
        b.tag = ++tag;
        stress_fill(b);
        continue;
      }
      ASSERT_TRUE(stress_intact(b)) << "block of " << b.size << " overwritten";
      if (r.below(3) < 2) {
        mspace_free(m, b.p);
        b = stress_block();
        continue;
      }
      size_t size = stress_size(r);
      unsigned char* q = (unsigned char*)mspace_realloc(m, b.p, size);
      ASSERT_NE(q, nullptr) << size;
      stress_block moved{q, size, b.tag};
      ASSERT_TRUE(stress_intact(moved, std::min(b.size, size))) << "resize lost contents";
      b = moved;
      b.tag = ++tag;
      stress_fill(b);
    }
    size_t seg_bytes = 0;
    ASSERT_EQ("", heap_check(m, &seg_bytes)) << "phase " << phase;
    EXPECT_EQ(mspace_footprint(m) - seg_bytes, mapped_bytes(slots));
    EXPECT_EQ(mspace_mallinfo(m).hblkhd, mapped_bytes(slots));
  }
  for (stress_block& b : slots)
    if (b.p) {
      ASSERT_TRUE(stress_intact(b));
      mspace_free(m, b.p);
    }
  size_t seg_bytes = 0;
  ASSERT_EQ("", heap_check(m, &seg_bytes));
  EXPECT_EQ(mspace_footprint(m), seg_bytes);
  EXPECT_EQ(mspace_mallinfo(m).hblkhd, 0u);
  destroy_mspace(m);
}

}  // namespace
