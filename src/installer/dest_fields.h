// What the screens where the user names a new installation (the disc
// install's and the web demo's destination) share: their two widgets,
// "Change Destination", which asks for the parent folder with the desktop's
// dialog, and the install-name field beside it; and the file table's
// preparation for the new folder. Main thread only.
#pragma once
#include <string>

// Draws both for this frame. A chosen folder replaces parent_dir (with a '/'
// added unless it is "/"); the field edits install_folder (at most 256
// characters). prompt is the dialog's English question. 1 when either
// changed this frame.
int UTIL_destination_fields(std::string& parent_dir, std::string& install_folder, const char* prompt);

// A full checksum pass over dest_dir_path, run to its end without drawing.
// A folder that does not exist is done at once.
void UTIL_checksum_to_done();

// Prepares the file table for a new installation at dest_dir_path: scanned
// (nothing there yet), every file of the platform wanted, no scenery. Runs
// when changed, or when dest_dir_path is not the destination prepared_for
// (the calling screen's own) last ran for: a folder that was in the way and
// has since gone needs it too, though the user changed nothing.
void UTIL_prepare_new_install(int changed, std::string& prepared_for);
