#include "shell/utl_clipboard.h"
#include <cstring>
#include "platform/plat_clipboard.h"

// A four-character code, the first character in the most significant byte.
static constexpr uint32_t four_cc(const char (&c)[5]) {
  return (uint32_t)(unsigned char)c[0] << 24 | (uint32_t)(unsigned char)c[1] << 16 |
         (uint32_t)(unsigned char)c[2] << 8 | (uint32_t)(unsigned char)c[3];
}

static std::vector<std::string> sClipStrings;
static std::vector<uint32_t> sCITs;
static uint32_t s_next_private = four_cc("PRV0");

static const uint32_t k_text = four_cc("TEXT");
static const int k_sender_only = 1;

// What this process last put: the flavours with their flags, and the text it
// left on the desktop, which tells whether the mirror still stands.
struct flavour {
  uint32_t code;
  int flags;
  std::string bytes;
};
static std::vector<flavour> s_mirror;
static std::string s_put_text;

static void fill_if_empty() {
  if (sCITs.empty()) UTL_InitClipboard();
}

void UTL_InitClipboard() {
  sClipStrings.push_back("text");
  sCITs.push_back(k_text);
}

int UTL_GetTextClipType() {
  fill_if_empty();
  return 0;
}

int UTL_RegisterPrivateClipType(const char* name) {
  fill_if_empty();
  for (size_t i = 0; i < sClipStrings.size(); ++i)
    if (sClipStrings[i] == name) return (int)i;
  sClipStrings.push_back(name);
  sCITs.push_back(s_next_private++);
  return (int)sCITs.size() - 1;
}

uint32_t UTL_Clipboard_code(int type) {
  return type >= 0 && type < (int)sCITs.size() ? sCITs[type] : 0;
}

static std::string desktop_text() {
  std::string t;
  return PLAT_clipboard_get_text(&t) ? t : std::string();
}

// The mirror, while the desktop still shows what we put; null otherwise.
static const std::vector<flavour>* live_mirror() {
  if (s_mirror.empty() || desktop_text() != s_put_text) return nullptr;
  return &s_mirror;
}

static const flavour* find(int type) {
  const uint32_t code = UTL_Clipboard_code(type);
  if (const auto* m = live_mirror()) {
    for (const flavour& f : *m)
      if (f.code == code) return &f;
    return nullptr;
  }
  if (code != k_text) return nullptr;
  // Another program's text: held in one slot that each read refills.
  static flavour desktop;
  desktop = {k_text, 0, std::string()};
  return PLAT_clipboard_get_text(&desktop.bytes) ? &desktop : nullptr;
}

bool UTL_Clipboard_SetData(int count, int* types, int* sizes, const void** data) {
  fill_if_empty();
  s_mirror.clear();
  s_put_text.clear();
  std::vector<flavour> put;
  for (int i = 0; i < count; ++i) {
    const uint32_t code = UTL_Clipboard_code(types[i]);
    if (!code || sizes[i] < 0 || (sizes[i] > 0 && !data[i])) break;
    put.push_back({code, i == 0 ? 0 : k_sender_only, std::string((const char*)data[i], (size_t)sizes[i])});
  }
  // The desktop gets the text flavour, or an empty text that clears what
  // another program left there.
  std::string text;
  for (const flavour& f : put)
    if (f.code == k_text) {
      text = f.bytes;
      break;
    }
  if (!PLAT_clipboard_set_text(text)) return false;
  s_put_text = text;
  s_mirror = put;
  return (int)put.size() == (count > 0 ? count : 0);
}

bool UTL_Clipboard_HasClipType(int type) {
  const flavour* f = find(type);
  return f && (type == 0 || (f->flags & k_sender_only));
}

int UTL_Clipboard_GetSize(int type) {
  const flavour* f = find(type);
  return f ? (int)f->bytes.size() : 0;
}

bool UTL_Clipboard_GetData(int type, int size, void* buffer) {
  const flavour* f = find(type);
  if (!f || size < 0 || f->bytes.size() != (size_t)size) return false;
  if (size) memcpy(buffer, f->bytes.data(), (size_t)size);
  return true;
}

void UTL_Clipboard_GetTypes(std::vector<int>& types) {
  types.clear();
  fill_if_empty();
  std::vector<flavour> on;
  if (const auto* m = live_mirror())
    on = *m;
  else if (std::string t; PLAT_clipboard_get_text(&t))
    on.push_back({k_text, 0, t});
  for (const flavour& f : on)
    for (size_t t = 0; t < sCITs.size(); ++t) {
      if (sCITs[t] != f.code) continue;
      if (t == 0 || (f.flags & k_sender_only)) types.push_back((int)t);
      break;
    }
}

bool UTL_SetTextToClipboard(const std::string& text) {
  int type = UTL_GetTextClipType();
  int size = (int)text.size();
  const void* data = text.data();
  return UTL_Clipboard_SetData(1, &type, &size, &data);
}

bool UTL_GetTextFromClipboard(std::string& text) {
  UTL_GetTextClipType();
  const flavour* f = find(0);
  if (!f) return false;
  text = f->bytes;
  return true;
}
