#include "widgets/cmnd.h"
#include <algorithm>

cmnd_class cmnd;

namespace {
struct default_command {
  const char* path;
  const char* description;
};
const default_command default_commands[] = {
    {"sim/none/none", "Do nothing at all!"},
    {"sim/operation/screenshot", "Take a screenshot."},
    {"sim/operation/quicktime_record_toggle", "Toggle recording of QuickTime movie."},
    {"sim/operation/quit", "Quit the simulation."},
    {"sim/general/left", "General command: left."},
    {"sim/general/right", "General command: right."},
    {"sim/general/up", "General command: up."},
    {"sim/general/down", "General command: down."},
    {"sim/general/forward", "General command: forward."},
    {"sim/general/backward", "General command: backward."},
    {"sim/general/zoom_in", "General command: zoom in."},
    {"sim/general/zoom_out", "General command: zoom out."},
    {"sim/general/left_fast", "General command: left fast."},
    {"sim/general/right_fast", "General command: right fast."},
    {"sim/general/up_fast", "General command: up fast."},
    {"sim/general/down_fast", "General command: down fast."},
    {"sim/general/forward_fast", "General command: forward fast."},
    {"sim/general/backward_fast", "General command: backward fast."},
    {"sim/general/zoom_in_fast", "General command: zoom in fast."},
    {"sim/general/zoom_out_fast", "General command: zoom out fast."},
    {"sim/general/rot_up", "General command: tilt up."},
    {"sim/general/rot_down", "General command: tilt down."},
    {"sim/general/rot_left", "General command: pan left."},
    {"sim/general/rot_right", "General command: pan right."},
    {"sim/general/rot_up_fast", "General command: tilt up fast."},
    {"sim/general/rot_down_fast", "General command: tilt down fast."},
    {"sim/general/rot_left_fast", "General command: pan left fast."},
    {"sim/general/rot_right_fast", "General command: pan right fast."},
};
}  // namespace

cmnd_class::cmnd_class() {
  for (const default_command& c : default_commands) {
    paths.push_back(c.path);
    descriptions.push_back(c.description);
  }
}

void cmnd_class::get_cmds_in_path(const std::string& prefix, std::vector<std::string>& out) {
  out.clear();
  for (const std::string& p : paths) {
    if (p.size() <= prefix.size() || p.compare(0, prefix.size(), prefix) != 0) continue;
    size_t slash = p.find('/', prefix.size());
    std::string part = p.substr(prefix.size(), slash == std::string::npos ? std::string::npos : slash + 1 - prefix.size());
    if (std::find(out.begin(), out.end(), part) == out.end()) out.push_back(part);
  }
}
