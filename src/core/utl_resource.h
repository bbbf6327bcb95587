// Paths that name files inside the application bundle's resources:
// "RESOURCE:" followed by the file's name.
#pragma once
#include <string>

// 1 when path begins with "RESOURCE:" (the prefix is then removed), else 0
// with path unchanged.
int UTL_path_is_resource(std::string& path);
// The absolute path of the named resource file, or "" when the bundle has none.
std::string UTL_resource_get_file(const std::string& name);
