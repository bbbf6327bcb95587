// The command registry: every user command by its slash-separated path
// ("sim/operation/quit") with a one-sentence description. A command is known
// by its index; the vectors are parallel and index 0 is always cmnd_nothing,
// the answer for a name the registry does not know. Built before the entry
// point runs; main thread only. It only grows, so indices never change.
#pragma once
#include <map>
#include <string>
#include <vector>

// The built-in commands, by index.
enum cmnd_index {
  cmnd_nothing,
  cmnd_scrshot,
  cmnd_qtim,
  cmnd_quit,
  cmnd_gen_lft,
  cmnd_gen_rgt,
  cmnd_gen_up,
  cmnd_gen_dn,
  cmnd_gen_for,
  cmnd_gen_aft,
  cmnd_gen_zoom_in,
  cmnd_gen_zoom_out,
  cmnd_gen_LFT,
  cmnd_gen_RGT,
  cmnd_gen_UP,
  cmnd_gen_DN,
  cmnd_gen_FOR,
  cmnd_gen_AFT,
  cmnd_gen_ZOOM_IN,
  cmnd_gen_ZOOM_OUT,
  cmnd_v_rot_up,
  cmnd_v_rot_dn,
  cmnd_v_rot_lft,
  cmnd_v_rot_rgt,
  cmnd_v_rot_UP,
  cmnd_v_rot_DN,
  cmnd_v_rot_LFT,
  cmnd_v_rot_RGT,
  cmnd_default_count  // 28
};

// One built-in command with its default key. The registry keeps the first
// four columns; the key bindings read the key and its flags from here.
struct default_command {
  const char* enum_name;    // "cmnd_quit"
  const char* path;         // "sim/operation/quit"
  const char* description;  // "Quit the simulation."
  int category;             // 2 or 3
  int key;                  // virtual key code of the key-name table; 0 none
  int key_flags;            // 1 Shift, 4 Command or Control, 0 none
};
extern const default_command default_commands[cmnd_default_count];

class cmnd_class {
 public:
  // The built-in commands in the order of default_commands, states 0, no
  // aliases.
  cmnd_class();

  // The index of a name: its alias when it has one, else the first command
  // whose path equals it (byte-exact); 0 (cmnd_nothing) for an unknown name.
  int get_cmnd_by_name(const std::string& name);
  // Makes name an alias of the command at index, replacing an earlier alias
  // of the same name. The index is not checked.
  void alias_cmd(const std::string& name, int index);
  // Replaces out with the distinct next path components below prefix, in
  // order of first appearance: a branch ends in '/' ("operation/" below
  // "sim/"), a leaf does not ("quit" below "sim/operation/").
  void get_cmds_in_path(const std::string& prefix, std::vector<std::string>& out);
  // Appends a command ("DYNAMIC", category 2, state 0), even when its path is
  // already known (lookups then find the first); returns its index.
  int add_cmd(const std::string& path, const std::string& description);
  // Replaces out with the paths, in index order, that contain every
  // blank-separated word of filter, ignoring letter case; no words: all paths.
  void get_cmnds_by_filter(const std::string& filter, std::vector<std::string>& out);
  // Extends text to the longest common prefix of the paths that begin with
  // it; returns 1, or 0 leaving text unchanged when no path begins with it.
  int tab_complete_cmnd(std::string& text);

  std::vector<std::string> enum_names;    // "DYNAMIC" for commands added at run time
  std::vector<std::string> paths;
  std::vector<std::string> descriptions;
  std::vector<int> categories;            // 2 for commands added at run time
  std::vector<int> states;                // 0 at start
  std::map<std::string, int> aliases;     // an extra name for a command's index
};

extern cmnd_class cmnd;
