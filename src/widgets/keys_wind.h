// What the key-assignment window (keys_class::keys_wind) keeps between
// frames. Main thread only.
#pragma once
#include <string>

// The window shows this many bindings at a time.
constexpr int keys_wind_rows = 34;

struct keys_wind_state {
  int selected = -1;  // the picked binding, -1 none
  int scroll = 0;     // the first binding shown
  // The chooser: the group whose commands are offered, the path typed in
  // its field, and the binding and command they were taken from.
  std::string group;
  std::string typed;
  int shown_binding = -1;
  int shown_cmnd = -1;
};
extern keys_wind_state keys_wind_view;
