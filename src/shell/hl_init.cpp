#include "shell/hl_init.h"
#include "core/globs.h"
#include "core/hl_thread.h"
#include "core/utl_cmdline.h"
#include "core/utl_debug.h"
#include "core/utl_localtime.h"
#include "core/utl_profiler.h"
#include "core/utl_remote_cmd.h"
#include "core/utl_stat.h"
#include "files/translate.h"
#include "core/hl_alert.h"
#include "ogl/ogl_extensions.h"
#include "shell/wins.h"
#include <vector>
#include "files/file_paths.h"
#include "platform/plat_folders.h"

int plot_init_lights = 0;

// The chosen language must be one the resources offer; when it is not, the
// only one offered is taken, else the user is asked (English meanwhile).
static void check_language() {
  std::vector<int> offered;
  UTL_lang_get_languages(offered);
  bool found = false;
  for (int l : offered) found = found || l == mnw.lang;
  if (!found) mnw.lang = offered.size() == 1 ? offered[0] : -1;
  if (mnw.lang < 0) {
    mnw.lang = 0;
    __MACIBM_alert(-1, "-", "-", "-", "-", t_language, "RUvozuz/GenC/hl_init", 930);
  }
}

void MACIBM_setupforlang() {
  if (mnw.lang != 0)
    UTL_translate_load(mnw.lang);
  else
    UTL_translate_clear();
}

void MACIBM_init(int argc, char** argv) {
  MACIBM_connect_layers();
  UTL_local_time_init();
  UTL_debug_init();
  MACIBM_set_app_path(app_path, 0);
  app_path.clear();
  // Reports without a folder of their own ("stack_crawl.txt", "MemoryLog.txt")
  // go next to the application, wherever it was started from.
  PLAT_enter_bundle_folder();
  MACIBM_open_log();
  cmdline.init_unix(argc, argv);
  THREAD_init();
  wins.x_res_wind = 800;
  wins.y_res_wind = 600;
  mnw.lang = -1;
  mnw.lang = UTL_get_default_language();
  // The pool is made before the window exists, so no worker could share its
  // context: it gets no OpenGL threads, as the capability probe would decide.
  glExt.threaded_avail = 0;
  THREAD_make_workers();
  UTL_stat::init_stats();
  UTL_remote_cmd::init_remote_cmds();
  UTL_profiler_init();
  cmdline.set_datarefs();
  check_language();
  MACIBM_setupforlang();
}

void (*g_show_init_hook)(const std::string& text, const float* fraction) = nullptr;

void MACIBM_show_init(const std::string& text, const float* fraction) {
  if (g_show_init_hook) g_show_init_hook(text, fraction);
}
