// Entry point of the installer.
#include <cstdio>
#include "core/globs.h"
#include "core/hl_thread.h"
#include "core/utl_cmdline.h"
#include "core/utl_debug.h"
#include "core/utl_profiler.h"
#include "core/utl_remote_cmd.h"
#include "core/utl_stat.h"
#include "files/pref.h"
#include "platform/plat_bundle.h"
#include "shell/hl_alert.h"

int main(int argc, char** argv) {
  // Reports without a folder of their own ("stack_crawl.txt", "MemoryLog.txt")
  // go next to the application, wherever it was started from.
  PLAT_enter_bundle_folder();
  UTL_debug_init();
  cmdline.init_unix(argc, argv);
  THREAD_init();
  THREAD_make_workers();
  UTL_stat::init_stats();
  UTL_remote_cmd::init_remote_cmds();
  UTL_profiler_init();
  cmdline.set_datarefs();
  stg.stream_count = 0;
  pref.IO_set(11, 0);
  printf("Duvizo Installer: the installer's screens are not built yet, so there is nothing to install.\n");
  MACIBM_finishup(1);
  return 0;
}
