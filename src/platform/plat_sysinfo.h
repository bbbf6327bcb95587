// What the log's system description says about the machine.
#pragma once
#include <string>

struct PLAT_sysinfo {
  std::string os_name;     // "Linux"
  std::string os_version;  // the kernel release, e.g. "6.1.0-18-amd64"
  std::string os_pretty;   // the distribution's own name, e.g. "Debian GNU/Linux 12 (bookworm)"; may be ""
  std::string cpu_name;    // the processor model; "" when unknown
  int cpu_mhz = -1;        // clock in MHz; -1 when unknown
  long long ram_mb = -1;   // physical memory in MB; -1 when unknown
};

// Reads the description of the running machine (uname, /etc/os-release,
// /proc/cpuinfo, sysconf). Fields it cannot read keep their "unknown" values.
PLAT_sysinfo PLAT_get_sysinfo();

// The system version as the Mac numbers it (0x1048 for 10.4.8) through out;
// 0 on success. This system has none, so it fails unless a test put its own
// answer in place with PLAT_system_version_use (null restores the failure).
int PLAT_system_version(int* out);
void PLAT_system_version_use(int (*answer)(int* out));
