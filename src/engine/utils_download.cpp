#include "engine/utils_download.h"
#include <algorithm>
#include "core/globs.h"
#include "core/xtim.h"
#include "engine/utils_counts.h"
#include "engine/utils_dirs.h"
#include "engine/utils_install.h"
#include "engine/utils_table.h"
#include "files/file_errors.h"
#include "files/file_inside.h"
#include "files/file_ops.h"
#include "files/file_paths.h"
#include "files/http.h"
#include "files/translate.h"
#include "engine/next.h"
#include "core/hl_alert.h"
#include "core/hl_version.h"
#include "platform/plat_process.h"

std::set<std::string> deleted_files;

// Server j downloads on this HTTP stream; 0 and 1 carry the server list and
// the directory file.
static int http_stream_of(int j) { return j + 3; }

// A reset can abandon a transfer half-way; the stream's next request would
// carry it on and take its archive for the new file's.
static void forget_unfinished_transfer(int stream) {
  if (stream >= (int)http.streams.size()) return;
  down_class*& d = http.streams[stream];
  if (d && d->mReceived != d->mContentLength) {
    delete d;
    d = nullptr;
  }
}

static void take_next_file(next_class::stream_info& s, int j, int n) {
  if (!next.retry.empty()) {
    s.file = next.retry.front();
    next.retry.pop_front();
  } else {
    s.file = next.next_file;
    next.next_file = std::min(next.next_file + 1, n);
  }
  s.idle = 0;
  forget_unfinished_transfer(http_stream_of(j));
}

// The server failed the stream's file: it goes back on the retry list until
// every server has had its tries, and the stream sleeps.
static void download_failed(next_class::stream_info& s, int j, const std::string& request, const std::string& tmp) {
  delete_file(tmp);  // whatever arrived is not a whole archive
  const int limit = download_tries_per_server * std::max<int>(1, (int)servers.size());
  if (++next.tries[s.file] >= limit) {
    next.failed_files.push_back(s.file);
    pass_count_failed();
    xer_group() << "Gave up downloading http://" << servers[j].host << request << " after " << limit << " tries.\n";
  } else {
    next.retry.push_back(s.file);
    // The screen says the server is not responding and when it is asked again.
    xer_group() << "Download of http://" << servers[j].host << request << " failed (try " << next.tries[s.file]
                << " of " << limit << "); that server is asked again in " << download_pause_secs << " seconds.\n";
  }
  s.idle = 1;
  s.pause_until = xtim.real_time + download_pause_secs;
  s.message = UTL_translate_string("Server is not responding normally.");
}

// Directory files are checked when read; a path that still names no file or
// leads out of the installation here means the table was changed since, and
// nothing may be written or deleted for it.
static void refuse_path_or_end(const std::string& path) {
  if (path_has_no_file(path))
    __MACIBM_alert(0, "I am working through the list and found a path that has no file!",
                   "This is impossible to download or delete!", "It is:", path, t_quit, "Installer-f/utils", __LINE__);
  else if (!path_stays_inside(path))
    __MACIBM_alert(0, "I am working through the list and found a path that leads out of its folder!",
                   "This is impossible to download or delete safely!", "It is:", path, t_quit, "Installer-f/utils",
                   __LINE__);
}

static void delete_one(next_class::stream_info& s, const std::string& dest) {
  stg.crnt_file_state = 0;
  // A file reached through a link that leads out is not the installation's.
  std::string full = dest;
  const int refused = inside_installation(full, inside_entry);
  const int code = refused ? refused : delete_file(full);
  pass_count_delete(code);
  if (stg.log_actions)
    xer_group() << "now we want to nuke a file: DELETING  file " << dest << ", with result=" << code << ".\n";
  note_emptied_folders(dest, deleted_files);
  file_version_struct& v = current_version(s.file);
  v.up_to_date = 0;
  v.sig_have = "NONE";
  s.idle = 1;
}

static void fetch_one(next_class::stream_info& s, int j, const std::string& request, const std::string& dest) {
  stg.crnt_file_state = 1;
  file_version_struct& v = current_version(s.file);
  const int stream = http_stream_of(j);
  const std::string tmp = temp_path + std::to_string(j) + ".zip";
  const int r = http.net_check(stream, servers[j].host, request, tmp);
  if (r == 2) {
    download_failed(s, j, request, tmp);
  } else if (r == 1) {
    const int code = extract_and_delete_file(tmp, dest, v.sig_want);
    pass_count_install(code);
    if (code == 0) {
      v.sig_have = v.sig_want;
      v.up_to_date = 1;
    } else {
      next.failed_files.push_back(s.file);
    }
    next.done_comp_kb += v.compressed_kb;
    s.done_kb += v.compressed_kb;
    next.done_exp_kb += v.expanded_kb;
    s.idle = 1;
  } else {
    http.make_stream_if_needed(stream);
    const down_class* d = http.streams[stream];
    float fraction = 0;  // no connection yet
    if (d && d->mContentLength < 0)
      fraction = -0.01f;  // length not known yet
    else if (d && d->mContentLength > 0)
      fraction = (float)d->mReceived / d->mContentLength;
    stg.crnt_file_progress = fraction;
    next.inflight_kb += fraction * v.compressed_kb;
    s.inflight_kb += fraction * v.compressed_kb;
  }
}

