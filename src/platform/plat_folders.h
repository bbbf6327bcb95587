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
// /tmp; made on the first call, the same answer afterwards (made again if it
// was removed).
std::string PLAT_temp_folder();
// Takes folder (no trailing '/') as this program's too when it is a private
// temporary folder another run of it made: named like PLAT_temp_folder's, in
// the same place, a real folder owned by this user with mode 0700. A copy of
// the bundle started from the disc lives in one. 1 when taken, else 0.
int PLAT_adopt_temp_folder(const std::string& folder);
// Removes, with everything in them, this process's temporary folder and the
// one adopted; later calls of PLAT_temp_folder make a new one.
void PLAT_remove_temp_folders();
// Each private temporary folder records the run that owns it. Marks this
// process's own folder as being handed to a copy of the program started
// from it, which adopts it: for a short while no running process owns it.
void PLAT_hand_over_temp_folder();
// Removes the private temporary folders of this program, in the same place,
// that belong to no living run: this user's own, whose recorded owner is
// gone (a run killed or crashed). A folder with no record, another user's,
// or this run's own is never touched. Returns how many went.
int PLAT_sweep_stale_temp_folders();
// Whether names on the volume that holds path (which must exist) differ by
// letter case: 1 yes, 0 no, -1 cannot tell (no letter in the path, or it is missing).
int PLAT_volume_case_sensitive(const std::string& path);
