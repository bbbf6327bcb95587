#include "widgets/focus.h"
#include <cctype>
#include <cstddef>
#include "shell/wins.h"

std::vector<focus_info_t> focus_ring;
int focus_id = 0;
int wind_focus = 0;

void BTN_begin_focus_ring() {
  focus_ring.clear();
  wind_focus = 0;
}

int BTN_register_focus(int id, int* char_queue, int* vkey_queue, int* flag_queue, int* id_queue, int* counter,
                       int capacity, int accept_flags, int take) {
  focus_ring.push_back({id, char_queue, vkey_queue, flag_queue, id_queue, counter, capacity, accept_flags});
  if (take) focus_id = id;
  return focus_id == id ? 1 : 0;
}

int BTN_key_class(int ch, int vkey, int flags) {
  if (vkey == 9) return focus_tab;
  if (vkey == 13 || vkey == 187 || vkey == 188) return focus_return;
  if (vkey == 8 || vkey == 46) return focus_delete;
  if (vkey == 27) return focus_escape;
  if (vkey >= 33 && vkey <= 40) return focus_navigate;
  if (ch == '+' || ch == '-') return focus_sign;
  if (ch >= '0' && ch <= '9') return focus_digit;
  if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z')) return focus_letter;
  if (ch > 127 || (ch >= 0 && isprint(ch))) return focus_printable;
  if ((vkey == 86 || vkey == 67 || vkey == 88) && (flags & 4)) return focus_clipboard;
  return focus_control;
}

namespace {

// Makes room in a full queue: keeps, in order, the slots not yet consumed
// that are for the focused field. A queue for a field that is no longer
// drawn would otherwise never drain.
void compact(const focus_info_t& f) {
  int kept = 0;
  for (int i = 0; i < *f.counter && i < f.capacity; ++i) {
    if (f.id_queue[i] != focus_id) continue;  // consumed (0) or for another field
    f.char_queue[kept] = f.char_queue[i];
    f.vkey_queue[kept] = f.vkey_queue[i];
    f.flag_queue[kept] = f.flag_queue[i];
    f.id_queue[kept] = f.id_queue[i];
    ++kept;
  }
  *f.counter = kept;
}

bool starts_focus(int vkey, int flags) { return vkey == 9 && !(flags & 16) && !focus_ring.empty(); }

}  // namespace

int BTN_dispatch_to_focus(int ch, int vkey, int flags) {
  // No field takes keys while an alert is up.
  if (wins.cur_win == 994) return 0;
  if (focus_id == 0) {
    if (!starts_focus(vkey, flags)) return 0;
    focus_id = focus_ring.front().id;
    return 1;
  }
  int at = -1;
  for (std::size_t i = 0; i < focus_ring.size(); ++i)
    if (focus_ring[i].id == focus_id) {
      at = (int)i;
      break;
    }
  if (at < 0) {
    // The focused field was not drawn last frame.
    focus_id = 0;
    if (!starts_focus(vkey, flags)) return 0;
    focus_id = focus_ring.front().id;
    return 1;
  }
  const focus_info_t& f = focus_ring[at];
  if (!(f.accept_flags & focus_tab) && vkey == 9 && !(flags & 16)) {
    const int n = (int)focus_ring.size();
    focus_id = focus_ring[(at + ((flags & 1) ? n - 1 : 1)) % n].id;
    return 1;
  }
  if (!(f.accept_flags & BTN_key_class(ch, vkey, flags))) return 0;
  if (*f.counter >= f.capacity) compact(f);
  // Still full: the key is lost rather than written past the queue.
  if (*f.counter >= f.capacity || *f.counter < 0) return 1;
  const int i = *f.counter;
  f.char_queue[i] = ch;
  f.vkey_queue[i] = vkey;
  f.flag_queue[i] = flags;
  f.id_queue[i] = focus_id;
  ++*f.counter;
  return 1;
}

void BTN_unfocus_any() { focus_id = 0; }

void BTN_focus_any() { focus_id = focus_ring.empty() ? 0 : focus_ring.front().id; }

void BTN_window_has_focus() { wind_focus = 1; }

int BTN_no_focus_yet() { return !wind_focus && focus_id == 0 ? 1 : 0; }

void UNDO_BeginCommand(const char*) {}
