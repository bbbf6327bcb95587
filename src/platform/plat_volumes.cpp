#include "platform/plat_volumes.h"
#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <fstream>
#include <sstream>
#include <vector>
#include "platform/plat_process.h"

// Fields of /proc/self/mountinfo escape blanks, tabs, newlines and '\' as
// three octal digits.
static std::string unescape_mount_field(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); i++) {
    if (s[i] == '\\' && i + 3 < s.size()) {
      int v = 0;
      bool ok = true;
      for (int k = 1; k <= 3; k++) {
        char c = s[i + k];
        if (c < '0' || c > '7') ok = false;
        v = v * 8 + (c - '0');
      }
      if (ok) {
        out += (char)v;
        i += 3;
        continue;
      }
    }
    out += s[i];
  }
  return out;
}

static bool under_mount(const std::string& path, const std::string& mount) {
  if (mount == "/") return true;
  return path.compare(0, mount.size(), mount) == 0 && (path.size() == mount.size() || path[mount.size()] == '/');
}

int PLAT_volume_of_path(const std::string& path, std::string& mount_point, std::string& device) {
  char resolved[PATH_MAX];
  if (!realpath(path.c_str(), resolved)) return errno;
  std::ifstream f("/proc/self/mountinfo");
  if (!f) return ENOSYS;
  std::string line, best_mount, best_source;
  bool found = false;
  // Later lines are mounted over earlier ones, so among equal mount points
  // the last one is what the path sees.
  while (std::getline(f, line)) {
    std::istringstream ss(line);
    std::string id, parent, devno, root, mount, field;
    ss >> id >> parent >> devno >> root >> mount;
    while (ss >> field && field != "-") {
    }
    std::string fstype, source;
    ss >> fstype >> source;
    mount = unescape_mount_field(mount);
    if (!under_mount(resolved, mount)) continue;
    if (!found || mount.size() >= best_mount.size()) {
      best_mount = mount;
      best_source = unescape_mount_field(source);
      found = true;
    }
  }
  if (!found) return ENOENT;
  mount_point = best_mount;
  device = best_source;
  return 0;
}

int PLAT_eject_volume(const std::string& mount_point, const std::string& device, int timeout_ms) {
  if (mount_point.empty() || mount_point == "/") return EBUSY;
  std::vector<std::vector<std::string>> tools = {
      {"eject", mount_point},
      {"gio", "mount", "-e", mount_point},
  };
  if (device.compare(0, 5, "/dev/") == 0) tools.push_back({"udisksctl", "unmount", "--no-user-interaction", "-b", device});
  bool any_ran = false;
  for (const auto& argv : tools) {
    int status = 0;
    int err = PLAT_run_tool(argv, timeout_ms, &status);
    if (err == ENOENT) continue;
    if (err) return err;
    any_ran = true;
    if (status == 0) return 0;
  }
  return any_ran ? EBUSY : ENOSYS;
}
