// The desktop's own file dialogs, run through the "yad" program found on
// PATH (or "zenity" where yad is missing). Each call blocks until the user
// answers.
#pragma once
#include <string>

// Asks the user for a path. kind: 0 open a file, 1 save a file (suggesting
// the name in path), 2 choose a folder. title is the dialog's message; start
// is the folder it opens in ("" for the dialog's default). Returns 1 with path
// set to the chosen absolute path (no trailing '/'), 0 when the user cancelled,
// the kind is unknown or the dialog could not run (path untouched). ok_label
// names the button that confirms ("" for the dialog's own).
int PLAT_choose_path(int kind, const std::string& title, const std::string& ok_label, const std::string& start,
                     std::string& path);
