// What the menu bar's files share: the alert source and the item tests.
#pragma once
#include <string>
#include "shell/mbar.h"

constexpr char k_mbar_unit[] = "RUvozuz/OOPS_cpp/mbar";

// An item that can be hovered and chosen: not blank, no separator, not '='.
inline bool mbar_item_live(const mbar_class::item_struct& it) {
  return !it.text.empty() && it.text[0] != '-' && it.text[0] != '=';
}
