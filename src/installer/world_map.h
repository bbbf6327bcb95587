// The world map of the scenery screens: one cell per 10 degrees, clicked or
// dragged into stg.want_cells, with the select-all and clear-all buttons.
#pragma once

// Draws the map and applies this frame's mouse; recomputes the install sizes
// once when the choice changed. Called by a scenery screen while the wizard draws.
void UTIL_world_map();

// What the map keeps between frames: the mouse at the last press (the drag's
// anchor) and the value a drag paints (1 wanted, 0 not), each given only
// when its pointer is not null.
void UTIL_world_map_state(float* o_x, float* o_y, int* o_use);
// How many times the map has had the install sizes recomputed since the
// program started.
int UTIL_world_map_recalcs();
