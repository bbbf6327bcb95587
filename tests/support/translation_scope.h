// One test's translation state: a bundle whose resources hold the
// translation files, English and no command-line options at the start, and
// everything as it was found at the end.
#pragma once
#include <string>
#include "core/utl_cmdline.h"
#include "files/translate.h"
#include "platform/plat_folders.h"

struct translation_scope {
  std::string old_bundle = PLAT_bundle_path();
  // Makes bundle the program's bundle and starts from English.
  void enter(const std::string& bundle) {
    PLAT_set_bundle_path(bundle);
    cmdline.options.clear();
    UTL_translate_clear();
  }
  ~translation_scope() {
    PLAT_set_bundle_path(old_bundle);
    cmdline.options.clear();
    UTL_translate_clear();
  }
};
