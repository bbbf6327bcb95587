// Entry point of the installer.
#include <cstdio>
#include "core/globs.h"
#include "core/hl_thread.h"
#include "core/utl_cmdline.h"
#include "core/utl_debug.h"
#include "shell/hl_alert.h"

int main(int argc, char** argv) {
  UTL_debug_init();
  cmdline.init_unix(argc, argv);
  THREAD_init();
  THREAD_make_workers();
  printf("Duvizo Installer: the installer's screens are not built yet, so there is nothing to install.\n");
  MACIBM_finishup(1);
  return 0;
}
