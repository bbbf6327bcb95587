// Conditional sections in text data files: lines between "IF name" and
// "ENDIF" (with "NOT", "ELSE" and "ELSE IF") reach the file's parser only when
// the named variable is true. The parser consumes each line it is handed, up
// to and past its line end, then calls scan_more.
#pragma once
#include <vector>
#include "files/xmap.h"

// One variable of a scanner's table; a null name ends the table.
struct conditional_t {
  const char* name;
  int value;  // 0 false, else true
};

class conditional_scanner {
 public:
  // Reader positioned at the first body line; vars stays the caller's.
  conditional_scanner(xmap_class* reader, const conditional_t* table);
  // Moves the cursor past directives and switched-off lines, onto the next
  // line the parser should see (or the window's end).
  void scan_more();
  // Reads a variable name at the cursor: its value (1 - value when negate);
  // 1 after logging an error when the name is not in the table.
  int get_conditional(int negate);

  xmap_class* xmap;
  const conditional_t* vars;
  // One state per open level, the file level at the bottom: 1 taken branch,
  // -1 branch not taken, 0 inside a skipped level, 2 ELSE switched on,
  // -2 ELSE switched off. Lines are seen while the top is above 0.
  std::vector<int> state_stack;

 private:
  int read_condition();
  void warn(const char* message);
};
