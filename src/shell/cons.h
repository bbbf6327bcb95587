// The console windows: the one OpenGL window of the program (and an optional
// second). The window itself arrives with the shell's window code; until then
// the manager answers that no console exists.
#pragma once

class cons_class {
 public:
  // A new context sharing objects with the main console, or null when there
  // is no console or it cannot be made (logged).
  void* cons_make_loader();
  // With n < 0: the number of console windows (0, 1 or 2); changes nothing.
  int num_cons(int n);

  int console_count = 0;
  int sec_mon_inuse = 0;
};

extern cons_class cons;
