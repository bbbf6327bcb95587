// Deciding what an install, scenery or repair run does with each file, the
// size totals the screens show while the user picks, and the scenery grid
// operations behind the world map. Main thread only, after a checksum pass.
#pragma once

// Sets do_install, do_delete and progress of every file's current version,
// asking select_alert about files the user changed; each changed file kept
// counts with the pass (engine/utils_counts.h). 1 when every file is
// decided, 0 when the user cancelled (later files keep their old flags).
int choose_files();
// Recomputes stg's total_comp_kb, total_exp_kb, files_to_install and
// files_to_delete over the files the filter passes.
void recalc_disk_sizes();
// want_cells becomes a copy of have_cells.
void scenery_take_all();
// Clears want_cells.
void scenery_take_none();
// want_cells becomes exactly the cells of the installed global-scenery files
// (sig_have not "NONE"); returns how many such files there are.
int scenery_from_install();
// The same as scenery_from_install.
int scenery_from_install_wrap();
