// Stand-in for the result-code list of the error-text unit (file_errors.h):
// only the program's own codes that the archive code returns.
#pragma once

enum {
  err_zip_open = 20001,        // a zip or 7z archive could not be opened
  err_zip_short_read = 20002,  // an archive entry read short
  err_zip_create = 20003,      // a zip archive could not be created
  err_zip_write = 20004,       // an archive's output could not be written
  err_zip_fork_too_big = 20005,
  err_file_open_read = 20006,  // a file to digest or compress could not be opened
  err_zip_fork_header = 20012  // a resource fork in a zip has a bad header
};
