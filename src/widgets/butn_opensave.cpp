// The browser's modal loop: the listing, the folder staircase and pop-up,
// the buttons and the keys.
#include "widgets/butn_opensave.h"
#include <algorithm>
#include <vector>
#include "core/globs.h"
#include "core/hl_alert.h"
#include "core/hl_paths.h"
#include "core/hl_string.h"
#include "files/file_list.h"
#include "files/translate.h"
#include "ogl/OGL_font.h"
#include "shell/hl_event.h"
#include "shell/wins.h"
#include "widgets/butn.h"
#include "widgets/butn_enterstring.h"
#include "widgets/butn_list.h"

namespace {

const std::string k_out = out_path;
// Where each type starts without a path, and the extension a saved name of
// it receives.
const std::string k_start[io_last_file_type + 1] = {
    "", "", "", "", "", "", "", "", "", k_out + "situations/", k_out + "replays/", k_out + "FMS plans/",
    "", k_out + "tracks/", k_out + "cars/", spa_path, reg_path, "", "", "", "", "", "sim/", "sim/"};
const char* const k_extension[io_last_file_type + 1] = {
    "", "", ".BMP", ".ACF", ".AFL", ".WPN", ".WAV", ".OBJ", "", ".SIT", ".REP", ".FMS",
    "", ".TRA", ".CAR", ".SPA", ".REG", "", ".HGT", ".OZ", ".TXT", ".PRO", "", ""};

constexpr int k_levels = 300;
constexpr const char* k_src = "RUvozuz/OOPS_cpp/butn";

// path's folder part; a trailing '/' does not count as the separator.
std::string folder_of(const std::string& path) {
  const size_t end = path.empty() ? 0 : path.size() - 1;
  const size_t slash = end == 0 ? std::string::npos : path.rfind('/', end - 1);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Lists folder for file_type. The root is "", which names the current
// folder only as "./" while relative paths resolve against it.
int list_folder(const std::string& folder, int file_type, std::vector<std::string>& names, std::vector<int>& kinds) {
  const bool files = file_type != 22 && file_type != 23;
  return opensave_getitems(folder.empty() && files ? "./" : folder, file_type, names, kinds);
}

}  // namespace

std::string BTN_io_start_folder(int file_type) {
  if (file_type < 0 || file_type > io_last_file_type) return "";
  return k_start[file_type];
}

std::string BTN_io_save_extension(int file_type) {
  if (file_type < 0 || file_type > io_last_file_type) return "";
  return k_extension[file_type];
}

int BTN_opensave(int window, int file_type, std::string* path) {
  if (window != io_window_open && window != io_window_save) {
    __MACIBM_alert(0, "Bad open_save arg to BTN_opensave!", "", "", "", t_crash, k_src, 1741);
    return 0;
  }
  if (file_type < 0 || file_type > io_last_file_type) {
    __MACIBM_alert(0, "Bad file_type arg to BTN_opensave!", "", "", "", t_crash, k_src, 1742);
    return 0;
  }
  const int caller = wins.cur_win;
  std::string folder = path->empty() ? BTN_io_start_folder(file_type) : folder_of(*path);

  std::vector<std::string> names;
  std::vector<int> kinds;
  int count = list_folder(folder, file_type, names, kinds);
  int scroll = count / 2, selection = count / 2;
  // Lists the folder anew, centring the list.
  auto enter = [&](const std::string& to) {
    folder = to;
    count = list_folder(folder, file_type, names, kinds);
    scroll = selection = count / 2;
  };
  std::string name;  // the Save window's typed name
  static int level = 0;
  std::vector<std::string> levels(k_levels);
  wins.start_win(window);

  for (;; MACIBM_event_proc()) {
    if (wins.cur_win != window) return 0;
    const bool valid = selection >= 0 && selection < count && selection < static_cast<int>(names.size());
    stand_io_dialog(window, file_type, valid ? folder + names[selection] : "-");

    count = list_folder(folder, file_type, names, kinds);
    const int opened = BTN_list_and_search(0, 10, 180, 0, 0, &scroll, &selection, 0, count - 1,
                                           window == io_window_save ? &name : nullptr,
                                           UTL_translate_string("File:", table_string), BTN_name_from_vector, &names,
                                           nullptr, nullptr, BTN_type_from_vector, &kinds);

    // The staircase of the folder's components, which the pop-up offers as
    // levels to go back to; '-' is the pop-up's separator, so it shows as a
    // blank.
    std::string items = "Vodovaz folder-";
    int k = 0;
    for (size_t i = 0; i < folder.size() && k + 1 < k_levels; ++i) {
      if (i != 0 && folder[i - 1] != '/') continue;
      ++k;
      const size_t end = std::min(folder.find('/', i), folder.size());
      std::string component = folder.substr(i, end - i);
      std::replace(component.begin(), component.end(), '-', ' ');
      OGL_string(52, 20.0f + 10 * k, 415.0f - 10 * k, component, font_no_wrap, cs_regular, just_left);
      items += component + "-";
      levels[k] = folder.substr(0, end + 1);
    }
    items.pop_back();
    level = 0;
    for (int j = 0; j <= k; ++j)
      if (levels[j] == folder) level = j;

    int save = 0, open = 0;
    if (window == io_window_save) save = BTN_action(282, 18, 0, 0, 1, UTL_translate_string("Save", table_string), "-");
    if (window == io_window_open) open = BTN_action(280, 18, 0, 0, 1, UTL_translate_string("Open", table_string), "-");
    const int cancel = BTN_action(33, 18, 0, 0, 1, UTL_translate_string("Cancel", table_string), "-");
    if (cancel || escape_hit) {
      wins.start_win(caller);
      return 0;
    }

    if (BTN_textlist(150, 434, &level, items, "", '-')) {
      enter(levels[std::clamp(level, 0, k)]);
      continue;
    }

    const bool chosen = selection >= 0 && selection < count;
    if (window == io_window_save && (save || return_hit) && !name.empty()) {
      UTL_check_string_length(name);
      // A typed extension gives way to the type's own.
      if (name.size() > 4 && name[name.size() - 4] == '.') name.resize(name.size() - 4);
      *path = folder + name + BTN_io_save_extension(file_type);
      wins.start_win(caller);
      return 1;
    }
    if ((opened || (window == io_window_open && (return_hit || open))) && chosen) {
      if (kinds[selection] == kind_folder) {
        enter(folder + names[selection] + "/");
      } else if (window == io_window_open) {
        *path = folder + names[selection];
        wins.start_win(caller);
        return 1;
      }
    }
    if (delete_hit && !folder.empty()) enter(folder_of(folder));
  }
}
