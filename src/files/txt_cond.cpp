#include "files/txt_cond.h"
#include "core/globs.h"

conditional_scanner::conditional_scanner(xmap_class* reader, const conditional_t* table)
    : xmap(reader), vars(table), state_stack{1} {
  scan_more();
}

void conditional_scanner::warn(const char* message) {
  xer_group() << message;
  xmap->TXT_xer_line();
}

int conditional_scanner::get_conditional(int negate) {
  for (const conditional_t* v = vars; v && v->name; ++v)
    if (xmap->TXT_str_scan_match(v->name, 1, 0)) return negate ? 1 - v->value : v->value;
  warn("ERROR: unknown variable for IF statement.\n");
  return 1;
}

int conditional_scanner::read_condition() { return get_conditional(xmap->TXT_str_scan_match("NOT", 0, 0)); }

void conditional_scanner::scan_more() {
  for (;;) {
    if (xmap->mem_cur >= xmap->mem_end) return;
    if (xmap->TXT_str_scan_match("IF", 0, 0)) {
      const int cond = read_condition();
      state_stack.push_back(state_stack.back() > 0 ? (cond ? 1 : -1) : 0);
      continue;
    }
    if (xmap->TXT_str_scan_match("ELSE", 0, 0)) {
      int& top = state_stack.back();
      if (state_stack.size() == 1) {
        warn("WARNING: ELSE statement is not inside an IF statement.\n");
      } else if (top != -1 && top != 0 && top != 1) {
        warn("WARNING: more than one ELSE statement for an IF statement.\n");
      } else if (xmap->TXT_str_scan_match("IF", 0, 0)) {
        const int cond = read_condition();
        if (top != 0) top = cond ? 1 : -1;
      } else {
        top = top == 0 ? -2 : -2 * top;
      }
      continue;
    }
    if (xmap->TXT_str_scan_match("ENDIF", 1, 0)) {
      if (state_stack.size() == 1) {
        warn("WARNING: ENDIF in file is not matched by an IF statement.\n");
      } else {
        state_stack.pop_back();
        xmap->TXT_str_scan_eoln(nullptr);
      }
      continue;
    }
    if (state_stack.back() > 0) return;
    xmap->TXT_str_scan_eoln(nullptr);
  }
}
