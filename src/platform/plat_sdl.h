// What the SDL units of the platform share between themselves; nothing above
// the platform includes this.
#pragma once

// Starts SDL's video (and with it the event queue and text input) on first
// use; 1 when it runs, 0 when no display is named or SDL could not start.
int PLAT_sdl_video_ready();
