// The command registry: every user command by its slash-separated path.
#pragma once
#include <string>
#include <vector>

class cmnd_class {
 public:
  // out := the distinct next path components below prefix, in registration
  // order; a component with more below it ends in '/'.
  void get_cmds_in_path(const std::string& prefix, std::vector<std::string>& out) const;

  std::vector<std::string> paths;         // "sim/operation/quit"
  std::vector<std::string> descriptions;  // parallel to paths
};

extern cmnd_class cmnd;
