#include "installer/dest_fields.h"
#include <thread>
#include "engine/utils_checksum.h"
#include "engine/utils_choose.h"
#include "engine/utils_table.h"
#include "files/file_paths.h"
#include "files/translate.h"
#include "ogl/OGL_font.h"
#include "widgets/butn.h"
#include "widgets/butn_enterstring.h"

int UTIL_destination_fields(std::string& parent_dir, std::string& install_folder, const char* prompt) {
  int changed = 0;
  const std::string change_label = UTL_translate_string("Change Destination");
  const std::string name_label = UTL_translate_string("Install Name:");
  const int w1 = static_cast<int>(OGL_measure_string(change_label) + 21);
  const int w2 = static_cast<int>(OGL_measure_string(name_label));
  if (BTN_action(290, 203, w1, 0, 1, change_label, "-") &&
      GetFilePathFromUser(2, UTL_translate_string(prompt), UTL_translate_string("Select"), 1, parent_dir,
                          parent_dir)) {
    changed = 1;
    if (parent_dir != "/") parent_dir += '/';
  }
  // The field starts right of the button; its label stays on one line.
  const int x = static_cast<int>(w1 * 0.5f + 300 + 10 + w2);
  if (BTN_enterstring(x, 200, &install_folder, 256, "-" + name_label, 760 - x, 0)) changed = 1;
  return changed;
}

void UTIL_checksum_to_done() {
  int cursor = 0;
  float progress = 0;
  while (!checksum_directory(cursor, 0, progress)) std::this_thread::yield();
}

void UTIL_prepare_new_install(int changed, std::string& prepared_for) {
  if (!changed && prepared_for == dest_dir_path) return;
  UTIL_checksum_to_done();
  set_install_filter(1, 1);
  scenery_take_none();
  recalc_disk_sizes();
  prepared_for = dest_dir_path;
}
