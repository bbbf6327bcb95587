// Placeholders for the screens and helpers still being built, so every flow
// links while they are written one by one. Each block goes with its owner.
#include "installer/disk_panel.h"
#include "installer/dvd_flows.h"
#include "installer/inst_questions.h"
#include "installer/inst_text.h"
#include "installer/world_map.h"

#define PENDING_SCREEN(name) \
  int name(int, wizard_screen& s) { s.title = #name; s.back = nullptr; s.next_screen = nullptr; return 0; }

// ---- texts, disk panel, world map, questions
// ---- end of texts, disk panel, world map, questions

// ---- the disc install
// ---- end of the disc install

// ---- run, scenery and repair
// ---- end of run, scenery and repair

// ---- the web flows
// ---- end of the web flows
