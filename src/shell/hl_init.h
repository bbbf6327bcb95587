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

// Set when a sub-window starts: the next frame sets up the lights again.
extern int plot_init_lights;

// Makes the given OpenGL context current on the calling thread; 1 on success.
int MACIBM_set_context_loader(void* context);

// Loads the chosen language's translation table (English clears it).
void MACIBM_setupforlang();

// Fills in the hooks and fields through which the lower layers (the thread
// layer, the clock, the command line, the preferences, the finish-up) reach
// the window shell, the OpenGL layer and the widget toolkit. MACIBM_init
// does it first; anything that runs the layers without it (the tests' entry
// point) calls it itself.
void MACIBM_connect_layers();

// The start-up splash: shows text (and a progress bar when fraction is not
// null). Until the splash screen exists it only passes the text to
// g_show_init_hook, which tests replace to read it.
void MACIBM_show_init(const std::string& text, const float* fraction);
extern void (*g_show_init_hook)(const std::string& text, const float* fraction);
