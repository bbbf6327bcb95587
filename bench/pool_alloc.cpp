// The pool allocator against the C library's malloc on a small-object
// workload of eight threads: each thread keeps a set of live blocks of 16 to
// 512 bytes and replaces one at random per step. After one untimed run of
// each, prints wall and processor times (best of seven, the two taking turns
// and swapping which goes first every round) and their ratios; the target is
// at most 1.2. Processor time is the steadier measure on a busy machine.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>
#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>
#include "core/utl_pool_alloc.h"

namespace {

constexpr int kThreads = 8;
constexpr long kSteps = 4000000;  // per thread
constexpr int kLive = 1024;

struct c_heap {
  static void* alloc(size_t n) { return malloc(n); }
  static void release(void* p) { free(p); }
};
struct pool_heap {
  static void* alloc(size_t n) { return nedmalloc(n); }
  static void release(void* p) { nedfree(p); }
};

template <class Heap>
void worker(uint64_t seed) {
  std::vector<unsigned char*> live(kLive, nullptr);
  uint64_t s = seed;
  for (long step = 0; step < kSteps; ++step) {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    unsigned char*& slot = live[s % kLive];
    if (slot) Heap::release(slot);
    size_t size = 16 + (s >> 20) % 497;
    slot = (unsigned char*)Heap::alloc(size);
    slot[0] = slot[size - 1] = (unsigned char)step;
  }
  for (unsigned char* p : live) Heap::release(p);
}

struct timing {
  double wall, cpu;  // seconds; cpu is summed over the threads
};

double cpu_seconds() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return (double)ts.tv_sec + ts.tv_nsec * 1e-9;
}

template <class Heap>
timing run() {
  double cpu0 = cpu_seconds();
  auto start = std::chrono::steady_clock::now();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(worker<Heap>, 0x9e3779b97f4a7c15ull * (t + 1));
  for (std::thread& t : threads) t.join();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), cpu_seconds() - cpu0};
}

}  // namespace

int main() {
  nedfree(nedmalloc(1));  // the default pool is set up before the threads start
  run<c_heap>();  // each heap's first run makes its arenas or mspaces
  run<pool_heap>();
  timing pool{1e9, 1e9}, libc{1e9, 1e9};
  for (int round = 0; round < 7; ++round) {
    timing c, p;
    if (round % 2) {
      p = run<pool_heap>();
      c = run<c_heap>();
    } else {
      c = run<c_heap>();
      p = run<pool_heap>();
    }
    libc = {std::min(libc.wall, c.wall), std::min(libc.cpu, c.cpu)};
    pool = {std::min(pool.wall, p.wall), std::min(pool.cpu, p.cpu)};
  }
  printf("pool allocator vs C library malloc, %d threads x %ld small-object steps\n", kThreads, kSteps);
  printf("  wall time: pool %.3f s, malloc %.3f s, ratio %.2f\n", pool.wall, libc.wall, pool.wall / libc.wall);
  printf("  cpu time:  pool %.3f s, malloc %.3f s, ratio %.2f\n", pool.cpu, libc.cpu, pool.cpu / libc.cpu);
  printf("ratio (pool / malloc, cpu time): %.2f (target <= 1.20)\n", pool.cpu / libc.cpu);
  return 0;
}
