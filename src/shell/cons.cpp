#include "shell/cons.h"
#include "core/globs.h"

cons_class cons;

void* cons_class::cons_make_loader() {
  // No console window exists yet, so there is no context to share.
  xer_group() << "We could not create a context for our worker threads.\n";
  return nullptr;
}

int cons_class::num_cons(int n) {
  // Only the question form (n < 0) is asked before the window code exists.
  (void)n;
  return console_count;
}
