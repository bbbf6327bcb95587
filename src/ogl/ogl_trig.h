// The sine and cosine of every whole degree, for drawing circles and arcs
// without calling the maths library per vertex. Filled once at start-up;
// read-only afterwards, so any thread may read them.
#pragma once

enum { lookup_trig_size = 361 };  // 0 to 360 degrees, both ends included

extern float lookup_sin[lookup_trig_size];
extern float lookup_cos[lookup_trig_size];

// Fills both tables (single precision).
void fill_trig_tables();
