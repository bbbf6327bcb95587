// Translation of user texts. Texts are written in English in the code and
// translated at the point of use; placeholders are numbered and named, as in
// "%1:disk number%", and filled after translation with UTL_string_sub.
// Main thread only.
#pragma once
#include <string>
#include <vector>

// Language numbers: 0 English, 1 French, 2 German, 3 Russian, 4 Italian, 5 Spanish.
enum { lang_english = 0, lang_french, lang_german, lang_russian, lang_italian, lang_spanish, lang_count };
// Tables of UTL_translate_string.
enum { table_string = 0, table_genitive = 1 };

// out := every language number, in order.
void UTL_lang_get_languages(std::vector<int>& out);
// The language's folder for per-language resources ("French/").
std::string UTL_lang_get_folder(int index);
// The language's own name as a widget label ("|Français").
std::string UTL_lang_get_button(int index);
// The start-up language: "--lang=code", else the first of the user's
// preferred languages that is offered; -1 when none fits.
int UTL_get_default_language();
// Selects language index (1 to 5) and loads its translation file; a missing
// or bad file is logged and leaves English texts in use.
void UTL_translate_load(int index);
// Selects English.
void UTL_translate_clear();
void UTL_translate_clear_wrap();
// The translation of text from table (table_string or table_genitive), or
// the text itself (logged once when "--missing_strings" is given).
std::string UTL_translate_string(const std::string& text, int table = table_string);
// The translated singular or plural text for count, by the language's rule.
std::string UTL_translate_plural(int count, const std::string& singular, const std::string& plural);
// The format with its placeholders %n:description% filled by the nth value;
// placeholders out of range stay as written.
std::string UTL_string_sub(const std::string& fmt, const std::string& a1);
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2);
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2,
                           const std::string& a3);
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2,
                           const std::string& a3, const std::string& a4);
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2,
                           const std::string& a3, const std::string& a4, const std::string& a5);
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2,
                           const std::string& a3, const std::string& a4, const std::string& a5,
                           const std::string& a6);
// The same with count values given as an array of pointers.
std::string UTL_string_sub_x(const std::string& fmt, int count, const std::string* const* args);
// Appends the number of every placeholder of text, in order.
void UTL_string_check(const std::string& text, std::vector<int>& out);
// The number of spaces (not tabs) at the start / end of text.
int UTL_count_leading(const std::string& text);
int UTL_count_trailing(const std::string& text);
// Turns every backslash-r into a carriage return, then every backslash-n into
// a line feed, in place.
void str_unescape(std::string& text);
