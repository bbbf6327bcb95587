// The installer's start-up with the preferences window as its only screen,
// for the end-to-end tests: nothing in the installer opens the window.
//   prefs_window <bundle> [program arguments...]
// Runs the window until it closes, prints the values it edits as
// "name value" lines, then the program finishes up, saving the preferences.
#include <cstdio>
#include <string>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "files/http.h"
#include "installer/prefs_wind.h"
#include "installer/wizard.h"
#include "e2e/probe_main.h"

namespace {

int prefs_then_report(int, wizard_screen&) {
  // The frame that closes the window runs the wizard again before
  // handle_prefs returns: that nested call has nothing to do.
  static int opened = 0;
  if (opened) return 0;
  opened = 1;
  // Tests wait for this line before they click: the window opens after start-up.
  printf("window open\n");
  fflush(stdout);
  handle_prefs();
  printf("platform %d\n", stg.platform);
  printf("log_actions %d\n", stg.log_actions);
  printf("proxy_host %s\n", http.proxy_host.c_str());
  printf("proxy_port %s\n", http.proxy_port.c_str());
  printf("proxy_port_int %d\n", http.proxy_port_int);
  fflush(stdout);
  app_done = 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return probe_main(argc, argv, "prefs_window", prefs_then_report);
}
