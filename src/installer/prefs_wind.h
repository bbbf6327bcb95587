// The preferences window: the target platform, logging of the engine's file
// actions and the download client's proxy. Nothing in the installer opens
// it; the values it edits are saved with the preference file at exit.
#pragma once

// Runs sub-window 2 ("Prefs") as a modal window until it closes (its close
// box, Return or Escape); every change takes effect at once.
void handle_prefs();
