// Local calendar time from any thread. glibc sets its time zone up lazily
// and may redo it inside mktime and localtime_r, under a lock of its own
// that the race detector cannot see; the unpack and zip-writing threads
// convert archive times concurrently. So the time zone is set up once on the
// main thread before any worker starts, and every conversion of the program
// goes through these, one at a time.
#pragma once
#include <ctime>

// Reads the time zone once. Call on the main thread before threads start
// (start-up does; so does the test entry point). Safe to call again.
void UTL_local_time_init();
// mktime under the program's time lock: the time_t of a broken-down local
// time (tm_isdst -1 lets the rules decide), or (time_t)-1 when out of range.
time_t UTL_local_to_time(struct tm& tm);
// localtime_r under the same lock; false when t cannot be converted.
bool UTL_time_to_local(time_t t, struct tm& out);
