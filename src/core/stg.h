// The installer's settings record: what the screens chose, what the engine
// computed. Shared by the front end, the engine and the preference file,
// main thread only. Zero at load except where noted.
#pragma once

enum { stg_lon_cells = 36, stg_lat_cells = 18 };

struct settings_record {
  int stage = 0;            // 0 nothing, 1 web archive unpacked, 2 bad header, 3 loaded
  int platform = 0;         // 0 all, 1 Mac, 2 Windows, 3 Linux
  int log_actions = 0;      // log every file action of the engine
  int new_format_mark = 0;  // 2 when files newer than this program were found
  int extract_problem = 0;  // 1 after a downloaded archive failed to extract
  int server = 0;           // current download server
  int want_cells[stg_lon_cells][stg_lat_cells] = {};  // [lon][lat], 1 = wanted
  int have_cells[stg_lon_cells][stg_lat_cells] = {};  // [lon][lat], 1 = on the discs
  int crnt_file_state = 0;  // web install: 0 deleting, 1 downloading, 2 installed, 3 not needed
  float crnt_file_progress = 0;
  int stream_count = 0;     // download streams per server
  int get_beta = 0;
  float total_comp_kb = 0;
  float total_exp_kb = 0;
  int files_to_install = 0;
  int files_to_delete = 0;
  int has_global_scenery = 0;
  int has_other_files = 0;
};
extern settings_record stg;
