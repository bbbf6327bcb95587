// Folder listings filtered by file kind. A listing is two parallel vectors:
// entry names (no folder part, no trailing '/') and item kinds.
#pragma once
#include <string>
#include <vector>

// Item kinds: 0 a file of no known kind (and every symbolic link), 1 a folder,
// 2 to 21 kinds from the name's extension (opensave_takeit), 22 and 23 the
// listing filters of the same numbers.
enum { kind_file = 0, kind_folder = 1, kind_image = 2, kind_text = 20 };

// Lists folder (a path ending in '/'; a path without one is a programming
// error and ends the program). filter: 0 every entry, 1 to 21 folders and
// entries of that kind, 12 folders and images, 22 nothing, 23 the command
// registry's entries below the folder text. Names beginning with '.' are left
// out; entries are sorted by name ignoring letter case. Returns the number of
// entries; 0 too for a folder that cannot be opened.
int opensave_getitems(const std::string& folder, int filter, std::vector<std::string>& names,
                      std::vector<int>& kinds);
// Sets kind from name's extension and answers 1 to keep the entry under
// filter, 0 to drop it.
int opensave_takeit(const std::string& folder, const std::string& name, int filter, int& kind);
// Sorts names and kinds together by name the way listings are ordered.
void opensave_sort(std::vector<std::string>& names, std::vector<int>& kinds);
// Compares two names ignoring ASCII letter case, bytes taken as signed (so
// bytes from 0x80 up sort first): negative, 0 or positive.
int no_case_compare_char(const std::string& a, const std::string& b);
