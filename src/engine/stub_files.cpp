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
