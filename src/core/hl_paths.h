// Folder names of the framework's own layout, relative to the root folder.
#pragma once

inline constexpr char rsrc_path[] = "Resources/";
inline constexpr char out_path[] = "Output/";
inline constexpr char prefs_path[] = "Output/preferences/";
inline constexpr char spa_path[] = "Output/spaceships/";
inline constexpr char reg_path[] = "Output/regions/";
inline constexpr char bmp_path[] = "Resources/bitmaps/";
inline constexpr char no_install_name[] = "Not Yet Scanned";
// The simulator's version as the update sets name it: a web-update set is
// built under this name and the server list carries it.
inline constexpr char version_string[] = "Duvizo 10";
