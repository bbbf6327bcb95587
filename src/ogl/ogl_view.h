// How the interface sits in the window and what a frame draws into: the
// pixel layout in wins, viewports through the camera xcam, scissors,
// the end of a frame, screenshots and the free local transform. The
// interface is laid out for 1024 by 768 units, one pixel each. Main thread,
// with the window's context current.
#pragma once
#include <string>

// Recomputes the pixel layout of wins from the window's pixel size
// (x_pix, y_pix): ui_scale 1, the full-window view rectangle, ui_offset_x
// half the width beyond 1024 (0 while the last sub-window started is -1);
// with a sub-window started (0 or more) also sets the full-window 2-D view.
// The argument is not used.
void OGL_pix_specs(int unused);
// Sets the viewport, projection and modelview. type 2 orthographic, 3
// perspective (bounds for unit distance, viewport in interface units); with
// aspect the vertical bounds follow the viewport's shape; type 2 with
// full_window gives the pixel-exact view of the whole window and ignores the
// bounds. Another type reloads the camera's projection as it was.
void OGL_viewport(int type, float left, float vp_left, float bottom, float vp_bottom, float right, float vp_right,
                  float near, float top, float vp_top, float far, float divisor, int aspect, int full_window);
// Sets only the OpenGL viewport: type 2 the whole window, 3 a rectangle in
// interface units, another type a rectangle in pixels.
void OGL_screensize(int type, float left, float bottom, float right, float top);
// Clips drawing to a rectangle in interface units from the sub-window's
// origin; a negative size clips everything away until OGL_scissors_end.
void OGL_scissors(float x, float y, float width, float height);
void OGL_scissors_end();
// Ends the frame: sets the next frame's starting colour (white under the dim
// and green-monochrome rule, the fade as alpha) and swaps the buffers of the
// window whose context is current.
void OGL_sbuff();
// Called by OGL_sbuff just before the swap, with the finished frame still in
// the back buffer; null (the default) for none.
extern void (*OGL_sbuff_hook)();

// The first name prefix + "_" + n + suffix (n from 1) that no file has; a
// prefix ending in a three-letter extension loses it first. A prefix of 500
// characters or more raises the crash alert "String too long!".
void gimme_png_mov_paths(std::string prefix, std::string suffix, std::string& path);
// Reads the window (its middle 2048 by 2048 pixels at most) as RGB rows into
// the scratch image; with save, writes them to the first free
// "Duvizo screenshot__N.png" (a failed write is logged by the PNG writer).
void OGL_screenshot(int save);

// The local transform: 16 floats in the OpenGL order, the identity at start.
void OGL_set_local_transform(const float* m);
void OGL_reset_local_transform();
float* OGL_get_local_transform();
extern float local_transform[16];

// Printing is not offered: does nothing.
void OGL_printer();
