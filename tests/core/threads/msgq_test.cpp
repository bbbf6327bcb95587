// The message queue and the run loop.
#include <gtest/gtest.h>
#include <atomic>
#include <set>
#include <thread>
#include <vector>
#include "core/utl_message_queue.h"

namespace {
int v[8];
UTL_message_queue<int*>* make() { return UTL_message_queue_create<int*>(); }
std::vector<int*> drain(UTL_message_queue<int*>* q) {
  std::vector<int*> out;
  while (int* p = UTL_message_queue_read(q, 0)) out.push_back(p);
  return out;
}
}  // namespace

TEST(MessageQueue, EmptyReadsAndStopMarker) {
  auto* q = make();
  EXPECT_EQ(UTL_message_queue_read(q, 0), nullptr);
  EXPECT_EQ(UTL_message_queue_read(q, 20), nullptr);
  UTL_message_queue_write<int*>(q, nullptr);
  EXPECT_EQ(UTL_message_queue_read(q, -1), nullptr);  // returns at once: the stop marker
  EXPECT_EQ(q->sem->count.load(), 0);
  UTL_message_queue_destroy(q);
}

TEST(MessageQueue, BatchesGoToFrontOrBackInOrder) {
  struct Case {
    int at_front;
    std::vector<int*> expect;
  } cases[] = {{1, {&v[1], &v[2], &v[0]}}, {0, {&v[0], &v[1], &v[2]}}};
  for (const Case& c : cases) {
    auto* q = make();
    UTL_message_queue_write(q, &v[0]);
    int* batch[] = {&v[1], &v[2]};
    UTL_message_queue_multi_write(q, batch, 2, c.at_front);
    EXPECT_EQ(drain(q), c.expect) << "at_front=" << c.at_front;
    UTL_message_queue_destroy(q);
  }
}

TEST(MessageQueue, LaterFrontBatchRunsFirst) {
  auto* q = make();
  int* a[] = {&v[0], &v[1]};
  int* b[] = {&v[2], &v[3]};
  UTL_message_queue_multi_write(q, a, 2, 1);
  UTL_message_queue_multi_write(q, b, 2, 1);
  EXPECT_EQ(drain(q), (std::vector<int*>{&v[2], &v[3], &v[0], &v[1]}));
  UTL_message_queue_destroy(q);
}

TEST(MessageQueue, EmptyBatchGivesNoUnit) {
  auto* q = make();
  UTL_message_queue_multi_write<int*>(q, nullptr, 0, 1);
  EXPECT_EQ(q->sem->count.load(), 0);
  EXPECT_TRUE(q->items.empty());
  UTL_message_queue_destroy(q);
}

static int drop_two_of_three(std::vector<int*>& items, void*) {
  items.erase(items.begin(), items.begin() + 2);
  return 2;
}

TEST(MessageQueue, EditRemovesItemsAndTheirUnits) {
  auto* q = make();
  for (int i = 0; i < 3; ++i) UTL_message_queue_write(q, &v[i]);
  EXPECT_EQ(UTL_message_queue_edit(q, drop_two_of_three, nullptr), 2);
  EXPECT_EQ(UTL_message_queue_read(q, 0), &v[2]);
  EXPECT_EQ(UTL_message_queue_read(q, 0), nullptr);
  EXPECT_EQ(q->sem->count.load(), 0);
  UTL_message_queue_destroy(q);
}

TEST(MessageQueue, DestroyLeavesItemsAlone) {
  auto* q = make();
  int* owned = new int(7);
  UTL_message_queue_write(q, owned);
  UTL_message_queue_destroy(q);
  EXPECT_EQ(*owned, 7);  // still valid for its owner
  delete owned;
}

// Eight producers and eight consumers: every item arrives exactly once and
// each producer's items arrive in the order written.
TEST(MessageQueue, ManyWritersManyReadersLoseNothing) {
  const int kProducers = 8, kConsumers = 8, kPerProducer = 5000;
  auto* q = UTL_message_queue_create<long*>();
  // Item value encodes producer and sequence; pointers are never dereferenced.
  auto encode = [](long p, long s) { return reinterpret_cast<long*>(((p << 20) | s) << 4 | 8); };
  std::vector<std::vector<long>> seen(kConsumers);
  std::vector<std::thread> consumers, producers;
  for (int c = 0; c < kConsumers; ++c)
    consumers.emplace_back([&, c] {
      for (;;) {
        long* item = UTL_message_queue_read(q, -1);
        if (!item) return;
        seen[c].push_back(reinterpret_cast<long>(item) >> 4);
      }
    });
  for (int p = 0; p < kProducers; ++p)
    producers.emplace_back([&, p] {
      for (int s = 0; s < kPerProducer; ++s) UTL_message_queue_write(q, encode(p, s));
    });
  for (auto& t : producers) t.join();
  for (int c = 0; c < kConsumers; ++c) UTL_message_queue_write<long*>(q, nullptr);
  for (auto& t : consumers) t.join();

  std::set<long> all;
  size_t total = 0;
  for (auto& list : seen) {
    std::vector<long> last(kProducers, -1);
    for (long code : list) {
      long p = code >> 20, s = code & 0xFFFFF;
      EXPECT_GT(s, last[p]) << "producer " << p << " out of order";
      last[p] = s;
      all.insert(code);
    }
    total += list.size();
  }
  EXPECT_EQ(total, (size_t)kProducers * kPerProducer);
  EXPECT_EQ(all.size(), total);
  UTL_message_queue_destroy(q);
}

namespace {
struct counting_task : UTL_runloop_task {
  int* runs;
  explicit counting_task(int* r) : runs(r) {}
  void do_it() override { ++*runs; }
};
}  // namespace

TEST(RunLoop, RunCountsThenDrains) {
  UTL_runloop_init();
  int runs = 0;
  std::vector<counting_task> tasks(5, counting_task(&runs));
  for (auto& t : tasks) UTL_runloop_queue(&t);
  EXPECT_EQ(UTL_runloop_run(0), 0);
  EXPECT_EQ(UTL_runloop_run(3), 3);
  EXPECT_EQ(UTL_runloop_drain(), 2);
  EXPECT_EQ(runs, 5);
  UTL_runloop_queue(&tasks[0]);
  UTL_runloop_shutdown();  // a queued task is neither run nor deleted
  EXPECT_EQ(runs, 5);
  EXPECT_EQ(UTL_runloop_drain(), 0);
}
