#include "widgets/butn.h"
#include <vector>

void BTN_expand_label(std::string label, std::string* left, std::string* right, std::string* help) {
  auto blank = [](char c) { return c == ' ' || c == '\t'; };
  const size_t n = label.size();
  std::vector<bool> drop(n, false);
  for (size_t i = 0; i < n; ++i) {
    if (label[i] != '|' && label[i] != '{') continue;
    if (i > 0 && blank(label[i - 1])) drop[i - 1] = true;
    if (i + 1 < n && blank(label[i + 1])) drop[i + 1] = true;
  }
  std::string s;
  for (size_t i = 0; i < n; ++i)
    if (!drop[i]) s += label[i];

  const size_t bar = s.rfind('|');
  const size_t brace = s.rfind('{');
  const size_t help_at = brace == std::string::npos ? s.size() : brace;
  std::string l, r, h;
  if (bar == std::string::npos) {
    l = s.substr(0, help_at);
  } else {
    l = s.substr(0, bar);
    const size_t right_end = help_at > bar ? help_at : s.size();
    r = s.substr(bar + 1, right_end - bar - 1);
  }
  if (brace != std::string::npos) h = s.substr(brace + 1);
  if (left) *left = l;
  if (right) *right = r;
  if (help) *help = h;
}
