// Result codes of the file, archive, digest and network helpers, and the
// English sentence for each. A code is 0 for success, a positive errno value
// of this system, a negative Mac OS code kept from files made elsewhere, or one
// of the program's own codes below.
#pragma once
#include <string>

// The program's own result codes.
enum {
  err_zip_open = 20001,        // a zip or 7z archive could not be opened
  err_zip_short_read = 20002,  // an archive entry read short
  err_zip_create = 20003,      // a zip archive could not be created
  err_zip_write = 20004,       // an archive's output could not be written
  err_zip_fork_too_big = 20005,
  err_file_open_read = 20006,  // a file to digest or compress could not be opened
  err_net_reconnect = 20007,
  err_net_bad_state = 20008,
  err_net_alloc = 20009,       // no connection could be allocated
  err_net_write_file = 20010,
  err_net_no_server = 20011,   // the server's address could not be found
  err_zip_fork_header = 20012, // a resource fork in a zip has a bad header
  err_not_mz = 20013,          // not a Windows executable (no 'MZ')
  err_not_pe = 20014,          // no 'PE' header where the executable points
  err_content_mismatch = 20015, // an unpacked file's digest is not the one expected
  err_net_header_too_long = 20016 // a response's header block passed its limit
};

// The sentence for a result code: "" for 0, the table's text for a known code,
// else "Error code %d". Safe on any thread.
std::string error_str(int code);
