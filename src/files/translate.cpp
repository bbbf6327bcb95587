#include "files/translate.h"
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <unordered_map>
#include <unordered_set>
#include "core/globs.h"
#include "core/hl_string.h"
#include "core/utl_cmdline.h"
#include "files/file_paths.h"
#include "files/xmap.h"
#include "platform/plat_lang.h"

namespace {

struct language_row {
  const char* label;
  const char* folder;
  const char* file;
  const char* code;
  int plural_mode;
};

const language_row k_languages[lang_count] = {
    {"|English", "English/", "", "en", 1},
    {"|Fran\xC3\xA7" "ais", "French/", "RESOURCE:French.txt", "fr", 0},
    {"|Deutsch", "German/", "RESOURCE:German.txt", "de", 1},
    {"|\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9", "Russian/", "RESOURCE:Russian.txt", "ru", 2},
    {"|Italiano", "Italian/", "RESOURCE:Italian.txt", "it", 1},
    {"|Espa\xC3\xB1ol", "Spanish/", "RESOURCE:Spanish.txt", "es", 1},
};

const int k_translation_versions[] = {900, 0};

// The translation state of the whole program.
std::unordered_map<std::string, std::string> dictionary[2];
std::unordered_set<std::string> logged;
int plural_mode = 1;
int has_translation = 0;
int log_missing = 0;

void forget_tables() {
  dictionary[0].clear();
  dictionary[1].clear();
  logged.clear();
}

// The number at the start of text (blanks and a sign allowed), as the
// standard conversion reads it; 0 when no digit follows.
long leading_number(const char* text) {
  errno = 0;
  long v = strtol(text, nullptr, 10);
  if (errno == ERANGE) v = v < 0 ? LONG_MIN : LONG_MAX;
  return v;
}

// Walks the placeholders of text: for each well-formed "%n:...%" span, calls
// take(first, last, n) which returns where scanning goes on; a '%' without a
// span is passed over.
template <class F>
void walk_placeholders(std::string& text, F take) {
  size_t pos = 0;
  for (;;) {
    const size_t open = text.find('%', pos);
    if (open == std::string::npos) return;
    const size_t colon = text.find(':', open);
    const size_t close = colon == std::string::npos ? std::string::npos : text.find('%', colon);
    if (close == std::string::npos) {
      pos = open + 1;
      continue;
    }
    pos = take(open, close, leading_number(text.c_str() + open + 1));
  }
}

std::string escape_line_ends(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r')
      out += "\\r";
    else if (c == '\n')
      out += "\\n";
    else
      out += c;
  }
  return out;
}

void log_line_error(const std::string& line, const char* what) {
  xer_group() << "ERROR: language file line '" << line << "' " << what << "\n";
}

// Checks and stores one STRING or GENITIVE entry.
void add_entry(int table, const std::string& line) {
  static const std::string splitter = "====";
  const size_t split = line.find(splitter);
  if (split == std::string::npos) {
    log_line_error(line, "missing ==== splitter.");
    return;
  }
  if (split + splitter.size() >= line.size()) {
    log_line_error(line, "missing right side translation.");
    return;
  }
  std::string english = line.substr(0, split);
  std::string translation = line.substr(split + splitter.size());
  str_unescape(english);
  str_unescape(translation);

  std::vector<int> want, got;
  UTL_string_check(english, want);
  UTL_string_check(translation, got);
  std::sort(want.begin(), want.end());
  std::sort(got.begin(), got.end());
  if (want != got) log_line_error(line, "has incorrect translated parameters.");
  if (!UTL_utf8_valid(line)) log_line_error(line, "contains invalid UTF8 characters.");

  std::string el, er, eh, tl, tr, th;
  UTL_expand_label(english, &el, &er, &eh);
  UTL_expand_label(translation, &tl, &tr, &th);
  if ((!el.empty() && tl.empty()) || (!er.empty() && tr.empty()) || (!eh.empty() && th.empty()))
    log_line_error(line, "does not have its help tips correctly formatted.");
  if (UTL_count_leading(english) != UTL_count_leading(translation))
    log_line_error(line, "does not have the same leading spaces.");
  if (UTL_count_trailing(english) != UTL_count_trailing(translation))
    log_line_error(line, "does not have the same trailing spaces.");

  auto [it, added] = dictionary[table].emplace(english, translation);
  if (!added)
    xer_group() << "ERROR: language file line '" << line << "' is a second translation of " << english << "===="
                << it->second << "\n";
}

}  // namespace

void UTL_lang_get_languages(std::vector<int>& out) {
  static const std::vector<int> all = {0, 1, 2, 3, 4, 5};
  out = all;
}

std::string UTL_lang_get_folder(int index) {
  return index >= 0 && index < lang_count ? k_languages[index].folder : "";
}

std::string UTL_lang_get_button(int index) {
  return index >= 0 && index < lang_count ? k_languages[index].label : "";
}

int UTL_get_default_language() {
  if (cmdline.has_option("--lang")) {
    const std::string want = cmdline.get_option("--lang");
    for (int i = 0; i < lang_count; ++i)
      if (want == k_languages[i].code) return i;
  }
  for (const std::string& code : PLAT_preferred_languages()) {
    if (code.size() < 2) continue;
    for (int i = 0; i < lang_count; ++i)
      if (code.compare(0, 2, k_languages[i].code) == 0) return i;
  }
  return -1;
}

