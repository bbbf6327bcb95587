#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sstream>
#include <string>
#include "core/globs.h"
#include "core/utl_mem.h"
#include "support/test_env.h"

// Let an impossible request fail as the system heap does, instead of ending
// the sanitized test program.
#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }
#elif defined(__SANITIZE_THREAD__)
extern "C" const char* __tsan_default_options() { return "allocator_may_return_null=1"; }
#endif

namespace {

// More than any heap can give.
const std::size_t k_huge = (std::size_t)1 << 62;

TEST(Allocation, ZeroSizesNullAndTheChosenHeap) {
#if DUV_POOL_ALLOC
  EXPECT_EQ(want_ned(), 1);  // this build runs everything on the pool allocator
#else
  EXPECT_EQ(want_ned(), 0);  // this system's heap serves the program
#endif
  void* a = operator new(0);
  void* b = operator new(0);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_NE(a, b);
  operator delete(a);
  operator delete(b);
  operator delete(nullptr);
  operator delete[](nullptr);
  xfree(nullptr);

  void* z = xmalloc(0);
  xfree(z);
  unsigned char* c = (unsigned char*)xcalloc(100, 3);
  ASSERT_NE(c, nullptr);
  for (int i = 0; i < 300; ++i) ASSERT_EQ(c[i], 0);
  xfree(c);
  void* t = xmalloc_tracked(__FILE__, __LINE__, 64);
  ASSERT_NE(t, nullptr);
  memset(t, 1, 64);
  xfree_tracked(__FILE__, __LINE__, t);

  int* arr = new (__FILE__, __LINE__) int[10];
  arr[9] = 1;
  delete[] arr;
  struct alignas(64) wide {
    char c[64];
  };
  wide* w = new wide;
  EXPECT_EQ((uintptr_t)w % 64, 0u);
  delete w;
}

TEST(Allocation, ExhaustedHeapWithoutHandler) {
  std::set_new_handler(nullptr);
  EXPECT_EQ(xmalloc(k_huge), nullptr);
  EXPECT_EQ(xcalloc(k_huge, 4), nullptr);
  EXPECT_THROW((void)operator new(k_huge), std::bad_alloc);
  EXPECT_THROW((void)operator new[](k_huge), std::bad_alloc);
  EXPECT_EQ(operator new(k_huge, std::nothrow), nullptr);
  EXPECT_EQ(operator new[](k_huge, std::nothrow), nullptr);
}

int handler_calls = 0;
void give_up_after_three() {
  if (++handler_calls == 3) std::set_new_handler(nullptr);
}
void throw_bad_alloc() { throw std::bad_alloc(); }
void throw_other() { throw 42; }

TEST(Allocation, NewHandlerIsCalledUntilItGivesUp) {
  handler_calls = 0;
  std::set_new_handler(give_up_after_three);
  EXPECT_THROW((void)operator new(k_huge), std::bad_alloc);
  EXPECT_EQ(handler_calls, 3);
  // xmalloc never calls the handler.
  handler_calls = 0;
  std::set_new_handler(give_up_after_three);
  EXPECT_EQ(xmalloc(k_huge), nullptr);
  EXPECT_EQ(handler_calls, 0);
  std::set_new_handler(nullptr);

  std::set_new_handler(throw_bad_alloc);
  EXPECT_EQ(operator new(k_huge, std::nothrow), nullptr);
  EXPECT_THROW((void)operator new(k_huge), std::bad_alloc);
  std::set_new_handler(nullptr);
}

TEST(AllocationDeathTest, OtherExceptionsFromTheHandlerEndTheProgram) {
  EXPECT_DEATH(
      {
        std::set_new_handler(throw_other);
        void* p = operator new(k_huge, std::nothrow);
        printf("%p\n", p);
      },
      "");
}

// A handler that frees a reserve makes the next attempt succeed. Runs in a
// child whose address space is capped so the request really fails first.
void* reserve = nullptr;
void free_reserve() {
  free(reserve);
  reserve = nullptr;
  std::set_new_handler(nullptr);
}

TEST(Allocation, HandlerThatFreesMemoryLetsTheRetrySucceed) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  GTEST_SKIP() << "a sanitizer's heap does not live within an address-space limit";
#endif
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const std::size_t mb = 1 << 20;
    std::string status = test_read_file("/proc/self/status");
    size_t at = status.find("VmSize:");
    unsigned long vm_kb = at == std::string::npos ? 0 : strtoul(status.c_str() + at + 7, nullptr, 10);
    reserve = malloc(200 * mb);
    memset(reserve, 1, 4096);
    struct rlimit lim = {(rlim_t)(vm_kb * 1024 + 300 * mb), (rlim_t)(vm_kb * 1024 + 300 * mb)};
    if (setrlimit(RLIMIT_AS, &lim) != 0) _exit(10);
    if (malloc(150 * mb) != nullptr) _exit(11);  // the cap holds: no room beside the reserve
    std::set_new_handler(free_reserve);
    void* p = nullptr;
    try {
      p = operator new(150 * mb);
    } catch (const std::bad_alloc&) {
      _exit(12);
    }
    _exit(p && !reserve ? 0 : 13);
  }
  int st = 0;
  ASSERT_EQ(waitpid(pid, &st, 0), pid);
  ASSERT_TRUE(WIFEXITED(st));
  EXPECT_EQ(WEXITSTATUS(st), 0);
}

