// The web flows' two downloads before any file can be chosen: the list of
// download servers ("serverlist9.txt" on the maker's web host, HTTP stream 0)
// and the install set's directory file from the current server (stream 1),
// one small step per frame. The servers land in servers (engine/next.h), the
// directory in sim_info, the progress in stg.stage and stg.server.
// Main thread only.
#pragma once
#include <string>

// The newest installer the list may name before this one tells the user to
// fetch a newer one.
enum { k_installer_version = 20603 };
// Copies of the first server "--server_clone" may add: each is one more
// download stream with its own connection.
enum { k_max_server_clones = 100 };

// The host of the maker's web site: it serves "/serverlist9.txt", and the
// "contacting" texts name it.
std::string UTL_maker_host();

// What reading a list came to.
enum { list_read = 0, list_bad_format = 1, list_newer_installer = 2 };
// Reads the list file at path: appends each "SERVER" record to servers
// (dir_path gets install_name as it stands then, and '/'), sets install_name
// from the "FINAL" or "BETA" records (by stg.get_beta), and stops at
// "ENDOFLIST". list_bad_format when the file cannot be opened or is not a
// version-820 "SERVERS" list (nothing read). list_newer_installer when an
// "INS_VERSION" names a version above k_installer_version: *newer_page gets
// its web address and reading stops there, servers as they were before the
// call. A record whose host holds a '/' or whose folder does not begin with
// '/' names no server the download client can ask; it is logged and skipped.
int UTL_read_server_list(const std::string& path, std::string* newer_page);
// Applies "--install_name", "--server", "--add_server" and "--server_clone"
// in that order. A "--server" or "--add_server" value without '/' is logged
// and ignored.
void UTL_apply_server_options();

// One step of the two downloads. While servers is empty: polls the list's
// download and, once it is in, reads it and applies the options; a list of
// another format or naming a newer installer ends the program through
// new_format or new_installer. Then by stg.stage: 0 fetches
// "directory.txt.zip" from the current server (a failure moves to a server
// picked at random; an archive that does not unpack is warned about and
// fetched again), 1 reads "directory.txt" into the file table (stage 3, or
// 2 when its header is refused, which the log says), 2 and 3 do nothing.
void UTL_download_directory();

// How far the directory's download on stream 1 has come. percent: 0 with no
// request yet, -1 while the length is unknown (none sent, or 0), else the
// bytes received × 100 / the length. bar: the fraction for the progress bar,
// 0 with no request and -0.01 (no bar) while the length is unknown.
struct download_progress {
  int percent = 0;
  float bar = 0;
};
download_progress UTL_directory_progress();
