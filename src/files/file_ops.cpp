#include "files/file_ops.h"
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>
#include "files/file_errors.h"
#include "files/file_list.h"
#include "files/file_paths.h"

namespace {

std::string full_of(const std::string& path) {
  std::string p = path;
  set_path_to_full(p);
  return p;
}

std::string strip_one_slash(const std::string& path) {
  if (!path.empty() && path.back() == '/') return path.substr(0, path.size() - 1);
  return path;
}

int close_checked(int fd) {
  if (close(fd) != 0) return errno ? errno : EIO;
  return 0;
}

// Writes all of len bytes; 0 or errno.
int write_all(int fd, const char* p, size_t len) {
  while (len > 0) {
    ssize_t n = write(fd, p, len);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return EIO;
    p += n;
    len -= static_cast<size_t>(n);
  }
  return 0;
}

// Every entry of a folder but "." and "..", dot-files included, each with
// whether the entry itself (not what a link leads to) is a folder.
bool list_all(const std::string& full_folder, std::vector<std::pair<std::string, bool>>& out) {
  DIR* d = opendir(full_folder.c_str());
  if (!d) return false;
  while (struct dirent* e = readdir(d)) {
    std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    bool is_folder = e->d_type == DT_DIR;
    if (e->d_type == DT_UNKNOWN) {
      struct stat st;
      is_folder = lstat((full_folder + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    out.emplace_back(name, is_folder);
  }
  closedir(d);
  return true;
}

uint16_t get16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t get32(const unsigned char* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24); }

}  // namespace

int file_exists(const std::string& path) {
  struct stat st;
  return stat(full_of(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

int dir_exists(const std::string& path) {
  struct stat st;
  return stat(full_of(strip_one_slash(path)).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int APL_file_size(const std::string& path) {
  struct stat st;
  if (stat(full_of(path).c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return -1;
  return static_cast<int>(static_cast<uint32_t>(st.st_size));
}

int read_link_text(const std::string& full_path, std::string& text) {
  // Grow the buffer until the whole link text fits: a cut text names another file.
  std::vector<char> buf(512);
  for (;;) {
    ssize_t n = readlink(full_path.c_str(), buf.data(), buf.size());
    if (n < 0) return errno;
    if (static_cast<size_t>(n) < buf.size()) {
      text.assign(buf.data(), n);
      return 0;
    }
    buf.resize(buf.size() * 2);
  }
}

int is_sim_link(const std::string& path, std::string* target) {
  std::string text;
  if (read_link_text(full_of(path), text) != 0) return 0;
  if (target) *target = std::move(text);
  return 1;
}

int make_file_executable(const std::string& path) {
  return chmod(full_of(path).c_str(), 0755) == 0 ? 0 : errno;
}

int make_folder(const std::string& path) {
  return mkdir(full_of(strip_one_slash(path)).c_str(), 0755) == 0 ? 0 : errno;
}

int delete_file(const std::string& path) {
  if (path.empty()) return ENOENT;
  std::string full = full_of(path);
  if (!full.empty() && full.back() == '/') {
    full.pop_back();
    return rmdir(full.c_str()) == 0 ? 0 : errno;
  }
  return unlink(full.c_str()) == 0 ? 0 : errno;
}

int rename_file(const std::string& folder, const std::string& old_name, const std::string& new_name) {
  return rename(full_of(folder + old_name).c_str(), full_of(folder + new_name).c_str()) == 0 ? 0 : errno;
}

int copy_file(const std::string& src, const std::string& dst) {
  const std::string from = full_of(src), to = full_of(dst);
  int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return ENOENT;
  int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (out < 0 && (errno == EACCES || errno == EPERM)) {
    // A read-only destination is replaced, not kept: the copy is what was asked for.
    struct stat st;
    if (lstat(to.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && unlink(to.c_str()) == 0)
      out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  }
  if (out < 0) {
    close(in);
    return ENOENT;
  }
  // One buffer per thread: the copy and unpack threads may copy at once.
  thread_local std::vector<char> buf;
  buf.resize(65536);
  int result = 0;
  for (;;) {
    ssize_t n = read(in, buf.data(), buf.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      result = errno;
      break;
    }
    if (n == 0) break;
    result = write_all(out, buf.data(), static_cast<size_t>(n));
    if (result) break;
  }
  close(in);
  // A full disk may show only when the last blocks reach it.
  int closed = close_checked(out);
  if (!result) result = closed;
  struct stat st;
  if (stat(from.c_str(), &st) == 0) chmod(to.c_str(), st.st_mode & 0777);
  return result;
}

int copy_file_recursive(const std::string& src, const std::string& dst) {
  if (!dir_exists(src)) return copy_file(src, dst);
  const std::string from = src.back() == '/' ? src : src + "/";
  const std::string to = dst.empty() || dst.back() != '/' ? dst + "/" : dst;
  make_folder(to);
  std::vector<std::string> names;
  std::vector<int> kinds;
  opensave_getitems(from, 0, names, kinds);
  for (const std::string& name : names) {
    int r = copy_file_recursive(from + name, to + name);
    if (r) return r;
  }
  return 0;
}

int recursive_delete_folder(const std::string& folder) {
  const std::string dir = !folder.empty() && folder.back() == '/' ? folder : folder + "/";
  // Every entry goes, dot-files and folders with dotted names included: a
  // cancelled install must leave nothing behind.
  std::vector<std::pair<std::string, bool>> entries;
  list_all(full_of(dir), entries);
  for (const auto& [name, is_folder] : entries) {
    int r = is_folder ? recursive_delete_folder(dir + name + "/") : delete_file(dir + name);
    if (r) return r;
  }
  return delete_file(dir);
}

int get_free_space(const std::string& path, unsigned long long* total, unsigned long long* free_bytes) {
  std::string folder;
  get_path_with_path(folder, full_of(path));
  if (folder.size() > 1) folder.pop_back();
  if (folder.empty()) return ENOENT;
  struct statvfs vs;
  if (statvfs(folder.c_str(), &vs) != 0) return errno;
  if (total) *total = static_cast<unsigned long long>(vs.f_blocks) * vs.f_frsize;
  if (free_bytes) *free_bytes = static_cast<unsigned long long>(vs.f_bavail) * vs.f_frsize;
  return 0;
}

int make_file_large_address_aware(const std::string& path) {
  int fd = open(full_of(path).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return errno;
  int result = 0;
  unsigned char dos[64], coff[24];
  off_t at = 0;
  if (read(fd, dos, sizeof dos) != sizeof dos) {
    result = EIO;
  } else if (get16(dos) != 0x5A4D) {
    result = err_not_mz;
  } else {
    at = static_cast<off_t>(get32(dos + 60));
    if (lseek(fd, at, SEEK_SET) < 0) result = errno;
  }
  if (!result) {
    if (read(fd, coff, sizeof coff) != sizeof coff)
      result = EIO;
    else if (get32(coff) != 0x00004550)
      result = err_not_pe;
  }
  if (!result) {
    uint16_t flags = get16(coff + 22) | 0x0020;
    coff[22] = flags & 0xFF;
    coff[23] = flags >> 8;
    if (lseek(fd, at, SEEK_SET) < 0)
      result = errno;
    else if (write(fd, coff, sizeof coff) != sizeof coff)
      result = EIO;
  }
  int closed = close_checked(fd);
  return result ? result : closed;
}

int show_make_dir_err(int code) { return code != 0 && code != EEXIST && code != -48; }

int show_del_err(int) { return 0; }
