// Endings that come from outside the program: a signal asking it to stop
// (SIGINT, SIGTERM, SIGHUP) and the loss of its display (its window
// destroyed by another client, or the X server gone). Both are noted, never
// acted on where they arrive: the frame loop asks and ends the run itself.
#pragma once

// Catches the three signals from now on; each is noted, the first one kept.
void PLAT_catch_end_signals();
// The signal caught so far, or 0.
int PLAT_end_signal();
// "SIGTERM" and the like, for the log.
const char* PLAT_signal_name(int sig);

// Takes over the X library's error handlers (once the window system is up).
// An error about a request notes the display as lost; a lost connection
// cannot be outlived, so it calls on_gone, which must end the process
// without touching the display again.
void PLAT_catch_display_loss(void (*on_gone)());
// 1 once the display was noted as lost.
int PLAT_display_lost();
