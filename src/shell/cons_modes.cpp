// The display-mode menu of the preferences.
#include <cstdio>
#include "files/translate.h"
#include "shell/cons.h"
#include "shell/hl_monitor.h"
#include "shell/wins.h"

std::vector<monitor_res_struct> g_res_vec;

void MACIBM_find_monitor_modes() {
  g_res_vec.clear();
  monitor_res_struct def;
  def.label = UTL_translate_string("Default Monitor Settings");
  g_res_vec.push_back(def);
  UTL_get_all_monitor_modes(0, add_mode_if_needed);
}

void add_mode_if_needed(int width, int height, int bpp, int refresh) {
  char label[96];
  if (refresh < 2)
    snprintf(label, sizeof label, "%d x %d, %d bit color", width, height, bpp);
  else
    snprintf(label, sizeof label, "%d x %d, %d bit color (%d hz)", width, height, bpp, refresh);
  if (width < 1024 || height < 768 || bpp < 16) return;
  static const int rates[] = {0, 60, 70, 72, 75, 80, 85, 90, 100, 140};
  bool rate_ok = false;
  for (int r : rates) rate_ok = rate_ok || r == refresh;
  if (!rate_ok) return;
  // The first mode with a label wins.
  for (const monitor_res_struct& m : g_res_vec)
    if (m.label == label) return;
  monitor_res_struct m;
  m.width = width;
  m.height = height;
  m.bpp = bpp;
  m.refresh = refresh;
  m.label = label;
  g_res_vec.push_back(m);
}

int MACIBM_get_picked_mode() {
  for (size_t i = 0; i < g_res_vec.size(); ++i) {
    const monitor_res_struct& m = g_res_vec[i];
    if (m.width == wins.x_res_full && m.height == wins.y_res_full && m.bpp == wins.bpp_full &&
        m.refresh == wins.hz_full)
      return (int)i;
  }
  return (int)g_res_vec.size();
}

int MACIBM_set_picked_mode(int i) {
  if (i < 0 || i >= (int)g_res_vec.size()) return 0;
  const monitor_res_struct& m = g_res_vec[i];
  const int changed = m.width != wins.x_res_full || m.height != wins.y_res_full || m.bpp != wins.bpp_full ||
                      m.refresh != wins.hz_full;
  wins.x_res_full = m.width;
  wins.y_res_full = m.height;
  wins.bpp_full = m.bpp;
  wins.hz_full = m.refresh;
  return changed;
}
