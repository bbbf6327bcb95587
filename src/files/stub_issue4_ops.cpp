#include "files/stub_issue4_ops.h"
#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>
#include "files/stub_issue4_paths.h"

int is_sim_link(const std::string& path, std::string* target) {
  std::string full = path;
  set_path_to_full(full);
  char buf[500];
  ssize_t n = readlink(full.c_str(), buf, sizeof buf - 1);
  if (n < 0) return 0;
  if (target) target->assign(buf, n);
  return 1;
}

int make_folder(const std::string& path) {
  std::string full = path;
  if (!full.empty() && full.back() == '/') full.pop_back();
  set_path_to_full(full);
  return mkdir(full.c_str(), 0755) == 0 ? 0 : errno;
}

int delete_file(const std::string& path) {
  if (path.empty()) return ENOENT;
  std::string full = path;
  set_path_to_full(full);
  if (full.back() == '/') {
    full.pop_back();
    return rmdir(full.c_str()) == 0 ? 0 : errno;
  }
  return unlink(full.c_str()) == 0 ? 0 : errno;
}

int show_make_dir_err(int code) { return code != 0 && code != EEXIST; }
