// How the disc-set maker shows the build mode's progress in the window: a
// band at the bottom cleared, two lines drawn, the buffers swapped; and how
// it hears a 'q' between frames.
#pragma once
#include <string>

// Clears the 1024 by 30 band at the window's bottom, draws line1 at (10, 17)
// and line2 at (10, 7) in colour 12, regular font, unwrapped, and swaps.
void disc_set_show_progress(const std::string& line1, const std::string& line2);
// Takes one pending event: 1 when it is a key press that types 'q'.
int disc_set_q_pressed();
// Puts the two into the build mode's screen hooks.
void disc_set_connect_screen();
