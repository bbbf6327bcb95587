#include "engine/engine_support.h"
#include "core/globs.h"
#include <chrono>
#include "engine/utils_alerts.h"
#include "engine/utils_checksum.h"

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
