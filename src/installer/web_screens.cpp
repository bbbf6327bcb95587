#include "installer/web_screens.h"
#include <algorithm>
#include "core/globs.h"
#include "core/xtim.h"
#include "engine/next.h"
#include "engine/utils_choose.h"
#include "engine/utils_dirs.h"
#include "engine/utils_download.h"
#include "engine/utils_table.h"
#include "files/translate.h"
#include "installer/inst_text.h"
#include "installer/run_log.h"
#include "installer/server_list.h"
#include "installer/velora.h"
#include "platform/plat_clock.h"

static std::string tr(const char* text) { return UTL_translate_string(text); }

void web_flow_begin(const std::vector<web_step>& steps, screen_func skip) {
  locate_all_veloras();
  step_names.clear();
  step_funcs.clear();
  for (const web_step& step : steps) {
    if (step.func == skip) continue;
    step_names.push_back(tr(step.name));
    step_funcs.push_back(step.func);
  }
  next.reset_all_streams();
}

int web_install_setup(wizard_screen& s, screen_func back_to, float& totl_inst_rat, const run_pass_kind& kind) {
  RUN_pass_started(kind, dest_dir_path);
  const int chosen = choose_files();
  if (!chosen || make_dirs() != 0) {
    RUN_pass_ended(chosen ? k_pass_no_folder : k_pass_cancelled);
    s.next_screen = back_to;
    return 0;
  }
  next.reset_all_streams();
  totl_inst_rat = 0;
  return 1;
}

int web_search_frame(wizard_screen& s, const web_search_texts& texts) {
  UTL_download_directory();
  if (servers.empty()) {
    s.text = tr("I am contacting ") + UTL_maker_host() + tr(texts.contacting_end);
    return 1;
  }
  switch (stg.stage) {
    case 3: return 0;
    case 1: s.text = tr(texts.processing); return 1;
    case 2: s.text = tr("There was a problem reading information from the servers."); return 1;
  }
  const download_progress p = UTL_directory_progress();
  s.status = p.percent < 0
                 ? tr("I am checking the net for the latest version of Duvizo 9 right now, and I am connecting to the "
                      "server...")
                 : UTL_string_sub(tr("I am checking the net for the latest version of Duvizo 9 right now, and I am "
                                     "%1:progress%% done checking."),
                                  int_str(p.percent));
  s.progress = p.bar;
  s.text = UTL_string_sub(tr(texts.downloading), servers[stg.server].host);
  return 1;
}

int web_download_slice(wizard_screen& s, float& totl_inst_rat, int finished_paragraphs) {
  // The slice is measured on the system's own clock: the program clock may
  // stand still within a frame (a test's replaced clock does).
  const uint64_t t0 = PLAT_microseconds();
  do {
    if (grab_files()) {
      next.reset_all_streams();
      return 1;
    }
    // Nothing fetched of nothing to fetch is all of it.
    const float target = stg.total_exp_kb > 0 ? next.done_exp_kb / stg.total_exp_kb : 1.0f;
    const float k = 5.0f * xtim.sim_dt;
    totl_inst_rat = std::clamp((1.0f - k) * totl_inst_rat + k * target, 0.0f, 1.0f);
  } while (PLAT_microseconds() - t0 < 20000);
  s.status = web_file_status();
  s.text = web_install_text(totl_inst_rat, finished_paragraphs);
  s.progress = totl_inst_rat;
  return 0;
}

std::string web_file_status() {
  switch (stg.crnt_file_state) {
    case 0: return UTL_string_sub(tr("Deleting %1:file% because that file is no longer needed!"), crnt_file_name);
    case 1:
      return UTL_string_sub(tr("Downloading and installing %1:file%, currently %2:progress%% done with that file."),
                            crnt_file_name, int_str(static_cast<int>(stg.crnt_file_progress * 100.0f)));
    case 2: return UTL_string_sub(tr("Skipping %1:file% because it is already installed."), crnt_file_name);
    case 3: return UTL_string_sub(tr("Skipping %1:file% because you don't need it."), crnt_file_name);
  }
  return std::string();
}

// One server's paragraph: its retry, its rate, or that it has run out of files.
static std::string server_paragraph(int i, float now, float elapsed, int finished_paragraphs) {
  const std::string& host = servers[i].host;
  const next_class::stream_info* st = i < static_cast<int>(next.streams.size()) ? &next.streams[i] : nullptr;
  if (st && now < st->pause_until) {
    const int secs = std::max(0, static_cast<int>(st->pause_until - now));
    return UTL_string_sub(UTL_translate_plural(secs, "\n\n%1:server%: %2:errormessage%.  Will retry in %3:seconds% second.",
                                               "\n\n%1:server%: %2:errormessage%.  Will retry in %3:seconds% seconds."),
                          host, st->message, int_str(secs));
  }
  const bool fetching = st && st->file != static_cast<int>(sim_info.size());
  if (fetching || !finished_paragraphs) {
    const float kb = st ? st->done_kb + st->inflight_kb : 0.0f;
    return UTL_string_sub(tr("\n\nDownloading at %1:rate% from %2:server%."), rate_str(kb / elapsed), host);
  }
  return UTL_string_sub(tr("\n\n%1:server% is finished."), host);
}

std::string web_install_text(float totl_inst_rat, int finished_paragraphs) {
  if (totl_inst_rat <= 0.01f) return std::string();
  const float now = xtim.real_time;
  const float fetched = next.done_comp_kb + next.inflight_kb;
  const float remaining = std::max(0.0f, stg.total_comp_kb - fetched);
  const float elapsed = std::max(1.0f, now - next.start_time);
  const float rate = fetched / elapsed;
  const float left = rate > 0 ? remaining / rate : 0.0f;
  const int n = static_cast<int>(servers.size());
  std::string text = UTL_string_sub(
      UTL_translate_plural(n, "About %1:time% left in the install, downloading at %2:rate% with %3:number% download stream.",
                           "About %1:time% left in the install, downloading at %2:rate% with %3:number% simultaneous "
                           "servers."),
      time_str(left), rate_str(rate), int_str(n));
  for (int i = 0; i < n; ++i) text += server_paragraph(i, now, elapsed, finished_paragraphs);
  return text;
}

int web_nothing_to_do() {
  if (stg.files_to_install != 0 || stg.files_to_delete != 0) return 0;
  for (int i = 0; i < static_cast<int>(sim_info.size()); ++i) {
    const file_version_struct& v = current_version(i);
    if (v.sig_want == "GONE" && v.sig_have != "NONE" && want_this_f(i, static_cast<int>(sim_info[i].versions.size()) - 1))
      return 0;
  }
  return 1;
}
