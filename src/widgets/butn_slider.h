// The sliders: a vertical integer scroll bar with arrows at both ends, a
// thumb to drag, page steps on its track and auto-repeat while held; and a
// horizontal bar for a float with a coloured fill, an optional thumb, side
// labels and a caption. Main thread, inside the frame.
#pragma once
#include <string>

// Which of the four vertical sliders has its thumb held.
extern int slider_grabbed[4];

// Vertical slider index (0 to 3, each in use by one slider) on centre line
// x, its track from bottom to top (top > bottom), *value kept within
// min (at the top) .. max (at the bottom). Arrows step 1, the track 10, and
// both repeat on the 0.2-s tick once held a quarter second. An index
// outside 0..3 raises the crash alert "Too many sliders!"; min >= max draws
// the bar alone. 1 while the thumb is dragged, else 0.
int BTN_vert_slider(int index, float x, float bottom, float top, int min, int max, int* value);
// Horizontal slider from x, width wide, centred on y, for *value between
// lo (left) and hi (right), kept at least 0.01 apart; fill_colour 81 draws
// no fill, editable 0 no thumb and no input. The label's sides go left and
// right of it, the caption centred above. 1 in the frames the mouse sets
// the value (held within 20 pixels of the bar), else 0.
int BTN_horz_slider(float x, float y, float width, int fill_colour, float lo, float hi, float* value, int editable,
                    std::string label, std::string caption);
