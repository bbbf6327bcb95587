// The shell's side of alerts: the alert screen and the system box that the
// alert entry point shows through g_alert_screens, the save question, and
// opening web pages. Main thread only.
#pragma once
#include <string>

// The alert sub-window (994) as a modal loop over the frame procedure: the
// four lines (kinds 1 to 3, with the location for 2 and 3) and "Understood",
// or the language buttons and "Accept" (kind 0). Return, the button, and for
// kinds 1 to 3 Escape, start return_win and put the mouse back where it was.
// First puts the OpenGL state back to what drawing the interface needs.
void APL_alert_screen(int return_win, const std::string* lines, int kind, const std::string& location);

// The system's message box titled "Duvizo Installer" with message, an empty
// line and detail; on standard error instead when no box can be shown.
void APL_system_box(const std::string& message, const std::string& detail);

// Asks whether to save name first (sub-window 995): 1 "Save", 2 "Don't
// Save", 3 cancel ("Cancel" or Escape when cancel is allowed, a close request
// of the window, or a sub-window that did not open). Ends in sub-window 0.
int MACIBM_nuke_alert(const std::string& name, int cancel_allowed);

// Opens url in the user's browser without waiting for it; 500 characters or
// more raise the "String too long!" crash.
void go_to_URL(const std::string& url);

// Switching the computer off is not the program's business here: does nothing.
void IBM_turnoff();
