// The one inter-thread channel: a thread-safe queue of pointers with a
// counting semaphore, so a reader can wait for the next item with a time-out
// (ms: 0 polls, -1 waits without limit). The queue never owns its items; a
// null item is, by convention, the stop marker for a reading thread.
#pragma once
#include <list>
#include <vector>
#include "core/utl_thread.h"

template <class T>
struct UTL_message_queue {
  UTL_critical_section lock;
  UTL_semaphore* sem = nullptr;  // units that readers may still claim
  std::list<T> items;            // front = oldest
};

// Creates an empty queue.
template <class T>
UTL_message_queue<T>* UTL_message_queue_create() {
  UTL_message_queue<T>* q = new UTL_message_queue<T>;
  UTL_critical_section_create(&q->lock);
  UTL_semaphore_create(&q->sem, 0);
  return q;
}

// Frees the queue and its list nodes; the items themselves are not touched.
template <class T>
void UTL_message_queue_destroy(UTL_message_queue<T>* q) {
  if (!q) return;
  UTL_critical_section_destroy(&q->lock);
  UTL_semaphore_destroy(q->sem);
  delete q;
}

// Appends the item at the back.
template <class T>
void UTL_message_queue_write(UTL_message_queue<T>* q, T item) {
  std::list<T> node;
  node.push_back(item);  // allocate outside the spin lock
  UTL_critical_section_lock(&q->lock);
  q->items.splice(q->items.end(), node);
  UTL_critical_section_unlock(&q->lock);
  UTL_semaphore_inc(q->sem);
}

// Appends count items in array order; with at_front the batch goes ahead of
// everything queued, still in its own order.
template <class T>
void UTL_message_queue_multi_write(UTL_message_queue<T>* q, T* items, int count, int at_front) {
  if (count <= 0) return;
  std::list<T> batch(items, items + count);
  UTL_critical_section_lock(&q->lock);
  q->items.splice(at_front ? q->items.begin() : q->items.end(), batch);
  UTL_critical_section_unlock(&q->lock);
  for (int i = 0; i < count; ++i) UTL_semaphore_inc(q->sem);
}

// Removes the front item into *out, waiting up to ms: 1 when an item was
// taken (a null one included), 0 on time-out. A reader that waits in slices
// tells the stop marker from a time-out with it.
template <class T>
int UTL_message_queue_take(UTL_message_queue<T>* q, int ms, T* out) {
  for (;;) {
    if (!UTL_semaphore_dec(q->sem, ms)) return 0;
    std::list<T> node;
    UTL_critical_section_lock(&q->lock);
    if (!q->items.empty()) node.splice(node.begin(), q->items, q->items.begin());
    UTL_critical_section_unlock(&q->lock);
    if (!node.empty()) {
      *out = node.front();
      return 1;
    }
    // An edit removed the item this unit stood for.
    if (ms != -1) return 0;
  }
}

// Removes and returns the front item, waiting up to ms; null on time-out.
template <class T>
T UTL_message_queue_read(UTL_message_queue<T>* q, int ms) {
  T item{};
  return UTL_message_queue_take(q, ms, &item) ? item : T{};
}

// Lets fn rewrite the queue as a vector (front first) under the lock. fn may
// remove and reorder items but not add; it returns the number it removed.
// Must be short and must not touch this queue.
template <class T>
int UTL_message_queue_edit(UTL_message_queue<T>* q, int (*fn)(std::vector<T>&, void*), void* ref) {
  UTL_critical_section_lock(&q->lock);
  std::vector<T> v(q->items.begin(), q->items.end());
  int n = fn(v, ref);
  q->items.assign(v.begin(), v.end());
  for (int i = 0; i < n; ++i)
    if (!UTL_semaphore_dec(q->sem, 0)) break;
  UTL_critical_section_unlock(&q->lock);
  return n;
}

// The global run loop: a queue of tasks that some thread runs on demand.
class UTL_runloop_task {
 public:
  virtual ~UTL_runloop_task() {}
  virtual void do_it() = 0;
};
// Creates the run-loop queue.
void UTL_runloop_init();
// Destroys it; queued tasks are neither run nor deleted.
void UTL_runloop_shutdown();
// Queues a task at the back.
void UTL_runloop_queue(UTL_runloop_task* t);
// Runs queued tasks until none is left; returns how many ran.
int UTL_runloop_drain();
// Runs at most count tasks (negative: all); returns how many ran.
int UTL_runloop_run(int count);
