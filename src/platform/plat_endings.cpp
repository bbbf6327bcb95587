#include "platform/plat_endings.h"
#include <X11/Xlib.h>
#include <signal.h>
#include <string.h>
#include <initializer_list>

static volatile sig_atomic_t g_signal = 0;
static volatile sig_atomic_t g_display_lost = 0;
static void (*g_on_gone)() = nullptr;

static void note_signal(int sig) {
  if (!g_signal) g_signal = sig;
}

void PLAT_catch_end_signals() {
  struct sigaction sa;
  memset(&sa, 0, sizeof sa);
  sa.sa_handler = note_signal;
  sigemptyset(&sa.sa_mask);
  // Interrupted waits go on; the frame loop looks at the flag each frame.
  sa.sa_flags = SA_RESTART;
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &sa, nullptr);
}

int PLAT_end_signal() { return g_signal; }

const char* PLAT_signal_name(int sig) {
  switch (sig) {
    case SIGINT: return "SIGINT";
    case SIGTERM: return "SIGTERM";
    case SIGHUP: return "SIGHUP";
    default: return "a signal";
  }
}

// A request failed: the window went away under us (another client
// destroyed it) or the server refuses it. Xlib's default ends the process
// on the spot; the run ends at the next frame instead.
static int on_x_error(Display*, XErrorEvent*) {
  g_display_lost = 1;
  return 0;
}

// The connection is gone: Xlib ends the process when this returns.
static int on_x_io_error(Display*) {
  g_display_lost = 1;
  if (g_on_gone) g_on_gone();
  return 0;
}

void PLAT_catch_display_loss(void (*on_gone)()) {
  g_on_gone = on_gone;
  XSetErrorHandler(on_x_error);
  XSetIOErrorHandler(on_x_io_error);
}

int PLAT_display_lost() { return g_display_lost; }
