// Conversion between UTF-8 and UTF-16 text. Malformed input is converted by
// fixed rules, never refused; only bytes and units of the input are read.
// No state; any thread.
#pragma once
#include <string>

// UTF-16 text: 16-bit units in host order, no byte-order mark; characters
// above 0xFFFF as surrogate pairs.
typedef std::u16string string_utf16;

// Replaces out with the UTF-16 form of the UTF-8 text in. A byte that cannot
// start a character, or a character cut off by the end of the text, gives one
// zero unit.
void string_utf_8_to_16(const std::string& in, string_utf16& out);
// Replaces out with the shortest UTF-8 form of the UTF-16 text in. A lone
// surrogate is written as the character of that value.
void string_utf_16_to_8(const string_utf16& in, std::string& out);

// The largest length at or below n (and the text's length) that ends on a
// character boundary of the UTF-8 text: a cut there never splits a character.
size_t UTL_utf8_cut_length(const std::string& text, size_t n);
