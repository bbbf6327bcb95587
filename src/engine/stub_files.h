// Stand-ins for units of the files subsystem that are not in this tree yet;
// same names and signatures as theirs. Removed when the real units arrive.
#pragma once
#include <string>

// Paths.
void get_path_with_path(std::string& out, const std::string& in);
void get_file_with_path(std::string& out, const std::string& in);
// File operations.
int file_exists(const std::string& path);
int dir_exists(const std::string& path);
int is_sim_link(const std::string& path, std::string* target);
int make_file_executable(const std::string& path);
int make_folder(const std::string& path);
int delete_file(const std::string& path);
int rename_file(const std::string& folder, const std::string& old_name, const std::string& new_name);
int copy_file(const std::string& src, const std::string& dst);
// Result-code sentences and translation.
std::string error_str(int code);
std::string UTL_translate_string(const std::string& text, int table);
// Archives and digests: not available here yet, every call fails.
int calc_file_md5(const std::string& path, std::string& digest);
int zip_to_file(const std::string& archive, const std::string& folder, std::string* name, int rename);
int p7z_to_file(const std::string& archive, const std::string& folder, std::string* name, int rename);
