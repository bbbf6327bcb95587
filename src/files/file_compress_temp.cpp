// The names of half-written extracted files, and the sweep of those that
// dead runs left behind.
#include <dirent.h>
#include <errno.h>
#include <stdlib.h>
#include <unistd.h>
#include <vector>
#include "core/globs.h"
#include "files/file_compress.h"
#include "files/file_compress_int.h"
#include "platform/plat_process.h"

static const char kTempStem[] = ".duv-unpack-";

std::string ARC_unpack_temp_name(const std::string& folder, unsigned serial) {
  return folder + kTempStem + std::to_string(getpid()) + "-" + std::to_string(serial);
}

// The process id in a name of ours ("<stem><pid>-<serial>", digits only),
// else 0.
static int pid_of_temp_name(const char* name) {
  const size_t stem = sizeof kTempStem - 1;
  if (std::string(name).compare(0, stem, kTempStem) != 0) return 0;
  const char* p = name + stem;
  char* end;
  if (*p < '1' || *p > '9') return 0;
  const long pid = strtol(p, &end, 10);
  if (*end != '-' || end[1] < '0' || end[1] > '9' || pid > 0x7FFFFFFF) return 0;
  for (const char* q = end + 1; *q; ++q)
    if (*q < '0' || *q > '9') return 0;
  return (int)pid;
}

int ARC_remove_stale_temporaries(const std::string& folder) {
  DIR* d = opendir(folder.c_str());
  if (!d) return errno;
  std::vector<std::string> stale;
  while (struct dirent* e = readdir(d)) {
    const int pid = pid_of_temp_name(e->d_name);
    if (pid && (e->d_type == DT_REG || e->d_type == DT_UNKNOWN) && !PLAT_process_alive(pid)) stale.push_back(e->d_name);
  }
  closedir(d);
  for (const std::string& name : stale) {
    const std::string path = folder + name;
    const int code = unlink(path.c_str()) == 0 ? 0 : errno;
    xer_group() << "Removed the unfinished unpack " << path << " of a run no longer alive, with result=" << code
                << ".\n";
  }
  return 0;
}
