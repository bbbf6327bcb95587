#include "core/utl_thread.h"
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>
#include <chrono>
#include <thread>
#include "core/globs.h"
#include "core/hl_alert.h"

UTL_thread_handle UTL_get_current_thread() { return pthread_self(); }

int UTL_count_processors() {
  long n = sysconf(_SC_NPROCESSORS_ONLN);
  if (n < 1) n = (long)std::thread::hardware_concurrency();
  return n < 1 ? 1 : (int)n;
}

void UTL_thread_create(UTL_thread_fn fn, void* arg, UTL_thread_handle* h1,
                       UTL_thread_handle* h2, UTL_thread_handle* h3) {
  pthread_t t;
  int err = pthread_create(&t, nullptr, fn, arg);
  if (err != 0) {
    char num[64];
    snprintf(num, sizeof num, "err=%f", (double)err);
    __MACIBM_alert(0, "\"pthread_create\" OS error", num, "", "", t_crash, "RUvozuz/UTL/UTL_thread", 121);
    return;  // not reached: a crash alert ends this thread or the program
  }
  if (h1) *h1 = t;
  if (h2) *h2 = t;
  if (h3) *h3 = t;
}

void* UTL_thread_join(UTL_thread_handle* h, UTL_thread_handle*) {
  void* result = nullptr;
  int err = pthread_join(*h, &result);
  if (err != 0) xer_group() << "Warning: wait on thread cleanup failed with error " << err << "\n";
  return result;
}

void UTL_thread_exit(void* value) { pthread_exit(value); }

int UTL_thread_murder(UTL_thread_handle* h) { return pthread_cancel(*h); }

void UTL_sleep(int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void UTL_critical_section_create(UTL_critical_section* cs) { cs->store(0, std::memory_order_relaxed); }
void UTL_critical_section_destroy(UTL_critical_section*) {}

void UTL_critical_section_lock(UTL_critical_section* cs) {
  for (;;) {
    int expected = 0;
    if (cs->compare_exchange_weak(expected, 1, std::memory_order_acquire, std::memory_order_relaxed)) return;
    // Spin on a plain load so waiting threads do not fight over the cache line.
    while (cs->load(std::memory_order_relaxed) != 0) {
#if defined(__x86_64__) || defined(__i386__)
      __builtin_ia32_pause();
#endif
    }
  }
}

void UTL_critical_section_unlock(UTL_critical_section* cs) { cs->store(0, std::memory_order_release); }

void UTL_semaphore_create(UTL_semaphore** out, int initial) {
  UTL_semaphore* s = new UTL_semaphore;
  s->count.store(initial);
  s->kernel_sem = new UTL_kernel_sem;
  *out = s;
}

void UTL_semaphore_destroy(UTL_semaphore* s) {
  if (!s) return;
  delete s->kernel_sem;
  delete s;
}

// The kernel side: a mutex, a FIFO of sleeping threads and a counter of
// wake-ups handed out before anyone slept. Each sleeper has its own condition
// so the first to sleep is the first woken.
struct UTL_kernel_waiter {
  std::condition_variable cv;
  bool woken = false;
};

static int kernel_wait(UTL_kernel_sem* k, int ms) {
  std::unique_lock<std::mutex> l(k->m);
  if (k->wakeups > 0) {
    --k->wakeups;
    return 1;
  }
  UTL_kernel_waiter me;
  k->waiters.push_back(&me);
  if (ms < 0) {
    me.cv.wait(l, [&] { return me.woken; });
    return 1;
  }
  if (me.cv.wait_for(l, std::chrono::milliseconds(ms), [&] { return me.woken; })) return 1;
  for (auto it = k->waiters.begin(); it != k->waiters.end(); ++it)
    if (*it == &me) {
      k->waiters.erase(it);
      break;
    }
  return 0;
}

static void kernel_signal(UTL_kernel_sem* k) {
  std::lock_guard<std::mutex> l(k->m);
  if (k->waiters.empty()) {
    ++k->wakeups;
    return;
  }
  UTL_kernel_waiter* w = k->waiters.front();
  k->waiters.pop_front();
  w->woken = true;
  w->cv.notify_one();
}

int UTL_platform_semaphore_dec(UTL_semaphore* s, int ms) {
  return kernel_wait(s->kernel_sem, ms < 0 ? -1 : ms);
}

int UTL_semaphore_dec(UTL_semaphore* s, int ms) {
  if (ms == 0) {
    int v = s->count.load();
    while (v > 0) {
      if (s->count.compare_exchange_weak(v, v - 1)) return 1;
    }
    return 0;
  }
  if (s->count.fetch_add(-1) - 1 >= 0) return 1;
  if (ms < 0) {
    UTL_platform_semaphore_dec(s, -1);
    return 1;
  }
  if (UTL_platform_semaphore_dec(s, ms)) return 1;
  // Timed out: withdraw as a waiter, unless a giver already counted us as woken,
  // in which case its wake-up is on its way and must be consumed.
  int v = s->count.load();
  while (v < 0) {
    if (s->count.compare_exchange_weak(v, v + 1)) return 0;
  }
  UTL_platform_semaphore_dec(s, -1);
  return 1;
}

void UTL_semaphore_inc(UTL_semaphore* s) {
  if (s->count.fetch_add(1) + 1 <= 0) kernel_signal(s->kernel_sem);
}
