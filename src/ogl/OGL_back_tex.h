// The background behind the interface: a plain fill in the background
// colour 39, and the start-up picture "intro.png" kept as sixteen 512 x 512
// tiles in textures 397 to 412 (397 + 4 x row + column, row 0 the bottom
// rows of the picture) so it can be drawn at any window size. Main thread,
// with the window's context current; bt_cs keeps a rebuild off the tiles
// while they are drawn.
#pragma once
#include "core/utl_thread.h"

extern int back_colr;  // colour that tints the picture; 0 once it is loaded
extern int back_dx;    // the picture's width and height in pixels
extern int back_dy;
// Where the picture starts in x once start-up is over.
extern float back_x;
extern UTL_critical_section bt_cs;

// Fills the whole window with colour 39, whatever sub-window is current.
void OGL_plot_back_col();
// Builds the tiles from the bitmaps folder's "intro.png"; only at start-up
// (sub-window -1), else nothing. A missing picture, or one over 2048 pixels
// either way, is the quit alert for a missing file.
void OGL_make_back_tex();
// Draws the tiles. With depth_only, draws no colour (and no fill) but writes
// the nearest depth under every fully opaque texel, then restores colour
// writes, the depth range (0, 1) and the alpha function (greater than 0).
void OGL_plot_back_tex(int depth_only);
// Called before the tiles are built; nothing to do here.
void GOL_set_back_tex_lighting();
