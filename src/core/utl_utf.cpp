#include "core/utl_utf.h"

static bool is_continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

void string_utf_8_to_16(const std::string& in, string_utf16& out) {
  out.clear();
  const size_t n = in.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char lead = (unsigned char)in[i];
    unsigned long c;
    int more;
    if (lead < 0x80) {
      c = lead, more = 0;
    } else if ((lead & 0xE0) == 0xC0) {
      c = lead & 0x1F, more = 1;
    } else if ((lead & 0xF0) == 0xE0) {
      c = lead & 0x0F, more = 2;
    } else if ((lead & 0xF8) == 0xF0) {
      c = lead & 0x07, more = 3;
    } else {
      c = 0, more = 0;
    }
    if (more && i + (size_t)more >= n) {
      c = 0;  // cut off by the end of the text
    } else {
      // The bytes after the lead are taken as they come, whatever their form.
      for (int k = 1; k <= more; ++k) c = (c << 6) | ((unsigned char)in[i + k] & 0x3F);
    }
    if (c <= 0xFFFF) {
      out += (char16_t)c;
    } else {
      const unsigned long v = c - 0x10000;
      out += (char16_t)(0xD800 + ((v >> 10) & 0x3FF));
      out += (char16_t)(0xDC00 + (v & 0x3FF));
    }
    // Resume at the first byte after the lead that cannot continue a
    // character: a byte wrongly taken as a continuation is decoded again.
    ++i;
    while (i < n && is_continuation((unsigned char)in[i])) ++i;
  }
}

void string_utf_16_to_8(const string_utf16& in, std::string& out) {
  out.clear();
  const size_t n = in.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned long c = in[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n) {
      const unsigned long low = in[++i];
      c = 0x10000 + (((c & 0x3FF) << 10) | (low & 0x3FF));
    }
    if (c < 0x80) {
      out += (char)c;
    } else if (c < 0x800) {
      out += (char)(0xC0 | (c >> 6));
      out += (char)(0x80 | (c & 0x3F));
    } else if (c <= 0xFFFF) {
      out += (char)(0xE0 | (c >> 12));
      out += (char)(0x80 | ((c >> 6) & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
    } else {
      out += (char)(0xF0 | ((c >> 18) & 0x07));
      out += (char)(0x80 | ((c >> 12) & 0x3F));
      out += (char)(0x80 | ((c >> 6) & 0x3F));
      out += (char)(0x80 | (c & 0x3F));
    }
  }
}

size_t UTL_utf8_cut_length(const std::string& text, size_t n) {
  if (n >= text.size()) return text.size();
  // Back over the continuation bytes of the character that the cut would split.
  while (n > 0 && is_continuation((unsigned char)text[n])) --n;
  return n;
}
