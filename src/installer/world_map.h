// The world map of the scenery screens: one cell per 10 degrees, clicked or
// dragged into stg.want_cells, with the select-all and clear-all buttons.
#pragma once

// Draws the map and applies this frame's mouse; recomputes the install sizes
// once when the choice changed. Called by a scenery screen while the wizard draws.
void UTIL_world_map();
