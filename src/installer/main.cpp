// Entry point of the installer.
#include "installer/app_main.h"
#include "installer/wizard.h"

// The first screen until the start menu stands.
static int empty_start(int, wizard_screen&) { return 0; }

int main(int argc, char** argv) {
  g_wizard = empty_start;
  return APP_main(argc, argv);
}
