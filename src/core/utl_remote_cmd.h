// Named debug commands that a diagnostic front end can run by number. Built
// by static initialisers (or on the main thread); never removed.
#pragma once

class UTL_remote_cmd {
 public:
  // Takes the next free id (from 1) and puts the command at the head of the list.
  UTL_remote_cmd(const char* name, void (*fn)());
  // Does nothing: a command stays in the list for the whole run.
  ~UTL_remote_cmd();

  // Runs the action of the command with this id, if there is one; param is not passed on.
  static void invoke(void* param, int id);
  // Marks the end of start-up.
  static void init_remote_cmds();
  // Does nothing (no front end listens).
  void publish();

  UTL_remote_cmd* next_cmd;
  void (*fn)();
  const char* name;  // menu-style label, not owned
  int id;

  // Plain values, so commands built by any static initialiser find them set.
  static inline UTL_remote_cmd* cmd_list = nullptr;
  static inline int free_id = 1;
};
