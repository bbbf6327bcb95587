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

// The memory-mapped data-file reader, with the header check and the text
// scanners the directory reader uses.
class xmap_class {
 public:
  xmap_class(const std::string& path, int offset, int length);
  ~xmap_class();
  xmap_class(const xmap_class&) = delete;
  xmap_class& operator=(const xmap_class&) = delete;
  int check_file(int kind, const int* versions, const char* type_word, std::string* rest);
  int TXT_str_scan_match(const char* word, int may_end_line, char terminator);
  void TXT_str_scan_eoln(std::string* out);
  void TXT_str_scan_space(std::string* out);
  int TXT_int_scan();

  std::string path;
  char* mem_beg = nullptr;
  char* mem_cur = nullptr;
  char* mem_end = nullptr;
  int fd = -1;
};
