// Shared math helpers.
#pragma once

// A whole number from low to high, both included, from the C library's rand
// (never seeded here). Equal bounds return low without drawing; high below low
// raises a crash alert, which ends the program.
int int_rand(int low, int high);
