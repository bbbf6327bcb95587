#include "installer/server_list.h"
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_version.h"
#include "core/utl_cmdline.h"
#include "engine/next.h"
#include "engine/utils_dir.h"
#include "engine/utils_download.h"
#include "engine/utils_table.h"
#include "files/file_compress.h"
#include "files/file_errors.h"
#include "files/file_ops.h"
#include "files/http.h"
#include "files/translate.h"
#include "files/xmap.h"

// The HTTP streams of the two downloads; the servers' file streams start at 3.
enum { list_stream = 0, directory_stream = 1 };

std::string UTL_maker_host() {
  std::string host = app_web_site;
  const size_t scheme = host.find("://");
  if (scheme != std::string::npos) host.erase(0, scheme + 3);
  const size_t slash = host.find('/');
  if (slash != std::string::npos) host.erase(slash);
  return host;
}

// A signed decimal: blanks, an optional '-' or '+', then the digits up to the
// first other byte. The list comes over plain HTTP, so a number of any length
// saturates instead of overflowing, and "20603b" reads as 20603.
static int scan_saturating(const char*& p, const char* end) {
  while (p < end && xmap_class::is_blank(*p)) ++p;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  long long value = 0;
  for (; p < end && *p >= '0' && *p <= '9'; ++p) value = std::min<long long>(value * 10 + (*p - '0'), INT_MAX);
  return static_cast<int>(negative ? -value : value);
}

static int saturating_value(const std::string& text) {
  const char* p = text.c_str();
  return scan_saturating(p, p + text.size());
}

// The "INS_VERSION" record after its keyword: the number (the rest of its
// word dropped), then the page of the newer installer and a word not used.
static int read_ins_version(xmap_class& f, std::string* page) {
  const char* p = f.mem_cur;
  const int version = scan_saturating(p, f.mem_end);
  f.mem_cur = const_cast<char*>(p);
  while (f.mem_cur < f.mem_end && !xmap_class::is_blank(*f.mem_cur) && !xmap_class::is_eol(*f.mem_cur)) ++f.mem_cur;
  f.TXT_str_scan_space(page);
  f.TXT_str_scan_space(nullptr);
  f.TXT_str_scan_eoln(nullptr);
  return version;
}

// The download client ends the program on a host with a '/' at its end or a
// folder without one at its start; a list from the net must not reach it so.
static bool usable_server(const server_t& s) {
  if (s.host.find('/') == std::string::npos && !s.dir_path.empty() && s.dir_path[0] == '/') return true;
  xer_group() << "Skipping the server list's record for host \"" << s.host << "\" and folder \"" << s.dir_path
              << "\": a host has no '/' and a folder starts with one.\n";
  return false;
}

int UTL_read_server_list(const std::string& path, std::string* newer_page) {
  xmap_class f(path);
  static const int versions[] = {820, 0};
  if (!f.mem_beg || !f.check_file(xmap_text, versions, "SERVERS", nullptr)) return list_bad_format;
  std::vector<server_t> found;
  while (f.mem_cur < f.mem_end) {
    std::string name;
    if (f.TXT_str_scan_match("ENDOFLIST", 1, 0)) break;
    if (f.TXT_str_scan_match("BETA", 1, 0)) {
      f.TXT_str_scan_eoln(&name);
      if (stg.get_beta) install_name = name;
    } else if (f.TXT_str_scan_match("FINAL", 1, 0)) {
      f.TXT_str_scan_eoln(&name);
      if (!stg.get_beta) install_name = name;
    } else if (f.TXT_str_scan_match("INS_VERSION", 0, 0)) {
      std::string page;
      if (read_ins_version(f, &page) > k_installer_version) {
        if (newer_page) *newer_page = page;
        return list_newer_installer;
      }
    } else if (f.TXT_str_scan_match("SERVER", 1, 0)) {
      server_t s;
      f.TXT_str_scan_eoln(&s.host);
      f.TXT_str_scan_eoln(&s.dir_path);
      f.TXT_str_scan_eoln(&s.address);
      s.dir_path += install_name + "/";
      if (usable_server(s)) found.push_back(s);
    } else {
      f.TXT_str_scan_eoln(nullptr);
    }
  }
  servers.insert(servers.end(), found.begin(), found.end());
  return list_read;
}

