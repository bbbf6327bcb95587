// The command registry: every user command by its slash-separated path
// ("sim/operation/quit") with a one-sentence description. A command is known
// by its index; the vectors are parallel. Built before the entry point runs.
#pragma once
#include <string>
#include <vector>

class cmnd_class {
 public:
  cmnd_class();  // the built-in commands

  // Replaces out with the distinct next path components below prefix, in
  // order of first appearance: a branch ends in '/' ("operation/" below
  // "sim/"), a leaf does not ("quit" below "sim/operation/").
  void get_cmds_in_path(const std::string& prefix, std::vector<std::string>& out);

  std::vector<std::string> paths;
  std::vector<std::string> descriptions;
};

extern cmnd_class cmnd;
