// Entry point of the installer.
#include <cstdio>
#include "core/globs.h"
#include "files/pref.h"
#include "core/hl_alert.h"
#include "shell/hl_init.h"

int main(int argc, char** argv) {
  MACIBM_init(argc, argv);
  stg.stream_count = 0;
  pref.IO_set(11, 0);
  printf("Duvizo Installer: the installer's screens are not built yet, so there is nothing to install.\n");
  MACIBM_finishup(1);
  return 0;
}
