// Entry point of the installer.
#include <cstdio>
#include "core/globs.h"
#include "core/hl_thread.h"
#include "core/utl_cmdline.h"
#include "core/utl_debug.h"
#include "files/pref.h"
#include "shell/hl_alert.h"

int main(int argc, char** argv) {
  UTL_debug_init();
  cmdline.init_unix(argc, argv);
  THREAD_init();
  THREAD_make_workers();
  stg.stream_count = 0;
  pref.IO_set(11, 0);
  printf("Duvizo Installer: the installer's screens are not built yet, so there is nothing to install.\n");
  MACIBM_finishup(1);
  return 0;
}
