#include "engine/next.h"
#include "core/xtim.h"
#include "engine/utils_table.h"
#include "files/file_ops.h"

std::vector<server_t> servers;
next_class next;
std::string crnt_file_path;
std::string crnt_file_name;

void next_class::reset_all_streams() {
  // A stream that was still fetching leaves its part of an archive in the
  // temporary folder, under the stream's own name; nothing else uses it.
  for (size_t j = 0; j < streams.size(); ++j)
    if (streams[j].file >= 0 && streams[j].file < (int)sim_info.size())
      delete_file(temp_path + std::to_string(j) + ".zip");
  next_file = 0;
  retry.clear();
  streams.clear();
  start_time = xtim.real_time;
  inflight_kb = done_comp_kb = done_exp_kb = 0;
  tries.clear();
  failed_files.clear();
}
