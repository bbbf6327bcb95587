// Stand-ins for units of the files subsystem that are not in this tree yet;
// same names and signatures as theirs. Removed when the real units arrive.
#pragma once
#include <string>

// out := the folder part of in, through its last '/'.
void get_path_with_path(std::string& out, const std::string& in);
// out := the last component of in.
void get_file_with_path(std::string& out, const std::string& in);
