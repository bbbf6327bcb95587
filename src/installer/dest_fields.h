// The two widgets of the screens where the user names a new installation
// (the disc install's and the web demo's destination): "Change Destination",
// which asks for the parent folder with the desktop's dialog, and the
// install-name field beside it. Main thread only.
#pragma once
#include <string>

// Draws both for this frame. A chosen folder replaces parent_dir (with a '/'
// added unless it is "/"); the field edits install_folder (at most 256
// characters). prompt is the dialog's English question. 1 when either
// changed this frame.
int UTIL_destination_fields(std::string& parent_dir, std::string& install_folder, const char* prompt);
