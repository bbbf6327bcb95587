// A longitude and latitude, each edited as whole degrees and minutes in
// number fields. Main thread, inside the frame.
#pragma once

// Draws the longitude's fields 50 below (*x, *y) and the latitude's 100
// below, and leaves *y 100 lower. Degrees are truncated toward zero; within
// a degree of zero the minutes carry the sign (down to -60). 1 when any of
// the four fields changed this frame.
int enter_lat_lon(float* x, float* y, float* lon, float* lat);
