// Writing one-file zip archives.
#include <errno.h>
#include <limits.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <zip.h>
#include "core/globs.h"
#include "core/utl_localtime.h"
#include "files/file_compress.h"
#include "files/file_compress_fork.h"
#include "files/file_compress_int.h"
#include "files/file_errors.h"
#include "files/file_paths.h"
#include "files/xmap.h"
#include "platform/plat_forks.h"

// "Made by" Unix, zip 3.0: Info-ZIP then reads the mode from the top 16 bits
// of the external attributes, so links and permission bits survive.
static const uLong kMadeByUnix = 0x031E;
// General-purpose flag bit 11: the entry name is UTF-8.
static const uLong kFlagUtf8 = 0x0800;
// A link's external attributes: link type with mode 0755.
static const uLong kLinkAttributes = 0xA1ED0000;
// Largest piece handed to the zip library at once (its length is 32-bit).
static const size_t kWriteChunk = 1u << 30;

static int open_entry(zipFile zf, const std::string& name, const zip_fileinfo* info, int method, int zip64) {
  return zipOpenNewFileInZip4_64(zf, name.c_str(), info, nullptr, 0, nullptr, 0, nullptr, method,
                                 method ? Z_DEFAULT_COMPRESSION : 0, 0, -MAX_WBITS, DEF_MEM_LEVEL,
                                 Z_DEFAULT_STRATEGY, nullptr, 0, kMadeByUnix, kFlagUtf8, zip64);
}

static int write_all(zipFile zf, const char* p, size_t n) {
  while (n > 0) {
    const unsigned part = n > kWriteChunk ? kWriteChunk : (unsigned)n;
    int err = zipWriteInFileInZip(zf, p, part);
    if (err != ZIP_OK) return err;
    p += part;
    n -= part;
  }
  return ZIP_OK;
}

// Writes one entry whole; 0 or the zip library's code.
static int add_entry(zipFile zf, const std::string& name, const zip_fileinfo* info, int method, const char* p,
                     size_t n) {
  int err = open_entry(zf, name, info, method, n >= 0xFFFFFFFFu);
  if (err == ZIP_OK) err = write_all(zf, p, n);
  if (err == ZIP_OK) return zipCloseFileInZip(zf);
  zipCloseFileInZip(zf);
  return err;
}

static int link_to_zip(zipFile zf, const std::string& entry, const std::string& text) {
  zip_fileinfo info = {};
  info.external_fa = kLinkAttributes;
  return add_entry(zf, entry, &info, 0, text.data(), text.size());
}

// The file's entry and, when it has a resource fork, its companion entry.
static int file_entries_to_zip(zipFile zf, const std::string& source, const std::string& entry, const char* bytes,
                               size_t n, int& line) {
  zip_fileinfo info = {};
  struct stat st;
  if (lstat(source.c_str(), &st) == 0) {
    struct tm tm;
    UTL_time_to_local(st.st_mtime, tm);
    info.tmz_date.tm_sec = tm.tm_sec;
    info.tmz_date.tm_min = tm.tm_min;
    info.tmz_date.tm_hour = tm.tm_hour;
    info.tmz_date.tm_mday = tm.tm_mday;
    info.tmz_date.tm_mon = tm.tm_mon;
    info.tmz_date.tm_year = tm.tm_year + 1900;
    info.external_fa = (uLong)(st.st_mode & 0xFFFF) << 16;
  }
  line = __LINE__;
  int err = add_entry(zf, entry, &info, Z_DEFLATED, bytes, n);
  if (err) return err;

  std::string fork;
  line = __LINE__;
  err = PLAT_read_fork(source, fork);
  if (err == ENODATA || PLAT_fork_refused(err)) return 0;
  if (err) return err;
  line = __LINE__;
  if (fork.size() >= 0x80000000u) return err_zip_fork_too_big;
  if (fork.empty()) return 0;
  unsigned char finder[32];
  line = __LINE__;
  err = PLAT_read_finder_info(source, finder);
  if (err) return err;
  const std::string companion = ARC_build_companion(fork, finder);
  line = __LINE__;
  return add_entry(zf, "__MACOSX/._" + entry, nullptr, Z_DEFLATED, companion.data(), companion.size());
}

int file_to_zip(const std::string& source_in, const std::string& archive_in) {
  std::string source = source_in, archive = archive_in;
  set_path_to_full(source);
  set_path_to_full(archive);
  const std::string entry = source.substr(source.rfind('/') + 1);
  int err = 0, line = 0;
  struct stat st;
  char target[PATH_MAX];
  ssize_t target_len;
  if (lstat(source.c_str(), &st) != 0) {
    err = errno;
    line = __LINE__;
  } else if ((target_len = readlink(source.c_str(), target, sizeof target - 1)) >= 0) {
    zipFile zf = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE);
    line = __LINE__;
    if (!zf) {
      err = err_zip_create;
    } else {
      err = link_to_zip(zf, entry, std::string(target, target_len));
      int close_err = zipClose(zf, nullptr);
      if (!err) err = close_err;
    }
  } else {
    xmap_class map(source, 0, 0);
    // An empty file maps to nothing but is still a file to pack.
    const bool empty_file = !map.mem_beg && S_ISREG(st.st_mode) && st.st_size == 0;
    zipFile zf = nullptr;
    line = __LINE__;
    if (!map.mem_beg && !empty_file) {
      err = err_file_open_read;
    } else if (!(zf = zipOpen64(archive.c_str(), APPEND_STATUS_CREATE))) {
      err = err_zip_create;
    } else {
      err = file_entries_to_zip(zf, source, entry, map.mem_beg, map.mem_beg ? map.mem_end - map.mem_beg : 0, line);
      int close_err = zipClose(zf, nullptr);
      if (!err && close_err) {
        err = close_err;
        line = __LINE__;
      }
    }
  }
  if (err) xer_group() << "file_to_zip failed with error " << err << ".\nfile = " << COMPRESS_UNIT << " line = " << line << "\n";
  return err;
}
