// From the window system's key records to key events: the key number, the
// character and the flag word, and where each event goes.
#include <cstring>
#include "core/globs.h"
#include "ogl/OGL_font_utf8.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "widgets/focus.h"
#include "widgets/keys.h"
#include "widgets/keys_tables.h"

namespace {

// What the last press left, for its release.
struct key_memory {
  int last_vkey = 0;
  int last_uni_code = 0;
  int last_flags = 0;  // modifier bits
  // The layout's dead keys: SDL composes them before the text arrives, so
  // these stay 0.
  int dead_state = 0, dead_lower = 0, dead_upper = 0;
};
key_memory mem;

int modifier_bits(unsigned mods) {
  int bits = 0;
  if (mods & plat_mod_shift) bits |= 1;
  if (mods & plat_mod_option) bits |= 2;
  if (mods & (plat_mod_command | plat_mod_control)) bits |= 4;
  return bits;
}

// The key number of a key code: the code table, then the characters the
// key types, then a spare number that stays the same for the key code.
int vkey_of(int key_code, int unshifted, int shifted) {
  for (const key_code_row* r = kKeyTranslations; r->mac_code || r->vkey; ++r)
    if (r->mac_code == key_code) return r->vkey;
  if (unshifted == '.' || shifted == '.') return 185;
  for (const key_ascii_row* r = kAsciiMappings; r->ch; ++r)
    if ((unshifted && r->ch == unshifted) || (shifted && r->ch == shifted)) return r->vkey;
  const int spares = (int)keys.spare_vkeys.size();
  if (key_code >= 0 && key_code < spares) return keys.spare_vkeys[key_code];
  return keys.max_vkey + 1 + (key_code - spares);
}

// Command, Shift, Caps Lock, Option and Control on their own: the window
// system reports them, but they are modifiers of other keys, not keys.
bool is_modifier_key(int key_code) { return key_code >= 0x36 && key_code <= 0x3E; }

// The code points of a record's text, at most a record's worth.
int code_points(const char* text, int* out, int max) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  const unsigned char* end = p + strnlen(text, sizeof PLAT_event::text);
  int n = 0;
  while (p < end && n < max) out[n++] = (int)utf8_decode(p, end, &p);
  return n;
}

}  // namespace

void keys_class::handle_key_raw(const PLAT_event* e) {
  int chars[sizeof PLAT_event::text];
  const int n = code_points(e->text, chars, (int)(sizeof chars / sizeof chars[0]));
  int first_extra = 0;
  if (e->kind == plat_ev_key_down || e->kind == plat_ev_key_up || e->kind == plat_ev_auto_key) {
    if (is_modifier_key(e->key_code)) return;
    const int mods = modifier_bits(e->modifiers);
    int flags = mods;
    if (e->kind == plat_ev_key_down) flags |= 8;
    if (e->kind == plat_ev_key_up) flags |= 16;
    int unshifted = 0, shifted = 0;
    PLAT_key_chars(e->key_code, &unshifted, &shifted);
    // A release types nothing; its press said what it typed.
    int ch = e->kind != plat_ev_key_up && n > 0 ? chars[0] : 0;
    first_extra = 1;
    const int vkey = vkey_of(e->key_code, unshifted, shifted);
    const int fixed = KEY_char_override(vkey);
    if (fixed >= 0) ch = fixed;
    if (flags & 8) {
      mem.last_vkey = vkey;
      mem.last_uni_code = ch;
      mem.last_flags = mods;
    } else if ((flags & 16) && vkey == mem.last_vkey && mods == mem.last_flags) {
      ch = mem.last_uni_code;
    }
    handle_key_event(vkey, ch, flags);
  } else if (e->kind != plat_ev_text) {
    return;
  }
  // Text beyond a key's first character, and text no key typed (input
  // methods, composed characters), arrives as presses of no key.
  if (e->kind == plat_ev_key_up) return;
  for (int i = first_extra; i < n; ++i)
    if (chars[i]) handle_key_event(0, chars[i], 8);
}

void keys_class::handle_key_event(int vkey, int ch, int flags) {
  if (vkey == 0 && flags == 0 && ch == 0) return;
  if (BTN_dispatch_to_focus(ch, vkey, flags)) return;
  if (!(flags & 16)) {
    // Keypad Enter is an Enter like the main one.
    if (vkey == 13 || vkey == 187 || vkey == 188) return_hit = 1;
    if (vkey == 27) escape_hit = 1;
    if (vkey == 46 || vkey == 8) delete_hit = 1;
    const int w = wins.cur_win;
    if (w >= 994 && w <= 999) {
      if (return_hit || escape_hit) return;
    } else if (w != 0) {
      if (return_hit || escape_hit) {
        MACIBM_close_win();
        return;
      }
    }
  }
  cur_key = vkey;
  cur_flags = flags & ~(8 | 16);
  if (wins.cur_win == 999) return;
  if (vkey) execute_key_cmnd(vkey, flags);
}
