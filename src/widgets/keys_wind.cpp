// The key-assignment window: bindings listed with their keys and commands,
// keys captured into the picked binding, and a chooser of commands by group.
#include "widgets/keys_wind.h"
#include <algorithm>
#include <vector>
#include "core/globs.h"
#include "files/file_paths.h"
#include "files/translate.h"
#include "ogl/OGL_font.h"
#include "widgets/butn.h"
#include "widgets/butn_opensave.h"
#include "widgets/butn_slider.h"
#include "widgets/cmnd.h"
#include "widgets/keys.h"

keys_wind_state keys_wind_view;

namespace {

constexpr float k_gap = 34;
constexpr float k_column_width = 184;
constexpr float k_chooser_column = 210;

// The row's label: the modifiers and a blank, then the key, kept on one line.
std::string row_label(keys_class& k, const key_binding& b) {
  const std::string mods = k.flag_to_str(b.flags);
  return "-" + (mods == k.flag_to_str(0) ? std::string() : mods + " ") + k.vkey_to_str(b.vkey);
}

std::string path_of(int id) {
  return id >= 0 && id < static_cast<int>(cmnd.paths.size()) ? cmnd.paths[id] : std::string();
}

// The group above a group ("sim/general/" -> "sim/"), "" at the top.
std::string parent_group(const std::string& group) {
  std::string parent;
  if (!group.empty()) get_path_with_path(parent, group.substr(0, group.size() - 1));
  return parent;
}

// Check boxes flow down a column from top in steps of 15 and go on at the
// top of the next column below 20.
struct box_flow {
  float x, y, top;
  void next() {
    y -= 15;
    if (y < 20) {
      x += k_chooser_column;
      y = top;
    }
  }
};

void chooser(key_binding& b, float column, float far_left) {
  keys_wind_state& v = keys_wind_view;
  const std::string path = path_of(b.cmnd_id);
  if (v.shown_binding != v.selected || v.shown_cmnd != b.cmnd_id) {
    get_path_with_path(v.group, path);
    v.typed = path;
    v.shown_binding = v.selected;
    v.shown_cmnd = b.cmnd_id;
  }
  OGL_string(52, column + 10, 215, path, 164, cs_regular, just_left);
  const std::string desc =
      b.cmnd_id >= 0 && b.cmnd_id < static_cast<int>(cmnd.descriptions.size()) ? cmnd.descriptions[b.cmnd_id] : "";
  OGL_string(52, column + 10, 185, UTL_translate_string(desc), 164, cs_regular, just_left);

  // The groups beside the chosen one, then what the chosen group holds.
  const std::string parent = parent_group(v.group);
  std::vector<std::string> items;
  cmnd.get_cmds_in_path(parent, items);
  box_flow f{far_left + 15, 688, 688};
  std::string to_group;
  for (const std::string& g : items) {
    int on = parent + g == v.group;
    if (BTN_bool(f.x, f.y, &on, "|" + g, 0)) to_group = parent + g;
    f.next();
  }
  cmnd.get_cmds_in_path(v.group, items);
  f = box_flow{f.x + k_chooser_column, 685, 685};
  for (const std::string& c : items) {
    int on = v.group + c == path;
    if (BTN_bool(f.x, f.y, &on, "|" + c, 0)) {
      if (!c.empty() && c.back() == '/')
        to_group = v.group + c;
      else
        b.cmnd_id = cmnd.get_cmnd_by_name(v.group + c);
    }
    f.next();
  }
  if (!to_group.empty()) v.group = to_group;

  // Commands of plug-ins are found by their path, typed or browsed.
  const std::string before = v.typed;
  const int browsed = BTN_select_path_stl(far_left + 40, 30, io_window_open, 23, &v.typed, 499,
                                          UTL_translate_string("|-custom cmnds from plugins"), 150, 0);
  if (browsed || v.typed != before) {
    const int id = cmnd.get_cmnd_by_name(v.typed);
    if (id != 0 || v.typed == path_of(0)) b.cmnd_id = id;
  }
}

}  // namespace

void keys_class::keys_wind(int no_chooser) {
  keys_wind_state& v = keys_wind_view;
  const bool with_chooser = no_chooser == 0;
  float next_x = 0, next_y = 0, far_left = 0;
  BTN_subwin(k_gap, 19, -1, -1, with_chooser ? 345 : 365, -1, "", &next_x, nullptr);
  const float column = next_x + (with_chooser ? 20 : 0);
  BTN_subwin(k_gap, 16, column, -1, k_column_width, 125, "", &far_left, &next_y);
  BTN_subwin(k_gap, 18, column, next_y, k_column_width, 90, "", nullptr, &next_y);
  BTN_subwin(k_gap, 16, column, next_y, k_column_width, -1, "", nullptr, nullptr);
  BTN_subwin(k_gap, 16, far_left, -1, -1, -1, "", nullptr, nullptr);

  const float cx = column + k_column_width / 2;
  OGL_string(48, cx, 121,
             UTL_translate_string("Select the key you'd like to program from the list on the left of this screen and "
                                  "hit any key you like! Then select the group above and the item at right to assign "
                                  "some funtion to that keypress!"),
             164, cs_regular, just_centre);

  if (v.selected >= static_cast<int>(bindings.size())) v.selected = -1;
  if (BTN_action(cx, 25, 0, 0, 1, UTL_translate_string("Add New Key Assignment"), "-")) {
    bindings.push_back(key_binding{0, 0, cmnd.get_cmnd_by_name("sim/operation/none"), 0});
    if (static_cast<int>(bindings.size()) > keys_wind_rows) v.scroll = static_cast<int>(bindings.size()) - keys_wind_rows;
  }
  if (v.selected >= 0 && BTN_action(cx, 45, 0, 0, 1, UTL_translate_string("Delete Selected Key Assignment"), "-")) {
    bindings.erase(bindings.begin() + v.selected);
    // Nothing stays picked, so no later key lands on a binding that is gone.
    v.selected = -1;
  }

  const int n = static_cast<int>(bindings.size());
  const int last_scroll = std::max(0, n - keys_wind_rows);
  v.scroll = std::clamp(v.scroll, 0, last_scroll);
  if (n > keys_wind_rows) BTN_vert_slider(1, column - 15, 30, 686, 0, last_scroll, &v.scroll);

  if (v.selected >= 0 && mnw.key_down && cur_key != 0) {
    for (key_binding& b : bindings)
      if (b.vkey == cur_key && b.flags == cur_flags) b.vkey = b.flags = 0;
    bindings[v.selected].vkey = cur_key;
    bindings[v.selected].flags = cur_flags;
  }
  // The window takes each key once: a modifier going down alone sets no
  // key, and must not hand an older key (or its release) to the picked
  // binding, clearing the bindings that rightly hold it.
  cur_key = cur_flags = 0;

  for (int row = 0; row < keys_wind_rows && v.scroll + row < n; ++row) {
    const int i = v.scroll + row;
    const float y = 689.0f - 20 * row;
    if (BTN_action(78, y, 120, i == v.selected, 0, row_label(*this, bindings[i]), "-"))
      v.selected = i == v.selected ? -1 : i;
    const std::string path = path_of(bindings[i].cmnd_id);
    OGL_string(50, 140, y - 4, path.size() > 4 ? path.substr(4) : std::string(), font_no_wrap, cs_regular, just_left);
  }

  if (with_chooser && v.selected >= 0) chooser(bindings[v.selected], column, far_left);
}
