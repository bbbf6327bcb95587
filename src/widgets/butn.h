// Widget labels: up to three parts in one text, "left|right{help": the text
// before the last '|' on one side of the widget, the text after it on the
// other, and the text after the last '{' as hover help.
#pragma once
#include <string>

// Splits label into its parts (each output may be null). One blank directly
// before and after each '|' and '{' is dropped first. Without '|' the left
// part runs to the last '{' and the right part is empty.
void BTN_expand_label(std::string label, std::string* left, std::string* right, std::string* help);
