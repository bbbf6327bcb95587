// Start-up of the application shell.
#pragma once
#include <string>

// Brings the program from its entry to the first frame: debug set-up, the
// data root, the current folder, the log with its system description, the
// command line (which may print and exit), the thread layer, the language,
// the general pool, statistics and the translation table.
void MACIBM_init(int argc, char** argv);

// Opens the log "Duvizo Installer Log.txt" on the Desktop, rewriting it, and
// writes its header and system description. A log that cannot be opened
// drops every later line; the program goes on.
void MACIBM_open_log();

// Makes the given OpenGL context current on the calling thread; 1 on success.
int MACIBM_set_context_loader(void* context);

// out := the application bundle's path with its separators repaired; with
// keep_bundle 0, the folder that holds it (ending in '/'), with 1 the bundle
// itself (no trailing '/'). Also sets g_case_sensitive from the bundle's volume
// (unchanged when that cannot be told).
void MACIBM_set_app_path(std::string& out, int keep_bundle);

// 1 when the volume that holds the application bundle is case-sensitive.
extern int g_case_sensitive;
