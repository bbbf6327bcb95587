#include "engine/engine_support.h"
#include "core/globs.h"
#include <chrono>
#include "engine/utils_alerts.h"
#include "engine/utils_checksum.h"
#include "engine/utils_counts.h"
#include "engine/utils_install.h"

int add_file(const std::string& path, const std::string& sig_want, const std::string& sig_have, int platform,
             float expanded_kb, int disk) {
  file_history_struct h;
  sim_info.push_back(h);
  add_version((int)sim_info.size() - 1, sig_want, sig_have);
  file_version_struct& v = sim_info.back().versions.back();
  v.path = path;
  v.platform = platform;
  v.expanded_kb = expanded_kb;
  v.compressed_kb = expanded_kb / 2;
  v.disk = disk;
  v.is_global_scenery = is_global_scenery_f(path) && find_sector(v.lon_cell, v.lat_cell, path);
  return (int)sim_info.size() - 1;
}

void add_version(int i, const std::string& sig_want, const std::string& sig_have) {
  file_version_struct v;
  if (!sim_info[i].versions.empty()) v = sim_info[i].versions.back();
  v.sig_want = sig_want;
  v.sig_have = sig_have;
  v.up_to_date = sig_have == sig_want;
  sim_info[i].versions.push_back(v);
}

void reset_engine_state() {
  sim_info.clear();
  stg = settings_record();
  stg.platform = 0;
  set_install_filter(1, 1);
  current_disk = 0;
}

static scripted_questions* g_script = nullptr;

static int next_answer(std::vector<int>& q) {
  if (q.empty()) return 3;
  const int a = q.front();
  q.erase(q.begin());
  return a;
}

static int scripted_select(const std::string& path, int mode) {
  g_script->selected.emplace_back(path, mode);
  return next_answer(g_script->select_answers);
}

static int scripted_abort(const std::string& message, const std::string&, const std::string&, const std::string&,
                          const std::string&) {
  g_script->aborted.push_back(message);
  return next_answer(g_script->abort_answers);
}

scripted_questions::scripted_questions() {
  g_script = this;
  g_engine_questions.select_alert = scripted_select;
  g_engine_questions.abort_alert = scripted_abort;
}

scripted_questions::~scripted_questions() {
  g_engine_questions = engine_questions();
  g_script = nullptr;
}

bool run_checksum_pass(int quick, int* steps) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  int cursor = 0, calls = 0;
  float progress = -1;
  for (;;) {
    ++calls;
    if (checksum_directory(cursor, quick, progress)) break;
    if (std::chrono::steady_clock::now() > deadline) {
      checksum_directory_kill();
      return false;
    }
  }
  if (steps) *steps = calls;
  return true;
}

std::string counted() {
  const pass_counts c = pass_counts_now();
  return std::to_string(c.installed) + " " + std::to_string(c.failed) + " " + std::to_string(c.kept) + " " +
         std::to_string(c.deleted);
}

install_run run_install_pass(std::string (*disc_root)(int), int& cursor) {
  install_run run;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (std::chrono::steady_clock::now() < deadline) {
    const int r = install_files(cursor, current_disk);
    if (r == 0) continue;
    run.results.push_back(r);
    if (r == 1) {
      run.finished = true;
      break;
    }
    if (r == 2) {
      if (!disc_root) break;  // no other disc to offer
      current_disk = current_version(cursor).disk;
      dvd_path = disc_root(current_disk);
    } else if (r == 3) {
      std::string msg;
      const int code = install_files_get_error(msg);
      run.errors.emplace_back(code, msg);
    }
  }
  if (!run.finished) install_files_kill();
  return run;
}

