// The UTF-8 walk shared by drawing and measuring. A character is a lead byte
// and the continuation bytes (10xxxxxx) after it; continuation bytes at the
// very start form a character of their own. Nothing at or past end is read:
// a sequence cut short by end, or by a byte that is not a continuation, is
// code 0, and so are stray continuation bytes and leads 0xF8 to 0xFF.
#pragma once
#include <cstdint>

inline bool utf8_is_cont(unsigned char b) { return (b & 0xC0) == 0x80; }

// The code of the character at p (p before end); *next is where the next
// character starts (at most end).
inline uint32_t utf8_decode(const unsigned char* p, const unsigned char* end, const unsigned char** next) {
  const unsigned char lead = *p;
  int extra = -1;
  uint32_t code = 0;
  if (lead < 0x80) {
    extra = 0;
    code = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07;
  }
  const unsigned char* q = p + 1;
  for (int i = 0; i < extra; ++i, ++q) {
    if (q >= end || !utf8_is_cont(*q)) {
      code = 0;
      break;
    }
    code = code << 6 | (*q & 0x3F);
  }
  if (extra < 0) code = 0;
  q = p + 1;
  while (q < end && utf8_is_cont(*q)) ++q;
  *next = q;
  return code;
}

// Where the character that ends at p starts (p after begin).
inline const unsigned char* utf8_prev(const unsigned char* begin, const unsigned char* p) {
  --p;
  while (p > begin && utf8_is_cont(*p)) --p;
  return p;
}
