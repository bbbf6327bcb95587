// Mac resource forks and Finder information on Linux: kept beside a file as
// the extended attributes "user.com.apple.ResourceFork" and
// "user.com.apple.FinderInfo" (32 bytes, big-endian as on a Mac). Symbolic
// links are never followed: the attributes belong to the link itself.
#pragma once
#include <string>

// The file's resource fork into out; 0, ENODATA when it has none, else errno.
int PLAT_read_fork(const std::string& path, std::string& out);
// Stores bytes as the file's resource fork; 0 or errno.
int PLAT_write_fork(const std::string& path, const std::string& bytes);
// The file's 32 bytes of Finder information into out (all zero when it has
// none); 0 or errno.
int PLAT_read_finder_info(const std::string& path, unsigned char out[32]);
// Stores 32 bytes of Finder information; 0 or errno.
int PLAT_write_finder_info(const std::string& path, const unsigned char info[32]);
// 1 when errno code means the file system keeps no such attributes for this
// file (unsupported, not allowed on links, or too large for it), else 0.
int PLAT_fork_refused(int code);
