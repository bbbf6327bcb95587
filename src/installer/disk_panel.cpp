#include "installer/disk_panel.h"
#include "core/stg.h"
#include "engine/utils_table.h"
#include "files/file_ops.h"
#include "files/translate.h"
#include "installer/inst_text.h"
#include "ogl/OGL_font.h"

int (*UTIL_disk_space_query)(const std::string&, unsigned long long*, unsigned long long*) = get_free_space;

int UTIL_disk_space(const std::string& enough_msg, const std::string& not_enough_msg) {
  unsigned long long total_bytes = 0, free_bytes = 0;
  // A volume that cannot be asked (gone, or the folder's parent missing)
  // must not hold the user back: nothing is shown and the space counts as
  // enough.
  if (UTIL_disk_space_query(dest_dir_path, &total_bytes, &free_bytes) != 0) return 1;
  // The volume's sizes in thousands of bytes, shown by the kilobyte rule as
  // the disc makers count them.
  const float total = static_cast<float>(total_bytes / 1000);
  const float free_kb = static_cast<float>(free_bytes / 1000);
  const float needed = stg.total_exp_kb;
  // Exactly the space needed is enough: the sentence and the result agree.
  const bool enough = free_kb >= needed;
  const std::string text = UTL_string_sub(
      UTL_translate_string("Disk size: %1:total disk space%\nFree disk space: %2:free disk space%\nDisk space "
                           "needed to install: %3:required disk space%\n\n%4:status message%"),
      size_string(total), size_string(free_kb), size_string(needed), enough ? enough_msg : not_enough_msg);
  OGL_string(50, 220, 130, text, 560, cs_regular, just_left);
  return enough ? 1 : 0;
}
