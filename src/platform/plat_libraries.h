// System libraries loaded by the name of the Mac framework they stand for.
#pragma once
#include <string>

// A loaded library; it stays loaded for the life of the process.
typedef void* PLAT_library;

// The file name of the library that stands for a framework ("OpenGL.framework"
// gives "libGL.so.1"), or "" when this system has none for it.
std::string PLAT_framework_library(const std::string& framework);
// Loads a library by its file name, binding every symbol now; null when it
// cannot be loaded.
PLAT_library PLAT_load_library(const std::string& file);
// The address of a symbol of a loaded library, or null.
void* PLAT_library_symbol(PLAT_library lib, const char* name);
// Gives up a handle from PLAT_load_library; the code stays loaded.
void PLAT_release_library(PLAT_library lib);
