// Shared by the build mode's units.
#pragma once
#include <string>

// A crash-kind alert from the build mode; it ends the run (and the program).
void build_crash(int line, const std::string& s1, const std::string& s2 = "", const std::string& s3 = "",
                 const std::string& s4 = "");
// The part of a path under the master copy (the whole path when it is not
// under src_fold): the name checks look only there, so the master copy's own
// location never trips them.
std::string under_master(const std::string& path);
// 1 when text holds part.
inline int has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }
// Shows the progress lines and raises "You hit Q dumbass!" when a 'q' came.
void build_progress(const std::string& line1, const std::string& line2);

// The version every file gets in a new set; an old one must stay at or below
// it, and a set built here holds nothing else.
inline constexpr int k_new_version = 100001;
// Writes a FILE line to ouf.
void write_file_line(int platform, int version, long long comp_kb, long long exp_kb, const std::string& md5,
                     const std::string& name);
// Writes a DIR line to ouf when folder differs from prev_dir, and remembers it.
void write_dir_line(const std::string& folder);
