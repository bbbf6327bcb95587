// The rendering-options record: settings the window creation and the
// texture code read. Zero until start-up sets them.
#pragma once

class reno_class {
 public:
  int use_vsync1 = 0;  // vertical-sync switches ("_use_vsync1", "_use_vsync2")
  int use_vsync2 = 0;
  int alias_req = 0;   // anti-aliasing level asked for ("_alias_req")
};

extern reno_class reno;
