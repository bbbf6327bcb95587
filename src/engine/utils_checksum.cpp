#include "engine/utils_checksum.h"
#include <algorithm>
#include <chrono>
#include "core/globs.h"
#include "core/utl_thread.h"
#include "files/file_compress.h"
#include "files/file_inside.h"
#include "files/file_ops.h"
#include "engine/utils_table.h"

enum { files_per_task = 10, tasks_per_processor = 4 };

static UTL_worker_threads* checksum_workers = nullptr;

// Seconds since the first pass of either kind made its pool, for the log.
static double seconds_since_first_pass() {
  static const std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

checksum_task::checksum_task(int first, int end, int q) : first_file(first), end_file(end), quick(q) {}

void checksum_task::do_it() {
  for (int i = first_file; i < end_file; ++i) {
    if (!want_this_f(i, (int)sim_info[i].versions.size() - 1)) continue;
    file_version_struct& v = current_version(i);
    std::string path = installed_path(i);
    sweep_stale_temporaries(path);
    std::string have = "NONE";
    // A file reached through a link that leads out is not the installation's:
    // absent. A full scan digests a link's own text, a quick one looks at
    // what the link leads to.
    const bool inside = inside_installation(path, quick ? inside_through : inside_entry) == 0;
    if (inside && !quick)
      calc_file_md5(path, have);  // leaves "NONE" when the file cannot be read
    else if (inside && file_exists(path))
      have = v.sig_want;
    v.sig_have = have;
    v.up_to_date = (have == v.sig_want) ? 1 : 0;
  }
}

int checksum_task::check_error(std::string& msg) {
  msg.clear();
  return 0;
}

int checksum_directory(int& cursor, int quick, float& progress) {
  const int n = (int)sim_info.size();
  if (!dir_exists(dest_dir_path)) {
    for (file_history_struct& h : sim_info) {
      h.versions.back().sig_have = "NONE";
      h.versions.back().up_to_date = h.versions.back().sig_want == "NONE";
    }
    return 1;
  }
  if (!checksum_workers) {
    const int procs = UTL_count_processors();
    sweep_stale_reset();
    checksum_workers = new UTL_worker_threads(procs, procs * tasks_per_processor);
    xer_group() << " Start of MD5 at " << seconds_since_first_pass() << "\n";
  }
  while (cursor < n && checksum_workers->has_free_slot()) {
    const int count = std::min(n - cursor, (int)files_per_task);
    checksum_workers->enqueue_task(new checksum_task(cursor, cursor + count, quick));
    cursor += count;
  }
  while (UTL_work_task* t = checksum_workers->check_retired_tasks()) delete t;
  progress = n ? (float)cursor / (float)n : 0.0f;
  if (cursor >= n && checksum_workers->count_total_tasks() == 0) {
    delete checksum_workers;
    checksum_workers = nullptr;
    xer_group() << " End of MD5 at " << seconds_since_first_pass() << "\n";
    return 1;
  }
  return 0;
}

int checksum_directory_kill() {
  if (!checksum_workers) return 1;
  while (UTL_work_task* t = checksum_workers->wait_retired_tasks()) delete t;
  delete checksum_workers;
  checksum_workers = nullptr;
  return 1;
}
