#include "engine/stub_files.h"
#include <errno.h>
#include "files/file_errors.h"

int calc_file_md5(const std::string&, std::string&) { return err_file_open_read; }
int zip_to_file(const std::string&, const std::string&, std::string*, int) { return ENOSYS; }
int p7z_to_file(const std::string&, const std::string&, std::string*, int) { return ENOSYS; }
