#include "shell/hl_init.h"

int g_case_sensitive = 0;

int MACIBM_set_context_loader(void* context) {
  // There is no window yet, so no context can be made current.
  (void)context;
  return 0;
}
