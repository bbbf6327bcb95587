#include "platform/plat_forks.h"
#include <errno.h>
#include <string.h>
#include <sys/xattr.h>

static const char kForkAttr[] = "user.com.apple.ResourceFork";
static const char kFinderAttr[] = "user.com.apple.FinderInfo";

int PLAT_read_fork(const std::string& path, std::string& out) {
  // The size can change between the two calls; ask again when it grew.
  for (int attempt = 0; attempt < 4; attempt++) {
    ssize_t n = lgetxattr(path.c_str(), kForkAttr, nullptr, 0);
    if (n < 0) return errno;
    out.resize(n);
    ssize_t got = lgetxattr(path.c_str(), kForkAttr, out.data(), out.size());
    if (got >= 0) {
      out.resize(got);
      return 0;
    }
    if (errno != ERANGE) return errno;
  }
  return ERANGE;
}

int PLAT_write_fork(const std::string& path, const std::string& bytes) {
  return lsetxattr(path.c_str(), kForkAttr, bytes.data(), bytes.size(), 0) == 0 ? 0 : errno;
}

int PLAT_read_finder_info(const std::string& path, unsigned char out[32]) {
  memset(out, 0, 32);
  unsigned char buf[32];
  ssize_t n = lgetxattr(path.c_str(), kFinderAttr, buf, sizeof buf);
  if (n < 0) return errno == ENODATA ? 0 : errno;
  memcpy(out, buf, n);
  return 0;
}

int PLAT_write_finder_info(const std::string& path, const unsigned char info[32]) {
  return lsetxattr(path.c_str(), kFinderAttr, info, 32, 0) == 0 ? 0 : errno;
}

int PLAT_fork_refused(int code) {
  return code == ENOTSUP || code == EPERM || code == E2BIG || code == ENOSPC;
}
