// The shared table of pseudo-random fractions: the same in every run, so
// whatever is scattered with it (lights, scenery, the splash) looks alike each
// time, while rand() itself is reseeded to differ between runs.
#pragma once

enum { randrat_size = 100000 };
// Values in [0, 0.9999), filled once at start-up; read-only afterwards.
extern float randrat[randrat_size];

// Fills randrat from rand() seeded with 1, then reseeds rand() from the
// microsecond clock and discards (seed modulo 1000) draws.
void fill_randrat();
