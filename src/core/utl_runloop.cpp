#include "core/utl_message_queue.h"

static UTL_message_queue<UTL_runloop_task*>* s_runloop_q = nullptr;

void UTL_runloop_init() { s_runloop_q = UTL_message_queue_create<UTL_runloop_task*>(); }

void UTL_runloop_shutdown() {
  if (!s_runloop_q) return;
  UTL_message_queue_destroy(s_runloop_q);
  s_runloop_q = nullptr;
}

void UTL_runloop_queue(UTL_runloop_task* t) { UTL_message_queue_write(s_runloop_q, t); }

int UTL_runloop_run(int count) {
  int ran = 0;
  while (s_runloop_q && (count < 0 || ran < count)) {
    UTL_runloop_task* t = UTL_message_queue_read(s_runloop_q, 0);
    if (!t) break;
    t->do_it();
    ++ran;
  }
  return ran;
}

int UTL_runloop_drain() { return UTL_runloop_run(-1); }
