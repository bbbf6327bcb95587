// Application bundles in their Mac shape (Name.app/Contents/MacOS/<program>).
#pragma once
#include <string>

// The path of the bundle's executable: Contents/MacOS/ followed by the name
// that Contents/Info.plist gives as CFBundleExecutable, else by the bundle's
// folder name without its extension. "" when path is not a bundle folder or
// that executable does not exist.
std::string PLAT_bundle_executable(const std::string& bundle);
