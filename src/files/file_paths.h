// Path texts: completing relative paths.
#pragma once
#include <string>

// Puts a relative (or empty) path behind app_path, in place.
void set_path_to_full(std::string& path);
