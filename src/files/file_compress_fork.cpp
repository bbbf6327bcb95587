// Mac resource forks and Finder information in zip archives: AppleDouble
// companion entries ("__MACOSX/._name") on reading and on writing.
#include <string.h>
#include <sys/stat.h>
#include "core/globs.h"
#include "files/file_compress.h"
#include "files/file_compress_fork.h"
#include "files/file_compress_int.h"
#include "files/file_errors.h"
#include "files/file_paths.h"
#include "platform/plat_forks.h"

// The AppleDouble magic and version, then 16 bytes of filler: what a reader
// requires exactly.
const unsigned char kAppleHeader[24] = {0x00, 0x05, 0x16, 0x07, 0x00, 0x02, 0x00, 0x00};

// The fixed start of every companion we write: the header, two entries, the
// Finder information (id 9) at 50 for 32 bytes and the resource fork (id 2) at
// 82; the fork's length follows.
const unsigned char kMagicCrap[46] = {
    0x00, 0x05, 0x16, 0x07, 0x00, 0x02, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0,
    0x00, 0x02, 0x00, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x32, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x02,
    0x00, 0x00, 0x00, 0x52};

static uint32_t be32(const unsigned char* p) { return (uint32_t)p[0] << 24 | p[1] << 16 | p[2] << 8 | p[3]; }

static void put_be32(std::string& s, uint32_t v) {
  s += (char)(v >> 24);
  s += (char)(v >> 16);
  s += (char)(v >> 8);
  s += (char)v;
}

std::string ARC_build_companion(const std::string& fork, const unsigned char finder_info[16]) {
  std::string out(reinterpret_cast<const char*>(kMagicCrap), sizeof kMagicCrap);
  put_be32(out, (uint32_t)fork.size());
  out.append(reinterpret_cast<const char*>(finder_info), 16);
  out.append(16, '\0');
  out += fork;
  return out;
}

// 'folder/._name' belongs to 'folder/name': the "._" that starts the last
// component goes, whatever else the path holds.
static std::string data_file_of(const std::string& path) {
  size_t leaf = path.rfind('/') + 1;
  if (path.compare(leaf, 2, "._") != 0) return std::string();
  return path.substr(0, leaf) + path.substr(leaf + 2);
}

static int fork_failed(int code, int line, const std::string& path) {
  ARC_log_entry_failure("Unzip RF", code, line, path);
  return code;
}

int unzip_resource_fork(unzFile z, std::string path, unz_file_info64_s& info) {
  set_path_to_full(path);
  const std::string data_file = data_file_of(path);
  std::string bytes;
  int err = ARC_read_entry(z, info, 0x7FFFFFFF, err_zip_fork_too_big, bytes);
  if (err) return fork_failed(err, __LINE__, data_file);
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  if (size < 26 || memcmp(p, kAppleHeader, sizeof kAppleHeader) != 0)
    return fork_failed(err_zip_fork_header, __LINE__, data_file);

  const unsigned char* finder = nullptr;
  const unsigned char* fork = nullptr;
  size_t fork_len = 0;
  const int count = (int16_t)(p[24] << 8 | p[25]);
  for (int i = 0; i < count; i++) {
    const size_t at = 26 + 12 * (size_t)i;
    if (at + 12 > size) return fork_failed(err_zip_fork_header, __LINE__, data_file);
    const uint32_t id = be32(p + at), off = be32(p + at + 4), len = be32(p + at + 8);
    // An entry that points past the companion's bytes is as bad as a bad header.
    if ((uint64_t)off + len > size) return fork_failed(err_zip_fork_header, __LINE__, data_file);
    if (id == 9 && len == 32) finder = p + off;
    if (id == 2) {
      fork = p + off;
      fork_len = len;
    }
  }

  // A companion without a "._" name, or without its data file, has nothing to
  // apply to.
  struct stat st;
  if (data_file.empty() || lstat(data_file.c_str(), &st) != 0) return 0;

  int refused = 0;
  if (finder) {
    unsigned char info32[32] = {};
    memcpy(info32, finder, 16);
    err = PLAT_write_finder_info(data_file, info32);
    if (PLAT_fork_refused(err)) refused = err;
    else if (err) return fork_failed(err, __LINE__, data_file);
  }
  if (fork && fork_len > 0 && !refused) {
    err = PLAT_write_fork(data_file, std::string(reinterpret_cast<const char*>(fork), fork_len));
    if (PLAT_fork_refused(err)) refused = err;
    else if (err) return fork_failed(err, __LINE__, data_file);
  }
  if (refused)
    xer_group() << "Skipped the resource fork and Finder information of " << data_file
                << ": its file system keeps no extended attributes for it (error " << refused << ").\n";
  return 0;
}