// A server named on the command line: "host/folder/".
static void add_server_option(const char* option) {
  const std::string value = cmdline.get_option(option);
  const size_t slash = value.find('/');
  if (slash == std::string::npos) {
    xer_group() << "Ignoring " << option << "=" << value << ": it needs a host, a '/' and a folder.\n";
    return;
  }
  server_t s;
  s.host = value.substr(0, slash);
  s.dir_path = value.substr(slash) + install_name + "/";
  s.address = value;
  servers.push_back(s);
}

void UTL_apply_server_options() {
  if (cmdline.has_option("--install_name")) install_name = cmdline.get_option("--install_name");
  if (cmdline.has_option("--server")) {
    const std::string value = cmdline.get_option("--server");
    if (value.find('/') != std::string::npos) servers.clear();
    add_server_option("--server");
  }
  if (cmdline.has_option("--add_server")) add_server_option("--add_server");
  if (cmdline.has_option("--server_clone") && !servers.empty()) {
    const int copies = std::min<int>(saturating_value(cmdline.get_option("--server_clone")), k_max_server_clones);
    const server_t first = servers[0];
    for (int i = 0; i < copies; ++i) servers.push_back(first);
  }
}

static void fetch_server_list() {
  const std::string dest = temp_path + "serverlist9.txt";
  if (http.net_check(list_stream, UTL_maker_host(), "/serverlist9.txt", dest) != 1) return;
  std::string page;
  switch (UTL_read_server_list(dest, &page)) {
    case list_bad_format: new_format(dest); return;
    case list_newer_installer: new_installer(page); return;
  }
  UTL_apply_server_options();
}

// A list fetched again after a disc scan may be shorter than the last one.
static void keep_server_in_range() {
  if (stg.server < 0 || stg.server >= static_cast<int>(servers.size())) stg.server = 0;
}

static void fetch_directory() {
  keep_server_in_range();
  const server_t& s = servers[stg.server];
  const std::string archive = temp_path + "directory.txt.zip";
  const int r = http.net_check(directory_stream, s.host, s.dir_path + "directory.txt.zip", archive);
  if (r == 0) return;
  if (r == 2) {
    // Any server may be the one that answers; the failed one is not ruled out.
    stg.server = rand() % static_cast<int>(servers.size());
    return;
  }
  if (int err = zip_to_file(archive, temp_path, nullptr, 0, temp_path)) {
    __MACIBM_alert(0, UTL_translate_string("The installer cannot extract a file."),
                   UTL_string_sub(UTL_translate_string("Error: %1:message%."), error_str(err)),
                   UTL_string_sub(UTL_translate_string("Compressed File  %1:file%."), archive),
                   UTL_string_sub(UTL_translate_string("Destination Path: %1:file%."), temp_path), t_warning,
                   "Installer-f/main", __LINE__);
  } else {
    stg.stage = 1;
  }
  delete_file(archive);
}

void UTL_download_directory() {
  bool refused = false;
  if (servers.empty()) {
    fetch_server_list();
  } else if (stg.stage == 0) {
    fetch_directory();
  } else if (stg.stage == 1) {
    stg.stage = read_directory(temp_path + "directory.txt", "");
    refused = stg.stage == 2;
  }
  // The screens name the current server as soon as the list is in.
  keep_server_in_range();
  // The screen says so for as long as it shows; the log once.
  if (refused)
    xer_group() << "The directory from " << servers[stg.server].host
                << " could not be read: it is not one this installer knows.\n";
}

download_progress UTL_directory_progress() {
  download_progress p;
  const down_class* d = http.streams.size() > directory_stream ? http.streams[directory_stream] : nullptr;
  if (!d) return p;
  if (d->mContentLength <= 0) {
    p.percent = -1;
    p.bar = -0.01f;
    return p;
  }
  p.percent = static_cast<int>(static_cast<long long>(d->mReceived) * 100 / d->mContentLength);
  p.bar = static_cast<float>(d->mReceived) / static_cast<float>(d->mContentLength);
  return p;
}
