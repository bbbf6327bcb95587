// The desktop's clipboard, as far as the window system offers one: text only.
// X11 serves what the program put only while the program pumps its events,
// and drops it when the program ends. Main thread only.
#pragma once
#include <string>

// Puts the text (its bytes unchanged) on the desktop's clipboard; 1 on
// success, 0 when there is no display or the window system refused.
int PLAT_clipboard_set_text(const std::string& text);
// The desktop's clipboard text: 1 with the text, 0 when it holds none (an
// empty text reads as none) or there is no display.
int PLAT_clipboard_get_text(std::string* text);
