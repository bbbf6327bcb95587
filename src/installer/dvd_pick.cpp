// Choosing an installed copy, and the run flow's first screen.
#include "installer/dvd_pick.h"
#include <vector>
#include "core/hl_alert.h"
#include "engine/utils_table.h"
#include "files/file_list.h"
#include "files/file_paths.h"
#include "files/translate.h"
#include "installer/dvd_flows.h"
#include "installer/velora.h"
#include "ogl/OGL_font.h"
#include "widgets/butn.h"

int path_is_to_a_sim() {
  // An empty path would list whatever folder relative paths start from.
  if (dest_dir_path.empty() || dest_dir_path.back() != '/') return 0;
  std::vector<std::string> names;
  std::vector<int> kinds;
  opensave_getitems(dest_dir_path, 0, names, kinds);
  static const char* const k_parts[] = {"Airfoils", "Instructions", "Output", "Resources"};
  int seen = 0;
  for (size_t i = 0; i < names.size() && i < kinds.size(); ++i) {
    if (kinds[i] != kind_folder) continue;
    for (int p = 0; p < 4; ++p)
      if (names[i].find(k_parts[p]) != std::string::npos) seen |= 1 << p;
  }
  return seen == 15;
}

// The folder that holds folder (both ending in '/'), or "" when it has none.
static std::string parent_folder(const std::string& folder) {
  if (folder.size() < 2) return std::string();
  const size_t cut = folder.rfind('/', folder.size() - 2);
  return cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
}

// "Find It": the desktop's folder dialog, then up from the chosen folder to
// the installed copy that holds it.
static void find_a_copy() {
  const std::string before = dest_dir_path;
  // The dialog opens on a folder the screen shows: the chosen copy, else the
  // first listed, else the Desktop, where a new copy goes.
  std::string start = dest_dir_path;
  if (start.empty() && !all_velroots.empty()) start = all_velroots[0];
  if (start.empty()) get_OS_abs_path(os_dir_desktop, start);
  if (!GetFilePathFromUser(2, UTL_translate_string("Please select your Duvizo 9 folder."),
                           UTL_translate_string("Select"), 1, start, dest_dir_path))
    return;
  if (dest_dir_path != "/") dest_dir_path += '/';
  const std::string chosen = dest_dir_path;
  for (;;) {
    if (path_is_to_a_sim()) {
      register_new_velora();
      locate_all_veloras();
      return;
    }
    dest_dir_path = parent_folder(dest_dir_path);
    if (dest_dir_path.empty()) break;
  }
  // The previous choice comes back before the warning shows, so the screen
  // behind it never works on the rejected folder.
  dest_dir_path = before;
  __MACIBM_alert(0, UTL_translate_string("You selected the folder path:"), chosen,
                 UTL_translate_string("But it does not appear to be an installed copy of Duvizo 9."),
                 UTL_translate_string("Please be sure to select the folder that contains the Duvizo application."),
                 t_warning, "Installer-f/utils_pick", __LINE__);
}

void UTIL_pick_install() {
  if (all_velroots.size() == 1 && dest_dir_path.empty()) dest_dir_path = all_velroots[0];
  const int n = static_cast<int>(all_velroots.size());
  for (int i = 0; i < n; ++i) {
    // One choice among many: a box shows whether it is the chosen copy, and
    // a click always chooses it.
    int ticked = dest_dir_path == all_velroots[i];
    if (BTN_bool(250, 400 - 25.0f * i, &ticked, "|-" + all_velroots[i], 1)) dest_dir_path = all_velroots[i];
  }
  const std::string missing = UTL_translate_string("Is the copy of Duvizo 9 you're looking for missing from this list?");
  OGL_string(50, 230, 400 - 25.0f * n, missing, 400, cs_regular, just_left);
  const float w = OGL_measure_string(missing);
  const float x = w > 400 ? 685 : w + 285;
  if (BTN_action(x, 403 - 25.0f * n, 100, 0, 1, UTL_translate_string("Find It"), "-")) find_a_copy();
}

void UTIL_forget_unlisted_dest() {
  for (const std::string& copy : all_velroots)
    if (copy == dest_dir_path) return;
  dest_dir_path.clear();
}

std::string UTIL_pick_install_text(const std::string& request) {
  std::string text;
  if (all_velroots.size() > 1)
    text = UTL_translate_string("You have more than one copy of Duvizo 9 installed on this computer.  ");
  return text + UTL_translate_string(request);
}

int dvd_pick_run_sim(int first, wizard_screen& s) {
  if (first) UTIL_forget_unlisted_dest();
  s.title = UTL_translate_string("Run Duvizo");
  s.back = dvd_start;
  s.next_screen = dvd_do_run_sim;
  // One copy needs no choice: it starts at once.
  if (all_velroots.size() == 1) {
    dest_dir_path = all_velroots[0];
    return 1;
  }
  UTIL_pick_install();
  if (dest_dir_path.empty()) s.next_screen = nullptr;
  s.text = UTIL_pick_install_text("Please pick which copy of Duvizo 9 you would like to run.");
  return 0;
}
