// Platform actions of the file unit: handing over to another application,
// ejecting the disc that holds a path, and loading a system framework's code.
#pragma once
#include <string>
#include "platform/plat_libraries.h"

// Starts the executable of the application bundle app (or app itself when it
// is an executable), with the arguments "-path" and argument when argument is
// not empty, and ends this process with status 1 (after the finish-up with
// saving when finish_first is non-zero). Returns only when the program could
// not be started: the errno of the failed fork or exec.
int launch_app(const std::string& app, const std::string& argument, int finish_first);

// Unmounts and ejects the volume that holds path (used as given; a disc
// image mounted with FUSE is unmounted); 0, or
// errno: ENOENT for a missing path, EBUSY when the volume cannot be ejected
// (the system's root volume, or in use), ETIMEDOUT when ejecting hung, ENOSYS
// when the system has no way to eject.
int eject_dvd(const std::string& path);

// Loads the code of the system library that stands for the framework name
// ("OpenGL.framework"). 0 on success, the library then handed to the caller
// through bundle when it is not null. Failures: -50 no name, -54 no library
// stands for the name, -37 its code cannot be loaded; with alert non-zero each
// first raises its alert, which ends the program.
int load_bundle_by_filename(const char* name, int alert, PLAT_library* bundle);
