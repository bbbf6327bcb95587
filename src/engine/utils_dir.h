// Reading the disc set's directory file ("directory.txt", type word
// "INSTALLER", versions 840 and 900) into the file table.
#pragma once
#include <string>

class xmap_class;

// What scan_directory_file made of a file.
enum {
  dir_refused_no_file = -1,  // a FILE line names a folder, not a file
  dir_refused_outside = -2,  // a FILE line's path would leave its folder
  dir_refused_md5 = -3,      // a FILE line's MD5 is neither 32 hex digits nor "GONE"
  dir_bad_header = 2,
  dir_loaded = 3
};

// Replaces sim_info with the directory file at path (absolute, or relative
// to the root folder), fills have_cells, has_global_scenery and
// has_other_files of stg, zeroes its totals and empties deleted_files. Returns 3 when loaded, 2 when
// the header is not a directory header (the table stays empty). A missing
// file, or a line naming a path the installer must not touch, ends the
// program with a quit alert. message is not used.
int read_directory(const std::string& path, const std::string& message);
// The reader without its alerts, over an opened file: dir_loaded,
// dir_bad_header, or a dir_refused_ code with the offending path in refused
// (the table is then empty).
int scan_directory_file(xmap_class& file, std::string& refused);
