#include "platform/plat_sysinfo.h"
#include <sys/utsname.h>
#include <unistd.h>
#include <cstdlib>
#include <fstream>

// The value of "key: value" or key="value" lines, without quotes.
static std::string value_after(const std::string& line, char sep) {
  size_t p = line.find(sep);
  if (p == std::string::npos) return std::string();
  std::string v = line.substr(p + 1);
  while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '"')) v.erase(v.begin());
  while (!v.empty() && (v.back() == ' ' || v.back() == '"' || v.back() == '\r')) v.pop_back();
  return v;
}

PLAT_sysinfo PLAT_get_sysinfo() {
  PLAT_sysinfo info;
  struct utsname u;
  if (uname(&u) == 0) {
    info.os_name = u.sysname;
    info.os_version = u.release;
  }
  std::ifstream rel("/etc/os-release");
  for (std::string line; std::getline(rel, line);)
    if (line.rfind("PRETTY_NAME=", 0) == 0) info.os_pretty = value_after(line, '=');
  std::ifstream cpu("/proc/cpuinfo");
  for (std::string line; std::getline(cpu, line);) {
    if (info.cpu_name.empty() && line.rfind("model name", 0) == 0) info.cpu_name = value_after(line, ':');
    if (info.cpu_mhz < 0 && line.rfind("cpu MHz", 0) == 0) info.cpu_mhz = (int)atof(value_after(line, ':').c_str());
  }
  long pages = sysconf(_SC_PHYS_PAGES), page = sysconf(_SC_PAGESIZE);
  if (pages > 0 && page > 0) info.ram_mb = (long long)pages * page / (1024 * 1024);
  return info;
}

static int (*s_system_version)(int*) = nullptr;

int PLAT_system_version(int* out) {
  if (s_system_version) return s_system_version(out);
  (void)out;
  return -1;
}

void PLAT_system_version_use(int (*answer)(int* out)) { s_system_version = answer; }
