// Clipboard text for the fields, and the list helpers of the file browser.
#include <vector>
#include "files/file_paths.h"
#include "shell/utl_clipboard.h"
#include "widgets/butn_enterstring.h"

std::string BTN_paste_line(const std::string& text) {
  if (!UTL_utf8_valid(text)) return "";
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;  // CR LF is one break
    if (c == '\r' || c == '\n' || c == '\t')
      out += ' ';
    else if (c >= 0x20 && c != 0x7F)
      out += static_cast<char>(c);
  }
  return out;
}

int BTN_text_to_clipboard(const std::string& text) { return UTL_SetTextToClipboard(text) ? 0 : -1; }

bool BTN_text_from_clipboard(std::string& text) { return UTL_GetTextFromClipboard(text); }

bool BTN_is_text_on_clipboard() { return UTL_Clipboard_HasClipType(UTL_GetTextClipType()); }

std::string BTN_name_from_vector(int index, void* names) {
  return (*static_cast<std::vector<std::string>*>(names))[index];
}

int BTN_type_from_vector(int index, void* types) { return (*static_cast<std::vector<int>*>(types))[index]; }
