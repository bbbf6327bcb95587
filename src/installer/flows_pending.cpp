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
PENDING_SCREEN(dvd_pick_run_sim)
PENDING_SCREEN(dvd_pick_scenery)
PENDING_SCREEN(dvd_scan_scenery)
PENDING_SCREEN(dvd_edit_scenery)
PENDING_SCREEN(dvd_install_scenery)
PENDING_SCREEN(dvd_switch_disk_scenery)
PENDING_SCREEN(dvd_verify_disk_scenery)
PENDING_SCREEN(dvd_done_scenery)
PENDING_SCREEN(dvd_pick_repair)
PENDING_SCREEN(dvd_scan_repair)
PENDING_SCREEN(dvd_confirm_repair)
PENDING_SCREEN(dvd_install_repair)
PENDING_SCREEN(dvd_switch_disk_repair)
PENDING_SCREEN(dvd_verify_disk_repair)
PENDING_SCREEN(dvd_done_repair)
// ---- end of run, scenery and repair

// ---- the web flows
// UTIL_pick_install comes with the run flow; the updater's destination
// screen needs it to link until then.
void UTIL_pick_install() {}
// ---- end of the web flows
