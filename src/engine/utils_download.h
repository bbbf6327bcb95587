// The download pass of the web flows: brings the files marked do_install
// from the download servers and deletes the files marked do_delete, working
// through the download queue next with one stream per server (server j on
// HTTP stream j + 3). The web install screens reset the queue after
// choose_files and make_dirs, then call grab_files once or more per frame.
// Main thread only; the HTTP client moves the data between the steps.
#pragma once
#include <set>
#include <string>

// Folders in which the pass deleted files, each ending in '/'; the ones left
// empty are removed when the pass ends. read_directory empties it.
extern std::set<std::string> deleted_files;

// Failed downloads of one file allowed per server before the pass gives up
// on it, so a file that no server can deliver never holds the pass for ever.
enum { download_tries_per_server = 3 };
// Program-clock seconds a stream sleeps after its server failed.
inline constexpr float download_pause_secs = 30.0f;

// One step over every server's stream. Returns 1 when every stream has run
// past the end of the table (the folders the deletions emptied are gone by
// then); otherwise stg.extract_problem: 0 while the pass runs, 1 once an
// archive failed to unpack, which tells the caller to end the pass early.
// So 1 means either "done" or "stop": stg.extract_problem tells them apart.
// A pass that ends having given up on files also sets stg.extract_problem,
// and next.failed_files names every file it could not install. Each file
// installed, deleted or given up on counts with the pass
// (engine/utils_counts.h). Needs at least one server.
int grab_files();

// Unpacks a downloaded archive (7z when its name ends in ".7z", else zip)
// into the folder of dest, makes dest executable when it lies under
// "Contents/MacOS/", and deletes the archive whatever happened. 0 when dest
// now stands in place with the digest want_md5; otherwise the failure's code
// (err_content_mismatch for another digest, dest then left as it was), after
// stg.extract_problem has been set and the user warned.
int extract_and_delete_file(const std::string& archive, const std::string& dest, const std::string& want_md5);

// The servers name a newer installer than this one: a warning says so, the
// browser opens page (an "http://" or "https://" address of under 500
// bytes; any other goes to the maker's download page instead, since the
// list arrives over plain HTTP) and app_done ends the program.
void new_installer(const std::string& page);
// The servers hold formats newer than this installer reads: a warning says
// so, with detail (the file that showed it) as its last line; the browser
// opens the maker's download page, stg.new_format_mark becomes 2 and
// app_done ends the program.
void new_format(const std::string& detail);
// The maker's page where the newest installer is to be had.
std::string maker_download_page();
