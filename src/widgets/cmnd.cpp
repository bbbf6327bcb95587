#include "widgets/cmnd.h"
#include <algorithm>

cmnd_class cmnd;

void cmnd_class::get_cmds_in_path(const std::string& prefix, std::vector<std::string>& out) const {
  out.clear();
  for (const std::string& p : paths) {
    if (p.size() <= prefix.size() || p.compare(0, prefix.size(), prefix) != 0) continue;
    std::string::size_type slash = p.find('/', prefix.size());
    std::string next = slash == std::string::npos ? p.substr(prefix.size())
                                                  : p.substr(prefix.size(), slash + 1 - prefix.size());
    if (std::find(out.begin(), out.end(), next) == out.end()) out.push_back(next);
  }
}
