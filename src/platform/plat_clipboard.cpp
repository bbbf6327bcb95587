#include "platform/plat_clipboard.h"
#include <SDL2/SDL.h>
#include "platform/plat_sdl.h"

int PLAT_clipboard_set_text(const std::string& text) {
  if (!PLAT_sdl_video_ready()) return 0;
  return SDL_SetClipboardText(text.c_str()) == 0;
}

int PLAT_clipboard_get_text(std::string* text) {
  if (!PLAT_sdl_video_ready() || !SDL_HasClipboardText()) return 0;
  char* got = SDL_GetClipboardText();
  if (!got) return 0;
  *text = got;
  SDL_free(got);
  return !text->empty();
}
