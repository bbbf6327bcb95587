// Choosing an installed copy of the simulator: the first screen of the run,
// scenery, repair and web-update flows. The choice is dest_dir_path, which
// the flows' later screens work on. Main thread only.
#pragma once
#include <string>

// Draws one check box per registered copy (all_velroots), ticked for
// dest_dir_path; a click chooses that copy. Under them the sentence asking
// whether the copy is missing and "Find It", which asks for a folder with
// the desktop's dialog and walks up from it to the first installed copy,
// choosing and registering that one; a folder with no copy above it raises
// a warning and keeps the previous choice. With exactly one copy registered
// and nothing chosen, chooses that copy.
void UTIL_pick_install();
// 1 when dest_dir_path directly holds folders whose names contain
// "Airfoils", "Instructions", "Output" and "Resources" (files and links do
// not count), else 0; 0 too when it cannot be listed.
int path_is_to_a_sim();
// The pick screens' first frame: dest_dir_path goes unless it is a
// registered copy, so a folder another screen left there (a second copy's
// destination) never counts as chosen.
void UTIL_forget_unlisted_dest();
// The pick screens' text: with more than one copy registered the sentence
// saying so, then the screen's own request (both translated here).
std::string UTIL_pick_install_text(const std::string& request);
