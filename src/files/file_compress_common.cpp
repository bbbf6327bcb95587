#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <vector>
#include <zlib.h>
#include "core/globs.h"
#include "files/file_compress_int.h"
#include "files/file_errors.h"
#include "files/file_inside.h"
#include "files/file_paths.h"

void ARC_log_entry_failure(const char* what, int code, int line, const std::string& path) {
  xer_group() << what << " failed with error " << code << ". file = " << COMPRESS_UNIT << " line = " << line
              << ". inFile=" << path << ".\n";
}

int ARC_check_entry(const std::string& root, const std::string& name, const std::string& dest) {
  if (name.empty() || name[0] == '/') return name.empty() ? 0 : EINVAL;
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return EINVAL;
    start = end + 1;
  }
  const int err = inside_check(root, dest, inside_entry);
  return err == ELOOP ? EINVAL : err;
}

static uint64_t le64(const unsigned char* p) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; i--) v = v << 8 | p[i];
  return v;
}

arc_entry_sizes ARC_stated_sizes(unzFile z, const unz_file_info64& info) {
  arc_entry_sizes s = {info.uncompressed_size, info.compressed_size, false};
  const bool usize_in_extra = info.uncompressed_size == 0xFFFFFFFFu;
  const bool csize_in_extra = info.compressed_size == 0xFFFFFFFFu;
  if ((!usize_in_extra && !csize_in_extra) || info.size_file_extra == 0) return s;
  std::vector<unsigned char> extra(info.size_file_extra);
  if (unzGetCurrentFileInfo64(z, nullptr, nullptr, 0, extra.data(), extra.size(), nullptr, 0) != UNZ_OK) return s;
  for (size_t p = 0; p + 4 <= extra.size();) {
    const size_t id = extra[p] | extra[p + 1] << 8, len = extra[p + 2] | extra[p + 3] << 8;
    const size_t end = p + 4 + len < extra.size() ? p + 4 + len : extra.size();
    if (id == 1) {
      size_t q = p + 4;
      if (usize_in_extra && q + 8 <= end) {
        s.uncompressed = le64(&extra[q]);
        q += 8;
      }
      if (csize_in_extra && q + 8 <= end) s.compressed = le64(&extra[q]);
      break;
    }
    p += 4 + len;
  }
  s.lost = s.uncompressed != info.uncompressed_size || s.compressed != info.compressed_size;
  return s;
}

int ARC_read_entry(unzFile z, const unz_file_info64& info, uint64_t max_size, int too_big, std::string& out) {
  const arc_entry_sizes sizes = ARC_stated_sizes(z, info);
  if (sizes.uncompressed > max_size) return too_big;
  if (sizes.lost && sizes.compressed > 0xFFFFFFFFu) return err_zip_short_read;
  int err = unzOpenCurrentFile(z);
  if (err != UNZ_OK) return err;
  out.resize(sizes.uncompressed);
  uint64_t got = 0;
  int n = 1;
  while (got < out.size() && (n = unzReadCurrentFile(z, out.data() + got, (unsigned)(out.size() - got))) > 0) got += n;
  err = got < out.size() ? (int)err_zip_short_read : 0;
  int close_err = unzCloseCurrentFile(z);
  if (!err && close_err == UNZ_OK && sizes.lost && crc32(0, reinterpret_cast<const Bytef*>(out.data()), out.size()) != info.crc)
    close_err = UNZ_CRCERROR;
  return err ? err : close_err;
}

arc_out_file::~arc_out_file() { discard(); }

int arc_out_file::open(const std::string& d) {
  static std::atomic<unsigned> serial{0};
  discard();
  dest = d;
  std::string folder = dest.substr(0, dest.rfind('/') + 1);
  for (int attempt = 0; attempt < 100; attempt++) {
    tmp = ARC_unpack_temp_name(folder, serial++);
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      written = 0;
      if (want_md5) MD5Init(&md5);
      return 0;
    }
    if (errno != EEXIST) break;
  }
  int err = errno;
  tmp.clear();
  return err;
}

void arc_out_file::expect_md5(const std::string* want) {
  want_md5 = want;
  if (want_md5) MD5Init(&md5);
}

int arc_out_file::write(const void* bytes, size_t n) {
  const char* p = static_cast<const char*>(bytes);
  // Digested here, while the bytes are at hand, so that checking costs no
  // second read of the file.
  if (want_md5) MD5UpdateWide(&md5, reinterpret_cast<const unsigned char*>(p), (unsigned)n);
  while (n > 0) {
    ssize_t w = ::write(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return w < 0 && errno ? errno : EIO;
    p += w;
    n -= w;
    written += w;
  }
  return 0;
}

int arc_out_file::commit(int mode, const time_t* when) {
  int err = 0;
  if (mode >= 0 && fchmod(fd, mode) != 0) err = errno;
  if (!err && when) {
    struct timespec ts[2] = {{*when, 0}, {*when, 0}};
    if (futimens(fd, ts) != 0) err = -1;
  }
  // A full disk or a failed network write can first show at close.
  if (close(fd) != 0 && !err) err = errno ? errno : EIO;
  fd = -1;
  if (!err && want_md5) {
    MD5Final(&md5);
    if (MD5_hex(md5) != *want_md5) err = err_content_mismatch;
  }
  if (!err && rename(tmp.c_str(), dest.c_str()) != 0) err = errno;
  if (err) {
    discard();
    return err;
  }
  tmp.clear();
  return 0;
}

void arc_out_file::discard() {
  if (fd >= 0) close(fd);
  fd = -1;
  if (!tmp.empty()) unlink(tmp.c_str());
  tmp.clear();
}
