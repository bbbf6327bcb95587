#include "shell/hl_init.h"
#include "files/file_paths.h"
#include "platform/plat_folders.h"

int g_case_sensitive = 0;

int MACIBM_set_context_loader(void* context) {
  // There is no window yet, so no context can be made current.
  (void)context;
  return 0;
}

void MACIBM_set_app_path(std::string& out, int keep_bundle) {
  std::string bundle = PLAT_bundle_path();
  if (bundle.empty()) return;
  set_path_to_right_dirchars(bundle);
  int sensitive = PLAT_volume_case_sensitive(bundle);
  if (sensitive >= 0) g_case_sensitive = sensitive;
  if (keep_bundle)
    out = bundle;
  else
    get_path_with_path(out, bundle);
}
