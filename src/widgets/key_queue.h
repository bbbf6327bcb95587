// The key queue one typing widget kind shares among all its fields: the
// focus ring fills it, and each field takes its own keys when it is drawn.
// Main thread only.
#pragma once
#include "widgets/focus.h"

struct BTN_key_queue {
  int ch[k_focus_queue_size] = {};
  int vkey[k_focus_queue_size] = {};
  int flags[k_focus_queue_size] = {};
  int id[k_focus_queue_size] = {};  // the field each key is for; 0 once taken
  int count = 0;                    // slots in use
};

// The key flag of a release; a release is taken without effect.
constexpr int k_key_release = 0x10;

// Registers field id with the ring on queue q for the key classes accept;
// take asks for the focus. 1 when the field has the focus.
inline int BTN_register_queue(int id, BTN_key_queue& q, int accept, int take) {
  return BTN_register_focus(id, q.ch, q.vkey, q.flags, q.id, &q.count, k_focus_queue_size, accept, take);
}

// Hands field id's queued keys, in order, to handle(ch, vkey, flags),
// releases excepted, and frees their slots; other fields' keys stay. The
// count starts again from 0 once a pass finds no slot in use at all.
template <class F>
void BTN_take_keys(BTN_key_queue& q, int id, F handle) {
  int live = 0;
  const int n = q.count < k_focus_queue_size ? q.count : k_focus_queue_size;
  for (int i = 0; i < n; ++i) {
    if (q.id[i] != 0) ++live;
    if (q.id[i] != id || (q.ch[i] == 0 && q.vkey[i] == 0)) continue;
    if (!(q.flags[i] & k_key_release)) handle(q.ch[i], q.vkey[i], q.flags[i]);
    q.ch[i] = q.vkey[i] = q.flags[i] = q.id[i] = 0;
  }
  if (live == 0) q.count = 0;
}
