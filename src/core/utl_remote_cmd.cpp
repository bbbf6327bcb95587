#include "core/utl_remote_cmd.h"

static int inited = 0;

UTL_remote_cmd::UTL_remote_cmd(const char* n, void (*f)()) : next_cmd(cmd_list), fn(f), name(n), id(free_id++) {
  cmd_list = this;
}

UTL_remote_cmd::~UTL_remote_cmd() {}

void UTL_remote_cmd::invoke(void*, int cmd_id) {
  for (UTL_remote_cmd* c = cmd_list; c; c = c->next_cmd) {
    if (c->id == cmd_id) {
      if (c->fn) c->fn();
      return;
    }
  }
}

void UTL_remote_cmd::init_remote_cmds() {
  inited = 1;
  for (UTL_remote_cmd* c = cmd_list; c; c = c->next_cmd) c->publish();
}

void UTL_remote_cmd::publish() {}
