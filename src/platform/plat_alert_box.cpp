#include "platform/plat_alert_box.h"
#include <SDL.h>
#include "platform/plat_sdl.h"

int PLAT_show_alert_box(const std::string& title, const std::string& text) {
  // Without a display SDL would fail anyway; asking first keeps it from
  // trying to start a video driver it cannot have.
  if (!PLAT_sdl_video_ready()) return -1;
  return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title.c_str(), text.c_str(), nullptr) == 0 ? 0 : -1;
}
