#include "web_support.h"
#include <stdlib.h>
#include <chrono>
#include <thread>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "core/utl_cmdline.h"
#include "core/hl_thread.h"
#include "engine/next.h"
#include "engine/utils_alerts.h"
#include "engine/utils_checksum.h"
#include "engine/utils_table.h"
#include "files/http.h"
#include "installer/inst_state.h"
#include "installer/run_log.h"
#include "support/test_env.h"

void web_reset_http() {
  for (size_t i = 0; i < http.streams.size(); ++i) {
    delete http.streams[i];
    http.streams[i] = nullptr;
    // A look-up still running writes into its record: wait for it first.
    if (http.dns_calls[i]) {
      while (!THREAD_is_done(http.dns_calls[i], 0)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      THREAD_cleanup(http.dns_calls[i]);
      http.dns_calls[i] = nullptr;
    }
  }
  http.dns_cache.clear();
  http.proxy_host.clear();
  http.proxy_port_int = 0;
}

void web_use_proxy(int port) {
  http.proxy_host = "127.0.0.1";
  http.proxy_port_int = port;
}

std::string web_reset_state() {
  checksum_directory_kill();
  RUN_pass_ended(k_pass_stopped);  // no pass of a test is the next one's
  web_reset_http();
  servers.clear();
  sim_info.clear();
  temp_path = test_scratch_dir("web_tmp");
  next.reset_all_streams();
  stg = settings_record();
  stg.crnt_file_state = 3;
  stg.platform = plat_mac;
  set_install_filter(1, 1);
  install_name = no_install_name;
  dest_dir_path.clear();
  cmdline.options.clear();
  crnt_file_name.clear();
  crnt_file_path.clear();
  demo_install_is_running = 0;
  app_done = 0;
  return temp_path;
}

namespace {
web_alert_recorder* g_recorder = nullptr;
void record_alert(int kind, const std::string* lines, const char*, int) {
  g_recorder->alerts.push_back({kind, {lines[0], lines[1], lines[2], lines[3]}});
}
}  // namespace

web_alert_recorder::web_alert_recorder() {
  g_recorder = this;
  g_alert_handler = record_alert;
}

web_alert_recorder::~web_alert_recorder() {
  g_alert_handler = nullptr;
  g_recorder = nullptr;
}

fake_opener::fake_opener() {
  const std::string bin = test_scratch_dir("opener");
  record_ = bin + "opened.txt";
  test_write_file(bin + "xdg-open", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + record_ + "'\n");
  test_run("chmod 755 '" + bin + "xdg-open'");
  const char* path = getenv("PATH");
  old_path_ = path ? path : "";
  setenv("PATH", (bin + ":" + old_path_).c_str(), 1);
}

fake_opener::~fake_opener() { setenv("PATH", old_path_.c_str(), 1); }

std::string fake_opener::opened(int expected_lines) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  std::string text;
  for (;;) {
    text = test_read_file(record_);
    int lines = 0;
    for (char c : text) lines += c == '\n';
    if (lines >= expected_lines || std::chrono::steady_clock::now() > end) return text;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

std::string server_list_text(const std::string& body, int version, const char* type) {
  return "I\n" + std::to_string(version) + " version\n" + type + "\n\n" + body;
}

namespace {
web_questions* g_questions = nullptr;
int answer_select(const std::string& path, int) {
  g_questions->selected.push_back(path);
  if (g_questions->select_answers.empty()) return 3;
  const int a = g_questions->select_answers.front();
  g_questions->select_answers.erase(g_questions->select_answers.begin());
  return a;
}
int answer_abort(const std::string& m, const std::string& l1, const std::string& t1, const std::string& l2,
                 const std::string& t2) {
  g_questions->asked.push_back({m, l1, t1, l2, t2});
  if (g_questions->abort_answers.empty()) return 3;
  const int a = g_questions->abort_answers.front();
  g_questions->abort_answers.erase(g_questions->abort_answers.begin());
  return a;
}
engine_questions g_saved_questions;
}  // namespace

web_questions::web_questions() {
  g_questions = this;
  g_saved_questions = g_engine_questions;
  g_engine_questions.select_alert = answer_select;
  g_engine_questions.abort_alert = answer_abort;
}

web_questions::~web_questions() {
  g_engine_questions = g_saved_questions;
  g_questions = nullptr;
}
