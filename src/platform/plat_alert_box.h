// The window system's own message box, for failures the program reports
// before its window stands or while its own alert screen is busy.
#pragma once
#include <string>

// Shows a stop box titled title with text and one button; returns 0 once
// the user dismissed it, -1 when no box could be shown (no display, or the
// window system refused), without waiting.
int PLAT_show_alert_box(const std::string& title, const std::string& text);
