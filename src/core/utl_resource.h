// "RESOURCE:" paths: names of files inside the application bundle's
// resources. Readers strip the prefix with UTL_path_is_resource and open
// UTL_resource_get_file of the rest. No state; any thread.
#pragma once
#include <string>

// 1 when path begins with "RESOURCE:" (upper case, exactly), which is then
// removed from it ("RESOURCE:" alone becomes empty); else 0, path unchanged.
int UTL_path_is_resource(std::string& path);
// The absolute path of the named file in the bundle's resources, or "" when
// the bundle has no such resource (or the name is empty).
std::string UTL_resource_get_file(const std::string& name);
