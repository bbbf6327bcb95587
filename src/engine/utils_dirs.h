// Between choosing and installing: making the folders the install needs and
// deleting the files no longer wanted. Main thread; each returns when done.
#pragma once
#include <set>
#include <string>

// Makes dest_dir_path with its parents, every folder a file to install
// needs, the simulator's output folders, and puts back the plug-in
// frameworks' links. 0, or the code of the first folder that could not be
// made (after make_dir_error has told the user). A folder that leads out of
// the installation (inside_installation) is passed over, logged: its files
// then fail to install, each once.
int make_dirs();
// Warns that folder could not be made, with code's sentence.
void make_dir_error(const std::string& folder, int code);
// Deletes the files marked do_delete, then the folders that this emptied,
// deepest first, never dest_dir_path itself nor anything outside it: a path
// that leads out through a link (inside_installation) is left, logged.
// Each file deleted or left counts with the pass (engine/utils_counts.h).
void delete_files();
// Adds to folders every folder between the file at path and dest_dir_path,
// each ending in '/': never dest_dir_path itself nor anything outside it.
void note_emptied_folders(const std::string& path, std::set<std::string>& folders);
// Deletes each of folders that is empty, deepest first, logging each attempt
// when stg.log_actions is set; folders that still hold anything stay.
void delete_emptied_folders(const std::set<std::string>& folders);
