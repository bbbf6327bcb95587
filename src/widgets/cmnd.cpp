#include "widgets/cmnd.h"

#include <algorithm>
#include <cctype>

cmnd_class cmnd;

// Constant-initialised, so the registry's own static construction can read it.
const default_command default_commands[cmnd_default_count] = {
    {"cmnd_nothing", "sim/none/none", "Do nothing at all!", 3, 0, 0},
    {"cmnd_scrshot", "sim/operation/screenshot", "Take a screenshot.", 2, 185, 4},
    {"cmnd_qtim", "sim/operation/quicktime_record_toggle", "Toggle recording of QuickTime movie.", 2, 32, 4},
    {"cmnd_quit", "sim/operation/quit", "Quit the simulation.", 2, 0, 0},
    {"cmnd_gen_lft", "sim/general/left", "General command: left.", 3, 37, 0},
    {"cmnd_gen_rgt", "sim/general/right", "General command: right.", 3, 39, 0},
    {"cmnd_gen_up", "sim/general/up", "General command: up.", 3, 38, 0},
    {"cmnd_gen_dn", "sim/general/down", "General command: down.", 3, 40, 0},
    {"cmnd_gen_for", "sim/general/forward", "General command: forward.", 3, 185, 0},
    {"cmnd_gen_aft", "sim/general/backward", "General command: backward.", 3, 183, 0},
    {"cmnd_gen_zoom_in", "sim/general/zoom_in", "General command: zoom in.", 3, 176, 0},
    {"cmnd_gen_zoom_out", "sim/general/zoom_out", "General command: zoom out.", 3, 177, 0},
    {"cmnd_gen_LFT", "sim/general/left_fast", "General command: left fast.", 3, 37, 1},
    {"cmnd_gen_RGT", "sim/general/right_fast", "General command: right fast.", 3, 39, 1},
    {"cmnd_gen_UP", "sim/general/up_fast", "General command: up fast.", 3, 38, 1},
    {"cmnd_gen_DN", "sim/general/down_fast", "General command: down fast.", 3, 40, 1},
    {"cmnd_gen_FOR", "sim/general/forward_fast", "General command: forward fast.", 3, 185, 1},
    {"cmnd_gen_AFT", "sim/general/backward_fast", "General command: backward fast.", 3, 183, 1},
    {"cmnd_gen_ZOOM_IN", "sim/general/zoom_in_fast", "General command: zoom in fast.", 3, 176, 1},
    {"cmnd_gen_ZOOM_OUT", "sim/general/zoom_out_fast", "General command: zoom out fast.", 3, 177, 1},
    {"cmnd_v_rot_up", "sim/general/rot_up", "General command: tilt up.", 3, 82, 0},
    {"cmnd_v_rot_dn", "sim/general/rot_down", "General command: tilt down.", 3, 70, 0},
    {"cmnd_v_rot_lft", "sim/general/rot_left", "General command: pan left.", 3, 81, 0},
    {"cmnd_v_rot_rgt", "sim/general/rot_right", "General command: pan right.", 3, 69, 0},
    {"cmnd_v_rot_UP", "sim/general/rot_up_fast", "General command: tilt up fast.", 3, 82, 1},
    {"cmnd_v_rot_DN", "sim/general/rot_down_fast", "General command: tilt down fast.", 3, 70, 1},
    {"cmnd_v_rot_LFT", "sim/general/rot_left_fast", "General command: pan left fast.", 3, 81, 1},
    {"cmnd_v_rot_RGT", "sim/general/rot_right_fast", "General command: pan right fast.", 3, 69, 1},
};

namespace {

bool starts_with(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

unsigned char lower(char c) { return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c))); }

// Whether word occurs in text, letters compared without case.
bool contains_nocase(const std::string& text, const std::string& word) {
  auto same = [](char a, char b) { return lower(a) == lower(b); };
  return std::search(text.begin(), text.end(), word.begin(), word.end(), same) != text.end();
}

}  // namespace

cmnd_class::cmnd_class() {
  for (const default_command& c : default_commands) {
    enum_names.push_back(c.enum_name);
    paths.push_back(c.path);
    descriptions.push_back(c.description);
    categories.push_back(c.category);
    states.push_back(0);
  }
}

int cmnd_class::get_cmnd_by_name(const std::string& name) {
  auto alias = aliases.find(name);
  if (alias != aliases.end()) return alias->second;
  auto it = std::find(paths.begin(), paths.end(), name);
  return it == paths.end() ? cmnd_nothing : static_cast<int>(it - paths.begin());
}

void cmnd_class::alias_cmd(const std::string& name, int index) { aliases[name] = index; }

void cmnd_class::get_cmds_in_path(const std::string& prefix, std::vector<std::string>& out) {
  out.clear();
  for (const std::string& p : paths) {
    if (p.size() <= prefix.size() || p.compare(0, prefix.size(), prefix) != 0) continue;
    size_t slash = p.find('/', prefix.size());
    std::string part = p.substr(prefix.size(), slash == std::string::npos ? std::string::npos : slash + 1 - prefix.size());
    if (std::find(out.begin(), out.end(), part) == out.end()) out.push_back(part);
  }
}

int cmnd_class::add_cmd(const std::string& path, const std::string& description) {
  const int index = static_cast<int>(paths.size());
  enum_names.push_back("DYNAMIC");
  paths.push_back(path);
  descriptions.push_back(description);
  categories.push_back(2);
  states.push_back(0);
  return index;
}

void cmnd_class::get_cmnds_by_filter(const std::string& filter, std::vector<std::string>& out) {
  std::vector<std::string> words;
  std::string word;
  for (char c : filter + ' ') {
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  out.clear();
  for (const std::string& p : paths) {
    auto in_path = [&p](const std::string& w) { return contains_nocase(p, w); };
    if (std::all_of(words.begin(), words.end(), in_path)) out.push_back(p);
  }
}

int cmnd_class::tab_complete_cmnd(std::string& text) {
  std::string candidate;
  bool found = false;
  for (const std::string& p : paths) {
    if (!starts_with(p, text)) continue;
    if (!found) {
      candidate = p;
      found = true;
      continue;
    }
    const auto differ = std::mismatch(candidate.begin(), candidate.end(), p.begin(), p.end()).first;
    candidate.erase(differ, candidate.end());
  }
  if (!found) return 0;
  text = candidate;
  return 1;
}
