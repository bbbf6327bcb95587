// The folders the system gives this program: the user's home, Desktop,
// configuration folder, a private temporary folder, and the application
// bundle. Each answer is an absolute path without a trailing '/', or "" when
// the system cannot give one. These are the only places the program learns
// about the user's environment.
#pragma once
#include <string>
#include "platform/plat_bundle.h"

// The user's home folder: $HOME, else the password database's entry.
std::string PLAT_home_folder();
// The user's configuration folder: $XDG_CONFIG_HOME, else ~/.config; created
// when missing.
std::string PLAT_config_folder();
// The user's Desktop: XDG_DESKTOP_DIR of user-dirs.dirs in the configuration
// folder, else ~/Desktop; created when missing.
std::string PLAT_desktop_folder();
// A temporary folder private to this process (mode 0700) under $TMPDIR, else
// /tmp; made on the first call, the same answer afterwards. Never removed by
// the program: the copy of the bundle that start-up runs from lives there.
std::string PLAT_temp_folder();
// Whether names on the volume that holds path (which must exist) differ by
// letter case: 1 yes, 0 no, -1 cannot tell (no letter in the path, or it is missing).
int PLAT_volume_case_sensitive(const std::string& path);