void UTL_translate_load(int index) {
  if (index < 1 || index >= lang_count) {
    UTL_translate_clear();
    return;
  }
  const language_row& lang = k_languages[index];
  xer_group() << " ==== CHANGING LANGUAGE TO: " << (lang.label + 1) << ". ====\n";
  forget_tables();
  plural_mode = lang.plural_mode;
  has_translation = 0;
  log_missing = 0;

  xmap_class x(lang.file);
  if (!x.mem_beg) {
    xer_group() << "Could not find translation file: " << lang.file << "; using English.\n";
    return;
  }
  if (x.check_file(xmap_text, k_translation_versions, "TRANSLATION", nullptr) != 900) {
    xer_group() << "Translation file " << lang.file << " is not version 900 or has a bad header.\n";
    return;
  }
  while (x.mem_cur < x.mem_end) {
    int table = -1;
    if (x.TXT_str_scan_match("STRING", 0, 0))
      table = table_string;
    else if (x.TXT_str_scan_match("GENITIVE", 0, 0))
      table = table_genitive;
    if (table < 0) {
      x.TXT_str_scan_eoln(nullptr);
      continue;
    }
    // Exactly one separator goes; further blanks belong to the entry.
    char* start = x.mem_cur + 1;
    char* end = start;
    while (end < x.mem_end && !xmap_class::is_eol(*end)) ++end;
    x.mem_cur = end;
    while (x.mem_cur < x.mem_end && (xmap_class::is_eol(*x.mem_cur) || xmap_class::is_blank(*x.mem_cur))) ++x.mem_cur;
    add_entry(table, std::string(start, end));
  }
  if (plural_mode == 2)
    for (const auto& [english, translation] : dictionary[table_genitive])
      if (!dictionary[table_string].count(english))
        xer_group() << "WARNING: language file line " << english << "====" << translation
                    << " is provided in genitive but not plural case.\n";
  has_translation = 1;
  log_missing = cmdline.has_option("--missing_strings") ? 1 : 0;
}

void UTL_translate_clear() {
  forget_tables();
  has_translation = 0;
  log_missing = 0;
  plural_mode = 1;
}

void UTL_translate_clear_wrap() { UTL_translate_clear(); }

std::string UTL_translate_string(const std::string& text, int table) {
  if (!has_translation) return text;
  const auto& dict = dictionary[table == table_genitive ? 1 : 0];
  auto it = dict.find(text);
  if (it != dict.end()) return it->second;
  if (log_missing && logged.insert(text).second) {
    const std::string copy = escape_line_ends(text);
    xer_group() << "STRING " << copy << "====" << copy << "\n";
  }
  return text;
}

std::string UTL_translate_plural(int count, const std::string& singular, const std::string& plural) {
  const bool one = plural_mode == 0 ? count <= 1 : count == 1;
  if (one) return UTL_translate_string(singular, table_string);
  if (plural_mode == 2) {
    const int last = count % 10, last_two = count % 100;
    if (last >= 2 && last <= 4 && !(last_two >= 10 && last_two <= 20) &&
        dictionary[table_genitive].count(plural))
      return UTL_translate_string(plural, table_genitive);
  }
  return UTL_translate_string(plural, table_string);
}

std::string UTL_string_sub_x(const std::string& fmt, int count, const std::string* const* args) {
  std::string text = fmt;
  walk_placeholders(text, [&](size_t open, size_t close, long n) {
    if (n < 1 || n > count) return open + 1;
    const std::string& value = *args[n - 1];
    text.replace(open, close - open + 1, value);
    return open + value.size();
  });
  return text;
}

std::string UTL_string_sub(const std::string& fmt, const std::string& a1) {
  const std::string* a[] = {&a1};
  return UTL_string_sub_x(fmt, 1, a);
}
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2) {
  const std::string* a[] = {&a1, &a2};
  return UTL_string_sub_x(fmt, 2, a);
}
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2,
                           const std::string& a3) {
  const std::string* a[] = {&a1, &a2, &a3};
  return UTL_string_sub_x(fmt, 3, a);
}
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2,
                           const std::string& a3, const std::string& a4) {
  const std::string* a[] = {&a1, &a2, &a3, &a4};
  return UTL_string_sub_x(fmt, 4, a);
}
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2,
                           const std::string& a3, const std::string& a4, const std::string& a5) {
  const std::string* a[] = {&a1, &a2, &a3, &a4, &a5};
  return UTL_string_sub_x(fmt, 5, a);
}
std::string UTL_string_sub(const std::string& fmt, const std::string& a1, const std::string& a2,
                           const std::string& a3, const std::string& a4, const std::string& a5,
                           const std::string& a6) {
  const std::string* a[] = {&a1, &a2, &a3, &a4, &a5, &a6};
  return UTL_string_sub_x(fmt, 6, a);
}

void UTL_string_check(const std::string& text, std::vector<int>& out) {
  std::string copy = text;
  walk_placeholders(copy, [&](size_t open, size_t close, long n) {
    if (n <= 0) return open + 1;
    out.push_back(n > INT_MAX ? INT_MAX : static_cast<int>(n));
    return close + 1;
  });
}

int UTL_count_leading(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  return static_cast<int>(first == std::string::npos ? text.size() : first);
}

int UTL_count_trailing(const std::string& text) {
  const size_t last = text.find_last_not_of(' ');
  return static_cast<int>(last == std::string::npos ? text.size() : text.size() - 1 - last);
}

void str_unescape(std::string& text) {
  for (const auto& [pair, c] : {std::pair<const char*, char>{"\\r", '\r'}, {"\\n", '\n'}}) {
    size_t pos = 0;
    while ((pos = text.find(pair, pos)) != std::string::npos) {
      text.replace(pos, 2, 1, c);
      ++pos;
    }
  }
}
