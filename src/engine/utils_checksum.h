// The checksum pass: learns what the installation folder holds by digesting
// every installed file that passes the filter on a pool of worker threads.
// The front end calls checksum_directory once per frame (or in a loop) with a
// cursor it set to 0; a step never waits.
#pragma once
#include <string>
#include "core/utl_worker.h"

// One batch of at most ten files: sets sig_have ("NONE" when absent) and
// up_to_date of each file's current version in [first_file, end_file).
class checksum_task : public UTL_work_task {
 public:
  // quick 1: a present file counts as intact without reading it.
  checksum_task(int first_file, int end_file, int quick);
  void do_it() override;
  // Always 0 with msg emptied: a file that cannot be read is simply absent.
  int check_error(std::string& msg) override;

  int first_file;
  int end_file;
  int quick;
};

// One step of the pass over dest_dir_path; progress := files handed out /
// files. Returns 1 when the pass is complete, 0 while it runs. A destination
// that is not a folder marks every file absent and returns 1 at once.
int checksum_directory(int& cursor, int quick, float& progress);
// Waits for every task of a running pass, then ends it; returns 1.
int checksum_directory_kill();
