// Runs a byte string as a script of edits on the text fields' editor and
// checks after every step that the selection and the line table still fit
// the text. The text is measured as 7 pixels a byte, so no font is needed;
// the rest are the fields' own callbacks. Shared by the fuzz target and the
// widget tests, which replay the kept inputs. Returns "" when every step
// held, else what broke.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include "core/utl_utf.h"
#include "files/file_paths.h"
#include "widgets/butn_enterstring.h"

namespace text_engine_script {

inline bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

inline float measure(OGLE_Rec*, const char* f, const char* l) { return l > f ? 7.0f * (l - f) : 0.0f; }
inline int fit_forward(OGLE_Rec*, const char* f, const char* l, float w) {
  const char* p = f;
  while (p < l) {
    const char* n = p + 1;
    while (n < l && continuation(*n)) ++n;
    if (7.0f * (n - f) > w) break;
    p = n;
  }
  return static_cast<int>(p - f);
}
inline int fit_reverse(OGLE_Rec*, const char*, const char*, float) { return 0; }
inline void draw_string(OGLE_Rec*, const char* f, const char* l, float, float) {
  // Reads every byte, so a range past the text shows under the sanitizers.
  volatile char sink = 0;
  for (const char* p = f; p < l; ++p) sink = static_cast<char>(sink ^ *p);
}
inline void draw_selection(OGLE_Rec*, float*) {}

inline std::string check(const std::string& t) {
  int s = 0, e = 0;
  OGLE_GetSelection(ogle, &s, &e);
  const int n = static_cast<int>(t.size());
  if (!(0 <= s && s <= e && e <= n)) return "selection outside the text";
  if ((s < n && continuation(t[s])) || (e < n && continuation(t[e]))) return "selection splits a character";
  const std::vector<int>& ls = ogle->line_starts;
  if (ls.empty() || ls[0] != 0) return "no first line at 0";
  for (size_t i = 1; i < ls.size(); ++i)
    if (ls[i] <= ls[i - 1] || ls[i] >= n) return "line starts out of order or past the text";
  if (!UTL_utf8_valid(t)) return "text no longer UTF-8";
  return "";
}

inline std::string run(const uint8_t* data, size_t size) {
  static const char* const pieces[] = {"a", " ", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\n", "word ", ""};
  static OGLE_Callbacks cbs = [] {
    OGLE_Callbacks c = OGLE_cbs;
    c.MeasureString = measure;
    c.FitStringFwd = fit_forward;
    c.FitStringRev = fit_reverse;
    c.DrawString = draw_string;
    c.DrawSelection = draw_selection;
    return c;
  }();
  std::string text = "Mein Ordner";
  OGLE_Rec* saved = ogle;
  std::string* saved_input = OGLE_input;
  ogle = OGLE_Create(&cbs, nullptr);
  OGLE_input = &text;
  OGLE_x = 100, OGLE_y = 300, OGLE_entry_dx = 60;
  OGLE_dx = OGLE_dy = 0;
  OGLE_Repaginate(ogle);
  std::string broken;
  size_t i = 0;
  auto next = [&]() -> int { return i < size ? data[i++] : 0; };
  auto boundary = [&](int v) {
    const size_t n = text.size() + 1;
    return static_cast<int>(UTL_utf8_cut_length(text, static_cast<size_t>(v) % n));
  };
  while (i < size && broken.empty()) {
    const int op = next();
    const int a = next(), b = next();
    switch (op % 9) {
      case 0: {
        static const char keys[] = {8, 28, 29, 30, 31, 'x', ' ', '\n'};
        OGLE_Key(ogle, keys[a % 8], b & 1);
        break;
      }
      case 1: {
        const std::string p = pieces[a % 8];
        if (!p.empty()) OGLE_Key_MBCS(ogle, static_cast<int>(p.size()), p.data(), b & 1);
        break;
      }
      case 2: OGLE_Click(ogle, static_cast<float>(a * 2), static_cast<float>(250 + b / 2), next() & 1); break;
      case 3: OGLE_Drag(ogle, static_cast<float>(a * 2), static_cast<float>(250 + b / 2)); break;
      case 4: {
        int from = boundary(a), to = boundary(b);
        if (from > to) std::swap(from, to);
        const std::string p = pieces[next() % 8];
        OGLE_ReplaceText(ogle, from, to, p.data(), p.data() + p.size());
        break;
      }
      case 5: {
        // The field's owner changes the text between frames.
        if (a & 1)
          text.resize(boundary(b));
        else
          text += pieces[b % 8];
        OGLE_sync_to_text();
        break;
      }
      case 6: OGLE_SetSelection(ogle, boundary(a), boundary(b)); break;
      case 7: OGLE_Draw(ogle, 1); break;
      default:
        OGLE_entry_dx = 1 + a;
        if (b & 1) OGLE_Repaginate(ogle);
        OGLE_RevealSelection(ogle);
        break;
    }
    OGLE_Draw(ogle, 1);
    broken = check(text);
  }
  OGLE_Destroy(ogle);
  ogle = saved;
  OGLE_input = saved_input;
  return broken;
}

}  // namespace text_engine_script
