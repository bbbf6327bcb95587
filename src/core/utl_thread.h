// Thread primitives: threads, the processor count, sleeping, spin locks and
// the counting semaphore. Everything above (queues, pools, the thread layer)
// reaches the system's threads only through these calls. Time-outs are signed
// milliseconds: 0 polls, -1 waits without limit, a positive value at most that long.
#pragma once
#include <pthread.h>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

typedef pthread_t UTL_thread_handle;
typedef void* (*UTL_thread_fn)(void*);

// The calling thread's handle.
UTL_thread_handle UTL_get_current_thread();
// Processors of the machine, at least 1.
int UTL_count_processors();
// Starts a joinable thread on fn(arg); the handle goes to all three outputs
// (any may be null). A failure raises a crash alert and does not return.
void UTL_thread_create(UTL_thread_fn fn, void* arg, UTL_thread_handle* h1,
                       UTL_thread_handle* h2, UTL_thread_handle* h3);
// Waits for the thread to end and returns its exit value; logs a failed join.
void* UTL_thread_join(UTL_thread_handle* h, UTL_thread_handle* unused);
// Ends the calling thread with that exit value.
[[noreturn]] void UTL_thread_exit(void* value);
// Asks the system to cancel the thread; returns the system's status.
int UTL_thread_murder(UTL_thread_handle* h);
// Sleeps ms milliseconds; 0 or less returns at once.
void UTL_sleep(int ms);

// Critical section: a spin lock on one word, 0 = free. Not recursive; hold it
// for a handful of instructions only.
typedef std::atomic<int> UTL_critical_section;
void UTL_critical_section_create(UTL_critical_section* cs);
void UTL_critical_section_destroy(UTL_critical_section* cs);
void UTL_critical_section_lock(UTL_critical_section* cs);
void UTL_critical_section_unlock(UTL_critical_section* cs);

// Counting semaphore. `count` > 0 is units available; < 0 is minus the number
// of threads that sleep (or are about to) on the kernel side, whose own counter
// holds wake-ups handed to waiters. Uncontended takes and gives are one atomic.
struct UTL_kernel_waiter;
struct UTL_kernel_sem {
  std::mutex m;
  std::deque<UTL_kernel_waiter*> waiters;  // sleeping threads, first come first woken
  int wakeups = 0;                         // wake-ups given before anyone slept
};
struct UTL_semaphore {
  std::atomic<int> count{0};
  UTL_kernel_sem* kernel_sem = nullptr;
};
// Allocates a semaphore with the initial count.
void UTL_semaphore_create(UTL_semaphore** out, int initial);
// Frees it; nobody may be waiting.
void UTL_semaphore_destroy(UTL_semaphore* s);
// Takes one unit within the time-out: 1 taken, 0 not taken.
int UTL_semaphore_dec(UTL_semaphore* s, int ms);
// Gives one unit back, waking one waiter if any.
void UTL_semaphore_inc(UTL_semaphore* s);
// The kernel-side wait under UTL_semaphore_dec: 1 woken, 0 timed out.
int UTL_platform_semaphore_dec(UTL_semaphore* s, int ms);
