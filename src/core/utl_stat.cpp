#include "core/utl_stat.h"

// Statistics are built by static initialisers of any unit, in an order the
// program does not control, so the registry is built on first use and the
// ones made before start-up wait in a list (plain pointers, zero at load).
static std::map<UTL_stat_type, std::set<UTL_stat*>>& all_stats() {
  static std::map<UTL_stat_type, std::set<UTL_stat*>> m;
  return m;
}
static UTL_stat* waiting = nullptr;
static int stat_initialized = 0;

UTL_stat::UTL_stat(float* t, const char* n, UTL_stat_type ty)
    : value(0), type(ty), next_waiting(nullptr), target(t), name(n) {
  enlist();
}

UTL_stat::UTL_stat(const char* n, UTL_stat_type ty, float initial)
    : value(initial), type(ty), next_waiting(nullptr), target(&value), name(n) {
  enlist();
}

UTL_stat::~UTL_stat() {}

void UTL_stat::enlist() {
  if (stat_initialized) {
    publish();
  } else {
    next_waiting = waiting;
    waiting = this;
  }
}

void UTL_stat::publish() { all_stats()[type].insert(this); }

void UTL_stat::init_stats() {
  for (UTL_stat* s = waiting; s; s = s->next_waiting) s->publish();
  stat_initialized = 1;
}

void UTL_stat::reset_stats(UTL_stat_type t) {
  for (UTL_stat* s : all_stats()[t]) s->value = 0.0f;
}

const std::map<UTL_stat_type, std::set<UTL_stat*>>& UTL_stat_registry() { return all_stats(); }