TEST(MemoryReport, UnitScaling) {
  const struct {
    uint64_t bytes;
    unsigned long long number;
    char unit;
  } cases[] = {
      {0, 0, 'B'},
      {1433, 1433, 'B'},
      {1434, 1, 'K'},
      {1468006, 1433, 'K'},
      {1468007, 1, 'M'},
      {15032385536ull, 14336, 'M'},
      {15032385537ull, 14, 'G'},
      {(uint64_t)1 << 47, (uint64_t)1 << 17, 'G'},  // no 32-bit wrap on a 64-bit address space
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mem_to_number(c.bytes), c.number) << c.bytes;
    EXPECT_EQ(mem_to_suffix(c.bytes), c.unit) << c.bytes;
  }
}

TEST(MemoryReport, ShareModeNames) {
  const char* names[] = {"Unknown", "Copy-on-write", "Private",         "Empty",  "Shared",
                         "True-Shared", "Private-Aliased", "Shared-Aliased", "Unknown"};
  for (int i = 0; i <= 8; ++i) EXPECT_STREQ(sm_string((unsigned char)i), names[i]);
}

TEST(LazyMempool, BlocksPiecesAndTotals) {
  const float start = UTL_lazy_mempool::global_total;
  {
    UTL_lazy_mempool pool;
    EXPECT_EQ(pool.alloc(0), nullptr);
    EXPECT_EQ(pool.alloc(UTL_lazy_mempool::block_size), nullptr);  // does not fit a block
    char* first = (char*)pool.alloc(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ((uintptr_t)first % alignof(std::max_align_t), 0u);
    for (int i = 0; i < 5; ++i) {
      char* p = (char*)pool.alloc(12000);  // two of these fill a block
      ASSERT_NE(p, nullptr);
      memset(p, i, 12000);
    }
    EXPECT_EQ(UTL_lazy_mempool::global_total - start, 3 * 32768.0f);
    EXPECT_GT(pool.total_wasted, 0);
    EXPECT_EQ(pool.total_allocated, 16 + 5 * 12000);

    const std::string path = test_scratch_dir("lazy") + "log.txt";
    {
      std::lock_guard<std::recursive_mutex> l(xer_mutex());
      xer.open(path);
    }
    pool.dump();
    {
      std::lock_guard<std::recursive_mutex> l(xer_mutex());
      xer.close();
      xer.clear();
    }
    std::ostringstream want;
    want << "Total memory allocated: " << pool.total_allocated << "\nTotal wasted memory: " << pool.total_wasted
         << "\nTotal ready memory: " << pool.total_ready << "\n";
    EXPECT_EQ(test_read_file(path), want.str());
  }
  EXPECT_EQ(UTL_lazy_mempool::global_total, start);  // 98304 bytes given back
}

// A scaled figure of the report, in bytes (its unit's lower bound).
uint64_t figure(const std::string& report, const std::string& label) {
  size_t at = report.find(label);
  if (at == std::string::npos) return 0;
  unsigned long long n = 0;
  char unit = 'B';
  sscanf(report.c_str() + at + label.size(), "%llu%c", &n, &unit);
  const int shift = unit == 'G' ? 30 : unit == 'M' ? 20 : unit == 'K' ? 10 : 0;
  return (uint64_t)n << shift;
}

uint64_t vm_rss() {
  std::string status = test_read_file("/proc/self/status");
  size_t at = status.find("VmRSS:");
  return at == std::string::npos ? 0 : strtoull(status.c_str() + at + 6, nullptr, 10) * 1024;
}

TEST(MemoryReport, RealFiguresAndTheAddressSpaceMap) {
  const std::string saved = app_path;
  app_path = test_scratch_dir("memlog");
  const std::string log = app_path + "log.txt";
  {
    std::lock_guard<std::recursive_mutex> l(xer_mutex());
    xer.open(log);
  }
  dump_mem_stats("first reason");
  const uint64_t rss = vm_rss();
  const std::string first = test_read_file(app_path + "MemoryLog.txt");
  dump_mem_stats("second reason");
  const std::string both = test_read_file(app_path + "MemoryLog.txt");
  {
    std::lock_guard<std::recursive_mutex> l(xer_mutex());
    xer.close();
    xer.clear();
  }
  const std::string path = app_path;
  app_path = saved;

  EXPECT_EQ(test_read_file(log),
            "I am dumping information about memory to MemoryLog.txt.  This memory dump was generated by: first "
            "reason.\nI am dumping information about memory to MemoryLog.txt.  This memory dump was generated by: "
            "second reason.\n");
  // The second report of the process appends to the first.
  EXPECT_EQ(both.substr(0, first.size()), first);
  EXPECT_NE(both.find("Memory information dump, generated by: second reason.\n", first.size()), std::string::npos);

  for (const char* line : {"OS X Info:\n", "    I will now print the entire map of virtual memory.\n",
                           "        Address           Size    r-private r-shared sharing-mode (ref count)\n",
                           "NED-MALLOC INFO:\n", "    This version of Duvizo is using the NED allocator.\n"})
    EXPECT_NE(first.find(line), std::string::npos) << line;

  // Resident size within a few percent of what the kernel says (the unit's
  // truncation aside), both as reported and as summed over the map.
  const uint64_t unit = 1 << 20;
  const uint64_t rsize = figure(first, "    Rsize:            ");
  EXPECT_LE(rsize, rss + rss / 20);
  EXPECT_GE(rsize + unit, rss - rss / 20);
  const uint64_t total_rsize = figure(first, "    Total rsize:     ");
  EXPECT_LE(total_rsize, rss + rss / 10);
  EXPECT_GE(total_rsize + unit, rss - rss / 10);

  EXPECT_EQ(figure(first, "    Page size:        "), (uint64_t)sysconf(_SC_PAGESIZE));
  for (const char* label : {"    Vsize (reported): ", "    Free pages:       ", "    Active Pages:     ",
                            "    Total vsize:     ", "    Private rsize:   ", "    Total gap:       ",
                            "    Arena:             ", "    Total Used Space:  ", "    Max Alloc Space:   "})
    EXPECT_GT(figure(first, label), 0u) << label;

  // The map names this program's own image and the C library's.
  EXPECT_NE(first.find("Copy-on-write"), std::string::npos);
  EXPECT_NE(first.find("libc.so"), std::string::npos);
  EXPECT_NE(first.find("        0x0000"), std::string::npos);  // 16-digit addresses
  test_run("rm -rf \"" + path + "\"");
}

TEST(MemoryReport, UnwritableFolderSendsTheReportToStandardOutput) {
  const std::string saved = app_path;
  app_path = "/nonexistent-folder/";
  testing::internal::CaptureStdout();
  dump_mem_stats("no file");
  const std::string out = testing::internal::GetCapturedStdout();
  app_path = saved;
  EXPECT_NE(out.find("Memory information dump, generated by: no file.\n"), std::string::npos);
  EXPECT_NE(out.find("NED-MALLOC INFO:\n"), std::string::npos);
}

}  // namespace
