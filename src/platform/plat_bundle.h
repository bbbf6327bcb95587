// Where the running program lives. The application keeps the bundle shape on
// every system: "<bundle>/Contents/MacOS/<executable>", with its resources in
// "<bundle>/Contents/Resources/".
#pragma once
#include <string>

// The running executable's absolute path, as the kernel knows it; "" when it
// cannot be read.
std::string PLAT_executable_path();
// The application bundle's own path without a trailing '/': the folder above
// "Contents/MacOS/" when the executable sits there, else the executable
// itself (a bare program is its own application). "" when unknown.
std::string PLAT_bundle_path();
// The bundle's resources folder, ending in '/'; "" when the program does not
// run from a bundle.
std::string PLAT_bundle_resources_path();
// Makes PLAT_bundle_path answer path from now on ("" forgets it); for tests and
// tools that stand in for an application bundle.
void PLAT_set_bundle_path(const std::string& path);
// Makes the folder that holds the bundle the current folder, as the desktop
// does for an application started by a double-click; 0 or an errno value.
int PLAT_enter_bundle_folder();
