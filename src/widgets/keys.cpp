// The key bindings and the names of keys and modifiers.
#include "widgets/keys.h"
#include <strings.h>
#include <cstdio>
#include <cstdlib>
#include "widgets/cmnd.h"
#include "widgets/keys_tables.h"

keys_class keys;

keys_class::keys_class() {
  for (const key_name_row* r = kKeyNameTable; r->code; ++r)
    if (r->vkey > max_vkey) max_vkey = r->vkey;
  for (int v = 1; v <= max_vkey; ++v)
    if (!KEY_name_row(v)) spare_vkeys.push_back(v);
}

void keys_class::keys_io(int mode) {
  if (mode != 0) return;
  // Rows without a key keep their slot until the end, so that binding i
  // stays row i while the table is filled.
  bindings.resize(cmnd_default_count, key_binding{0, 0, 0, 0});
  for (int i = 0; i < cmnd_default_count; ++i) {
    bindings[i].vkey = default_commands[i].key;
    bindings[i].flags = default_commands[i].key_flags;
    bindings[i].cmnd_id = cmnd.get_cmnd_by_name(default_commands[i].path);
  }
  std::erase_if(bindings, [](const key_binding& b) { return b.vkey == 0; });
}

void keys_class::execute_key_cmnd(int vkey, int flags) {
  for (key_binding& b : bindings) {
    if (b.vkey != vkey) continue;
    if (b.flags == (flags & 7) && (flags & 8)) b.down = 1;
    // The modifiers may have come up before the key: the key still is up.
    if (b.down && (flags & 16)) b.down = 0;
  }
}

void keys_class::handle_key(int vkey, int flags) {
  if (vkey) execute_key_cmnd(vkey, flags);
}

// Bound keys run no commands in this program, so none has anything to repeat.
void keys_class::run_repeat_keys() {}

int keys_class::key_bound_to(int vkey, int mods) {
  for (const key_binding& b : bindings)
    if (b.vkey == vkey && b.flags == mods) return b.cmnd_id;
  return 0;
}

std::string keys_class::get_key_for_cmnd(int cmnd_id) {
  for (const key_binding& b : bindings) {
    if (b.cmnd_id != cmnd_id) continue;
    if (!b.vkey) return "";
    std::string name = vkey_to_str(b.vkey);
    if (!name.empty() && name[0] >= 'A' && name[0] <= 'Z') name[0] = (char)(name[0] - 'A' + 'a');
    return b.flags ? flag_to_str(b.flags) + "-" + name : name;
  }
  return "";
}

std::string keys_class::vkey_to_str(int vkey) {
  if (vkey == 0) return "<NONE>";
  if (const key_name_row* r = KEY_name_row(vkey)) return r->display;
  char buf[24];
  snprintf(buf, sizeof buf, "KEY%d", vkey);
  return buf;
}

std::string keys_class::vkey_to_code(int vkey) {
  if (const key_name_row* r = KEY_name_row(vkey)) return r->code;
  return std::to_string(vkey);
}

int keys_class::str_to_vkey(const std::string& s) {
  for (const key_name_row* r = kKeyNameTable; r->code; ++r)
    if (strcasecmp(r->display, s.c_str()) == 0) return r->vkey;
  if (s.size() > 3 && s.compare(0, 3, "KEY") == 0) {
    const char* digits = s.c_str() + 3;
    char* end = nullptr;
    const long v = strtol(digits, &end, 10);
    if (end != digits && *end == 0 && *digits >= '0' && *digits <= '9') return (int)v;
  }
  return 0;
}

namespace {
// The words of the modifier bits 1, 2 and 4 run together; none alone.
std::string join_flags(int flags, const char* const (&words)[3], const char* none) {
  std::string s;
  for (int bit = 0; bit < 3; ++bit)
    if (flags & (1 << bit)) s += words[bit];
  return s.empty() ? none : s;
}
}  // namespace

std::string keys_class::flag_to_str(int flags) {
  static const char* const words[3] = {"SHIFT", "ALT", "CTRL"};
  return join_flags(flags, words, "<none>");
}

int keys_class::str_to_flag(const std::string& s) {
  int flags = 0;
  if (s.find("SHIFT") != std::string::npos) flags |= 1;
  if (s.find("ALT") != std::string::npos) flags |= 2;
  if (s.find("CTRL") != std::string::npos) flags |= 4;
  return flags;
}

std::string keys_class::flag_to_code(int flags) {
  static const char* const words[3] = {"tessel_ShiftFlag", "tessel_OptionAltFlag", "tessel_ControlFlag"};
  return join_flags(flags, words, "0");
}

int keys_class::ascii_to_vkey(int ch, int& vkey, int& mods) {
  for (const key_char_row* r = kCharTranslations; r->ch; ++r)
    if (r->ch == ch) {
      vkey = r->vkey;
      mods = r->mods;
      return 1;
    }
  vkey = mods = 0;
  return 0;
}

void keys_class::debug() {}

int script_to_utf32(int byte) { return byte >= 0 && byte < 128 ? byte : 0; }
