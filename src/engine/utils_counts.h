// The tally of one pass over an installation: what the install, delete and
// download steps did with each file, and how many changed files the user
// chose to keep. The front end starts it afresh as a pass begins and reads
// it when the pass ends, for the log. The install pass's pools may be
// stopped from the finish-up of a run ended from outside, so any thread.
#pragma once

struct pass_counts {
  int installed = 0;  // files now in place with the wanted content
  int failed = 0;     // files that could not be installed or deleted
  int kept = 0;       // changed files the user chose to keep as they are
  int deleted = 0;    // files taken away because the set no longer has them
};

// Starts a new tally at zero.
void pass_counts_reset();
// The tally since the last reset.
pass_counts pass_counts_now();
// One file handled by an install or a download: code 0 installed, else failed.
void pass_count_install(int code);
// One file handled by a deletion: code 0 deleted, ENOENT (gone already) too,
// else failed.
void pass_count_delete(int code);
// One file that could not be had at all (a download given up on).
void pass_count_failed();
// One changed file the user chose to keep.
void pass_count_kept();
