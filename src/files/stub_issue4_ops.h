// Stand-in for the file-system operations unit (file_ops.h): the few
// operations the archive code builds on. Each takes a path text and returns 0
// or errno, except is_sim_link (1 or 0) and show_make_dir_err (1 or 0).
#pragma once
#include <string>

// 1 when path is a symbolic link (target receives its text), else 0.
int is_sim_link(const std::string& path, std::string* target);
// Creates one folder (a trailing '/' is ignored) with mode 0755; 0 or errno.
int make_folder(const std::string& path);
// Removes a file or link, or an empty folder when path ends in '/'; 0 or errno
// (2 for an empty path).
int delete_file(const std::string& path);
// 1 when a make_folder result is a real failure (not 0, not EEXIST).
int show_make_dir_err(int code);
