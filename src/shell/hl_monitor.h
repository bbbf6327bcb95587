// The displays: how many there are, their modes, where they stand and what
// mode they are in, and switching one to the best mode for a size, putting
// back the mode it had before the first switch. Main thread only.
#pragma once

// The number of active displays; 1 when the system cannot say.
int UTL_count_monitors();
// The display at index n of the active list (0 first); the list is the main
// display alone when it cannot be read, is empty or disagrees with the count.
// n must be below UTL_count_monitors().
int get_nth_display(int n);
// Calls report once per mode of display n, in the system's order.
void UTL_get_all_monitor_modes(int n, void (*report)(int width, int height, int bits_per_pixel, int refresh));
// Display n's bounds in global coordinates, its depth and its refresh rate
// (0 when the display does not say). Null pointers are skipped.
void UTL_get_monitor_res(int n, int* x, int* y, int* width, int* height, int* bits_per_pixel, int* refresh);
// Remembers display n's mode before the first switch, then switches it to the
// mode closest to the one asked. 1 on success, 0 when no mode was found or
// the switch failed.
int UTL_set_monitor_res(int n, int width, int height, int bits_per_pixel, int refresh);
// Switches display n back to its mode from before the first switch; does
// nothing for a display never switched.
void UTL_restore_monitor_res(int n);
// Forgets every remembered mode (the process ends with the table).
void UTL_forget_monitor_modes();
