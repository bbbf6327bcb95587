// What the zip and 7z code shares: the unit named by its log lines, the guard
// that keeps entries inside their folder, reading a small entry whole, and the
// output file that appears only when complete.
#pragma once
#include <stdint.h>
#include <sys/types.h>
#include <time.h>
#include <string>
#include <unzip.h>
#include "files/md5.h"

#define COMPRESS_UNIT "RUvozuz/Files/FILE_compress"

// Logs "<what> failed with error <code>. file = <unit> line = <line>.
// inFile=<path>." as one line.
void ARC_log_entry_failure(const char* what, int code, int line, const std::string& path);

// 0 when an entry named name may be written at dest, the full path the
// unpacker will use for it (letter case repaired already, so that the check
// and the write name the same file): name is not absolute and has no ".."
// component, and dest stays inside root by file_inside's rule (its last
// component, which the entry replaces, may be a link). Else EINVAL, or the
// system's code when dest cannot be looked at.
int ARC_check_entry(const std::string& root, const std::string& name, const std::string& dest);

// The sizes of an entry as its zip64 extra field states them. The zip library
// of this system finds that field but, on 64-bit machines, keeps the 32-bit
// placeholders (0xFFFFFFFF) in their place; Info-ZIP writes such entries for
// large files and whenever it streams ("zip -fz", input from a pipe). The
// library then reads at most 0xFFFFFFFF bytes and cannot check the CRC.
struct arc_entry_sizes {
  uint64_t uncompressed, compressed;
  bool lost;  // the library's sizes differ from the stated ones
};
arc_entry_sizes ARC_stated_sizes(unzFile z, const unz_file_info64& info);

// Reads the current entry of z whole into out: 0, 20002 when it yields fewer
// bytes than stated or cannot be read, or the library's code from opening or
// closing it (-105 for a CRC mismatch, checked here when the library cannot).
// Entries over max_size are not read: too_big is returned.
int ARC_read_entry(unzFile z, const unz_file_info64& info, uint64_t max_size, int too_big, std::string& out);

// The hidden name, in folder (ending in '/'), of this process's serial-th
// file being extracted: ".duv-unpack-<pid>-<serial>".
std::string ARC_unpack_temp_name(const std::string& folder, unsigned serial);

// A file being extracted: written under a hidden name in its folder and
// renamed to its destination only by commit, so a failed entry leaves no
// partial file and keeps whatever was at the destination. With an expected
// digest, the bytes are digested as they are written and commit refuses a
// file whose digest differs.
class arc_out_file {
 public:
  arc_out_file() = default;
  ~arc_out_file();  // discards the file unless committed
  arc_out_file(const arc_out_file&) = delete;
  arc_out_file& operator=(const arc_out_file&) = delete;

  // Creates the hidden file beside dest (a full path); 0 or errno.
  int open(const std::string& dest);
  // Digests what write appends from here on; commit then requires want (32
  // lowercase hex digits, as the directory file gives them). Null: no check.
  void expect_md5(const std::string* want);
  // Appends n bytes; 0, or errno (EIO when the system names none).
  int write(const void* bytes, size_t n);
  // Bytes written so far.
  uint64_t size() const { return written; }
  // Sets the permission bits (mode >= 0) and both times (when given), closes
  // the file and moves it to its destination. 0, errno, or -1 when the times
  // could not be set, err_content_mismatch when the digest differs from the
  // expected one. The file is discarded on failure.
  int commit(int mode, const time_t* when);
  // Removes the file.
  void discard();

 private:
  int fd = -1;
  uint64_t written = 0;
  std::string tmp, dest;
  const std::string* want_md5 = nullptr;
  MD5Context md5;
};
