#include "shell/hl_init.h"

int g_case_sensitive = 0;

int MACIBM_set_context_loader(void* context) {
  // No window system context can be shared yet.
  return context ? 0 : 0;
}
