// The front end's own state beside the settings record (core/stg.h), the
// engine's file table and state strings (engine/utils_table.h) and the disc
// root (dvd_path, core/globs.h). Main thread only; zero at program start.
#pragma once

// The sim_info index of the file whose archive lies on another disc.
extern int want_file_disk;
// Engine errors of the current install; the finish screens report success
// only while it is 0 or less.
extern int num_install_errors;
// The licence check box; the licence screen's Next needs 1.
extern int accept_eula;
// 1 from an install's first frame until the engine reports it done or the
// user cancels it; one per flow.
extern int dvd_install_is_running;
extern int scenery_install_is_running;
extern int repair_is_running;
extern int demo_install_is_running;
