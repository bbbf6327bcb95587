#include "platform/plat_lang.h"
#include <stdlib.h>

namespace {

// "fr_CA.UTF-8@euro" -> "fr-CA"; "C" and "POSIX" -> "en".
std::string code_of_locale(std::string s) {
  s = s.substr(0, s.find_first_of(".@"));
  if (s == "C" || s == "POSIX") return "en";
  for (char& c : s)
    if (c == '_') c = '-';
  return s;
}

void add(std::vector<std::string>& out, const std::string& locale) {
  std::string code = code_of_locale(locale);
  if (!code.empty()) out.push_back(code);
}

}  // namespace

std::vector<std::string> PLAT_preferred_languages() {
  std::vector<std::string> out;
  if (const char* list = getenv("LANGUAGE")) {
    std::string l = list;
    size_t at = 0;
    while (at <= l.size()) {
      size_t colon = l.find(':', at);
      if (colon == std::string::npos) colon = l.size();
      add(out, l.substr(at, colon - at));
      at = colon + 1;
    }
  }
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* v = getenv(var)) add(out, v);
  return out;
}
