// Plain file-system operations. Paths are made full with set_path_to_full
// first. Operations that answer a question return 1 or 0; the others return a
// result code: 0 success, else a code error_str can name (a positive errno
// value, or one of the program's own codes). None of them logs or alerts.
#pragma once
#include <string>

// 1 when path exists (links followed) and is not a folder.
int file_exists(const std::string& path);
// 1 when path (one trailing '/' ignored) exists and is a folder.
int dir_exists(const std::string& path);
// The file's size (low 32 bits, signed), or -1 when missing or a folder.
int APL_file_size(const std::string& path);
// 1 when path is a symbolic link, its text then stored in target (when given).
int is_sim_link(const std::string& path, std::string* target);
// The whole text of the link at full_path, a path used as it is (no case
// repair): 0, or readlink's errno (EINVAL when it is no link).
int read_link_text(const std::string& full_path, std::string& text);
// Sets the permission bits to rwxr-xr-x.
int make_file_executable(const std::string& path);
// Creates one folder (parents must exist); EEXIST when it is there already.
int make_folder(const std::string& path);
// Removes a file or link; with a trailing '/', an empty folder. ENOENT for "".
int delete_file(const std::string& path);
// Renames folder+old_name to folder+new_name.
int rename_file(const std::string& folder, const std::string& old_name, const std::string& new_name);
// Copies a file's bytes and permission bits, replacing the destination (a
// read-only one too). ENOENT when either file cannot be opened.
int copy_file(const std::string& src, const std::string& dst);
// Copies a file, or a folder tree without its entries whose names begin with
// '.'; stops at the first failure.
int copy_file_recursive(const std::string& src, const std::string& dst);
// Deletes a folder (path ending in '/') and everything below it; stops at the
// first failure, leaving the rest.
int recursive_delete_folder(const std::string& folder);
// The total and free bytes of the volume holding path's folder (path itself
// need not exist); each output only when its pointer is given.
int get_free_space(const std::string& path, unsigned long long* total, unsigned long long* free_bytes);
// Sets the large-address-aware flag of a Windows executable in place;
// err_not_mz or err_not_pe when the file is no such executable.
int make_file_large_address_aware(const std::string& path);
// 1 when a make_folder result is a real failure (not 0, not "exists").
int show_make_dir_err(int code);
// Whether a delete_file result deserves a report: never (0).
int show_del_err(int code);
