// Entry point of the installer.
#include "installer/app_main.h"
#include "installer/dvd_flows.h"
#include "installer/wizard.h"

int main(int argc, char** argv) {
  g_wizard = dvd_start;
  return APP_main(argc, argv);
}
