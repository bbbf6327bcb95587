#include "core/hl_alert.h"
#include <unistd.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include "core/exce.h"
#include "core/globs.h"
#include "core/hl_string.h"
#include "core/hl_thread.h"
#include "core/utl_cmdline.h"
#include "core/utl_debug.h"
#include "core/utl_mem.h"
#include "platform/plat_folders.h"

int app_done = 0;
int in_alert = 0;
int ogl_inited = 0;
alert_screens g_alert_screens;
void (*g_alert_handler)(int kind, const std::string* lines, const char* file, int line) = nullptr;
finishup_hooks g_finishup_hooks;

static bool scripted_run() { return cmdline.has_option("--fps_test") || cmdline.has_option("--qa_script"); }

// Ends the process after a fatal alert. The log is closed by now; worker
// threads may still run, so skip the static destructors they could race.
[[noreturn]] static void end_process(int status) {
  fflush(stdout);
  fflush(stderr);
  _exit(status);
}

static void log_alert(const std::string* lines, const std::string& where) {
  xer_group() << "\n" << lines[0] << "\n" << lines[1] << "\n" << lines[2] << "\n" << lines[3] << "\n" << where << "\n";
}

void __MACIBM_alert(int return_win, const std::string& s1, const std::string& s2, const std::string& s3,
                    const std::string& s4, int kind, const char* file, int line) {
  if (THREAD_is_inited() && !THREAD_is_main_thread()) {
    THREAD_send_exception(exce_class(s1, s2, s3, s4, file, line, kind));
    return;
  }
  const std::string lines[4] = {s1, s2, s3, s4};
  if (g_alert_handler) {
    g_alert_handler(kind, lines, file, line);
    return;
  }
  const std::string where = std::string("(") + (file ? file : "") + " line " + std::to_string(line) + ")";

  if (kind == t_crash) {
    if (FILE* f = fopen("stack_crawl.txt", "a")) {
      UTL_dump_stack(f, nullptr, nullptr);
      fclose(f);
    }
  }

  if (scripted_run()) {
    log_alert(lines, where);
    if (kind == t_quit || kind == t_crash) {
      MACIBM_finishup(0);
      end_process(1);
    }
    return;
  }

  const int reentered = in_alert;
  in_alert = 1;
  if (reentered || !ogl_inited) {
    std::string message = s1 + " " + s2, detail = s3 + " " + s4;
    if (!reentered) {
      UTL_check_string_length(message);
      UTL_check_string_length(detail);
    }
    // The "String too long!" alert carries the long text itself: shown cut,
    // rather than raising the same alert again without end.
    if (message.size() >= 500) message.resize(499);
    if (detail.size() >= 500) detail.resize(499);
    if (g_alert_screens.show_system_box) g_alert_screens.show_system_box(message, detail);
  } else if (!(s1.empty() && s2.empty() && s3.empty() && s4.empty()) || kind == t_language) {
    if (g_alert_screens.show_alert_screen) g_alert_screens.show_alert_screen(return_win, lines, kind, where);
  }

  const bool fatal = kind == t_quit || kind == t_crash || reentered;
  if (kind != t_language || reentered) {
    if (fatal) dump_mem_stats("MACIBM_alert (with code t_crash or t_quit)");
    log_alert(lines, where);
  }
  if (fatal) {
    MACIBM_finishup(0);
    app_done = 1;
    if (kind == t_crash || reentered) abort();
    // A quit alert reports a failure: the exit status must not read as success.
    end_process(1);
  }
  in_alert = 0;
}

int MACIBM_alert_is_answered() {
  if (THREAD_is_inited() && !THREAD_is_main_thread()) return 0;
  if (g_alert_handler || scripted_run()) return 0;
  if (in_alert || !ogl_inited) return g_alert_screens.show_system_box != nullptr;
  return g_alert_screens.show_alert_screen != nullptr;
}

// Set when the display is gone: the finish-up must not talk to it.
static int g_display_gone = 0;

void MACIBM_finishup(int save) {
  static int finished_save = 0;
  if (save) {
    if (!scripted_run() && !finished_save) {
      finished_save = 1;
      if (g_finishup_hooks.save_prefs) g_finishup_hooks.save_prefs();
      if (g_finishup_hooks.save_keys) g_finishup_hooks.save_keys();
    }
    THREAD_shutdown();
  }
  if (!g_display_gone) {
    if (g_finishup_hooks.restore_display) g_finishup_hooks.restore_display();
    if (g_finishup_hooks.close_windows) g_finishup_hooks.close_windows();
    if (g_finishup_hooks.flush_events) g_finishup_hooks.flush_events();
  }
  std::lock_guard<std::recursive_mutex> l(xer_mutex());
  if (xer.is_open()) xer.close();
  // Nothing of this run is left in the temporary folders: the unpacked
  // directory, copied archives, a bundle copied off the disc.
  PLAT_remove_temp_folders();
}

void MACIBM_end_run(const std::string& why, int status, int display_gone) {
  static std::atomic<int> ending{0};
  if (ending.exchange(1)) {
    // The first caller ends the process.
    for (;;) pause();
  }
  if (display_gone) g_display_gone = 1;
  xer_group() << "\n" << why << "\n";
  if (g_finishup_hooks.stop_work) g_finishup_hooks.stop_work();
  MACIBM_finishup(0);
  end_process(status);
}
