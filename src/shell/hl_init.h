// Start-up of the application shell.
#pragma once
#include <string>

// Brings the program from its entry to the first frame: debug set-up, the
// data root, the current folder, the log with its system description, the
// command line (which may print and exit), the thread layer, the display
// mode, the window and its context (a quit alert when there is none), the
// capability probe, the texture manager and the general pool, the random and
// trigonometric tables, the interface pictures and colours, the language,
// statistics, key bindings and the translation table.
void MACIBM_init(int argc, char** argv);

// 1: fits the display to the program at start (a display below 1024 by 768
// turns full screen on at 1024 by 768 or more) and goes full screen when set;
// 0: back to windowed and the display's own mode. Both store the display's
// bit depth. Without a display it does nothing.
void MACIBM_setres(int on);

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

// The start-up splash: once the first sub-window stands, draws one frame with
// the maker's web address, text and a progress bar filled to fraction
// (clamped to 0.02..1; null: one hundredth more per call) and swaps. Every
// call first passes its arguments to g_show_init_hook when set (tests read
// the texts there).
void MACIBM_show_init(const std::string& text, const float* fraction);
extern void (*g_show_init_hook)(const std::string& text, const float* fraction);
