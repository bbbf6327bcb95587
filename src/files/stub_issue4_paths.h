// Stand-in for the path unit (file_paths.h): completing a relative path.
#pragma once
#include <string>

// Puts a relative (or empty) path behind app_path, in place.
void set_path_to_full(std::string& path);
