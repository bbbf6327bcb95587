#include "engine/stub_files.h"
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

void get_path_with_path(std::string& out, const std::string& in) {
  const size_t slash = in.size() < 2 ? (in == "/" ? 0 : std::string::npos) : in.rfind('/', in.size() - 2);
  out = slash == std::string::npos ? std::string() : in.substr(0, slash + 1);
}

void get_file_with_path(std::string& out, const std::string& in) {
  const size_t slash = in.size() < 2 ? std::string::npos : in.rfind('/', in.size() - 2);
  out = slash == std::string::npos ? in : in.substr(slash + 1);
}

static std::string strip_slash(const std::string& p) {
  return (p.size() > 1 && p.back() == '/') ? p.substr(0, p.size() - 1) : p;
}

int file_exists(const std::string& path) {
  struct stat st;
  return (stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ? 1 : 0;
}

int dir_exists(const std::string& path) {
  struct stat st;
  return (stat(strip_slash(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) ? 1 : 0;
}

int is_sim_link(const std::string& path, std::string* target) {
  char buf[500];
  const ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
  if (n < 0) return 0;
  if (target) target->assign(buf, n);
  return 1;
}

int make_file_executable(const std::string& path) { return chmod(path.c_str(), 0755) ? errno : 0; }
int make_folder(const std::string& path) { return mkdir(strip_slash(path).c_str(), 0755) ? errno : 0; }

int delete_file(const std::string& path) {
  if (path.empty()) return ENOENT;
  if (path.back() == '/') return rmdir(strip_slash(path).c_str()) ? errno : 0;
  return unlink(path.c_str()) ? errno : 0;
}

int rename_file(const std::string& folder, const std::string& old_name, const std::string& new_name) {
  return rename((folder + old_name).c_str(), (folder + new_name).c_str()) ? errno : 0;
}

int copy_file(const std::string& src, const std::string& dst) {
  const int in = open(src.c_str(), O_RDONLY);
  if (in < 0) return ENOENT;
  const int out = open(dst.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (out < 0) {
    close(in);
    return ENOENT;
  }
  char buf[65536];
  int code = 0;
  for (;;) {
    const ssize_t n = read(in, buf, sizeof buf);
    if (n <= 0) {
      if (n < 0) code = errno;
      break;
    }
    if (write(out, buf, n) != n) {
      code = errno ? errno : EIO;
      break;
    }
  }
  close(in);
  if (close(out) && !code) code = errno;
  return code;
}

std::string error_str(int code) { return code ? strerror(code) : ""; }
std::string UTL_translate_string(const std::string& text, int) { return text; }
int calc_file_md5(const std::string&, std::string&) { return 20006; }
int zip_to_file(const std::string&, const std::string&, std::string*, int) { return ENOSYS; }
int p7z_to_file(const std::string&, const std::string&, std::string*, int) { return ENOSYS; }

#include <sys/mman.h>

xmap_class::xmap_class(const std::string& p, int, int) : path(p) {
  fd = open(p.c_str(), O_RDONLY);
  if (fd < 0) return;
  struct stat st;
  if (fstat(fd, &st) || st.st_size <= 0) return;
  void* m = mmap(nullptr, st.st_size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (m == MAP_FAILED) return;
  mem_beg = mem_cur = (char*)m;
  mem_end = mem_beg + st.st_size;
}

xmap_class::~xmap_class() {
  if (mem_beg) munmap(mem_beg, mem_end - mem_beg);
  if (fd >= 0) close(fd);
}

static bool blank(char c) { return c == ' ' || c == '\t'; }
static bool line_end(char c) { return c == 0 || c == '\r' || c == '\n'; }

int xmap_class::check_file(int, const int* versions, const char* type_word, std::string* rest) {
  if (!mem_beg) return 0;
  mem_cur = mem_beg;
  if (mem_end - mem_beg >= 4 && (unsigned char)mem_beg[0] == 0xEF && (unsigned char)mem_beg[1] == 0xBB &&
      (unsigned char)mem_beg[2] == 0xBF)
    mem_cur += 3;
  const char letter = mem_cur < mem_end ? *mem_cur++ : 0;
  TXT_str_scan_eoln(nullptr);
  if (letter != 'A' && letter != 'I') return 0;
  const int version = TXT_int_scan();
  TXT_str_scan_eoln(rest);
  bool ok = false;
  for (const int* v = versions; *v; ++v) ok = ok || (*v == version);
  if (!ok) return 0;
  if (!type_word) return version;
  if (!TXT_str_scan_match(type_word, 1, 0)) return 0;
  TXT_str_scan_eoln(nullptr);
  return version;
}

int xmap_class::TXT_str_scan_match(const char* word, int may_end_line, char terminator) {
  while (mem_cur < mem_end && blank(*mem_cur)) ++mem_cur;
  char* p = mem_cur;
  const char* w = word;
  while (*w && p < mem_end && *p == *w) ++p, ++w;
  if (!*w && ((p < mem_end && blank(*p)) || (may_end_line && (p == mem_end || line_end(*p))) ||
              (terminator && p < mem_end && *p == terminator))) {
    mem_cur = p;
    return 1;
  }
  return 0;
}

void xmap_class::TXT_str_scan_eoln(std::string* out) {
  while (mem_cur < mem_end && blank(*mem_cur)) ++mem_cur;
  char* start = mem_cur;
  while (mem_cur < mem_end && !line_end(*mem_cur)) ++mem_cur;
  if (out) out->assign(start, mem_cur);
  while (mem_cur < mem_end && (line_end(*mem_cur) || blank(*mem_cur))) ++mem_cur;
}

void xmap_class::TXT_str_scan_space(std::string* out) {
  while (mem_cur < mem_end && blank(*mem_cur)) ++mem_cur;
  char* start = mem_cur;
  while (mem_cur < mem_end && !blank(*mem_cur) && !line_end(*mem_cur)) ++mem_cur;
  if (out) out->assign(start, mem_cur);
}

int xmap_class::TXT_int_scan() {
  int sign = 1;
  while (mem_cur < mem_end && blank(*mem_cur)) ++mem_cur;
  if (mem_cur < mem_end && *mem_cur == '-') sign = -1, ++mem_cur;
  if (mem_cur < mem_end && *mem_cur == '+') sign = 1, ++mem_cur;
  unsigned value = 0;
  while (mem_cur < mem_end && !blank(*mem_cur) && !line_end(*mem_cur)) value = value * 10 + (*mem_cur++ - '0');
  return (int)(value * (unsigned)sign);
}
