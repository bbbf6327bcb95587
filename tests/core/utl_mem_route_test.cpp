// Which heap serves the program: the system heap normally, the pool
// allocator in builds made to run everything on it.
#include <gtest/gtest.h>
#include "core/utl_mem.h"
#include "core/utl_pool_alloc.h"

TEST(HeapChoice, AllocationsComeFromTheChosenHeap) {
  int* p = new int(3);
  void* q = xmalloc(100);
  ASSERT_NE(q, nullptr);
#if DUV_POOL_ALLOC
  EXPECT_EQ(want_ned(), 1);
  pool_state* from = nullptr;
  nedgetvalue(&from, p);
  EXPECT_NE(from, nullptr) << "operator new bypassed the pool allocator";
  from = nullptr;
  nedgetvalue(&from, q);
  EXPECT_NE(from, nullptr) << "xmalloc bypassed the pool allocator";
  EXPECT_GT(nedmallinfo().uordblks, 0u);
#else
  EXPECT_EQ(want_ned(), 0);
#endif
  xfree(q);
  delete p;
}
