// Named float statistics and tuning values, grouped by type, for a
// diagnostic front end (none is present in this program: the registry is
// filled and never read). Statistics are static objects that live for the
// whole run; registration happens at static initialisation or on the main
// thread, without a lock.
#pragma once
#include <map>
#include <set>

enum UTL_stat_type {
  stat_memory = 0,    // memory totals and object counts
  stat_per_frame = 2, // counts that are reset every frame
  stat_tuning = 4,    // switches and tuning values
};

class UTL_stat {
 public:
  // Bound to an outside variable: the statistic's value lives in *target.
  UTL_stat(float* target, const char* name, UTL_stat_type type);
  // With its own storage, starting at initial.
  UTL_stat(const char* name, UTL_stat_type type, float initial);
  // Does nothing: a statistic is never unregistered.
  ~UTL_stat();

  // Moves the statistics built so far into the registry; later ones go there at once.
  static void init_stats();
  // Puts this statistic into the registry under its type (no effect if there).
  void publish();
  // Sets the own value of every statistic of that type to 0 (bound variables keep theirs).
  static void reset_stats(UTL_stat_type type);

  float value;  // first field: owners read and add to it directly
  UTL_stat_type type;
  UTL_stat* next_waiting;
  float* target;
  const char* name;  // not owned

 private:
  void enlist();
};

// The registry: the statistics of each type, for a diagnostic front end.
const std::map<UTL_stat_type, std::set<UTL_stat*>>& UTL_stat_registry();