int grab_files() {
  const int n = (int)sim_info.size();
  next.inflight_kb = 0;
  for (next_class::stream_info& s : next.streams) s.inflight_kb = 0;

  for (int j = 0; j < (int)servers.size(); ++j) {
    if (j >= (int)next.streams.size()) {
      next.streams.resize(j + 1);
      next.streams[j].pause_until = xtim.real_time;
    }
    next_class::stream_info& s = next.streams[j];
    if (xtim.real_time < s.pause_until) continue;
    if (s.idle) take_next_file(s, j, n);
    if (s.file >= n) continue;

    const file_version_struct& v = current_version(s.file);
    const std::string request = servers[j].dir_path + v.path + ".zip";
    const std::string dest = installed_path(s.file);
    crnt_file_path = request;
    get_file_with_path(crnt_file_name, request);
    if (path_has_no_file(v.path) || !path_stays_inside(v.path)) {
      refuse_path_or_end(v.path);
      next.failed_files.push_back(s.file);  // only when the alert could not end the program
      pass_count_failed();
      s.idle = 1;
    } else if (v.do_delete) {
      delete_one(s, dest);
    } else if (v.do_install) {
      fetch_one(s, j, request, dest);
    } else {
      stg.crnt_file_state = v.up_to_date ? 2 : 3;
      s.idle = 1;
    }
  }

  for (int j = 0; j < (int)servers.size(); ++j)
    if (next.streams[j].file < n) return stg.extract_problem;
  delete_emptied_folders(deleted_files);
  if (!next.failed_files.empty()) stg.extract_problem = 1;
  return 1;
}

int extract_and_delete_file(const std::string& archive, const std::string& dest, const std::string& want_md5) {
  std::string folder;
  const int unpack_code = unpack_file_archive(archive, dest, want_md5, folder);
  const int chmod_code = make_installed_executable(dest);
  // An executable that cannot be run is not installed either.
  const int code = unpack_code ? unpack_code : chmod_code;
  if (code) {
    stg.extract_problem = 1;
    __MACIBM_alert(0, UTL_translate_string("The installer cannot extract a file."),
                   UTL_translate_string("Error: ") + error_str(code),
                   UTL_translate_string("Compressed File: ") + archive, UTL_translate_string("Destination: ") + dest,
                   t_warning, "Installer-f/utils", __LINE__);
  }
  if (stg.log_actions)
    xer_group() << "EXPANDING file " << dest << ", with result=" << unpack_code << ".\n"
                << "CHMODING  file " << dest << ", with result=" << chmod_code << ".\n";
  delete_file(archive);
  return code;
}

std::string maker_download_page() { return std::string(app_web_site) + "download.html"; }

// The opener is the desktop's: anything but a web address of sane length
// could make it start a program or open a local file.
static bool is_web_page(const std::string& page) {
  return page.size() < 500 && (page.rfind("http://", 0) == 0 || page.rfind("https://", 0) == 0) &&
         page.find_first_of(" \t\r\n") == std::string::npos;
}

static void open_page(const std::string& page) {
  if (int err = PLAT_open_in_browser(page)) xer_group() << "Could not open " << page << ": " << error_str(err) << "\n";
}

void new_installer(const std::string& page) {
  __MACIBM_alert(0, UTL_translate_string("There is a newer version of the Duvizo web updater available."),
                 UTL_translate_string("I will take you to the web page where you can downoad it."), "", "", t_warning,
                 "Installer-f/utils", __LINE__);
  open_page(is_web_page(page) ? page : maker_download_page());
  app_done = 1;
}

void new_format(const std::string& detail) {
  __MACIBM_alert(0,
                 UTL_translate_string("OK I am checking the Corvane Research servers and I am finding file formats "
                                      "that are newer than I can understand!"),
                 UTL_translate_string("In other words, you need to get a new installer!"),
                 UTL_string_sub(UTL_translate_string("Please get it from the download section of %1:web site%."),
                                std::string(app_web_site)),
                 detail, t_warning, "Installer-f/utils", __LINE__);
  open_page(maker_download_page());
  stg.new_format_mark = 2;
  app_done = 1;
}
