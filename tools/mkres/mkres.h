// The resource generator's pictures: one writer per picture, each painting
// its picture into a folder, either as the art the program shows or, with
// test set, coordinate-coded for the tests (see atlas_layout.h). Each returns
// 1 on success, 0 after printing why on standard error.
#pragma once
#include <string>

// "interface.png": the interface atlas and its colour swatches.
int MKRES_write_interface(const std::string& dir, bool test);
// "elements_<Lang>.png" for every language: the picture buttons' words from
// the word list, in the face at font_path.
int MKRES_write_elements(const std::string& dir, const std::string& words_path, const std::string& font_path,
                         bool test);
// "map.png": the world map's three bands, painted from the relief raster at
// relief_path.
int MKRES_write_map(const std::string& dir, const std::string& relief_path, bool test);
// "background.png": the wizard's background.
int MKRES_write_background(const std::string& dir, bool test);
// "intro.png", the start-up picture, into the bitmaps folder bitmaps_dir,
// its world map painted from the relief raster at relief_path.
int MKRES_write_intro(const std::string& bitmaps_dir, const std::string& relief_path, bool test);
