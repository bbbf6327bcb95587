#include "platform/plat_video.h"

static const PLAT_video_backend* g_backend = nullptr;

const PLAT_video_backend& PLAT_video() { return g_backend ? *g_backend : PLAT_video_sdl(); }

const PLAT_video_backend* PLAT_video_use(const PLAT_video_backend* backend) {
  const PLAT_video_backend* old = &PLAT_video();
  g_backend = backend;
  return old;
}
