// Widget labels: up to three parts in one text, "left|right{help" (see
// UTL_expand_label, which the translation check shares).
#pragma once
#include <string>
#include "core/hl_string.h"

// Splits label into its left, right and help parts (each output may be null).
inline void BTN_expand_label(std::string label, std::string* left, std::string* right, std::string* help) {
  UTL_expand_label(std::move(label), left, right, help);
}
